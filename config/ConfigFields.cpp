#include "config/ConfigFields.h"

#include <cctype>
#include <cstring>

#include "config/ConfigItems.h"
#include "config/RecordBytes.h"
#include "platform/rtl/CodePage.h"
#include "platform/sys/Clock.h"

namespace {

// The item index when the list has it, else the byte the previous record held.
std::uint8_t ItemByte(int index, int count, std::uint8_t previous) {
    return index >= 0 && index < count ? static_cast<std::uint8_t>(index) : previous;
}
int ItemIndex(std::uint8_t byte, int count) { return byte < count ? byte : -1; }

std::uint8_t Bit(bool on, std::uint8_t mask) { return on ? mask : 0; }

std::uint8_t DaysByte(const std::array<bool, 7>& days) {
    std::uint8_t b = 0;
    for (int d = 0; d < 7; ++d)
        if (days[d]) b |= static_cast<std::uint8_t>(1 << d);
    return b;
}
std::array<bool, 7> DaysFromByte(std::uint8_t b) {
    std::array<bool, 7> days{};
    for (int d = 0; d < 7; ++d) days[d] = (b >> d) & 1;
    return days;
}

// The number at the start of a text, as the C library reads one.
int LeadingNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::int64_t v = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i)
        if (v < 0x80000000LL) v = v * 10 + (s[i] - '0');
    if (v > 0x7FFFFFFFLL) v = 0x7FFFFFFFLL;
    return static_cast<int>(negative ? -v : v);
}

// The number an edit shows into its slot, or EFieldRange when the slot cannot hold it.
void PutNumber(std::uint8_t* b, const TNumberSlot& slot, const std::string& text) {
    std::uint8_t* at = b + slot.Offset;
    if (slot.Kind == TSlotKind::Digits) {
        if (Utf8ToCp1251(text).size() >= slot.Width) throw EFieldRange(slot.Field, {}, slot.Width - 1);
        SetFieldText(at, slot.Width, text);
        return;
    }
    const std::int64_t shown = slot.Kind == TSlotKind::Port ? SplitHostPort(text).Port : UserStrToInt(text);
    const std::int64_t v = SlotValue(slot.Field, shown, slot.Width, slot.Kind == TSlotKind::Signed);
    for (std::size_t i = 0; i < slot.Width; ++i)
        at[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
}

std::string ShowHost(const ConfigRecord& r, std::size_t hostAt, std::size_t portAt) {
    return GetFieldText(r.data() + hostAt, cfg::HostWidth) + ":" +
           std::to_string(GetU16(r.data() + portAt));
}

}  // namespace

THostPort SplitHostPort(std::string_view text) {
    THostPort hp;
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        hp.Port = LeadingNumber(text);
    } else {
        hp.Host = std::string(text.substr(0, colon));
        hp.Port = LeadingNumber(text.substr(colon + 1));
    }
    return hp;
}

