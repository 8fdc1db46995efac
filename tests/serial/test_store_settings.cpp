// The settings store: value forms, the keys each group writes and their order, loading back
// through the setters, and the registry key rules.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "SerialTestSupport.h"
#include "platform/rtl/IniFiles.h"
#include "serial/SerialPort.h"
#include "serial/SerialRegistry.h"
#include "serial/SerialStore.h"

namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> Keys(const std::string& path, const std::string& section) {
    TIniFile ini(path);
    TStringList keys;
    ini.ReadSection(section, keys);
    return keys.ToVector();
}

TEST(StoreForms, BooleansAndCharacters) {
    EXPECT_EQ(StoreBoolToStr(true), "Yes");
    EXPECT_EQ(StoreBoolToStr(false), "No");
    EXPECT_TRUE(StoreStrToBool("YES"));
    EXPECT_TRUE(StoreStrToBool("yEs"));
    EXPECT_FALSE(StoreStrToBool("1"));
    EXPECT_FALSE(StoreStrToBool("True"));
    EXPECT_FALSE(StoreStrToBool(""));

    EXPECT_EQ(StoreCharToStr(13), "#13");
    EXPECT_EQ(StoreCharToStr(u'A'), "A");
    EXPECT_EQ(StoreCharToStr(0x21), "!");
    EXPECT_EQ(StoreCharToStr(0x7F), "\x7F");
    EXPECT_EQ(StoreCharToStr(0x20), "#32");
    EXPECT_EQ(StoreCharToStr(0x80), "#128");
    EXPECT_EQ(StoreCharToStr(0), "#0");

    EXPECT_EQ(StoreStrToChar("#300"), 44);
    EXPECT_EQ(StoreStrToChar("#13"), 13);
    EXPECT_EQ(StoreStrToChar(""), 0);
    EXPECT_EQ(StoreStrToChar("#q1"), 0);
    EXPECT_EQ(StoreStrToChar("#"), u'#');  // "#" alone is a character
    EXPECT_EQ(StoreStrToChar("Abc"), u'A');
    EXPECT_EQ(StoreStrToChar("\xD0\x96"), 0x416);  // a Cyrillic letter is one character
}

TEST(StoreIni, BasicAndBufferGroupsWriteTheirKeysInOrder) {
    const std::string path = testsupport::TempDir("store-basic") + "/port.ini";
    TSerialPort port(nullptr);
    port.SetName("ComPort1");
    port.SetPort("/dev/ttyACM3");
    port.SetBaudRate(br19200);
    port.SetStoredProps({spBasic, spBuffer});
    port.StoreSettings(stIniFile, path);

    const std::vector<std::string> expected = {"Port",   "BaudRate",    "StopBits",          "DataBits",
                                               "Parity", "FlowControl", "Buffer.OutputSize", "Buffer.InputSize"};
    EXPECT_EQ(Keys(path, "ComPort1"), expected);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("ComPort1", "Port", ""), "/dev/ttyACM3");
    EXPECT_EQ(ini.ReadString("ComPort1", "BaudRate", ""), "19200");
    EXPECT_EQ(ini.ReadString("ComPort1", "StopBits", ""), "1");
    EXPECT_EQ(ini.ReadString("ComPort1", "DataBits", ""), "8");
    EXPECT_EQ(ini.ReadString("ComPort1", "Parity", ""), "None");
    EXPECT_EQ(ini.ReadString("ComPort1", "FlowControl", ""), "None");
    EXPECT_EQ(ini.ReadString("ComPort1", "Buffer.OutputSize", ""), "1024");
    EXPECT_EQ(ini.ReadString("ComPort1", "Buffer.InputSize", ""), "1024");
    EXPECT_EQ(FileText(path).find("CustomBaudRate"), std::string::npos);
}

