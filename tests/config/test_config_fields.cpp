// The configuration record against records laid out by hand, through the values of the
// settings controls and back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/ConfigDefaults.h"
#include "config/ConfigFields.h"
#include "config/ConfigItems.h"
#include "config/ConfigRecord.h"
#include "RecordSamples.h"
#include "platform/rtl/SysUtils.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Hosts.h"

namespace {

using namespace recordsamples;

constexpr std::uint32_t kStamp = 1700000000;  // 00 F1 53 65

TEST(ConfigDefaults, RecordInFull) {
    ConfigValues v;
    v.RFIDAnts = 2;  // kept as it was
    SetConfigDefaults(v, "cloud.example", "time.example");
    EXPECT_EQ(v.RFIDAnts, 2);
    const ConfigRecord built = BuildConfigRecord(v, ConfigRecord{}, kStamp);

    ConfigRecord e;
    Put(e, 0, {0xAD, 0x01, 0x01, 0x02, 0x00, 0x00, 0xF1, 0x53, 0x65});
    Put(e, 9, {0x34, 0x17});  // 5940
    Put(e, 11, {0x52, 0x19}); // 6482
    e[13] = 0x02;
    e[60] = 0x01;
    PutText(e, 66, "cloud.example");
    Put(e, 90, {0xC6, 0x2A});
    PutText(e, 92, "time.example");
    Put(e, 116, {0x7B, 0x00});
    PutText(e, 118, "+7");
    Put(e, 134, {1, 1, 1, 1});
    Put(e, 138, {0x1F, 0, 0, 0x1F, 8, 20, 0x7F, 8, 20, 0x60, 0, 0, 0x55, 0, 0, 0x2A, 0, 0, 0, 0, 0});
    e[159] = 5;
    Put(e, 172, {50, 0});
    PutText(e, 176, "*100#");
    e[193] = 2;
    Put(e, 510, {0x95, 0x74});
    EXPECT_EQ(built, e);
    EXPECT_TRUE(ConfigRecordCrcOk(built));
}

TEST(ConfigFields, DeviceRecordToValues) {
    ConfigRecord r = DeviceRecord();
    const ConfigValues v = ConfigRecordToValues(r);
    EXPECT_EQ(v.ADMINPASS, "12345");
    EXPECT_EQ(v.USERPASS, "1000");
    EXPECT_TRUE(v.CallFromAll && v.NTPEN && v.USEIN1 && v.USEIN2 && v.EnPhotoFix && v.RESETINTIME &&
                v.ACTOUTINPERIOD);
    EXPECT_EQ(v.OPERATOR, 5);
    EXPECT_EQ(v.UserAPN, "интернет");
    EXPECT_EQ(v.SIMPIN, "1234");
    EXPECT_TRUE(v.CON_EN1);
    EXPECT_EQ(v.CON_ADR1, "srv.example.net:80");
    EXPECT_EQ(v.NTPADR, "ntp.example.net:123");
    EXPECT_EQ(v.SIMNUM1, "+79001234567");
    EXPECT_EQ(v.OUTTYPE, 0);
    EXPECT_EQ(v.OUTIMP, "200");
    EXPECT_EQ(v.OUTPAUSE, "3");
    EXPECT_EQ(v.OUTREPEATE, "250");
    EXPECT_EQ(v.WD[0], (std::array<bool, 7>{true, false, false, false, false, false, false}));
    EXPECT_EQ(v.WD[6], (std::array<bool, 7>{false, false, false, false, false, false, true}));
    EXPECT_EQ(v.ST, (std::array<int, 7>{1, 3, 5, 7, 9, 11, 22}));
    EXPECT_EQ(v.ET, (std::array<int, 7>{2, 4, 6, 8, 10, 12, 23}));
    EXPECT_EQ(v.IMGREZ, 2);
    EXPECT_EQ(v.TimeZone, "-3");
    EXPECT_EQ(v.RESETTIME, 4);
    EXPECT_EQ(v.STOUTPERIOD, 5);
    EXPECT_EQ(v.EDOUTPERIOD, 6);
    EXPECT_TRUE(v.UseGNSSTime && v.SMSTOUNREG && v.InfAdminBalance && v.ResendSMS);
    EXPECT_EQ(v.OutTypeInTimeAction, 1);
    EXPECT_EQ(v.STOUTPERIODMIN, 30);
    EXPECT_EQ(v.EDOUTPERIODMIN, 45);
    EXPECT_EQ(v.ACTOUTDAYS, (std::array<bool, 7>{true, false, false, false, false, false, true}));
    EXPECT_EQ(v.RingCountLimit, 10);
    EXPECT_EQ(v.InFun1, 5);
    EXPECT_EQ(v.InFun2, 4);
    EXPECT_EQ(v.FotoDelay, "255");
    EXPECT_EQ(v.BalanceLimit, "65535");
    EXPECT_EQ(v.BalanceGetNumber, "*102#");
    EXPECT_EQ(v.FromAllShedule, 7);
    EXPECT_EQ(v.RFIDAnts, 2);
    EXPECT_EQ(v.ReaderType, 3);
}

// Only the time stamp and the CRC may differ after a round trip.
void ExpectSameBut(const ConfigRecord& a, const ConfigRecord& b) {
    for (std::size_t i = 0; i < kConfigRecordSize; ++i) {
        if ((i >= 5 && i < 9) || i >= 510) continue;
        EXPECT_EQ(a[i], b[i]) << "offset " << i;
    }
}

TEST(ConfigFields, RoundTripChangesOnlyStampAndCrc) {
    const ConfigRecord original = DeviceRecord();
    ConfigRecord shown = original;
    const ConfigValues v = ConfigRecordToValues(shown);
    EXPECT_EQ(shown, original);
    const ConfigRecord back = BuildConfigRecord(v, shown, kStamp);
    ExpectSameBut(back, original);
    EXPECT_EQ(back[5], 0x00);
    EXPECT_EQ(back[8], 0x65);
    EXPECT_TRUE(ConfigRecordCrcOk(back));
}

TEST(ConfigFields, BytesNoItemCanShowAreWrittenBackAsHeld) {
    ConfigRecord r = DeviceRecord();
    r[14] = 9;    // operator beyond the six
    r[134] = 2;   // output mode
    r[139] = 24;  // start hour of template 1
    r[159] = 4;   // resolution between items
    r[161] = 99;
    r[165] = 60;
    r[168] = 11;
    r[169] = 6;
    r[170] = 0xFF;
    r[192] = 8;
    r[193] = 3;
    r[194] = 4;
    SealConfigRecord(r);
    const ConfigRecord original = r;
    ConfigValues v = ConfigRecordToValues(r);
    EXPECT_EQ(v.OUTTYPE, -1);
    EXPECT_EQ(v.ST[0], -1);
    EXPECT_EQ(v.IMGREZ, -1);
    EXPECT_EQ(v.RESETTIME, -1);
    EXPECT_EQ(v.STOUTPERIODMIN, -1);
    EXPECT_EQ(v.RingCountLimit, -1);
    EXPECT_EQ(v.InFun1, -1);
    EXPECT_EQ(v.InFun2, -1);
    EXPECT_EQ(v.FromAllShedule, -1);
    EXPECT_EQ(v.RFIDAnts, -1);
    EXPECT_EQ(v.ReaderType, -1);
    // The operator combo shows no item for 9 either; it reports -1.
    EXPECT_EQ(v.OPERATOR, 9);
    ExpectSameBut(BuildConfigRecord(v, r, kStamp), original);
    v.OPERATOR = -1;
    ExpectSameBut(BuildConfigRecord(v, r, kStamp), original);
    // A choice the user makes is written.
    v.IMGREZ = 0;
    v.InFun1 = 2;
    const ConfigRecord chosen = BuildConfigRecord(v, r, kStamp);
    EXPECT_EQ(chosen[159], 3);
    EXPECT_EQ(chosen[169], 2);
}

ConfigValues Blank() {
    ConfigRecord zero;
    zero[159] = 3;
    return ConfigRecordToValues(zero);
}

TEST(ConfigFields, WorkedExamples) {
    ConfigValues v = Blank();
    v.NTPEN = true;
    EXPECT_EQ(BuildConfigRecord(v, {}, 0)[13], 0x02);
    v = Blank();
    v.CON_EN1 = true;
    EXPECT_EQ(BuildConfigRecord(v, {}, 0)[60], 0x01);

    v = Blank();
    v.CON_ADR1 = "gate.example.org:10950";
    ConfigRecord r = BuildConfigRecord(v, {}, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 66)), "gate.example.org");
    EXPECT_EQ(r[90], 0xC6);
    EXPECT_EQ(r[91], 0x2A);

    v = Blank();
    v.TimeZone = "-3";
    r = BuildConfigRecord(v, {}, 0);
    EXPECT_EQ(r[160], 0xFD);
    EXPECT_EQ(ConfigRecordToValues(r).TimeZone, "-3");

    r = {};
    r[159] = 0;
    EXPECT_EQ(ConfigRecordToValues(r).IMGREZ, 0);
    EXPECT_EQ(r[159], 3);

    v = Blank();
    v.UserAPN = std::string(45, 'a');
    r = BuildConfigRecord(v, {}, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 15)), std::string(39, 'a'));
    EXPECT_EQ(r[54], 0);

    r = {};
    r[159] = 3;
    Put(r, 174, {100, 0});
    v = ConfigRecordToValues(r);
    EXPECT_EQ(v.BalanceGetNumber, "*100#");
    r = BuildConfigRecord(v, r, 0);  // the number goes back as text
    EXPECT_EQ(r[174], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 176)), "*100#");

    v = Blank();
    v.OUTIMP = "300";  // never cut to 44
    EXPECT_THROW(BuildConfigRecord(v, {}, 0), EFieldRange);
}

