// The configuration record offset by offset: a record laid out by hand with a distinct value
// in every field, read into the settings values and built back, byte for byte. The CRC is
// computed here bit by bit, apart from the device link's table.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "config/ConfigDefaults.h"
#include "config/ConfigFields.h"
#include "config/ConfigRecord.h"
#include "platform/rtl/SysUtils.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Hosts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint16_t ModbusCrc(const std::uint8_t* p, std::size_t n) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

void At(ConfigRecord& r, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) r[at++] = b;
}
void Text(ConfigRecord& r, std::size_t at, const char* bytes) {
    std::memcpy(r.data() + at, bytes, std::strlen(bytes));
}
void Seal(ConfigRecord& r) {
    const std::uint16_t crc = ModbusCrc(r.data(), 510);
    r[510] = static_cast<std::uint8_t>(crc);
    r[511] = static_cast<std::uint8_t>(crc >> 8);
}

// Every offset where two records differ, for readable failures.
std::vector<std::size_t> Differences(const ConfigRecord& a, const ConfigRecord& b) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < kConfigRecordSize; ++i)
        if (a[i] != b[i]) at.push_back(i);
    return at;
}
const std::vector<std::size_t> kStampAndCrc = {5, 6, 7, 8, 510, 511};

constexpr std::uint32_t kStamp = 0x6543A1B2;

// The record of the values below, laid out from the field table.
ConfigRecord HandRecord() {
    ConfigRecord r;
    At(r, 0, {0xAD, 0x01, 0x01, 0x02, 0x00});
    At(r, 5, {0xB2, 0xA1, 0x43, 0x65});  // stamp
    At(r, 9, {0xE1, 0x10});               // ADMINPASS 4321
    At(r, 11, {0x61, 0xEA});              // USERPASS 60001
    r[13] = 0x95;                         // CallFromAll, USEIN1, EnPhotoFix, ACTOUTINPERIOD
    r[14] = 3;                            // OPERATOR "МТС"
    Text(r, 15, "\xF1\xE5\xF2\xFC.\xF0\xF4");  // UserAPN "сеть.рф"
    Text(r, 55, "0987");                  // SIMPIN
    r[60] = 0x01;                         // CON_EN1
    Text(r, 66, "gate.example.org");
    At(r, 90, {0xC6, 0x2A});              // 10950
    Text(r, 92, "pool.ntp.org");
    At(r, 116, {0xCE, 0x04});             // 1230
    Text(r, 118, "+79161234567");         // SIMNUM1
    At(r, 134, {0x00, 0x11, 0xCB, 0x09}); // OUTTYPE invert, OUTIMP 17, OUTPAUSE 203, OUTREPEATE 9
    At(r, 138, {0x41, 1, 2,               // template 1: Monday, Sunday, 01 to 02
                0x02, 3, 4,               // 2: Tuesday
                0x0C, 5, 6,               // 3: Wednesday, Thursday
                0x10, 7, 9,               // 4: Friday
                0x20, 10, 11,             // 5: Saturday
                0x7F, 12, 13,             // 6: every day
                0x00, 22, 23});           // 7: none
    r[159] = 7;                           // IMGREZ item 2, 640x480
    r[160] = 0xFB;                        // TimeZone -5
    At(r, 161, {14, 6, 21});              // RESETTIME, STOUTPERIOD, EDOUTPERIOD
    r[164] = 0x0B;                        // UseGNSSTime, pulse in period, InfAdminBalance
    At(r, 165, {15, 59});                 // STOUTPERIODMIN, EDOUTPERIODMIN
    r[167] = 0x25;                        // ACTOUTDAYS Monday, Wednesday, Saturday
    At(r, 168, {10, 4, 2, 12});           // RingCountLimit, InFun1, InFun2, FotoDelay
    At(r, 172, {0xD2, 0x04});             // BalanceLimit 1234
    At(r, 174, {0x00, 0x00});
    Text(r, 176, "*105*1#");
    At(r, 192, {6, 2, 3});                // FromAllShedule, RFIDAnts, ReaderType
    Seal(r);
    return r;
}

