#pragma once
// The configuration record to and from what the settings controls hold: check states,
// item indexes and edit texts, named after their controls. No controls here; the window
// copies these values to and from its controls.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/NumericEditGuard.h"
#include "config/ConfigRecord.h"

struct ConfigValues {
    // Check boxes.
    bool CallFromAll = false;
    bool NTPEN = false;
    bool USEIN1 = false;
    bool USEIN2 = false;
    bool EnPhotoFix = false;
    bool RESETINTIME = false;
    bool ACTOUTINPERIOD = false;
    bool CON_EN1 = false;
    bool UseGNSSTime = false;
    bool SMSTOUNREG = false;
    bool InfAdminBalance = false;
    bool ResendSMS = false;

    // Item indexes of combo boxes and radio groups; -1 when no item is shown.
    int OPERATOR = -1;
    int OUTTYPE = -1;
    int OutTypeInTimeAction = -1;
    int IMGREZ = -1;
    int RESETTIME = -1;
    int STOUTPERIOD = -1;
    int EDOUTPERIOD = -1;
    int STOUTPERIODMIN = -1;
    int EDOUTPERIODMIN = -1;
    int RingCountLimit = -1;
    int InFun1 = -1;
    int InFun2 = -1;
    int FromAllShedule = -1;
    int RFIDAnts = -1;
    int ReaderType = -1;
    std::array<int, 7> ST{-1, -1, -1, -1, -1, -1, -1};  // ST1..ST7
    std::array<int, 7> ET{-1, -1, -1, -1, -1, -1, -1};  // ET1..ET7

    // Check groups: item d is day d, 0 Monday .. 6 Sunday.
    std::array<std::array<bool, 7>, 7> WD{};  // WD1..WD7
    std::array<bool, 7> ACTOUTDAYS{};

    // Edit texts.
    std::string ADMINPASS;
    std::string USERPASS;
    std::string UserAPN;
    std::string SIMPIN;
    std::string CON_ADR1;
    std::string NTPADR;
    std::string SIMNUM1;
    std::string OUTIMP;
    std::string OUTPAUSE;
    std::string OUTREPEATE;
    std::string TimeZone;
    std::string FotoDelay;
    std::string BalanceLimit;
    std::string BalanceGetNumber;

    friend bool operator==(const ConfigValues&, const ConfigValues&) = default;
};

// The record's slots that number edits fill: where each lies, how wide it is and how it
// holds the number. An edit's number goes into its slot as the edit shows it, or not at all.
enum class TSlotKind {
    Unsigned,  // little-endian
    Signed,    // little-endian, two's complement
    Port,      // the port of a "host:port" text, unsigned
    Digits,    // a PIN as text: at most the width less one characters, then a NUL
};
struct TNumberSlot {
    const char* Field;  // the edit
    std::string ConfigValues::*Text;
    std::size_t Offset;
    std::size_t Width;
    TSlotKind Kind;
};
inline constexpr std::array<TNumberSlot, 11> kNumberSlots = {{
    {"ADMINPASS", &ConfigValues::ADMINPASS, cfg::AdminPass, 2, TSlotKind::Unsigned},
    {"USERPASS", &ConfigValues::USERPASS, cfg::UserPass, 2, TSlotKind::Unsigned},
    {"SIMPIN", &ConfigValues::SIMPIN, cfg::SimPin, cfg::SimPinWidth, TSlotKind::Digits},
    {"CON_ADR1", &ConfigValues::CON_ADR1, cfg::ServerPort, 2, TSlotKind::Port},
    {"NTPADR", &ConfigValues::NTPADR, cfg::TimePort, 2, TSlotKind::Port},
    {"OUTIMP", &ConfigValues::OUTIMP, cfg::OutPulse, 1, TSlotKind::Unsigned},
    {"OUTPAUSE", &ConfigValues::OUTPAUSE, cfg::OutPause, 1, TSlotKind::Unsigned},
    {"OUTREPEATE", &ConfigValues::OUTREPEATE, cfg::OutRepeat, 1, TSlotKind::Unsigned},
    {"TimeZone", &ConfigValues::TimeZone, cfg::TimeZone, 1, TSlotKind::Signed},
    {"FotoDelay", &ConfigValues::FotoDelay, cfg::PhotoDelay, 1, TSlotKind::Unsigned},
    {"BalanceLimit", &ConfigValues::BalanceLimit, cfg::BalanceLimit, 2, TSlotKind::Unsigned},
}};

// Controls to record (Write_config). A control showing no item (-1, or an index its list
// does not have) keeps the byte that previous holds, so a value no item can show is written
// back unchanged. Number edits convert as UserStrToInt does (empty text is 0); a text that
// is not an integer raises EConvertError "'<text>' is not a valid integer value", a number
// its slot cannot hold (or a PIN longer than its slot's digits) raises EFieldRange, and
// nothing is built. timeStamp is the local wall clock as Unix seconds. The result is sealed
// with its CRC.
ConfigRecord BuildConfigRecord(const ConfigValues& values, const ConfigRecord& previous,
                               std::uint32_t timeStamp);
// The same stamped with the tool's clock now (sys::LocalWallSeconds).
ConfigRecord BuildConfigRecord(const ConfigValues& values, const ConfigRecord& previous);

// Record to controls (Read_config). A photo resolution byte of 0 is first set to 3 in the
// record, as the device reads 0 as the smallest picture. Bytes that no item of a fixed list
// can show give -1; the operator byte is passed as it stands (its list comes from the
// language file, and the combo box shows no item for an index it does not have).
ConfigValues ConfigRecordToValues(ConfigRecord& record);

// "host:port" of CON_ADR1 and NTPADR. The host is the text before the first ":", the port
// the number at the start of the text after it (0 when none); without ":" the host is
// empty and the port is the number at the start of the whole text. The port is as written,
// whether or not its slot holds it.
struct THostPort {
    std::string Host;
    int Port = 0;
};
THostPort SplitHostPort(std::string_view text);

// The key-release guard's largest value of each numeric settings edit. The pulse and pause
// edits stop at 255 because their record bytes cannot hold more.
inline constexpr int kMaxSIMPIN = 9999;
inline constexpr int kMaxBalanceLimit = 9999;
inline constexpr int kMaxUSERPASS = 9999;
inline constexpr int kMaxADMINPASS = 9999;
inline constexpr int kMaxOUTIMP = 255;
inline constexpr int kMaxOUTPAUSE = 255;
inline constexpr int kMaxOUTREPEATE = 250;
inline constexpr int kMaxFotoDelay = 255;