TEST(ConfigFields, TextsCountWindows1251Bytes) {
    ConfigValues v = Blank();
    std::string apn;
    for (int i = 0; i < 45; ++i) apn += "ж";
    v.UserAPN = apn;
    v.SIMNUM1 = "+7中";
    const ConfigRecord r = BuildConfigRecord(v, {}, 0);
    for (int i = 0; i < 39; ++i) EXPECT_EQ(r[15 + i], 0xE6) << i;
    EXPECT_EQ(r[54], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 118)), "+7?");
}

TEST(ConfigFields, TextsAreReadWithinTheirWidth) {
    ConfigRecord r;
    r[159] = 3;
    std::memset(r.data() + 15, 'A', 40);  // APN with no NUL, followed by the PIN
    std::memset(r.data() + 55, 'B', 5);
    std::memset(r.data() + 66, 'C', 24);
    std::memset(r.data() + 118, 'D', 16);
    std::memset(r.data() + 176, 'E', 16);
    const ConfigValues v = ConfigRecordToValues(r);
    EXPECT_EQ(v.UserAPN, std::string(40, 'A'));
    EXPECT_EQ(v.SIMPIN, std::string(5, 'B'));
    EXPECT_EQ(v.CON_ADR1, std::string(24, 'C') + ":0");
    EXPECT_EQ(v.SIMNUM1, std::string(16, 'D'));
    EXPECT_EQ(v.BalanceGetNumber, std::string(16, 'E'));
}