ConfigValues HandValues() {
    ConfigValues v;
    v.CallFromAll = true;
    v.USEIN1 = true;
    v.EnPhotoFix = true;
    v.ACTOUTINPERIOD = true;
    v.CON_EN1 = true;
    v.UseGNSSTime = true;
    v.InfAdminBalance = true;
    v.OPERATOR = 3;
    v.OUTTYPE = 0;
    v.OutTypeInTimeAction = 1;
    v.IMGREZ = 2;
    v.RESETTIME = 14;
    v.STOUTPERIOD = 6;
    v.EDOUTPERIOD = 21;
    v.STOUTPERIODMIN = 15;
    v.EDOUTPERIODMIN = 59;
    v.RingCountLimit = 10;
    v.InFun1 = 4;
    v.InFun2 = 2;
    v.FromAllShedule = 6;
    v.RFIDAnts = 2;
    v.ReaderType = 3;
    v.ST = {1, 3, 5, 7, 10, 12, 22};
    v.ET = {2, 4, 6, 9, 11, 13, 23};
    const bool X = true, o = false;
    v.WD = {{{X, o, o, o, o, o, X},
             {o, X, o, o, o, o, o},
             {o, o, X, X, o, o, o},
             {o, o, o, o, X, o, o},
             {o, o, o, o, o, X, o},
             {X, X, X, X, X, X, X},
             {o, o, o, o, o, o, o}}};
    v.ACTOUTDAYS = {X, o, X, o, o, X, o};
    v.ADMINPASS = "4321";
    v.USERPASS = "60001";
    v.UserAPN = "сеть.рф";
    v.SIMPIN = "0987";
    v.CON_ADR1 = "gate.example.org:10950";
    v.NTPADR = "pool.ntp.org:1230";
    v.SIMNUM1 = "+79161234567";
    v.OUTIMP = "17";
    v.OUTPAUSE = "203";
    v.OUTREPEATE = "9";
    v.TimeZone = "-5";
    v.FotoDelay = "12";
    v.BalanceLimit = "1234";
    v.BalanceGetNumber = "*105*1#";
    return v;
}

TEST(ReviewConfigRecord, HandRecordReadsIntoEveryValue) {
    ConfigRecord r = HandRecord();
    const ConfigValues v = ConfigRecordToValues(r);
    const ConfigValues e = HandValues();
    // Field by field first, so that a slip names its control.
    EXPECT_EQ(v.ADMINPASS, e.ADMINPASS);
    EXPECT_EQ(v.USERPASS, e.USERPASS);
    EXPECT_EQ(v.CallFromAll, true);
    EXPECT_EQ(v.NTPEN, false);
    EXPECT_EQ(v.USEIN1, true);
    EXPECT_EQ(v.USEIN2, false);
    EXPECT_EQ(v.EnPhotoFix, true);
    EXPECT_EQ(v.RESETINTIME, false);
    EXPECT_EQ(v.ACTOUTINPERIOD, true);
    EXPECT_EQ(v.OPERATOR, 3);
    EXPECT_EQ(v.UserAPN, "сеть.рф");
    EXPECT_EQ(v.SIMPIN, "0987");
    EXPECT_EQ(v.CON_EN1, true);
    EXPECT_EQ(v.CON_ADR1, "gate.example.org:10950");
    EXPECT_EQ(v.NTPADR, "pool.ntp.org:1230");
    EXPECT_EQ(v.SIMNUM1, "+79161234567");
    EXPECT_EQ(v.OUTTYPE, 0);
    EXPECT_EQ(v.OUTIMP, "17");
    EXPECT_EQ(v.OUTPAUSE, "203");
    EXPECT_EQ(v.OUTREPEATE, "9");
    EXPECT_EQ(v.WD, e.WD);
    EXPECT_EQ(v.ST, e.ST);
    EXPECT_EQ(v.ET, e.ET);
    EXPECT_EQ(v.IMGREZ, 2);
    EXPECT_EQ(v.TimeZone, "-5");
    EXPECT_EQ(v.RESETTIME, 14);
    EXPECT_EQ(v.STOUTPERIOD, 6);
    EXPECT_EQ(v.EDOUTPERIOD, 21);
    EXPECT_EQ(v.UseGNSSTime, true);
    EXPECT_EQ(v.OutTypeInTimeAction, 1);
    EXPECT_EQ(v.SMSTOUNREG, false);
    EXPECT_EQ(v.InfAdminBalance, true);
    EXPECT_EQ(v.ResendSMS, false);
    EXPECT_EQ(v.STOUTPERIODMIN, 15);
    EXPECT_EQ(v.EDOUTPERIODMIN, 59);
    EXPECT_EQ(v.ACTOUTDAYS, e.ACTOUTDAYS);
    EXPECT_EQ(v.RingCountLimit, 10);
    EXPECT_EQ(v.InFun1, 4);
    EXPECT_EQ(v.InFun2, 2);
    EXPECT_EQ(v.FotoDelay, "12");
    EXPECT_EQ(v.BalanceLimit, "1234");
    EXPECT_EQ(v.BalanceGetNumber, "*105*1#");
    EXPECT_EQ(v.FromAllShedule, 6);
    EXPECT_EQ(v.RFIDAnts, 2);
    EXPECT_EQ(v.ReaderType, 3);
    EXPECT_EQ(v, e);  // and nothing else differs
    EXPECT_EQ(r, HandRecord()) << "reading changed the record";
}

