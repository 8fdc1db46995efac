#include "cloud/CloudReplyData.h"

#include <algorithm>

#include "cloud/CloudJsonRead.h"
#include "config/CivilDays.h"
#include "config/RecordBytes.h"
#include "config/StatusRecord.h"
#include "device/DeviceType.h"

namespace {

const char* OnOff(bool on, const char* yes, const char* no) { return on ? yes : no; }

bool IsUsable(const Json::Value& v) {
    return v.type() == Json::stringValue || v.type() == Json::intValue || v.type() == Json::uintValue;
}

// The number of a present text or integer member; false when it is missing or mistyped.
bool MemberNumber(const Json::Value& object, const char* key, std::int32_t& out) {
    const Json::Value& v = JsonMember(object, key);
    if (!IsUsable(v)) return false;
    out = JsonNumber(v);
    return true;
}

std::string TwoDigits(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

TCloudStatusView ReadCloudStatus(const Json::Value& data, const std::string& imeiText) {
    TCloudStatusView s;
    s.Imei = "IMEI: " + imeiText;

    const std::string csq = JsonText(data, "csq");
    s.Signal = "Сигнал: " + csq;
    s.SignalLevel = TextNumber(csq);

    const std::string fw = JsonText(data, "fw");
    s.Fw = "FW: " + fw;
    s.FwVersion = static_cast<std::uint8_t>(TextNumber(fw));
    s.NameMaxLength = s.FwVersion < 33 ? 10 : 19;

    s.DeviceType = static_cast<std::uint8_t>(TextNumber(JsonText(data, "hw")));
    s.Hw = "HW: " + TypeDeviceToString(s.DeviceType, 0);

    s.Gsm = "GSM reg.: " + JsonText(data, "creg");
    s.Gprs = "GPRS reg.: " + JsonText(data, "cgreg");
    s.Server = OnOff(JsonText(data, "connection") == "1", "CloudTalivex: connected",
                     "CloudTalivex: not connected");
    s.Memory = "Память пользователей: " + JsonText(data, "nums") + "/15000";
    s.Input1 = OnOff(JsonText(data, "in1") == "1", "Вход 1: активен", "Вход 1: не активен");
    s.Input2 = OnOff(JsonText(data, "in2") == "1", "Вход 2: активен", "Вход 2: не активен");
    s.Output = OnOff(JsonText(data, "out") == "1", "Выход: вкл.", "Выход: выкл.");
    const bool ar = JsonText(data, "ar") == "1";
    s.AutoReg = OnOff(ar, "Авторегистрация: вкл.", "Авторегистрация: выкл.");
    s.AutoRegButton = OnOff(ar, "Выключить", "Включить");
    const std::string al = JsonText(data, "al");
    s.Access = al == "admin" ? "Администратор" : al == "manager" ? "Управляющий" : "Не подтвержден";

    s.UpdateVisible = JsonText(data, "upd") == "1";
    if (s.UpdateVisible)
        s.UpdatePercent = std::clamp(JsonInt(data, "updpercent"), 0, 100);

    if (JsonHas(data, "nettime")) {
        s.HasNetTime = true;
        s.NetTime = "Время сети: " + JsonText(data, "nettime");
    }
    if (JsonHas(data, "balance")) {
        s.HasBalance = true;
        s.Balance = "Остаток средств на СИМ карте: " + JsonText(data, "balance");
    }

    if (JsonHas(data, "rfidCount")) {
        const int count = JsonInt(data, "rfidCount");
        const int state = JsonInt(data, "rfidState");
        if (count >= 1) s.Rfid1State = state & 1;
        if (count >= 2) s.Rfid2State = (state >> 1) & 1;
    }
    if (JsonHas(data, "ber"))
        s.Ber = "коллизии " + BERToPercentString(static_cast<std::uint8_t>(TextNumber(JsonText(data, "ber"))));
    return s;
}

std::string CloudNumberInfoText(const Json::Value& data) {
    const std::string name = JsonText(data, "name");
    const std::string enddate = JsonText(data, "enddate");
    const std::string passes = JsonText(data, "passes");
    const std::string shedule = JsonText(data, "shedule");
    std::string t = "Информация по номеру: " + JsonText(data, "number") + "\r\n";
    if (!name.empty()) t += "наименование: " + name + "\r\n";
    t += "право доступа: " + JsonText(data, "access") + "\r\n";
    t += "действует до: " + (enddate == "01011970" ? std::string("нет ограничения") : enddate) + "\r\n";
    t += "проходов: " + (passes == "0" ? std::string("нет ограничения") : passes) + "\r\n";
    t += "расписание: " + (shedule == "0" ? std::string("круглосуточно") : shedule);
    return t;
}

void ApplyCloudConfig(const Json::Value& data, ConfigRecord& record) {
    std::uint8_t* r = record.data();
    std::int32_t n = 0;
    auto u8 = [&](const char* key, std::size_t offset) {
        if (MemberNumber(data, key, n)) r[offset] = static_cast<std::uint8_t>(n);
    };
    auto u16 = [&](const char* key, std::size_t offset) {
        if (MemberNumber(data, key, n)) SetU16(r + offset, static_cast<std::uint16_t>(n));
    };
    auto bit = [&](const char* key, std::size_t offset, std::uint8_t mask) {
        if (!MemberNumber(data, key, n)) return;
        r[offset] = static_cast<std::uint8_t>((n & 1) ? (r[offset] | mask) : (r[offset] & ~mask));
    };
    auto text = [&](const char* key, std::size_t offset, std::size_t width) {
        const Json::Value& v = JsonMember(data, key);
        if (v.isString()) SetFieldText(r + offset, width, JsonString(v));
    };

    u16("adminpass", cfg::AdminPass);
    u16("managerpass", cfg::UserPass);
    bit("allcall", cfg::FlagsA, cfg::A_CallFromAll);
    bit("usein1", cfg::FlagsA, cfg::A_UseIn1);
    bit("usein2", cfg::FlagsA, cfg::A_UseIn2);
    bit("photofix", cfg::FlagsA, cfg::A_PhotoFix);
    u8("opgsm", cfg::Operator);
    text("apn", cfg::Apn, cfg::ApnWidth);
    text("simpin", cfg::SimPin, cfg::SimPinWidth);
    text("server", cfg::ServerHost, cfg::HostWidth);
    u16("port", cfg::ServerPort);
    // The configuration came through the cloud, so the device uses it.
    r[cfg::FlagsB] |= cfg::B_Cloud;
    u8("outtype", cfg::OutType);
    u8("outimp", cfg::OutPulse);
    u8("outpause", cfg::OutPause);
    u8("outrepeate", cfg::OutRepeat);

    const Json::Value& shedule = JsonMember(data, "shedule");
    for (Json::ArrayIndex k = 0; k < 7 && k < JsonSize(shedule); ++k) {
        const Json::Value& day = JsonElement(shedule, k);
        const std::size_t base = cfg::Schedules + 3 * k;
        if (MemberNumber(day, "days", n)) r[base] = static_cast<std::uint8_t>(n);
        if (MemberNumber(day, "st", n)) r[base + 1] = static_cast<std::uint8_t>(n);
        if (MemberNumber(day, "et", n)) r[base + 2] = static_cast<std::uint8_t>(n);
    }
}

std::string CloudLogDateText(std::int64_t unixSeconds) {
    // Years 1 to 9999, so the text always has its four-digit year.
    unixSeconds = std::clamp<std::int64_t>(unixSeconds, -62135596800LL, 253402300799LL);
    const TCivilTime c = CivilFromLocalSeconds(unixSeconds);
    std::string year = std::to_string(c.Year);
    year.insert(0, 4 - std::min<std::size_t>(4, year.size()), '0');
    return TwoDigits(c.Day) + "." + TwoDigits(c.Month) + "." + year + " " + TwoDigits(c.Hour) +
           ":" + TwoDigits(c.Minute) + ":" + TwoDigits(c.Second);
}

std::vector<TCloudLogRow> ReadCloudLogRows(const Json::Value& data) {
    std::vector<TCloudLogRow> rows;
    for (Json::ArrayIndex i = 0; i < JsonSize(data); ++i) {
        const Json::Value& e = JsonElement(data, i);
        if (!e.isObject()) continue;
        rows.push_back({CloudLogDateText(TextNumber64(JsonText(e, "date"))), JsonText(e, "number"),
                        JsonText(e, "operation"), JsonText(e, "what")});
    }
    return rows;
}

namespace {
// Two events in one second are two rows: only a row equal in every column is the same event.
bool LogRowShown(const std::vector<TLogGridRow>& rows, const TCloudLogRow& row) {
    return std::any_of(rows.begin() + 1, rows.end(), [&](const TLogGridRow& r) {
        return r[logColTime] == row.Date && r[logColNumber] == row.Number &&
               r[logColOperation] == row.Operation && r[logColObject] == row.What;
    });
}
}  // namespace

int MergeCloudLogRows(std::vector<TLogGridRow>& rows, int& nextRow,
                      const std::vector<TCloudLogRow>& block) {
    if (rows.empty()) rows.resize(1);  // the header
    nextRow = std::max(nextRow, 1);
    int added = 0;
    for (const TCloudLogRow& row : block) {
        if (LogRowShown(rows, row)) continue;
        if (rows.size() <= static_cast<std::size_t>(nextRow)) rows.resize(static_cast<std::size_t>(nextRow) + 1);
        rows[static_cast<std::size_t>(nextRow)] = {std::to_string(nextRow), row.Date, row.Number,
                                                   row.Operation, row.What};
        ++nextRow;
        ++added;
        if (rows.size() <= static_cast<std::size_t>(nextRow)) rows.resize(static_cast<std::size_t>(nextRow) + 1);
    }
    return added;
}

void ReverseCloudLogRows(std::vector<TLogGridRow>& rows) {
    std::vector<TLogGridRow> dated;
    for (std::size_t r = 1; r < rows.size(); ++r)
        if (!rows[r][logColTime].empty()) dated.push_back(rows[r]);
    std::reverse(dated.begin(), dated.end());
    for (std::size_t i = 0; i < dated.size(); ++i) rows[i + 1] = dated[i];
    for (std::size_t r = 1; r < rows.size(); ++r) rows[r][logColRowNumber] = std::to_string(r);
}