TEST(ConfigFields, HostAndPortTexts) {
    auto hp = SplitHostPort("host:12x");
    EXPECT_EQ(hp.Host, "host");
    EXPECT_EQ(hp.Port, 12);
    hp = SplitHostPort("10950");
    EXPECT_EQ(hp.Host, "");
    EXPECT_EQ(hp.Port, 10950);
    hp = SplitHostPort("name.only");
    EXPECT_EQ(hp.Host, "");
    EXPECT_EQ(hp.Port, 0);
    hp = SplitHostPort("a:b:7");
    EXPECT_EQ(hp.Host, "a");
    EXPECT_EQ(hp.Port, 0);
    hp = SplitHostPort("h:70000");
    EXPECT_EQ(hp.Port, 70000);
}

TEST(ConfigFields, ConversionErrorBuildsNothing) {
    g_ConfigRecord = DeviceRecord();
    const ConfigRecord before = g_ConfigRecord;
    ConfigValues v = Blank();
    v.FotoDelay = "12a";
    try {
        g_ConfigRecord = BuildConfigRecord(v, g_ConfigRecord, kStamp);
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
    }
    EXPECT_EQ(g_ConfigRecord, before);
    g_ConfigRecord = {};
}

TEST(ConfigRecord, WriteRequestData) {
    ConfigRecord r = DeviceRecord();
    const auto d = ConfigWriteRequestData(r);
    EXPECT_EQ(d[0], 0x00);
    EXPECT_EQ(d[1], 0x00);
    EXPECT_EQ(d[2], 0x02);
    EXPECT_EQ(std::memcmp(d.data() + 3, r.data(), 512), 0);

    // A short read reply replaces the start and keeps the rest.
    ConfigRecord target = DeviceRecord();
    const std::uint8_t head[3] = {1, 2, 3};
    ApplyConfigRecordBytes(target, head, 3);
    EXPECT_EQ(target[0], 1);
    EXPECT_EQ(target[2], 3);
    EXPECT_EQ(target[3], 0x02);
}

}  // namespace

namespace {

TEST(ConfigDefaults, InstallationHostsAndTheClock) {
    ConfigValues v;
    SetConfigDefaults(v);
    EXPECT_EQ(v.CON_ADR1, std::string(sys::kDeviceServerHost) + ":10950");
    EXPECT_EQ(v.NTPADR, std::string(sys::kTimeServerHost) + ":123");
    EXPECT_EQ(v.RFIDAnts, -1);

    // 2 March 2024 10:20:30 on the local wall clock is 1709374830 = 0x65E2FD6E.
    sys::SetManualWallSeconds(1709374830.25);
    const ConfigRecord r = BuildConfigRecord(v, ConfigRecord{});
    EXPECT_EQ(r[5], 0x6E);
    EXPECT_EQ(r[6], 0xFD);
    EXPECT_EQ(r[7], 0xE2);
    EXPECT_EQ(r[8], 0x65);
}

}  // namespace

namespace {
TEST(ConfigItems, OperatorListFallsBackToTheRecordsSix) {
    EXPECT_EQ(OperatorItems({}).size(), 6u);
    EXPECT_EQ(OperatorItems({}).back(), "Другой");
    EXPECT_EQ(OperatorItems({"A", "B"}), (std::vector<std::string>{"A", "B"}));
}
}  // namespace
