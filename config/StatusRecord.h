#pragma once
// The device's status record (the 0x22 reply) and the texts the status page shows of it.
// The reader-state, error-rate and model texts serve the cloud status reply too.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

inline constexpr std::size_t kStatusRecordSize = 513;

struct StatusRecord {
    std::array<std::uint8_t, kStatusRecordSize> Bytes{};
    std::uint8_t* data() { return Bytes.data(); }
    const std::uint8_t* data() const { return Bytes.data(); }
    std::uint8_t& operator[](std::size_t i) { return Bytes[i]; }
    std::uint8_t operator[](std::size_t i) const { return Bytes[i]; }
    friend bool operator==(const StatusRecord&, const StatusRecord&) = default;
};

extern StatusRecord g_StatusRecord;
// The firmware's first version number as the last status gave it.
extern std::uint8_t g_DeviceFwVersion;

namespace st {
inline constexpr std::size_t Imei = 0, ImeiWidth = 16;
inline constexpr std::size_t FwMajor = 16;
inline constexpr std::size_t HwType = 17;
inline constexpr std::size_t FwMinor = 18;      // u16
inline constexpr std::size_t FwBuild = 20;      // u16
inline constexpr std::size_t Registration = 23; // low nibble GSM, high nibble GPRS
inline constexpr std::size_t Signal = 24;
inline constexpr std::size_t NetYear = 25;      // u16, then month, day, hour, minute, second
inline constexpr std::size_t Flags = 32;        // bit 6 cloud, bit 7 automatic registration
inline constexpr std::size_t NumbersStored = 54;  // u16
inline constexpr std::size_t AccessLevel = 60;
inline constexpr std::size_t InputsOutputs = 70;  // bit 0 input 1, bit 1 input 2, bit 2 output
inline constexpr std::size_t SafeCityFlags = 143; // bit 6 connected, bit 7 counters present
inline constexpr std::size_t CodeFlags = 152;     // bit 5 a code was presented, bits 6-7 its type
inline constexpr std::size_t Capacity = 160;      // u16, 0 means 15000
inline constexpr std::size_t SimBalance = 166;    // u16
inline constexpr std::size_t CodeText = 176, CodeTextWidth = 39;  // up to the next field at 215
inline constexpr std::size_t SafeCityBaseDate = 215;   // u32 local seconds
inline constexpr std::size_t SafeCityCounter1 = 219;   // u32
inline constexpr std::size_t SafeCityBaseSize = 223;   // u32
inline constexpr std::size_t SafeCityCounter2 = 227;   // u32
inline constexpr std::size_t SafeCityAccessEnd = 232;  // u32 local seconds
inline constexpr std::size_t RfidReaders = 237;
inline constexpr std::size_t RfidStates = 238;    // bit 0 reader 1, bit 1 reader 2 exchanging
inline constexpr std::size_t NetworkType = 269;
inline constexpr std::size_t BerClass = 272;
}  // namespace st

// A status reply's record bytes: the first n bytes (at most 513) are replaced, the rest kept.
void ApplyStatusRecordBytes(StatusRecord& record, const std::uint8_t* bytes, std::size_t n);
// The IMEI text, read within its 16 bytes (also the key of the remembered password).
std::string StatusImei(const StatusRecord& record);

// Reader-state label: caption and hint for -1 (none), 0 (no exchange) and 1 (exchanging);
// nothing for any other state.
struct TRfidStateText {
    std::string Caption;
    std::string Hint;
};
std::optional<TRfidStateText> RfidStateText(int state);

// Bit-error-rate class 0..7 as a percentage range; empty for any other class.
std::string BERToPercentString(std::uint8_t berClass);
// Network type 0..4 (" ", "GSM", "2G", "3G", "4G"); nothing for other values.
std::optional<std::string> NetworkTypeText(std::uint8_t type);
// "Администратор" (32), "Управляющий" (16), "Не подтвержден".
std::string AccessLevelText(std::uint8_t level);

// Everything Refresh_Data shows, named after its controls.
struct TStatusDisplay {
    std::string Imei;      // for the cloud device combo AIMEI
    std::string Limei;
    int Signal = 0;        // the meter Msig
    std::string Lsig;
    std::string GSMBER;
    std::uint8_t FwVersion = 0;  // g_DeviceFwVersion
    int NameMaxLength = 19;      // the number editor's name edit aName
    std::string Lfw;
    std::string Lhw;
    std::string Lgsm;
    std::string Lgprs;
    std::string Lserver;
    std::string Lmem;
    std::string Linput1;
    std::string Linput2;
    std::string Lout_;
    std::string Lar;
    std::string BarCaption;  // the button Bar
    std::string LACCESS;
    std::string netTime;
    std::string Balance;
    std::string SafeCityStat;
    std::string SafeCityTags;
    std::string SafeCityBaseDate;
    std::string SafeCityAccessDate;
    bool CodePresented = false;  // then aPhone gets CodeText and CodeType the item CodeTypeIndex
    std::string CodeText;
    int CodeTypeIndex = 0;
    int Rfid1State = -1;  // RFID1ST
    int Rfid2State = -1;  // RFID2ST
    std::optional<std::string> LNET;  // unset: the label keeps its text
};

// The texts of the status page. A capacity of 0 is first set to 15000 in the record, as
// the display does (the model text sees the capacity as received).
TStatusDisplay StatusDisplayTexts(StatusRecord& record);