ConfigRecord BuildConfigRecord(const ConfigValues& v, const ConfigRecord& previous,
                               std::uint32_t timeStamp) {
    ConfigRecord r;
    std::uint8_t* b = r.data();
    const std::uint8_t* p = previous.data();
    std::memcpy(b, cfg::kHead, 4);
    SetU32(b + cfg::TimeStamp, timeStamp);

    for (const TNumberSlot& slot : kNumberSlots) PutNumber(b, slot, v.*slot.Text);
    b[cfg::FlagsA] = Bit(v.CallFromAll, cfg::A_CallFromAll) | Bit(v.NTPEN, cfg::A_Ntp) |
                     Bit(v.USEIN1, cfg::A_UseIn1) | Bit(v.USEIN2, cfg::A_UseIn2) |
                     Bit(v.EnPhotoFix, cfg::A_PhotoFix) | Bit(v.RESETINTIME, cfg::A_ResetInTime) |
                     Bit(v.ACTOUTINPERIOD, cfg::A_OutInPeriod);
    // The operator list comes from the language file; any item it has is a valid byte.
    b[cfg::Operator] = ItemByte(v.OPERATOR, 256, p[cfg::Operator]);
    SetFieldText(b + cfg::Apn, cfg::ApnWidth, v.UserAPN);
    b[cfg::FlagsB] = Bit(v.CON_EN1, cfg::B_Cloud);
    SetFieldText(b + cfg::ServerHost, cfg::HostWidth, SplitHostPort(v.CON_ADR1).Host);
    SetFieldText(b + cfg::TimeHost, cfg::HostWidth, SplitHostPort(v.NTPADR).Host);
    SetFieldText(b + cfg::SimNumber, cfg::SimNumberWidth, v.SIMNUM1);
    b[cfg::OutType] = ItemByte(v.OUTTYPE, static_cast<int>(kOutTypeItems.size()), p[cfg::OutType]);
    for (int k = 0; k < 7; ++k) {
        const std::size_t at = cfg::Schedules + 3 * static_cast<std::size_t>(k);
        b[at] = DaysByte(v.WD[k]);
        b[at + 1] = ItemByte(v.ST[k], kHourItems, p[at + 1]);
        b[at + 2] = ItemByte(v.ET[k], kHourItems, p[at + 2]);
    }
    b[cfg::PhotoResolution] = v.IMGREZ >= 0 && v.IMGREZ < static_cast<int>(kImgRezItems.size())
                                  ? static_cast<std::uint8_t>(2 * v.IMGREZ + 3)
                                  : p[cfg::PhotoResolution];
    b[cfg::ResetHour] = ItemByte(v.RESETTIME, kHourItems, p[cfg::ResetHour]);
    b[cfg::OutPeriodStartHour] = ItemByte(v.STOUTPERIOD, kHourItems, p[cfg::OutPeriodStartHour]);
    b[cfg::OutPeriodEndHour] = ItemByte(v.EDOUTPERIOD, kHourItems, p[cfg::OutPeriodEndHour]);
    const bool pulseInPeriod = v.OutTypeInTimeAction >= 0
                                   ? v.OutTypeInTimeAction == 1
                                   : (p[cfg::FlagsC] & cfg::C_PulseInPeriod) != 0;
    b[cfg::FlagsC] = Bit(v.UseGNSSTime, cfg::C_GnssTime) | Bit(pulseInPeriod, cfg::C_PulseInPeriod) |
                     Bit(v.SMSTOUNREG, cfg::C_SmsToUnknown) |
                     Bit(v.InfAdminBalance, cfg::C_BalanceNotice) | Bit(v.ResendSMS, cfg::C_ResendSms);
    b[cfg::OutPeriodStartMinute] = ItemByte(v.STOUTPERIODMIN, kMinuteItems, p[cfg::OutPeriodStartMinute]);
    b[cfg::OutPeriodEndMinute] = ItemByte(v.EDOUTPERIODMIN, kMinuteItems, p[cfg::OutPeriodEndMinute]);
    b[cfg::OutPeriodDays] = DaysByte(v.ACTOUTDAYS);
    b[cfg::RingCountLimit] = ItemByte(v.RingCountLimit, kRingCountItems, p[cfg::RingCountLimit]);
    b[cfg::InputFunction1] = ItemByte(v.InFun1, static_cast<int>(kInFun1Items.size()), p[cfg::InputFunction1]);
    b[cfg::InputFunction2] = ItemByte(v.InFun2, static_cast<int>(kInFun2Items.size()), p[cfg::InputFunction2]);
    SetU16(b + cfg::BalanceNumber, 0);
    SetFieldText(b + cfg::BalanceText, cfg::BalanceTextWidth, v.BalanceGetNumber);
    b[cfg::FromAllSchedule] = ItemByte(v.FromAllShedule, static_cast<int>(kFromAllSheduleItems.size()),
                                       p[cfg::FromAllSchedule]);
    b[cfg::RfidReaders] = ItemByte(v.RFIDAnts, static_cast<int>(kRfidAntsItems.size()), p[cfg::RfidReaders]);
    b[cfg::ReaderType] = ItemByte(v.ReaderType, static_cast<int>(kReaderTypeItems.size()), p[cfg::ReaderType]);
    SealConfigRecord(r);
    return r;
}

