// Remembered devices and the group in the settings file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cloud/RememberedDevices.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SafeFile.h"
#include "support/TestSupport.h"

namespace {

std::string FileText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string IniPath(const std::string& name) { return testsupport::TempDir(name) + "/config.ini"; }

}  // namespace

TEST(RememberedDevices, FirstAndRepeatedLogin) {
    TIniFile ini(IniPath("remember1"));
    EXPECT_TRUE(LoadRememberedDevices(ini).empty());  // no file: no devices
    EXPECT_TRUE(RememberDevice(ini, false, "861111111111111", "1234", "Офис"));
    EXPECT_EQ(ini.ReadString("Devices", "Count", ""), "1");
    EXPECT_EQ(ini.ReadString("Devices", "d0", ""), "861111111111111");
    EXPECT_EQ(ini.ReadString("Devices", "861111111111111", ""), "1234");
    EXPECT_EQ(ini.ReadString("Descriptions", "861111111111111", ""), "Офис");

    // Listed, with a changed password: both keys rewritten, Count unchanged.
    EXPECT_FALSE(RememberDevice(ini, true, "861111111111111", "9999", "Офис"));
    EXPECT_EQ(ini.ReadString("Devices", "Count", ""), "1");
    EXPECT_EQ(ini.ReadString("Devices", "861111111111111", ""), "9999");

    // Nothing changed: the file is not written again.
    const std::string before = FileText(ini.GetFileName());
    EXPECT_FALSE(RememberDevice(ini, true, "861111111111111", "9999", "Офис"));
    EXPECT_EQ(FileText(ini.GetFileName()), before);

    EXPECT_TRUE(RememberDevice(ini, false, "862222222222222", "", ""));
    EXPECT_EQ(LoadRememberedDevices(ini), (std::vector<std::string>{"861111111111111", "862222222222222"}));
    TRememberedDevice d = ReadRememberedDevice(ini, "861111111111111");
    EXPECT_EQ(d.Pass, "9999");
    EXPECT_EQ(d.Description, "Офис");
    EXPECT_FALSE(d.InGroup);
    EXPECT_TRUE(d.GroupList.empty());
    d = ReadRememberedDevice(ini, "unknown");
    EXPECT_EQ(d.Pass, "");
    EXPECT_EQ(d.Description, "");
}

TEST(RememberedDevices, DamagedCountReadsOnlyWhatExists) {
    const std::string path = IniPath("remember2");
    ASSERT_TRUE(WriteFileSafely(path, "[Devices]\r\nCount=2000000000\r\nd0=A\r\nd2=C\r\n"));
    TIniFile ini(path);
    // Three keys in the section: at most three entries, a missing "d1" reads as empty.
    EXPECT_EQ(LoadRememberedDevices(ini), (std::vector<std::string>{"A", "", "C"}));
    ASSERT_TRUE(WriteFileSafely(path, "[Devices]\r\nCount=-4\r\nd0=A\r\n"));
    EXPECT_TRUE(LoadRememberedDevices(ini).empty());
    ASSERT_TRUE(WriteFileSafely(path, "[Devices]\r\nCount=x\r\nd0=A\r\n"));
    EXPECT_TRUE(LoadRememberedDevices(ini).empty());
}

TEST(RememberedDevices, GroupOfAtMostFive) {
    TIniFile ini(IniPath("group1"));
    for (const char* imei : {"A1", "B2", "C3"}) EXPECT_EQ(AddToGroup(ini, imei), TGroupAddResult::Added);
    EXPECT_EQ(AddToGroup(ini, "B2"), TGroupAddResult::AlreadyMember);
    EXPECT_EQ(GroupAddMessage(TGroupAddResult::AlreadyMember), "Присутствует в группе");

    TRememberedDevice d = ReadRememberedDevice(ini, "A1");
    EXPECT_TRUE(d.InGroup);
    EXPECT_EQ(d.GroupList, (std::vector<std::string>{"A1", "B2", "C3"}));
    EXPECT_EQ(d.OtherMembers, (std::vector<std::string>{"B2", "C3"}));
    EXPECT_EQ(GroupSyncMembers(d.GroupList, "A1"), (std::vector<std::string>{"B2", "C3"}));
    EXPECT_FALSE(ReadRememberedDevice(ini, "Z9").InGroup);

    EXPECT_EQ(AddToGroup(ini, "D4"), TGroupAddResult::Added);
    EXPECT_EQ(AddToGroup(ini, "E5"), TGroupAddResult::Added);
    EXPECT_EQ(GroupAddMessage(TGroupAddResult::Added), "Добавлен в группу");
    EXPECT_EQ(AddToGroup(ini, "F6"), TGroupAddResult::Full);
    EXPECT_EQ(GroupAddMessage(TGroupAddResult::Full), "Максимальное кол-во в группе = 5");

    const std::string before = FileText(ini.GetFileName());
    RemoveFromGroup(ini, "F6");  // not a member
    EXPECT_EQ(FileText(ini.GetFileName()), before);
    RemoveFromGroup(ini, "B2");
    EXPECT_EQ(ReadRememberedDevice(ini, "A1").OtherMembers, (std::vector<std::string>{"C3", "D4", "E5"}));
    EXPECT_EQ(AddToGroup(ini, "F6"), TGroupAddResult::Added);
}