TEST(ReviewConfigRecord, HandValuesBuildEveryByte) {
    const ConfigRecord expected = HandRecord();
    for (const ConfigRecord& previous : {ConfigRecord{}, expected}) {
        const ConfigRecord built = BuildConfigRecord(HandValues(), previous, kStamp);
        EXPECT_EQ(Differences(built, expected), std::vector<std::size_t>{});
        EXPECT_EQ(built[510] | (built[511] << 8), ModbusCrc(built.data(), 510));
    }
}

TEST(ReviewConfigRecord, RoundTripKeepsEveryByteButStampAndCrc) {
    const ConfigRecord device = HandRecord();
    ConfigRecord shown = device;
    const ConfigRecord again = BuildConfigRecord(ConfigRecordToValues(shown), device, kStamp + 1);
    const std::vector<std::size_t> stampAndCrc = {5, 510, 511};
    EXPECT_EQ(Differences(again, device), stampAndCrc);
    EXPECT_EQ(again[5], 0xB3);

    // A later stamp changes the CRC too, and nothing else.
    const ConfigRecord later = BuildConfigRecord(ConfigRecordToValues(shown), device, 0x01020304);
    EXPECT_EQ(Differences(later, device), kStampAndCrc);
    EXPECT_EQ(Bytes(later.data() + 5, later.data() + 9), (Bytes{0x04, 0x03, 0x02, 0x01}));
}

// The values that no item of a fixed list can show come back as the device had them.
TEST(ReviewConfigRecord, BytesOutsideTheItemListsSurviveARoundTrip) {
    ConfigRecord device = HandRecord();
    device[14] = 9;     // operator beyond the six
    device[134] = 2;    // output mode
    device[139] = 24;   // template 1 start hour
    device[140] = 0xFF; // template 1 end hour
    device[159] = 9;    // photo resolution
    device[161] = 30;   // restart hour
    device[162] = 24;
    device[163] = 99;
    device[165] = 60;   // minutes
    device[166] = 0xFF;
    device[168] = 11;   // rings
    device[169] = 6;    // input functions
    device[170] = 0xFE;
    device[192] = 8;    // schedule for any number
    device[193] = 3;    // readers
    device[194] = 4;    // reader type
    Seal(device);

    ConfigRecord shown = device;
    ConfigValues v = ConfigRecordToValues(shown);
    EXPECT_EQ(v.OUTTYPE, -1);
    EXPECT_EQ(v.IMGREZ, -1);
    EXPECT_EQ(v.InFun1, -1);
    EXPECT_EQ(v.ReaderType, -1);
    // What a combo box shows for an index it does not have.
    if (v.OPERATOR >= 6) v.OPERATOR = -1;
    const ConfigRecord again = BuildConfigRecord(v, device, kStamp);
    EXPECT_EQ(Differences(again, device), std::vector<std::size_t>{});
}

