// The USB-HID desk reader in the main window through the vendor library's stand-in and the
// simulated reader's socket: listing, connecting with the three settings, tag reports from
// the library's thread captured on the GUI thread, the record file, disconnecting.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ShellState.h"
#include "device/LinkRig.h"
#include "platform/rtl/SafeFile.h"
#include "platform/ui/Dialogs.h"
#include "rfid/RfidState.h"
#include "support/ShownWindow.h"
#include "support/TestSupport.h"
#include "tools/readersim/HidReaderSim.h"
#include "widgets/UiButton.h"
#include "widgets/UiRadGrp.h"

namespace {

using testsupport::WaitUntil;

TTid Tid(std::uint8_t first) {
    TTid t{};
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<std::uint8_t>(first + i);
    return t;
}

struct HidReaderRig {
    explicit HidReaderRig(const std::string& name)
        : rig(name), reader(testsupport::TempDir(name + "-sock") + "/reader.sock") {
        g_TagFile.Close();
        ui::test::ClearDialogs();
        started = reader.Start();
        setenv("ZENTOR_HID_READER", reader.Path().c_str(), 1);
        rig.CreateForm();
    }
    ~HidReaderRig() {
        if (Form1 && !Form1->RFIDReaderConnect->GetEnabled()) Form1->RFIDReaderDisConnectClick(nullptr);
        unsetenv("ZENTOR_HID_READER");
        g_TagFile.Close();
    }
    void ChooseUsb() {
        Form1->COMUSBSELECT->SetItemIndex(1);
        Form1->COMUSBSELECTClick(Form1->COMUSBSELECT);
    }
    bool Connect() {
        ChooseUsb();
        Form1->RFIDReaderConnectClick(Form1->RFIDReaderConnect);
        return WaitUntil([&] { return reader.Connected() && reader.Params().size() == 3; });
    }
    // Starts a recording into a fresh file, the button pressed as a screen reader presses it.
    static std::string StartRecording(const std::string& folder) {
        const std::string file = testsupport::TempDir(folder) + "/tags.txt";
        ui::test::PushFileAnswer(file);
        testsupport::AccessibleAction(Form1->StartRFIDRec->GetWidget());
        return file;
    }
    static bool AwaitCount(int n, int timeoutMs = 3000) {
        const std::string want = "Count: " + std::to_string(n);
        return WaitUntil([&] { return Form1->RFIDSCOUNT->GetCaption() == want; }, timeoutMs);
    }

    linktest::LinkRig rig;
    readersim::THidReaderSim reader;
    bool started = false;
};

}  // namespace

// The window recording the USB reader's tags until it is killed: it prints "recording" once
// the recording runs, then the count after each tag.
static int RecordTagsUntilKilled() {
    auto say = [](const std::string& text) {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    };
    testsupport::TShownWindow window;
    testsupport::Click(Form1->COMUSBSELECT->GetButton(1));
    testsupport::AccessibleAction(Form1->RFIDReaderConnect->GetWidget());
    ui::test::PushFileAnswer(std::getenv("ZENTOR_TEST_TAG_FILE"));
    testsupport::AccessibleAction(Form1->StartRFIDRec->GetWidget());
    if (!Form1->RFIDReaderDisConnect->GetEnabled() || Form1->StartRFIDRec->GetEnabled()) return 1;
    say("recording");
    for (std::string shown = Form1->RFIDSCOUNT->GetCaption();;) {
        if (WaitUntil([&] { return Form1->RFIDSCOUNT->GetCaption() != shown; }, 1000))
            say(shown = Form1->RFIDSCOUNT->GetCaption());
    }
}
const testsupport::TChildRole kRecordingChild("tag-recording", RecordTagsUntilKilled);

