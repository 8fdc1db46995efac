// The configuration file through the main window: saved and opened with the (scripted) file
// dialogs, compared byte by byte with files laid out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "RecordSamples.h"
#include "app/Unit1.h"
#include "config/ConfigFile.h"
#include "config/ConfigRecord.h"
#include "memory/PhoneBase.h"
#include "platform/rtl/SysUtils.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "support/TestSupport.h"

namespace {

using namespace recordsamples;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

PhoneRecord Number(const char* digits, std::uint8_t schedule) {
    PhoneRecord p;
    p[0] = 0xAA;
    std::memcpy(p.data() + 1, digits, std::strlen(digits));
    p[38] = schedule;
    return p;
}

// Header, record chunk, number chunk, as the file format lays them out.
Bytes HandFile(const ConfigRecord& record, const std::vector<PhoneRecord>& numbers, std::uint8_t format = 0x0B) {
    Bytes f = {'M', 'X', format, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x00, 0x02};
    f.insert(f.end(), record.Bytes.begin(), record.Bytes.end());
    f.push_back(0x64);
    f.push_back(static_cast<std::uint8_t>(numbers.size()));
    f.push_back(static_cast<std::uint8_t>(numbers.size() >> 8));
    for (const PhoneRecord& p : numbers) f.insert(f.end(), p.Bytes.begin(), p.Bytes.end());
    return f;
}

class FormFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testsupport::TempDir("form-file");
        g_ConfigRecord = {};
        g_ConfigPath = "start.fcg";
        SetPhoneRecords({});
        ui::test::ClearDialogs();
        Application->CreateForm(Form1);
    }
    void TearDown() override {
        delete Form1;
        Form1 = nullptr;
        g_ConfigRecord = {};
        SetPhoneRecords({});
        ui::test::ClearDialogs();
    }
    static std::string Message() { return Form1->MESPANEL->GetVisible() ? Form1->MESLABEL->GetCaption() : ""; }
    std::string dir;
};

TEST_F(FormFile, SavedFileByteByByte) {
    g_ConfigRecord = DeviceRecord();
    Form1->Read_config();
    SetPhoneRecords({Number("9001112233", 1), Number("9004445566", 0), Number("0A1B2C3D4E", 7)});
    Form1->WriteConfigToObjects();  // the grid is what a file takes its numbers from
    sys::SetManualWallSeconds(1709374830);
    const std::string path = dir + "/saved.fcg";
    ui::test::PushFileAnswer(path);
    Form1->SaveConfig();

    ConfigRecord want = DeviceRecord();
    Put(want, 5, {0x6E, 0xFD, 0xE2, 0x65});
    SealConfigRecord(want);
    const Bytes file = ReadAll(path);
    ASSERT_EQ(file.size(), 726u);
    EXPECT_EQ(file, HandFile(want, g_PhoneRecords));
    EXPECT_EQ(file[3], 2);
    EXPECT_EQ(file[531], 0x64);
    EXPECT_EQ(file[532], 3);
    EXPECT_EQ(file[533], 0);
    EXPECT_EQ(g_ConfigPath, path);
    // Written through a temporary file, none of which is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(Message(), "");
}

TEST_F(FormFile, OpenedFileFillsTheControls) {
    const std::string path = dir + "/hand.fcg";
    WriteAll(path, HandFile(DeviceRecord(), {Number("9001112233", 2), Number("9007778899", 3)}));
    ui::test::PushFileAnswer(path);
    Form1->OpenConfig();
    EXPECT_EQ(g_ConfigRecord, DeviceRecord());
    EXPECT_EQ(Form1->ADMINPASS->GetText(), "12345");
    EXPECT_EQ(Form1->NTPADR->GetText(), "ntp.example.net:123");
    ASSERT_EQ(g_PhoneCount, 2u);
    EXPECT_EQ(g_PhoneRecords[1], Number("9007778899", 3));
    EXPECT_EQ(g_ConfigPath, path);
    EXPECT_EQ(ui::test::ShownDialogs().at(0).kind, "open");

    // Saving what was opened gives the same file but for the stamp and the CRC.
    const std::string again = dir + "/again.fcg";
    EXPECT_TRUE(Form1->SaveConfigToFile(again));
    const Bytes a = ReadAll(path), b = ReadAll(again);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        if ((i >= 19 + 5 && i < 19 + 9) || i == 19 + 510 || i == 19 + 511) continue;
        EXPECT_EQ(a[i], b[i]) << "offset " << i;
    }

    // A file with no numbers empties the base.
    const std::string none = dir + "/none.fcg";
    WriteAll(none, HandFile(DeviceRecord(), {}));
    EXPECT_EQ(ReadAll(none).size(), 534u);
    EXPECT_TRUE(Form1->OpenFromFile(none));
    EXPECT_EQ(g_PhoneCount, 0u);
}

TEST_F(FormFile, NotAConfigurationFileChangesNothing) {
    g_ConfigRecord = DeviceRecord();
    Form1->Read_config();
    SetPhoneRecords({Number("9001112233", 1)});
    Form1->ADMINPASS->SetText("777");
    const std::string path = dir + "/wrong.fcg";
    ConfigRecord other;
    other[9] = 1;
    WriteAll(path, HandFile(other, {}, 0x0C));
    EXPECT_TRUE(Form1->OpenFromFile(path));
    EXPECT_EQ(Message(), Form1->GetMessageA(47));
    EXPECT_EQ(g_ConfigRecord, DeviceRecord());
    EXPECT_EQ(g_PhoneCount, 1u);
    EXPECT_EQ(Form1->ADMINPASS->GetText(), "777");
    EXPECT_EQ(g_ConfigPath, "start.fcg");

    // Low bits 11 are enough.
    WriteAll(path, HandFile(other, {}, 0x1B));
    EXPECT_TRUE(Form1->OpenFromFile(path));
    EXPECT_EQ(Form1->ADMINPASS->GetText(), "1");
}

TEST_F(FormFile, FailuresAndCancels) {
    ui::test::PushFileAnswer(dir + "/missing.fcg");
    Form1->OpenConfig();
    EXPECT_EQ(Message(), Form1->GetMessageA(65));
    EXPECT_FALSE(Form1->OpenFromFile(dir));

    Form1->OKMESClick(Form1->OKMES);
    ui::test::PushFileAnswer(dir + "/no/such/folder/x.fcg");
    Form1->SaveConfig();
    EXPECT_EQ(Message(), Form1->GetMessageA(66));
    EXPECT_EQ(g_ConfigPath, "start.fcg");

    // A cancelled dialog does nothing; a number that is none, or beyond its byte, writes no file.
    Form1->OKMESClick(Form1->OKMES);
    ui::test::PushFileAnswer("");
    Form1->SaveConfig();
    EXPECT_EQ(Message(), "");
    for (const char* photoDelay : {"x", "300"}) {
        Form1->FotoDelay->SetText(photoDelay);
        ui::test::PushFileAnswer(dir + "/bad.fcg");
        EXPECT_THROW(Form1->SaveConfig(), EConvertError);
        EXPECT_FALSE(std::filesystem::exists(dir + "/bad.fcg"));
    }
    EXPECT_EQ(g_ConfigPath, "start.fcg");

    // "device" is never a path.
    Form1->SetConfigPath("device");
    EXPECT_EQ(g_ConfigPath, "start.fcg");
}

}  // namespace