TEST(ReviewConfigRecord, EachFlagBitSitsWhereTheTableSays) {
    struct Flag {
        bool ConfigValues::*member;
        std::size_t offset;
        std::uint8_t mask;
    };
    const Flag flags[] = {
        {&ConfigValues::CallFromAll, 13, 0x01},    {&ConfigValues::NTPEN, 13, 0x02},
        {&ConfigValues::USEIN1, 13, 0x04},         {&ConfigValues::USEIN2, 13, 0x08},
        {&ConfigValues::EnPhotoFix, 13, 0x10},     {&ConfigValues::RESETINTIME, 13, 0x40},
        {&ConfigValues::ACTOUTINPERIOD, 13, 0x80}, {&ConfigValues::CON_EN1, 60, 0x01},
        {&ConfigValues::UseGNSSTime, 164, 0x01},   {&ConfigValues::SMSTOUNREG, 164, 0x04},
        {&ConfigValues::InfAdminBalance, 164, 0x08}, {&ConfigValues::ResendSMS, 164, 0x10},
    };
    ConfigValues none;
    none.OutTypeInTimeAction = 0;
    const ConfigRecord zero = BuildConfigRecord(none, ConfigRecord{}, 0);
    EXPECT_EQ(zero[13], 0);
    EXPECT_EQ(zero[60], 0);
    EXPECT_EQ(zero[164], 0);
    for (const Flag& f : flags) {
        ConfigValues v = none;
        v.*f.member = true;
        const ConfigRecord r = BuildConfigRecord(v, ConfigRecord{}, 0);
        const std::vector<std::size_t> only = {f.offset, 510, 511};
        EXPECT_EQ(Differences(r, zero), only) << "flag at " << f.offset << " mask " << int(f.mask);
        EXPECT_EQ(r[f.offset], f.mask);
        ConfigRecord back = r;
        EXPECT_TRUE(ConfigRecordToValues(back).*f.member);
    }
    ConfigValues pulse = none;
    pulse.OutTypeInTimeAction = 1;
    EXPECT_EQ(BuildConfigRecord(pulse, ConfigRecord{}, 0)[164], 0x02);

    // Bit 5 of flags A and bits 1-7 of flags B are not the settings' to keep.
    ConfigRecord r;
    r[13] = 0x20;
    r[60] = 0xFE;
    ConfigValues v = ConfigRecordToValues(r);
    EXPECT_FALSE(v.CallFromAll || v.NTPEN || v.USEIN1 || v.USEIN2 || v.EnPhotoFix || v.RESETINTIME ||
                 v.ACTOUTINPERIOD || v.CON_EN1);
}

TEST(ReviewConfigRecord, EachScheduleDayAndHourSitsWhereTheTableSays) {
    ConfigValues none;
    const ConfigRecord zero = BuildConfigRecord(none, ConfigRecord{}, 0);
    for (int k = 0; k < 7; ++k) {
        for (int d = 0; d < 7; ++d) {
            ConfigValues v = none;
            v.WD[static_cast<std::size_t>(k)][static_cast<std::size_t>(d)] = true;
            const ConfigRecord r = BuildConfigRecord(v, ConfigRecord{}, 0);
            const std::size_t at = 138 + 3 * static_cast<std::size_t>(k);
            EXPECT_EQ(Differences(r, zero), (std::vector<std::size_t>{at, 510, 511}));
            EXPECT_EQ(r[at], 1 << d);
        }
        ConfigValues v = none;
        v.ST[static_cast<std::size_t>(k)] = 23;
        v.ET[static_cast<std::size_t>(k)] = 17;
        const ConfigRecord r = BuildConfigRecord(v, ConfigRecord{}, 0);
        EXPECT_EQ(r[139 + 3 * static_cast<std::size_t>(k)], 23);
        EXPECT_EQ(r[140 + 3 * static_cast<std::size_t>(k)], 17);
    }
    for (int d = 0; d < 7; ++d) {
        ConfigValues v = none;
        v.ACTOUTDAYS[static_cast<std::size_t>(d)] = true;
        EXPECT_EQ(BuildConfigRecord(v, ConfigRecord{}, 0)[167], 1 << d);
    }
}