TEST(HidDeskReader, ListedConnectedWithItsSettingsAndDisconnected) {
    HidReaderRig r("rfid-hid");
    ASSERT_TRUE(r.started);
    r.ChooseUsb();
    ASSERT_EQ(Form1->RFIDReaderPort->GetItems()->Count(), 1);
    EXPECT_EQ(Form1->RFIDReaderPort->GetItemIndex(), 0);
    EXPECT_FALSE(Form1->RFIDReaderPort->GetText().empty());

    Form1->RFIDReaderConnectClick(Form1->RFIDReaderConnect);
    ASSERT_TRUE(WaitUntil([&] { return r.reader.Connected() && r.reader.Params().size() == 3; }));
    for (const auto& p : r.reader.Params()) EXPECT_EQ(p, (std::array<std::int32_t, 3>{0, 10, 1}));
    EXPECT_FALSE(Form1->RFIDReaderConnect->GetEnabled());
    EXPECT_TRUE(Form1->RFIDReaderDisConnect->GetEnabled());

    // The serial branch is not touched by the USB reader.
    EXPECT_FALSE(Form1->ComPortRFID->GetConnected());

    Form1->RFIDReaderDisConnectClick(Form1->RFIDReaderDisConnect);
    EXPECT_TRUE(WaitUntil([&] { return !r.reader.Connected(); }));
    EXPECT_TRUE(Form1->RFIDReaderConnect->GetEnabled());
    EXPECT_FALSE(Form1->RFIDReaderDisConnect->GetEnabled());
    // A report after the callback was removed captures nothing.
    r.reader.SendTags({Tid(0x10)});
    testsupport::Pump(100);
    EXPECT_EQ(Form1->aPhone->GetText(), "");
}

TEST(HidDeskReader, AReaderThatGoesAwayIsShownDisconnected) {
    HidReaderRig r("rfid-hid-lost");
    ASSERT_TRUE(r.started);
    r.ChooseUsb();
    auto connected = [&](int opens) {
        return [&r, opens] {
            return r.reader.Opens() == opens && r.reader.Connected() && !Form1->RFIDReaderConnect->GetEnabled();
        };
    };
    auto shownLost = [] {
        return Form1->RFIDReaderConnect->GetEnabled() && !Form1->RFIDReaderDisConnect->GetEnabled() &&
               Form1->MESLABEL->GetCaption() == "Считыватель отключен!";
    };
    // Unplugged, then a message the library does not know: each time the window follows, and
    // the reader can be connected again.
    for (int round = 0; round < 2; ++round) {
        Form1->MESLABEL->SetCaption("");
        testsupport::AccessibleAction(Form1->RFIDReaderConnect->GetWidget());
        ASSERT_TRUE(WaitUntil(connected(round + 1))) << round;
        if (round == 0)
            r.reader.Unplug();
        else
            ASSERT_TRUE(r.reader.SendRaw({'Z', 0, 0, 0, 0}));
        ASSERT_TRUE(WaitUntil(shownLost)) << round;
    }
    testsupport::AccessibleAction(Form1->RFIDReaderConnect->GetWidget());
    ASSERT_TRUE(WaitUntil(connected(3)));
    ASSERT_TRUE(r.reader.SendTags({Tid(0x20)}));
    ASSERT_TRUE(WaitUntil([] { return Form1->aPhone->GetText() == "2728292A2B"; }));
}

TEST(HidDeskReader, NoReaderListsNothingAndConnectDoesNothing) {
    HidReaderRig r("rfid-hid-none");
    unsetenv("ZENTOR_HID_READER");
    r.ChooseUsb();
    EXPECT_EQ(Form1->RFIDReaderPort->GetItems()->Count(), 0);
    EXPECT_EQ(Form1->RFIDReaderPort->GetItemIndex(), -1);
    Form1->RFIDReaderConnectClick(Form1->RFIDReaderConnect);
    EXPECT_TRUE(Form1->RFIDReaderConnect->GetEnabled());
    EXPECT_EQ(r.reader.Opens(), 0);
}

