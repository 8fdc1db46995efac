// The number base transfer in a cloud session: smaller write blocks, longer countdowns and the
// action-log lines, with the frames caught where the cloud socket would send them.
#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "cloud/CloudSession.h"
#include "device/LinkPeers.h"
#include "memory/MemoryState.h"
#include "memory/PhoneBase.h"
#include "platform/sys/Clock.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/Dialogs.h"
#include "tools/devsim/DevFrame.h"

namespace {

using devsim::Bytes;

class NumbersCloud : public ::testing::Test {
protected:
    void SetUp() override {
        SetPhoneRecords({});
        StopPhoneTransfers();
        Application->CreateForm(Form1);
        ui::test::ClearDialogs();
        CloudEndSaid({});  // a window closed by an earlier test leaves why its session ended
        g_CloudSession = 1;
        g_CloudFrameSender = [this](const std::uint8_t* bytes, int len) {
            Bytes frame(bytes, bytes + len);
            devsim::FrameScanner scanner;
            for (const devsim::Frame& f : scanner.Feed(frame.data(), frame.size())) sent.push_back(f);
            return len;
        };
    }
    void TearDown() override {
        g_CloudSession = 0;
        g_CloudFrameSender = nullptr;
        StopPhoneTransfers();
        delete Form1;
        Form1 = nullptr;
        SetPhoneRecords({});
    }
    static void Reply(std::uint8_t command, const Bytes& data) {
        const Bytes frame = devsim::BuildReply(command, data);
        Form1->Read_Data(frame.data() + 4, frame.size() - 4);
    }
    static std::string LastLog() {
        TStrings* lines = Form1->MiniLOG->GetLines();
        return lines->GetCount() ? lines->Get(lines->GetCount() - 1) : "";
    }
    std::vector<devsim::Frame> sent;
};

TEST_F(NumbersCloud, WriteGoesInBlocksOfFifteen) {
    TStringGrid* g = Form1->PhonesGrid;
    g->SetRowCount(42);
    for (int r = 1; r <= 40; ++r) g->SetCells(1, r, std::to_string(9000000000LL + r));
    ui::test::PushDialogAnswer(IDYES);
    Form1->UiButton6Click(nullptr);
    EXPECT_EQ(LastLog(), "Выгрузка номеров");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 0x2D);
    EXPECT_EQ(sent[0].data.size(), 5u + 15 * 64);
    EXPECT_EQ(Bytes(sent[0].data.begin(), sent[0].data.begin() + 5), (Bytes{0x00, 0x00, 0x00, 15, 0x00}));

    Reply(0x2D, {0x00, 0x00});
    EXPECT_EQ(LastLog(), "<< Ответ на запрос выгрузки номеров");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(Bytes(sent[1].data.begin(), sent[1].data.begin() + 5), (Bytes{0x00, 15, 0x00, 15, 0x00}));
    // Six seconds without an answer before the block goes again.
    sys::AdvanceMs(5990);
    EXPECT_EQ(sent.size(), 2u);
    sys::AdvanceMs(10);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2].data, sent[1].data);
    // Both copies are answered: the second answer moves nothing on.
    Reply(0x2D, {0x00, 0x00});
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(Bytes(sent[3].data.begin(), sent[3].data.begin() + 5), (Bytes{0x00, 30, 0x00, 10, 0x00}));
    Reply(0x2D, {0x00, 0x00});
    EXPECT_EQ(sent.size(), 4u);
    Reply(0x2D, {0x00, 0x00});
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[4].data, (Bytes{0x02}));
    EXPECT_EQ(sent[5].command, 0x2C);
    EXPECT_EQ(sent[5].data, (Bytes{0x00}));
    Reply(0x2C, {0x00, 40, 0x00});
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Запись памяти номеров завершена");

    // The end of the session ends the write at once, says what it leaves, and no countdown
    // sends anything after it.
    Form1->StartWritePhonesMemory();
    ASSERT_EQ(sent.size(), 7u);
    Form1->ClientSocketDisconnect(nullptr, nullptr);
    sys::ServeGuiCalls();
    EXPECT_EQ(Form1->MESLABEL->GetCaption(),
              "Связь с устройством потеряна.\r\nЗапись памяти номеров прервана (записано 0 из 40). Устройство стёрло "
              "свою базу перед записью и теперь может хранить только часть номеров: запишите базу снова.");
    EXPECT_FALSE(Form1->ProcPanel->GetVisible());
    sys::AdvanceMs(10000);
    EXPECT_EQ(sent.size(), 7u);
}

TEST_F(NumbersCloud, ReadAsksAgainAfterThreeSeconds) {
    Form1->UiButton5Click(nullptr);
    EXPECT_EQ(LastLog(), "Загрузка номеров");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].data, (Bytes{0x00}));
    Reply(0x2C, {0x00, 0x02, 0x00});
    EXPECT_EQ(LastLog(), "<< Ответ на запрос загрузки номеров");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].data, (Bytes{0x01, 0x00, 0x00}));
    sys::AdvanceMs(2990);
    EXPECT_EQ(sent.size(), 2u);
    sys::AdvanceMs(10);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2].data, (Bytes{0x01, 0x00, 0x00}));
    // A block for another index is dropped without a word.
    Bytes block = {0x01, 0x01, 0x00, 0x01, 0x00};
    block.resize(5 + 64);
    block[5] = 0xAA;
    block[6] = '7';
    Reply(0x2C, block);
    EXPECT_EQ(sent.size(), 3u);
    // Both records in one block: the grid shows them.
    Bytes both = {0x01, 0x00, 0x00, 0x02, 0x00};
    both.resize(5 + 128);
    both[5] = 0xAA;
    both[6] = '5';
    both[5 + 64] = 0xAA;
    both[6 + 64] = '6';
    Reply(0x2C, both);
    EXPECT_EQ(Form1->PhonesGrid->GetCells(1, 1), "5");
    EXPECT_EQ(Form1->PhonesGrid->GetCells(1, 2), "6");
    EXPECT_EQ(Form1->PhonesGrid->GetRowCount(), 4);
    sys::AdvanceMs(5000);
    EXPECT_EQ(sent.size(), 3u);
}

}  // namespace