TEST(StoreIni, EveryGroupInTableOrderAndACustomRate) {
    const std::string path = testsupport::TempDir("store-all") + "/port.ini";
    TSerialPort port(nullptr);
    port.SetName("P");
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(250000);
    port.SetEventChar(13);
    port.SetStoredProps({spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers});
    port.StoreSettings(stIniFile, path);
    const std::vector<std::string> expected = {
        "Port", "BaudRate", "CustomBaudRate", "StopBits", "DataBits", "Parity", "FlowControl",
        "EventChar", "DiscardNull", "Parity.Check", "Parity.Replace", "Parity.ReplaceChar",
        "Buffer.OutputSize", "Buffer.InputSize", "Timeouts.ReadInterval", "Timeouts.ReadTotalConstant",
        "Timeouts.ReadTotalMultiplier", "Timeouts.WriteTotalConstant", "Timeouts.WriteTotalMultiplier",
        "FlowControl.ControlRTS", "FlowControl.ControlDTR", "FlowControl.DSRSensitivity",
        "FlowControl.OutCTSFlow", "FlowControl.OutDSRFlow", "FlowControl.TxContinueOnXoff",
        "FlowControl.XonXoffIn", "FlowControl.XonXoffOut", "FlowControl.XoffChar", "FlowControl.XonChar"};
    EXPECT_EQ(Keys(path, "P"), expected);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("P", "BaudRate", ""), "Custom");
    EXPECT_EQ(ini.ReadString("P", "CustomBaudRate", ""), "250000");
    EXPECT_EQ(ini.ReadString("P", "EventChar", ""), "#13");
    EXPECT_EQ(ini.ReadString("P", "DiscardNull", ""), "No");
    EXPECT_EQ(ini.ReadString("P", "Timeouts.ReadInterval", ""), "-1");
    EXPECT_EQ(ini.ReadString("P", "Timeouts.WriteTotalConstant", ""), "1000");
    EXPECT_EQ(ini.ReadString("P", "FlowControl.XonChar", ""), "#17");
    EXPECT_EQ(ini.ReadString("P", "FlowControl.XoffChar", ""), "#19");
}

void SetOddValues(TSerialPort& p) {
    p.SetPort("/dev/ttyUSB7");
    p.SetBaudRate(br57600);
    p.SetStopBits(sbTwoStopBits);
    p.SetDataBits(dbSeven);
    p.GetParity()->SetBits(prEven);
    p.GetParity()->SetCheck(true);
    p.GetParity()->SetReplace(true);
    p.GetParity()->SetReplaceChar(u'?');
    p.SetEventChar(10);
    p.SetDiscardNull(true);
    p.GetBuffer()->SetInputSize(4096);
    p.GetBuffer()->SetOutputSize(512);
    p.GetTimeouts()->SetReadInterval(7);
    p.GetTimeouts()->SetReadTotalC(11);
    p.GetTimeouts()->SetReadTotalM(3);
    p.GetTimeouts()->SetWriteTotalC(222);
    p.GetTimeouts()->SetWriteTotalM(5);
    p.GetFlowControl()->SetControlRTS(rtsToggle);
    p.GetFlowControl()->SetControlDTR(dtrEnable);
    p.GetFlowControl()->SetDSRSensitivity(true);
    p.GetFlowControl()->SetTxContinueOnXoff(true);
    p.GetFlowControl()->SetXonXoffIn(true);
    p.GetFlowControl()->SetXonChar(u'Q');
    p.GetFlowControl()->SetXoffChar(200);
}