TEST(HidDeskReader, TagReportsRecordedToTheFileUntilStopped) {
    HidReaderRig r("rfid-hid-rec");
    ASSERT_TRUE(r.started);
    ASSERT_TRUE(r.Connect());
    const std::string file = testsupport::TempDir("rfid-hid-rec-file") + "/tags.txt";
    ui::test::PushFileAnswer(file);
    Form1->StartRFIDRecClick(Form1->StartRFIDRec);
    const auto& shown = ui::test::ShownDialogs();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().text, "CSV file [*.csv]|*.csv|TXT file [*.txt]|*.txt");
    EXPECT_EQ(Form1->SaveDialog->GetFilterIndex(), 2);
    EXPECT_EQ(Form1->SaveDialog->GetDefaultExt(), "csv");
    EXPECT_EQ(Form1->RFIDSCOUNT->GetCaption(), "Count: 0");

    // Two records of 18 bytes in one report: the second starts at offset 18.
    ASSERT_TRUE(r.reader.SendTags({Tid(0x01), Tid(0xA0)}));
    ASSERT_TRUE(HidReaderRig::AwaitCount(2));
    EXPECT_EQ(Form1->aPhone->GetText(), "A7A8A9AAAB");
    EXPECT_EQ(Form1->RFIDL->GetCaption(), "RFID: A0A1A2A3A4A5A6A7A8A9AAAB");

    // Kind 1, and kind 2 with count 0, change nothing.
    ASSERT_TRUE(r.reader.SendReport(1, 1, readersim::HidTagRecord(Tid(0x30))));
    ASSERT_TRUE(r.reader.SendReport(2, 0, {}));
    ASSERT_TRUE(r.reader.SendTags({Tid(0x5A)}));
    ASSERT_TRUE(HidReaderRig::AwaitCount(3));
    EXPECT_EQ(Form1->aPhone->GetText(), "6162636465");

    Form1->StopRFIDRecClick(Form1->StopRFIDRec);
    EXPECT_TRUE(Form1->StartRFIDRec->GetEnabled());
    ASSERT_TRUE(r.reader.SendTags({Tid(0x70)}));
    ASSERT_TRUE(WaitUntil([] { return Form1->aPhone->GetText() == "7778797A7B"; }));
    EXPECT_EQ(Form1->RFIDSCOUNT->GetCaption(), "Count: 3");
    EXPECT_EQ(testsupport::ReadFileText(file), "08090A0B0C\r\nA7A8A9AAAB\r\n6162636465\r\n");

    // Starting again on the same file empties it and counts from 0.
    ui::test::PushFileAnswer(file);
    Form1->StartRFIDRecClick(Form1->StartRFIDRec);
    EXPECT_EQ(testsupport::ReadFileText(file), "");
    EXPECT_EQ(Form1->RFIDSCOUNT->GetCaption(), "Count: 0");
    ASSERT_TRUE(r.reader.SendTags({Tid(0x01)}));
    ASSERT_TRUE(HidReaderRig::AwaitCount(1));
    Form1->StopRFIDRecClick(Form1->StopRFIDRec);
    EXPECT_EQ(testsupport::ReadFileText(file), "08090A0B0C\r\n");

    // A cancelled dialog leaves recording off.
    ui::test::PushFileAnswer("");
    Form1->StartRFIDRecClick(Form1->StartRFIDRec);
    EXPECT_TRUE(Form1->StartRFIDRec->GetEnabled());
    EXPECT_FALSE(g_TagFile.IsOpen());
}

// A burst, one report of 3640 tags and then 2000 reports back to back, is recorded whole and
// in order, a report's tags in one write.
TEST(HidDeskReader, ABurstOfTagsIsRecordedWholeAReportInOneWrite) {
    HidReaderRig r("rfid-hid-burst");
    ASSERT_TRUE(r.started);
    ASSERT_TRUE(r.Connect());
    const std::string file = HidReaderRig::StartRecording("rfid-hid-burst-file");
    std::vector<TTid> tags(3640 + 2000);
    std::string lines;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        tags[i] = Tid(static_cast<std::uint8_t>(i));
        tags[i][10] = static_cast<std::uint8_t>(i >> 8);
        lines += RfidTagNumber(tags[i]) + "\r\n";
    }
    const std::uint64_t appends = SafeFileAppendsForTests();
    ASSERT_TRUE(r.reader.SendTags(std::vector<TTid>(tags.begin(), tags.begin() + 3640)));
    ASSERT_TRUE(HidReaderRig::AwaitCount(3640));
    EXPECT_EQ(SafeFileAppendsForTests() - appends, 1u);
    for (std::size_t i = 3640; i < tags.size(); ++i) ASSERT_TRUE(r.reader.SendTags({tags[i]}));
    ASSERT_TRUE(HidReaderRig::AwaitCount(static_cast<int>(tags.size()), 60000));
    EXPECT_EQ(Form1->aPhone->GetText(), RfidTagNumber(tags.back()));
    EXPECT_EQ(testsupport::ReadFileText(file), lines);
}