// After the defaults, every byte of the record, with the installation's hosts.
TEST(ReviewConfigRecord, DefaultsRecordByteByByte) {
    for (int readers : {0, 1, 2}) {
        ConfigValues v;
        v.RFIDAnts = readers;
        SetConfigDefaults(v);
        EXPECT_EQ(v.RFIDAnts, readers);
        const ConfigRecord built = BuildConfigRecord(v, ConfigRecord{}, 0x5F000001);

        ConfigRecord e;
        At(e, 0, {0xAD, 0x01, 0x01, 0x02, 0x00, 0x01, 0x00, 0x00, 0x5F});
        At(e, 9, {0x34, 0x17, 0x52, 0x19});  // 5940, 6482
        e[13] = 0x02;
        e[60] = 0x01;
        Text(e, 66, sys::kDeviceServerHost);
        At(e, 90, {0xC6, 0x2A});
        Text(e, 92, sys::kTimeServerHost);
        At(e, 116, {0x7B, 0x00});
        At(e, 118, {'+', '7'});
        At(e, 134, {1, 1, 1, 1});
        At(e, 138, {0x1F, 0, 0, 0x1F, 8, 20, 0x7F, 8, 20, 0x60, 0, 0, 0x55, 0, 0, 0x2A, 0, 0, 0, 0, 0});
        e[159] = 5;
        At(e, 172, {0x32, 0x00});
        At(e, 176, {'*', '1', '0', '0', '#'});
        e[193] = static_cast<std::uint8_t>(readers);
        Seal(e);
        EXPECT_EQ(Differences(built, e), std::vector<std::size_t>{}) << "readers " << readers;
    }
    // The hosts are the installation's, whatever the environment points the tool at.
    EXPECT_STREQ(sys::kDeviceServerHost, sys::kCloudServerHost);
}

TEST(ReviewConfigRecord, DefaultsKeepTheReaderByteWhenNoItemIsShown) {
    ConfigValues v;
    v.RFIDAnts = -1;
    SetConfigDefaults(v);
    ConfigRecord previous;
    previous[193] = 2;
    EXPECT_EQ(BuildConfigRecord(v, previous, 0)[193], 2);
}

TEST(ReviewConfigRecord, EmptyNumberEditsAreZero) {
    ConfigValues empty;  // empty edits are 0
    const ConfigRecord z = BuildConfigRecord(empty, ConfigRecord{}, 0);
    for (std::size_t at : {9u, 10u, 11u, 12u, 135u, 136u, 137u, 160u, 171u, 172u, 173u}) EXPECT_EQ(z[at], 0) << at;
}

TEST(ReviewConfigRecord, AnEditThatIsNotANumberBuildsNothing) {
    for (std::string ConfigValues::*edit :
         {&ConfigValues::ADMINPASS, &ConfigValues::USERPASS, &ConfigValues::OUTIMP, &ConfigValues::OUTPAUSE,
          &ConfigValues::OUTREPEATE, &ConfigValues::TimeZone, &ConfigValues::FotoDelay,
          &ConfigValues::BalanceLimit}) {
        ConfigValues v = HandValues();
        v.*edit = "12a";
        try {
            (void)BuildConfigRecord(v, HandRecord(), kStamp);
            ADD_FAILURE() << "built a record from \"12a\"";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'12a' is not a valid integer value");
        }
    }
}