void ExpectOddValues(TSerialPort& p) {
    EXPECT_EQ(p.GetPort(), "/dev/ttyUSB7");
    EXPECT_EQ(p.GetBaudRate(), br57600);
    EXPECT_EQ(p.GetStopBits(), sbTwoStopBits);
    EXPECT_EQ(p.GetDataBits(), dbSeven);
    EXPECT_EQ(p.GetParity()->GetBits(), prEven);
    EXPECT_TRUE(p.GetParity()->GetCheck());
    EXPECT_TRUE(p.GetParity()->GetReplace());
    EXPECT_EQ(p.GetParity()->GetReplaceChar(), u'?');
    EXPECT_EQ(p.GetEventChar(), 10);
    EXPECT_TRUE(p.GetDiscardNull());
    EXPECT_EQ(p.GetBuffer()->GetInputSize(), 4096);
    EXPECT_EQ(p.GetBuffer()->GetOutputSize(), 512);
    EXPECT_EQ(p.GetTimeouts()->GetReadInterval(), 7);
    EXPECT_EQ(p.GetTimeouts()->GetReadTotalConstant(), 11);
    EXPECT_EQ(p.GetTimeouts()->GetReadTotalMultiplier(), 3);
    EXPECT_EQ(p.GetTimeouts()->GetWriteTotalConstant(), 222);
    EXPECT_EQ(p.GetTimeouts()->GetWriteTotalMultiplier(), 5);
    EXPECT_EQ(p.GetFlowControl()->GetControlRTS(), rtsToggle);
    EXPECT_EQ(p.GetFlowControl()->GetControlDTR(), dtrEnable);
    EXPECT_TRUE(p.GetFlowControl()->GetDSRSensitivity());
    EXPECT_TRUE(p.GetFlowControl()->GetTxContinueOnXoff());
    EXPECT_TRUE(p.GetFlowControl()->GetXonXoffIn());
    EXPECT_FALSE(p.GetFlowControl()->GetXonXoffOut());
    EXPECT_EQ(p.GetFlowControl()->GetXonChar(), u'Q');
    EXPECT_EQ(p.GetFlowControl()->GetXoffChar(), 200);
}

constexpr TStoredProps kAll{spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers};

TEST(StoreIni, RoundTripOfEveryGroup) {
    const std::string path = testsupport::TempDir("store-trip") + "/port.ini";
    TSerialPort a(nullptr);
    a.SetName("Link");
    a.SetStoredProps(kAll);
    SetOddValues(a);
    a.StoreSettings(stIniFile, path);

    TSerialPort b(nullptr);
    b.SetName("Link");
    b.SetStoredProps(kAll);
    b.LoadSettings(stIniFile, path);
    ExpectOddValues(b);

    // Another name is another section: nothing there, every value stays as it was.
    TSerialPort c(nullptr);
    c.SetName("Other");
    c.SetStoredProps(kAll);
    c.SetBaudRate(br4800);
    c.LoadSettings(stIniFile, path);
    EXPECT_EQ(c.GetBaudRate(), br4800);
    EXPECT_EQ(c.GetPort(), "COM1");
}

TEST(StoreIni, LoadReadsOnlyTheChosenGroupsAndDefaultsTheCustomRateTo9600) {
    const std::string path = testsupport::TempDir("store-groups") + "/port.ini";
    {
        TIniFile ini(path);
        ini.WriteString("P", "BaudRate", "custom");
        ini.WriteString("P", "Parity", "Mark");
        ini.WriteString("P", "FlowControl", "Hardware");
        ini.WriteString("P", "Timeouts.ReadInterval", "99");
    }
    TSerialPort p(nullptr);
    p.SetName("P");
    p.SetCustomBaudRate(31250);
    p.SetStoredProps({spBasic});
    p.LoadSettings(stIniFile, path);
    EXPECT_EQ(p.GetBaudRate(), brCustom);
    EXPECT_EQ(p.GetCustomBaudRate(), 9600);
    EXPECT_EQ(p.GetParity()->GetBits(), prMark);
    EXPECT_EQ(p.GetFlowControl()->GetFlowControl(), fcHardware);
    EXPECT_EQ(p.GetTimeouts()->GetReadInterval(), -1);  // its group was not chosen
}

TEST(StoreIni, AFailedWriteReachesTheCaller) {
    TSerialPort p(nullptr);
    p.SetName("P");
    EXPECT_THROW(p.StoreSettings(stIniFile, "/nonexistent-folder/x/port.ini"), EIniFileException);
}

// Counts the port set-ups that reach an open port.
class CountingPort : public TSerialPort {
public:
    using TSerialPort::TSerialPort;
    void SetupComPort() override {
        ++setups;
        TSerialPort::SetupComPort();
    }
    void ApplyDCB() override {
        ++dcbs;
        TSerialPort::ApplyDCB();
    }
    int setups = 0;
    int dcbs = 0;
};

