#pragma once
// The device's 512-byte configuration record: offsets, flag bits, the CRC seal, and the one
// copy the tool holds.
#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kConfigRecordSize = 512;

struct ConfigRecord {
    std::array<std::uint8_t, kConfigRecordSize> Bytes{};
    std::uint8_t* data() { return Bytes.data(); }
    const std::uint8_t* data() const { return Bytes.data(); }
    std::uint8_t& operator[](std::size_t i) { return Bytes[i]; }
    std::uint8_t operator[](std::size_t i) const { return Bytes[i]; }
    friend bool operator==(const ConfigRecord&, const ConfigRecord&) = default;
};

extern ConfigRecord g_ConfigRecord;

// Offsets and widths of the fields.
namespace cfg {
inline constexpr std::uint8_t kHead[4] = {0xAD, 0x01, 0x01, 0x02};
inline constexpr std::size_t TimeStamp = 5;        // u32
inline constexpr std::size_t AdminPass = 9;        // u16
inline constexpr std::size_t UserPass = 11;        // u16
inline constexpr std::size_t FlagsA = 13;
inline constexpr std::size_t Operator = 14;
inline constexpr std::size_t Apn = 15, ApnWidth = 40;
inline constexpr std::size_t SimPin = 55, SimPinWidth = 5;
inline constexpr std::size_t FlagsB = 60;
inline constexpr std::size_t ServerHost = 66, HostWidth = 24;
inline constexpr std::size_t ServerPort = 90;      // u16
inline constexpr std::size_t TimeHost = 92;
inline constexpr std::size_t TimePort = 116;       // u16
inline constexpr std::size_t SimNumber = 118, SimNumberWidth = 16;
inline constexpr std::size_t OutType = 134;
inline constexpr std::size_t OutPulse = 135;
inline constexpr std::size_t OutPause = 136;
inline constexpr std::size_t OutRepeat = 137;
inline constexpr std::size_t Schedules = 138;      // 7 x (days, start hour, end hour)
inline constexpr std::size_t PhotoResolution = 159;
inline constexpr std::size_t TimeZone = 160;       // i8
inline constexpr std::size_t ResetHour = 161;
inline constexpr std::size_t OutPeriodStartHour = 162;
inline constexpr std::size_t OutPeriodEndHour = 163;
inline constexpr std::size_t FlagsC = 164;
inline constexpr std::size_t OutPeriodStartMinute = 165;
inline constexpr std::size_t OutPeriodEndMinute = 166;
inline constexpr std::size_t OutPeriodDays = 167;
inline constexpr std::size_t RingCountLimit = 168;
inline constexpr std::size_t InputFunction1 = 169;
inline constexpr std::size_t InputFunction2 = 170;
inline constexpr std::size_t PhotoDelay = 171;
inline constexpr std::size_t BalanceLimit = 172;   // u16
inline constexpr std::size_t BalanceNumber = 174;  // u16
inline constexpr std::size_t BalanceText = 176, BalanceTextWidth = 16;
inline constexpr std::size_t FromAllSchedule = 192;
inline constexpr std::size_t RfidReaders = 193;
inline constexpr std::size_t ReaderType = 194;
inline constexpr std::size_t Crc = 510;            // u16 over bytes 0..509

// Flags A.
inline constexpr std::uint8_t A_CallFromAll = 0x01, A_Ntp = 0x02, A_UseIn1 = 0x04,
                              A_UseIn2 = 0x08, A_PhotoFix = 0x10, A_ResetInTime = 0x40,
                              A_OutInPeriod = 0x80;
// Flags B.
inline constexpr std::uint8_t B_Cloud = 0x01;
// Flags C.
inline constexpr std::uint8_t C_GnssTime = 0x01, C_PulseInPeriod = 0x02, C_SmsToUnknown = 0x04,
                              C_BalanceNotice = 0x08, C_ResendSms = 0x10;
}  // namespace cfg

// Writes the CRC of bytes 0..509 into bytes 510 and 511, low byte first.
void SealConfigRecord(ConfigRecord& record);
bool ConfigRecordCrcOk(const ConfigRecord& record);

// A read reply's record bytes: the first n bytes (at most 512) are replaced, the rest kept.
void ApplyConfigRecordBytes(ConfigRecord& record, const std::uint8_t* bytes, std::size_t n);

// The configuration write's data: 0x00, u16 512, the record (515 bytes).
std::array<std::uint8_t, kConfigRecordSize + 3> ConfigWriteRequestData(const ConfigRecord& record);
