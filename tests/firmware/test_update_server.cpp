// Update-server queries, replies and version comparisons.
#include <gtest/gtest.h>

#include "firmware/UpdateServer.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

std::string Reply(const Bytes& b) { return UpdateReplyText(b.data(), b.size()); }

TEST(UpdateServer, Queries) {
    EXPECT_EQ(FirmwareQuery(11), "Get_FW,type=11");
    EXPECT_EQ(FirmwareQuery(0x8B), "Get_FW,type=139");
    EXPECT_EQ(ConfiguratorQuery(), "Get_CONFUPD:Zentor#");
    EXPECT_EQ(UpdateServerErrorText(10061), "Update Server Error: 10061");
    EXPECT_EQ(DownloadServerErrorText(10060), "Error download server 10060");
}

TEST(UpdateServer, ReplyText) {
    EXPECT_EQ(Reply({'f', 'w', '3', '8', '.', 'b', 'i', 'n'}), "fw38.bin");
    EXPECT_EQ(Reply({'f', 'w', '3', '8', 0, 'x', 'y'}), "fw38");
    EXPECT_EQ(Reply({0xCF, 0xF0, 'x'}), "Прx");  // Windows-1251 on the wire
    Bytes big(3000, 'a');
    EXPECT_EQ(Reply(big).size(), 2047u);
    EXPECT_EQ(UpdateReplyText(nullptr, 5), "");
}

TEST(UpdateServer, FirmwareBuildComparison) {
    EXPECT_TRUE(CompareBuildFW("FW: 37.0001.0002", "fw38.bin"));
    EXPECT_FALSE(CompareBuildFW("FW: 37.0001.0002", "fw37.bin"));
    EXPECT_FALSE(CompareBuildFW("FW: 37.0001.0002", "fw293.bin"));  // low 8 bits: 37
    EXPECT_FALSE(CompareBuildFW("FW: 37", "fw36"));
    EXPECT_TRUE(CompareBuildFW("FW: 37", "firmware/fw38"));  // the first "fw" counts
    EXPECT_FALSE(CompareBuildFW("FW: 37", "file not exists"));
    EXPECT_TRUE(CompareBuildFW("", "fw1"));  // no status yet reads as build 0
    // Numbers of any length wrap exactly: 100000000038 = 0x174876E826, low byte 0x26 = 38.
    EXPECT_TRUE(CompareBuildFW("FW: 37", "fw100000000038"));
    EXPECT_FALSE(CompareBuildFW("FW: 100000000038", "fw38"));
}

TEST(UpdateServer, ConfiguratorVersionComparison) {
    EXPECT_TRUE(CompareConfiguratorVersion("Zentor_v1.5.1.0.exe", "1.5.0.0"));
    EXPECT_FALSE(CompareConfiguratorVersion("Zentor_v1.10.0.0.exe", "1.5.0.0"));  // ordinal
    EXPECT_FALSE(CompareConfiguratorVersion("Zentor_v1.5.0.0.exe", "1.5.0.0"));
    EXPECT_FALSE(CompareConfiguratorVersion("Zentor_v1.4.9.9.exe", "1.5.0.0"));
    // Five characters from ".e" go: the extension and the one after it.
    EXPECT_FALSE(CompareConfiguratorVersion("Zentor_v1.5.0.0.exe#", "1.5.0.0"));
    EXPECT_TRUE(CompareConfiguratorVersion("Zentor_v1.5.0.0.exe#1", "1.5.0.0"));
    EXPECT_FALSE(CompareConfiguratorVersion("Zentor1.6.exe", "1.5.0.0"));  // no "_v"
    EXPECT_TRUE(ConfiguratorOffered("Zentor_v1.5.1.0.exe", "1.5.0.0"));
    EXPECT_FALSE(ConfiguratorOffered("Other_v1.5.1.0.exe", "1.5.0.0"));
}

TEST(UpdateServer, QueryTimeLimit) {
    TUpdServerTimeout t;
    EXPECT_FALSE(t.Tick());
    t.Start();
    for (int i = 0; i < 9; ++i) EXPECT_FALSE(t.Tick()) << i;
    EXPECT_TRUE(t.Tick());
    EXPECT_FALSE(t.Tick());
    t.Start();
    t.Tick();
    t.Stop();  // a disconnect
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(t.Tick());
}
}  // namespace