TEST(ReviewConfigRecord, TextsAreCutToTheirWidthLessOne) {
    ConfigValues v;
    v.UserAPN = std::string(45, 'a');
    v.SIMPIN = "1234";
    v.SIMNUM1 = std::string(20, '9');
    v.BalanceGetNumber = "*123*456*789*0123#";
    v.CON_ADR1 = std::string(30, 'h') + ":7";
    v.NTPADR = std::string(24, 'n') + ":8";
    const ConfigRecord r = BuildConfigRecord(v, ConfigRecord{}, 0);
    auto field = [&](std::size_t at, std::size_t width) { return Bytes(r.data() + at, r.data() + at + width); };
    Bytes apn(40, 'a');
    apn[39] = 0;
    EXPECT_EQ(field(15, 40), apn);
    EXPECT_EQ(field(55, 5), (Bytes{'1', '2', '3', '4', 0}));
    Bytes sim(16, '9');
    sim[15] = 0;
    EXPECT_EQ(field(118, 16), sim);
    const std::string balance = "*123*456*789*01";
    Bytes balanceField(balance.begin(), balance.end());
    balanceField.push_back(0);
    EXPECT_EQ(field(176, 16), balanceField);
    Bytes host(24, 'h');
    host[23] = 0;
    EXPECT_EQ(field(66, 24), host);
    EXPECT_EQ(field(90, 2), (Bytes{7, 0}));
    Bytes ntp(24, 'n');
    ntp[23] = 0;
    EXPECT_EQ(field(92, 24), ntp);
    EXPECT_EQ(field(116, 2), (Bytes{8, 0}));
    // Nothing spills into the neighbours.
    EXPECT_EQ(r[14], 0);
    EXPECT_EQ(r[60], 0);
    EXPECT_EQ(r[134], 0);
    EXPECT_EQ(r[192], 0);
}

TEST(ReviewConfigRecord, TextsWithoutANulAreReadWithinTheirWidth) {
    ConfigRecord r = HandRecord();
    std::memset(r.data() + 15, 'A', 40);   // APN up to the PIN
    std::memset(r.data() + 55, '5', 5);    // PIN up to flags B
    std::memset(r.data() + 66, 'h', 24);   // host up to its port
    std::memset(r.data() + 118, '7', 16);  // SIM number up to the output mode
    std::memset(r.data() + 176, '#', 16);  // balance text up to byte 192
    const ConfigValues v = ConfigRecordToValues(r);
    EXPECT_EQ(v.UserAPN, std::string(40, 'A'));
    EXPECT_EQ(v.SIMPIN, "55555");
    EXPECT_EQ(v.CON_ADR1, std::string(24, 'h') + ":10950");
    EXPECT_EQ(v.SIMNUM1, std::string(16, '7'));
    EXPECT_EQ(v.BalanceGetNumber, std::string(16, '#'));
}

TEST(ReviewConfigRecord, HostAndPortTexts) {
    struct Case {
        const char* text;
        const char* host;
        std::uint16_t port;
    };
    const Case cases[] = {
        {"gate.example.org:10950", "gate.example.org", 10950},
        {"gate.example.org", "", 0},       // a name without ":"
        {"8080", "", 8080},                // a number without ":"
        {"h:12ab", "h", 12},
        {"h:", "h", 0},
        {":99", "", 99},
        {"a:b:5", "a", 0},                 // the first ":" splits
        {"a:65535", "a", 65535},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        ConfigValues v;
        v.CON_ADR1 = c.text;
        v.NTPADR = c.text;
        const ConfigRecord r = BuildConfigRecord(v, ConfigRecord{}, 0);
        ConfigRecord expected;
        Text(expected, 66, c.host);
        Text(expected, 92, c.host);
        EXPECT_EQ(Bytes(r.data() + 66, r.data() + 90), Bytes(expected.data() + 66, expected.data() + 90)) << c.text;
        EXPECT_EQ(Bytes(r.data() + 92, r.data() + 116), Bytes(expected.data() + 92, expected.data() + 116)) << c.text;
        EXPECT_EQ(r[90] | (r[91] << 8), c.port) << c.text;
        EXPECT_EQ(r[116] | (r[117] << 8), c.port) << c.text;
    }
}

TEST(ReviewConfigRecord, PhotoResolutionByteAndItem) {
    for (int item = 0; item < 3; ++item) {
        ConfigValues v;
        v.IMGREZ = item;
        EXPECT_EQ(BuildConfigRecord(v, ConfigRecord{}, 0)[159], 2 * item + 3);
    }
    const std::pair<std::uint8_t, int> shown[] = {{3, 0}, {5, 1}, {7, 2}, {0, 0}};
    for (auto [byte, item] : shown) {
        ConfigRecord r;
        r[159] = byte;
        EXPECT_EQ(ConfigRecordToValues(r).IMGREZ, item) << int(byte);
        EXPECT_EQ(r[159], byte == 0 ? 3 : byte);  // 0 becomes 3 in the record itself
    }
}