ConfigValues ConfigRecordToValues(ConfigRecord& r) {
    ConfigValues v;
    const std::uint8_t* b = r.data();
    v.ADMINPASS = std::to_string(GetU16(b + cfg::AdminPass));
    v.USERPASS = std::to_string(GetU16(b + cfg::UserPass));
    const std::uint8_t a = b[cfg::FlagsA];
    v.CallFromAll = a & cfg::A_CallFromAll;
    v.NTPEN = a & cfg::A_Ntp;
    v.USEIN1 = a & cfg::A_UseIn1;
    v.USEIN2 = a & cfg::A_UseIn2;
    v.EnPhotoFix = a & cfg::A_PhotoFix;
    v.RESETINTIME = a & cfg::A_ResetInTime;
    v.ACTOUTINPERIOD = a & cfg::A_OutInPeriod;
    v.OPERATOR = b[cfg::Operator];
    v.UserAPN = GetFieldText(b + cfg::Apn, cfg::ApnWidth);
    v.SIMPIN = GetFieldText(b + cfg::SimPin, cfg::SimPinWidth);
    v.CON_EN1 = b[cfg::FlagsB] & cfg::B_Cloud;
    v.CON_ADR1 = ShowHost(r, cfg::ServerHost, cfg::ServerPort);
    v.NTPADR = ShowHost(r, cfg::TimeHost, cfg::TimePort);
    v.SIMNUM1 = GetFieldText(b + cfg::SimNumber, cfg::SimNumberWidth);
    v.OUTTYPE = ItemIndex(b[cfg::OutType], static_cast<int>(kOutTypeItems.size()));
    v.OUTIMP = std::to_string(b[cfg::OutPulse]);
    v.OUTPAUSE = std::to_string(b[cfg::OutPause]);
    v.OUTREPEATE = std::to_string(b[cfg::OutRepeat]);
    for (int k = 0; k < 7; ++k) {
        const std::size_t at = cfg::Schedules + 3 * static_cast<std::size_t>(k);
        v.WD[k] = DaysFromByte(b[at]);
        v.ST[k] = ItemIndex(b[at + 1], kHourItems);
        v.ET[k] = ItemIndex(b[at + 2], kHourItems);
    }
    if (r[cfg::PhotoResolution] == 0) r[cfg::PhotoResolution] = 3;
    switch (b[cfg::PhotoResolution]) {
        case 3: v.IMGREZ = 0; break;
        case 5: v.IMGREZ = 1; break;
        case 7: v.IMGREZ = 2; break;
        default: v.IMGREZ = -1; break;
    }
    v.TimeZone = std::to_string(static_cast<std::int8_t>(b[cfg::TimeZone]));
    v.RESETTIME = ItemIndex(b[cfg::ResetHour], kHourItems);
    v.STOUTPERIOD = ItemIndex(b[cfg::OutPeriodStartHour], kHourItems);
    v.EDOUTPERIOD = ItemIndex(b[cfg::OutPeriodEndHour], kHourItems);
    const std::uint8_t c = b[cfg::FlagsC];
    v.UseGNSSTime = c & cfg::C_GnssTime;
    v.OutTypeInTimeAction = (c & cfg::C_PulseInPeriod) ? 1 : 0;
    v.SMSTOUNREG = c & cfg::C_SmsToUnknown;
    v.InfAdminBalance = c & cfg::C_BalanceNotice;
    v.ResendSMS = c & cfg::C_ResendSms;
    v.STOUTPERIODMIN = ItemIndex(b[cfg::OutPeriodStartMinute], kMinuteItems);
    v.EDOUTPERIODMIN = ItemIndex(b[cfg::OutPeriodEndMinute], kMinuteItems);
    v.ACTOUTDAYS = DaysFromByte(b[cfg::OutPeriodDays]);
    v.RingCountLimit = ItemIndex(b[cfg::RingCountLimit], kRingCountItems);
    v.InFun1 = ItemIndex(b[cfg::InputFunction1], static_cast<int>(kInFun1Items.size()));
    v.InFun2 = ItemIndex(b[cfg::InputFunction2], static_cast<int>(kInFun2Items.size()));
    v.FotoDelay = std::to_string(b[cfg::PhotoDelay]);
    v.BalanceLimit = std::to_string(GetU16(b + cfg::BalanceLimit));
    v.BalanceGetNumber = GetFieldText(b + cfg::BalanceText, cfg::BalanceTextWidth);
    if (v.BalanceGetNumber.empty())
        v.BalanceGetNumber = "*" + std::to_string(GetU16(b + cfg::BalanceNumber)) + "#";
    v.FromAllShedule = ItemIndex(b[cfg::FromAllSchedule], static_cast<int>(kFromAllSheduleItems.size()));
    v.RFIDAnts = ItemIndex(b[cfg::RfidReaders], static_cast<int>(kRfidAntsItems.size()));
    v.ReaderType = ItemIndex(b[cfg::ReaderType], static_cast<int>(kReaderTypeItems.size()));
    return v;
}

ConfigRecord BuildConfigRecord(const ConfigValues& values, const ConfigRecord& previous) {
    return BuildConfigRecord(values, previous, static_cast<std::uint32_t>(sys::LocalWallSeconds()));
}