TEST(HidDeskReader, AFullDiskStopsTheRecordingWithTheTagsWrittenSoFar) {
    HidReaderRig r("rfid-hid-full");
    ASSERT_TRUE(r.started);
    ASSERT_TRUE(r.Connect());
    const std::string dir = testsupport::TempDir("rfid-hid-full-file");
    const std::string file = dir + "/tags.txt";
    // A folder that cannot be written: recording stays off, and the user hears why.
    SetSafeFileReadOnlyFolderForTests(dir);
    ui::test::PushFileAnswer(file);
    testsupport::AccessibleAction(Form1->StartRFIDRec->GetWidget());
    SetSafeFileReadOnlyFolderForTests("");
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(96) + " " + file + " (Файловая система доступна только для чтения)");
    EXPECT_FALSE(g_TagFile.IsOpen());

    ui::test::PushFileAnswer(file);
    testsupport::AccessibleAction(Form1->StartRFIDRec->GetWidget());
    ASSERT_TRUE(g_TagFile.IsOpen());
    ASSERT_TRUE(r.reader.SendTags({Tid(0x01), Tid(0x10)}));
    ASSERT_TRUE(HidReaderRig::AwaitCount(2));
    // The third line finds the disk full halfway.
    SetSafeFileWriteLimitForTests(2 * 12 + 5);
    EXPECT_TRUE(r.reader.SendTags({Tid(0x20)}));
    EXPECT_TRUE(WaitUntil([] { return Form1->StartRFIDRec->GetEnabled(); }));
    SetSafeFileWriteLimitForTests(-1);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(99) + " На устройстве не осталось свободного места");
    EXPECT_EQ(Form1->RFIDSCOUNT->GetCaption(), "Count: 2");
    EXPECT_EQ(testsupport::ReadFileText(file), "08090A0B0C\r\n1718191A1B\r\n");
    ASSERT_TRUE(r.reader.SendTags({Tid(0x30)}));
    ASSERT_TRUE(WaitUntil([] { return Form1->aPhone->GetText() == "3738393A3B"; }));
    EXPECT_EQ(Form1->RFIDSCOUNT->GetCaption(), "Count: 2");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);

    // A recording still running when the window closes keeps its tags.
    ui::test::PushFileAnswer(file);
    testsupport::AccessibleAction(Form1->StartRFIDRec->GetWidget());
    ASSERT_TRUE(r.reader.SendTags({Tid(0x40)}));
    ASSERT_TRUE(HidReaderRig::AwaitCount(1));
    const std::string settings = g_SettingsPath;
    g_SettingsPath = testsupport::TempDir("rfid-hid-full-settings") + "/config.ini";
    Form1->Close();
    g_SettingsPath = settings;
    EXPECT_FALSE(g_TagFile.IsOpen());
    EXPECT_EQ(testsupport::ReadFileText(file), "4748494A4B\r\n");
}

TEST(HidDeskReader, ARecordingKilledAfterThreeTagsKeepsThemInTheFile) {
    readersim::THidReaderSim reader(testsupport::TempDir("rfid-hid-kill-sock") + "/reader.sock");
    ASSERT_TRUE(reader.Start());
    const std::string dir = testsupport::TempDir("rfid-hid-kill-file");
    const std::string file = dir + "/tags.csv";
    ASSERT_TRUE(WriteFileSafely(file, "an old recording\r\n"));
    testsupport::TChildProcess child("tag-recording",
                                     {"ZENTOR_HID_READER=" + reader.Path(), "ZENTOR_TEST_TAG_FILE=" + file});
    std::string line;
    ASSERT_TRUE(child.ReadLine(line, 60000));
    ASSERT_EQ(line, "recording");
    ASSERT_TRUE(WaitUntil([&] { return reader.Connected(); }));
    for (std::uint8_t first : {0x01, 0x10, 0x20}) {
        ASSERT_TRUE(reader.SendTags({Tid(first)}));
        ASSERT_TRUE(child.ReadLine(line));
    }
    EXPECT_EQ(line, "Count: 3");
    ASSERT_TRUE(child.Kill());
    EXPECT_EQ(testsupport::ReadFileText(file), "08090A0B0C\r\n1718191A1B\r\n2728292A2B\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
}