TEST(ReviewConfigRecord, BalanceRequestAsANumber) {
    ConfigRecord r;
    r[174] = 100;
    EXPECT_EQ(ConfigRecordToValues(r).BalanceGetNumber, "*100#");
    r[174] = 0x39;
    r[175] = 0x30;  // 12345
    EXPECT_EQ(ConfigRecordToValues(r).BalanceGetNumber, "*12345#");
    Text(r, 176, "#102#");
    EXPECT_EQ(ConfigRecordToValues(r).BalanceGetNumber, "#102#");

    // Written back as text, the number as 0.
    ConfigValues v;
    v.BalanceGetNumber = "*100#";
    const ConfigRecord w = BuildConfigRecord(v, r, 0);
    EXPECT_EQ(Bytes(w.data() + 174, w.data() + 182), (Bytes{0, 0, '*', '1', '0', '0', '#', 0}));
}

TEST(ReviewConfigRecord, ReservedBytesAndHeadAreTheRecordsOwn) {
    ConfigRecord previous;
    std::memset(previous.data(), 0x5A, kConfigRecordSize);
    ConfigValues v = HandValues();
    const ConfigRecord r = BuildConfigRecord(v, previous, kStamp);
    EXPECT_EQ(Differences(r, HandRecord()), std::vector<std::size_t>{});
}

TEST(ReviewConfigRecord, StampFollowsTheToolsClock) {
    const std::int64_t now = sys::LocalWallSeconds();
    const ConfigRecord r = BuildConfigRecord(HandValues(), ConfigRecord{});
    const std::uint32_t stamp = r[5] | (r[6] << 8) | (r[7] << 16) | (std::uint32_t{r[8]} << 24);
    EXPECT_GE(static_cast<std::int64_t>(stamp), now);
    EXPECT_LE(static_cast<std::int64_t>(stamp), now + 1);
    EXPECT_EQ(r[510] | (r[511] << 8), ModbusCrc(r.data(), 510));
}

TEST(ReviewConfigRecord, WriteRequestCarriesTheRecord) {
    const ConfigRecord r = HandRecord();
    const auto data = ConfigWriteRequestData(r);
    ASSERT_EQ(data.size(), 515u);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 3), (Bytes{0x00, 0x00, 0x02}));
    EXPECT_EQ(0, std::memcmp(data.data() + 3, r.data(), 512));
    EXPECT_TRUE(ConfigRecordCrcOk(r));
    ConfigRecord bad = r;
    bad[300] ^= 1;
    EXPECT_FALSE(ConfigRecordCrcOk(bad));
}

}  // namespace