TEST(StoreIni, AnOpenPortGetsTheLoadedValuesInOneSetup) {
    devsim::DevSim sim(serialtest::FreshLink("store-open"));
    ASSERT_TRUE(sim.Start());
    const std::string path = testsupport::TempDir("store-open-ini") + "/port.ini";
    {
        TIniFile ini(path);
        ini.WriteString("P", "Port", sim.LinkPath());
        ini.WriteString("P", "BaudRate", "38400");
        ini.WriteString("P", "StopBits", StopBitsToStr(sbTwoStopBits));
        ini.WriteString("P", "FlowControl", "Hardware");  // a pty takes no parity
    }
    CountingPort p(nullptr);
    p.SetName("P");
    p.SetPort(sim.LinkPath());
    p.SetEvents({});
    p.Open();
    ASSERT_TRUE(p.GetConnected());
    p.setups = 0;
    p.LoadSettings(stIniFile, path);
    EXPECT_EQ(p.setups, 1);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return sim.Line().baud == 38400; }));
    EXPECT_EQ(sim.Line().stopBits, 2);
    EXPECT_TRUE(sim.Line().rtsCts);
    p.Close();
}

TEST(StoreRegistry, KeyTextRules) {
    std::string root, sub;
    ASSERT_TRUE(SplitStoreKey("hkey_current_user\\Software\\Zentor", "ComPort1", root, sub));
    EXPECT_EQ(root, "HKEY_CURRENT_USER");
    EXPECT_EQ(sub, "Software\\Zentor\\ComPort1");
    ASSERT_TRUE(SplitStoreKey("HKEY_LOCAL_MACHINE\\Software\\Zentor\\", "C", root, sub));
    EXPECT_EQ(sub, "Software\\Zentor\\C");
    EXPECT_FALSE(SplitStoreKey("Software", "C", root, sub));
}

TEST(StoreRegistry, RoundTripUnderTheKeyAndTheRootRules) {
    const std::string file = testsupport::TempDir("store-reg") + "/registry.ini";
    TRegistry::SetFileName(file);
    TSerialPort a(nullptr);
    a.SetName("Link");
    a.SetStoredProps(kAll);
    SetOddValues(a);
    a.StoreSettings(stRegistry, "HKEY_LOCAL_MACHINE\\Software\\Zentor");
    EXPECT_EQ(Keys(file, "HKEY_LOCAL_MACHINE\\Software\\Zentor\\Link").size(), 28u);

    TSerialPort b(nullptr);
    b.SetName("Link");
    b.SetStoredProps(kAll);
    b.LoadSettings(stRegistry, "HKEY_LOCAL_MACHINE\\Software\\Zentor\\");
    ExpectOddValues(b);

    // Another root name leaves the default root (the current user's).
    a.SetStoredProps({spOthers});
    a.StoreSettings(stRegistry, "HKEY_NOWHERE\\Soft");
    EXPECT_EQ(Keys(file, "HKEY_CURRENT_USER\\Soft\\Link").size(), 2u);
    // A text without "\" opens no key: nothing is written or read, and the caller hears of it.
    EXPECT_THROW(a.StoreSettings(stRegistry, "Soft"), ERegistryException);
    EXPECT_TRUE(Keys(file, "HKEY_CURRENT_USER").empty());
    TSerialPort d(nullptr);
    d.SetName("Link");
    d.SetStoredProps({spOthers});
    EXPECT_THROW(d.LoadSettings(stRegistry, "HKEY_CURRENT_USER"), ERegistryException);
    EXPECT_EQ(d.GetEventChar(), 0);

    // The registry has no defaults: a missing integer value is an error for the caller.
    TSerialPort c(nullptr);
    c.SetName("Missing");
    c.SetStoredProps({spBuffer});
    EXPECT_THROW(c.LoadSettings(stRegistry, "HKEY_CURRENT_USER\\Software\\Zentor"), ERegistryException);
    TRegistry::SetFileName("");
}

}  // namespace
