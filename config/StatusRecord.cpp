#include "config/StatusRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/CivilDays.h"
#include "config/RecordBytes.h"
#include "device/DeviceType.h"

StatusRecord g_StatusRecord;
std::uint8_t g_DeviceFwVersion = 0;

void ApplyStatusRecordBytes(StatusRecord& record, const std::uint8_t* bytes, std::size_t n) {
    n = std::min(n, kStatusRecordSize);
    if (bytes != nullptr && n > 0) std::memcpy(record.data(), bytes, n);
}

std::string StatusImei(const StatusRecord& record) {
    return GetFieldText(record.data() + st::Imei, st::ImeiWidth);
}

std::optional<TRfidStateText> RfidStateText(int state) {
    switch (state) {
        case -1: return TRfidStateText{" - ", "Считыватель не подключен"};
        case 0: return TRfidStateText{" 0 ", "Cчитыватель подключен, обмена данными нет (обрыв или отсутствие линии связи)"};
        case 1: return TRfidStateText{" 1 ", "Cчитыватель подключен, обмен данными производится"};
        default: return std::nullopt;
    }
}

std::string BERToPercentString(std::uint8_t berClass) {
    static const char* const kTexts[8] = {"< 0.2%",      "0.2 - 0.4%", "0.4 - 0.8%", "0.8 - 1.6%",
                                          "1.6 - 3.2%",  "3.2 - 6.4%", "6.4 - 12.8%", "> 12.8%"};
    return berClass < 8 ? kTexts[berClass] : "";
}

std::optional<std::string> NetworkTypeText(std::uint8_t type) {
    static const char* const kTexts[5] = {" ", "GSM", "2G", "3G", "4G"};
    if (type < 5) return std::string(kTexts[type]);
    return std::nullopt;
}

std::string AccessLevelText(std::uint8_t level) {
    if (level == 32) return "Администратор";
    if (level == 16) return "Управляющий";
    return "Не подтвержден";
}

namespace {

std::string Printf(const char* format, int a, int b, int c, int d = 0, int e = 0, int f = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, a, b, c, d, e, f);
    return buf;
}

std::string DateTimeText(std::uint32_t seconds, bool withTime) {
    const TCivilTime t = CivilFromLocalSeconds(seconds);
    return withTime ? Printf("%.4d-%.2d-%.2d %.2d:%.2d", t.Year, t.Month, t.Day, t.Hour, t.Minute)
                    : Printf("%.4d-%.2d-%.2d", t.Year, t.Month, t.Day);
}

}  // namespace

TStatusDisplay StatusDisplayTexts(StatusRecord& r) {
    const std::uint8_t* b = r.data();
    TStatusDisplay s;
    s.Imei = StatusImei(r);
    s.Limei = "IMEI: " + s.Imei;

    s.Signal = b[st::Signal];
    s.Lsig = "Сигнал: " + std::to_string(s.Signal);

    const int gsm = b[st::Registration] & 0x0F;
    const int gprs = b[st::Registration] >> 4;
    s.FwVersion = b[st::FwMajor];
    if (gprs != 0 && s.FwVersion >= 41) s.GSMBER = "коллизии " + BERToPercentString(b[st::BerClass]);

    s.Lfw = "FW: " + Printf("%d.%.4d.%.4d", s.FwVersion, GetU16(b + st::FwMinor), GetU16(b + st::FwBuild));
    s.NameMaxLength = s.FwVersion < 33 ? 10 : 19;

    s.Lhw = "HW: " + TypeDeviceToString(b[st::HwType], GetU16(b + st::Capacity));
    s.Lgsm = "GSM reg.: " + std::to_string(gsm);
    s.Lgprs = "GPRS reg.: " + std::to_string(gprs);
    s.Lserver = (b[st::Flags] & 0x40) ? "CloudTalivex: connected" : "CloudTalivex: not connected";

    if (GetU16(b + st::Capacity) == 0) SetU16(r.data() + st::Capacity, kLargeCapacity);
    s.Lmem = "Память пользователей: " + std::to_string(GetU16(b + st::NumbersStored)) + "/" +
             std::to_string(GetU16(b + st::Capacity));

    const std::uint8_t io = b[st::InputsOutputs];
    s.Linput1 = (io & 0x01) ? "Вход 1: активен" : "Вход 1: не активен";
    s.Linput2 = (io & 0x02) ? "Вход 2: активен" : "Вход 2: не активен";
    s.Lout_ = (io & 0x04) ? "Выход: вкл." : "Выход: выкл.";
    if (b[st::Flags] & 0x80) {
        s.Lar = "Авторегистрация: вкл.";
        s.BarCaption = "Выключить";
    } else {
        s.Lar = "Авторегистрация: выкл.";
        s.BarCaption = "Включить";
    }
    s.LACCESS = AccessLevelText(b[st::AccessLevel]);
    s.netTime = "Время сети: " + Printf("%.4d-%.2d-%.2d %.2d:%.2d:%.2d", GetU16(b + st::NetYear),
                                         b[st::NetYear + 2], b[st::NetYear + 3], b[st::NetYear + 4],
                                         b[st::NetYear + 5], b[st::NetYear + 6]);
    s.Balance = "Остаток средств на СИМ карте: " + std::to_string(GetU16(b + st::SimBalance));

    const std::uint8_t sc = b[st::SafeCityFlags];
    s.SafeCityStat = (sc & 0x40) ? "Безопасный город: подключен" : "Безопасный город: отключен";
    if (sc & 0xC0) {
        s.SafeCityTags = "Память базы БГ: " + std::to_string(GetU32(b + st::SafeCityBaseSize));
        if (sc & 0x80)
            s.SafeCityTags += " (" + std::to_string(GetU32(b + st::SafeCityCounter1)) + "/" +
                              std::to_string(GetU32(b + st::SafeCityCounter2)) + ")";
        s.SafeCityBaseDate = "Датакод базы БГ: " + DateTimeText(GetU32(b + st::SafeCityBaseDate), true);
        s.SafeCityAccessDate = "Доступ действует до: " + DateTimeText(GetU32(b + st::SafeCityAccessEnd), false);
    }

    const std::uint8_t code = b[st::CodeFlags];
    s.CodePresented = (code & 0x20) != 0;
    if (s.CodePresented) {
        s.CodeText = GetFieldText(b + st::CodeText, st::CodeTextWidth);
        s.CodeTypeIndex = code >> 6;
    }

    const std::uint8_t readers = b[st::RfidReaders];
    const std::uint8_t states = b[st::RfidStates];
    if (readers >= 1) s.Rfid1State = states & 0x01;
    if (readers >= 2) s.Rfid2State = (states >> 1) & 0x01;

    s.LNET = NetworkTypeText(b[st::NetworkType]);
    return s;
}