namespace {

// What one pass through the settings may change in a record from a device, and nothing
// more: the head and stamp, the bits and bytes that are not the settings' (reserved bytes,
// flag bits no control holds, the eighth bit of a days byte), text bytes after the NUL or
// past the width less one, the balance request's number (shown as text), a photo
// resolution of 0, and the CRC.
ConfigRecord AfterOnePass(ConfigRecord r, std::uint32_t stamp) {
    auto text = [&](std::size_t at, std::size_t width) {
        std::size_t len = 0;
        while (len < width && r[at + len] != 0) ++len;
        if (len > width - 1) len = width - 1;
        std::memset(r.data() + at + len, 0, width - len);
        return len;
    };
    At(r, 0, {0xAD, 0x01, 0x01, 0x02, 0x00});
    At(r, 5, {static_cast<std::uint8_t>(stamp), static_cast<std::uint8_t>(stamp >> 8),
              static_cast<std::uint8_t>(stamp >> 16), static_cast<std::uint8_t>(stamp >> 24)});
    r[13] &= 0xDF;
    text(15, 40);
    text(55, 5);
    r[60] &= 0x01;
    std::memset(r.data() + 61, 0, 5);
    text(66, 24);
    text(92, 24);
    text(118, 16);
    for (std::size_t k = 0; k < 7; ++k) r[138 + 3 * k] &= 0x7F;
    if (r[159] == 0) r[159] = 3;
    r[164] &= 0x1F;
    r[167] &= 0x7F;
    const std::string number = "*" + std::to_string(r[174] | (r[175] << 8)) + "#";
    r[174] = r[175] = 0;
    if (text(176, 16) == 0) Text(r, 176, number.c_str());
    std::memset(r.data() + 195, 0, 315);
    Seal(r);
    return r;
}

TEST(ReviewConfigRecord, RandomDeviceRecordsChangeOnlyWhatTheLayoutAllows) {
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(seed >> 16);
    };
    for (int round = 0; round < 3000; ++round) {
        ConfigRecord device;
        for (auto& b : device.Bytes) b = next();
        // Hosts without ":" (a ":" in a host field cannot be told from the port's).
        for (std::size_t i = 66; i < 116; ++i)
            if (device[i] == ':') device[i] = 'x';
        device[59] = 0;  // a PIN of five characters cannot go back as shown
        // Half the texts end early, as a device writes them.
        if (round % 2 == 0)
            for (std::size_t at : {15u + next() % 40, 55u + next() % 5, 66u + next() % 24, 92u + next() % 24,
                                   118u + next() % 16, 176u + next() % 16})
                device[at] = 0;
        ConfigRecord shown = device;
        ConfigValues v = ConfigRecordToValues(shown);
        if (v.OPERATOR >= 6) v.OPERATOR = -1;  // the combo box shows no item
        const ConfigRecord again = BuildConfigRecord(v, shown, 0x12345678);
        const ConfigRecord expected = AfterOnePass(device, 0x12345678);
        ASSERT_EQ(Differences(again, expected), std::vector<std::size_t>{}) << "round " << round;
        // A second pass changes nothing more.
        ConfigRecord twice = again;
        ConfigValues w = ConfigRecordToValues(twice);
        if (w.OPERATOR >= 6) w.OPERATOR = -1;
        ASSERT_EQ(BuildConfigRecord(w, twice, 0x12345678), again) << "round " << round;
    }
}

}  // namespace

namespace {

// The last item of every list is shown; the first byte past it shows no item.
TEST(ReviewConfigRecord, ItemListEdges) {
    struct List {
        std::size_t offset;
        int items;
        int ConfigValues::*member;
    };
    const List lists[] = {
        {134, 2, &ConfigValues::OUTTYPE},         {161, 24, &ConfigValues::RESETTIME},
        {162, 24, &ConfigValues::STOUTPERIOD},    {163, 24, &ConfigValues::EDOUTPERIOD},
        {165, 60, &ConfigValues::STOUTPERIODMIN}, {166, 60, &ConfigValues::EDOUTPERIODMIN},
        {168, 11, &ConfigValues::RingCountLimit}, {169, 6, &ConfigValues::InFun1},
        {170, 6, &ConfigValues::InFun2},          {192, 8, &ConfigValues::FromAllShedule},
        {193, 3, &ConfigValues::RFIDAnts},        {194, 4, &ConfigValues::ReaderType},
    };
    for (const List& l : lists) {
        ConfigRecord r;
        r[l.offset] = static_cast<std::uint8_t>(l.items - 1);
        EXPECT_EQ(ConfigRecordToValues(r).*l.member, l.items - 1) << l.offset;
        r[l.offset] = static_cast<std::uint8_t>(l.items);
        EXPECT_EQ(ConfigRecordToValues(r).*l.member, -1) << l.offset;
        ConfigValues v;
        v.*l.member = l.items - 1;
        EXPECT_EQ(BuildConfigRecord(v, ConfigRecord{}, 0)[l.offset], l.items - 1) << l.offset;
    }
    for (std::size_t k = 0; k < 7; ++k) {
        ConfigRecord r;
        r[139 + 3 * k] = 23;
        r[140 + 3 * k] = 24;
        const ConfigValues v = ConfigRecordToValues(r);
        EXPECT_EQ(v.ST[k], 23);
        EXPECT_EQ(v.ET[k], -1);
    }
    ConfigRecord r;
    r[14] = 5;
    EXPECT_EQ(ConfigRecordToValues(r).OPERATOR, 5);
}

}  // namespace
