// Number base transfer: request bytes and reply decoding laid out by hand, and whole reads
// and writes driven reply by reply and tick by tick.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "memory/NumberTransfer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Number 90000000NN, everything else zero but the mark.
PhoneRecord Numbered(int i) {
    PhoneRecord r;
    r[0] = 0xAA;
    const std::string number = "90000000" + std::string(i < 10 ? "0" : "") + std::to_string(i);
    std::memcpy(r.data() + 1, number.data(), 10);
    r[37] = static_cast<std::uint8_t>(i);
    return r;
}

std::vector<PhoneRecord> Base(int n) {
    std::vector<PhoneRecord> v;
    for (int i = 0; i < n; ++i) v.push_back(Numbered(i));
    return v;
}

// A 0x2C block reply: 01, index, n, then the records from..from + n - 1.
Bytes BlockReply(std::uint16_t index, std::uint16_t n, int from, int records) {
    Bytes b = {0x01, static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8),
               static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8)};
    for (int i = 0; i < records; ++i) {
        const PhoneRecord r = Numbered(from + i);
        b.insert(b.end(), r.Bytes.begin(), r.Bytes.end());
    }
    return b;
}

TTransferStep Ticks(TPhoneReadTransfer& t, int n) {
    TTransferStep last;
    for (int i = 0; i < n; ++i) last = t.OnTick();
    return last;
}
TTransferStep Ticks(TPhoneWriteTransfer& t, int n) {
    TTransferStep last;
    for (int i = 0; i < n; ++i) last = t.OnTick();
    return last;
}

TEST(NumberTransfer, RequestBytes) {
    EXPECT_EQ(PhonesReadStartData(), (Bytes{0x00}));
    EXPECT_EQ(PhonesBlockRequestData(0x0123), (Bytes{0x01, 0x23, 0x01}));
    EXPECT_EQ(PhonesEraseData(), (Bytes{0x01}));
    EXPECT_EQ(PhonesWriteEndData(), (Bytes{0x02}));

    const auto base = Base(3);
    const Bytes block = PhonesWriteBlockData(base, 1, 2);
    ASSERT_EQ(block.size(), 5u + 2 * 64);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 5), (Bytes{0x00, 0x01, 0x00, 0x02, 0x00}));
    EXPECT_EQ(block[5], 0xAA);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block[6]), 10), "9000000001");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block[5 + 64 + 1]), 10), "9000000002");
    // Asking past the end sends only the records there are.
    EXPECT_EQ(PhonesWriteBlockData(base, 2, 31).size(), 5u + 64);
    EXPECT_EQ(PhonesWriteBlockData(base, 7, 31), (Bytes{0x00, 0x07, 0x00, 0x00, 0x00}));
}

TEST(NumberTransfer, ReplyDecoding) {
    auto count = DecodePhonesReadReply(Bytes{0x00, 0x46, 0x00});
    ASSERT_TRUE(count);
    EXPECT_TRUE(count->IsCount);
    EXPECT_EQ(count->Count, 70);
    EXPECT_FALSE(DecodePhonesReadReply(Bytes{0x00, 0x46}));
    EXPECT_FALSE(DecodePhonesReadReply(Bytes{0x02, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_FALSE(DecodePhonesReadReply(Bytes{0x01, 0x00, 0x00, 0x01}));

    // Three records announced, two and a half present: two are taken.
    Bytes cut = BlockReply(0x0102, 3, 5, 3);
    cut.resize(5 + 64 * 2 + 32);
    auto block = DecodePhonesReadReply(cut);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->Index, 0x0102);
    EXPECT_EQ(block->Announced, 3);
    ASSERT_EQ(block->Records.size(), 2u);
    EXPECT_EQ(block->Records[1], Numbered(6));

    auto w = DecodePhonesWriteReply(Bytes{0x00, 0x0A, 0x28, 0x00, 0x00, 0x00});
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Detail, 0x0A);
    EXPECT_EQ(w->Next, 40u);
    EXPECT_FALSE(DecodePhonesWriteReply(Bytes{0x00, 0x0A, 0x28}));
    EXPECT_FALSE(DecodePhonesWriteReply(Bytes{0x00}));
    EXPECT_FALSE(DecodePhonesWriteReply(Bytes{}));
    ASSERT_TRUE(DecodePhonesWriteReply(Bytes{0x07}));
    EXPECT_EQ(DecodePhonesWriteReply(Bytes{0x07})->Result, 7);
}

TEST(NumberTransfer, WholeReadWithReRequestAndWrongIndex) {
    TPhoneReadTransfer t;
    EXPECT_EQ(t.Start(), (Bytes{0x00}));
    // A block before any count is no part of a read.
    EXPECT_TRUE(t.OnReply(BlockReply(0, 1, 0, 1)).Request.empty());

    TTransferStep s = t.OnReply(Bytes{0x00, 0x46, 0x00});  // 70 records
    EXPECT_EQ(s.Request, (Bytes{0x01, 0x00, 0x00}));
    EXPECT_EQ(s.PanelText, "Чтение памяти номеров (0/70)");
    EXPECT_TRUE(s.ProgressChanged);
    EXPECT_EQ(s.Percent, 0);
    EXPECT_EQ(s.ProgressText, "0/70");
    EXPECT_EQ(t.GetBlockTimeout(), 50);

    s = t.OnReply(BlockReply(0, 31, 0, 31));
    EXPECT_EQ(s.Request, (Bytes{0x01, 0x1F, 0x00}));
    EXPECT_EQ(s.Percent, 44);  // 31 x 100 / 70
    EXPECT_EQ(s.ProgressText, "31/70");
    EXPECT_EQ(s.PanelText, "Чтение памяти номеров (31/70)");

    // A reply for another index is dropped without a word.
    s = t.OnReply(BlockReply(0, 31, 0, 31));
    EXPECT_TRUE(s.Request.empty());
    EXPECT_FALSE(s.ProgressChanged);
    EXPECT_TRUE(s.Message.empty());
    EXPECT_EQ(t.GetNextIndex(), 31);

    // The lost reply costs one countdown of 50 ticks, then the same block is asked again.
    EXPECT_TRUE(Ticks(t, 49).Request.empty());
    s = t.OnTick();
    EXPECT_EQ(s.Request, (Bytes{0x01, 0x1F, 0x00}));
    EXPECT_EQ(t.GetBlockTimeout(), 50);

    s = t.OnReply(BlockReply(31, 31, 31, 31));
    EXPECT_EQ(s.Request, (Bytes{0x01, 0x3E, 0x00}));
    // The last block carries three records more than the count still needs.
    s = t.OnReply(BlockReply(62, 11, 62, 11));
    EXPECT_TRUE(s.Request.empty());
    EXPECT_EQ(s.End, TTransferEnd::Completed);
    EXPECT_EQ(s.Message, "Чтение памяти номеров завершено");
    EXPECT_TRUE(s.ProgressChanged);
    EXPECT_EQ(s.Percent, -1);
    EXPECT_EQ(s.ProgressText, "");
    EXPECT_EQ(t.GetBlockTimeout(), 0);
    EXPECT_FALSE(t.Reading());

    const auto records = t.TakeRecords();
    ASSERT_EQ(records.size(), 70u);
    for (int i = 0; i < 70; ++i) EXPECT_EQ(records[i], Numbered(i)) << i;
    EXPECT_TRUE(t.TakeRecords().empty());

    // After the end neither a late block nor the clock does anything.
    EXPECT_EQ(t.OnReply(BlockReply(70, 1, 70, 1)).End, TTransferEnd::None);
    EXPECT_TRUE(Ticks(t, 500).Request.empty());
}

TEST(NumberTransfer, CountIsAskedForUntilItsOwnTimeEnds) {
    // Its time is its own: a wait panel that some other reply closes does not end it.
    TPhoneReadTransfer t;
    EXPECT_EQ(t.Start(2), (Bytes{0x00}));
    int asked = 0;
    for (int i = 0; i < 199; ++i) {
        const TTransferStep s = t.OnTick();
        asked += !s.Request.empty();
        EXPECT_EQ(s.MessageNumber, 0);
    }
    EXPECT_EQ(asked, 3);  // at 0.5, 1 and 1.5 s
    EXPECT_EQ(t.OnTick().MessageNumber, 4);
    EXPECT_FALSE(t.AwaitingCount());
    EXPECT_TRUE(Ticks(t, 500).Request.empty());
}

TEST(NumberTransfer, CloudReadCountdownAndCutBlocks) {
    TPhoneReadTransfer t;
    t.SetLink(TLink::Cloud);
    // A lost count is asked for again at the block's countdown, until it comes.
    EXPECT_EQ(t.Start(), (Bytes{0x00}));
    EXPECT_TRUE(Ticks(t, 299).Request.empty());
    EXPECT_EQ(t.OnTick().Request, (Bytes{0x00}));
    EXPECT_TRUE(t.AwaitingCount());
    t.OnReply(Bytes{0x00, 0x03, 0x00});
    EXPECT_FALSE(t.AwaitingCount());
    EXPECT_EQ(t.GetBlockTimeout(), 300);
    // A block that announces three but holds one record advances by one.
    Bytes cut = BlockReply(0, 3, 0, 1);
    TTransferStep s = t.OnReply(cut);
    EXPECT_EQ(s.Request, (Bytes{0x01, 0x01, 0x00}));
    EXPECT_EQ(s.Percent, 33);
    EXPECT_TRUE(Ticks(t, 299).Request.empty());
    EXPECT_EQ(t.OnTick().Request, (Bytes{0x01, 0x01, 0x00}));
    // A count nobody asked for (a copy of the first) changes nothing: the read goes on.
    EXPECT_TRUE(t.OnReply(Bytes{0x00, 0x02, 0x00}).Request.empty());
    EXPECT_EQ(t.GetNextIndex(), 1);
    s = t.OnReply(BlockReply(1, 2, 10, 2));
    EXPECT_EQ(s.End, TTransferEnd::Completed);
    EXPECT_EQ(t.TakeRecords()[1], Numbered(10));
}

TEST(NumberTransfer, EmptyDeviceStopsTheCountdown) {
    TPhoneReadTransfer t;
    t.Start();
    t.OnReply(Bytes{0x00, 0x05, 0x00});
    t.Start();
    const TTransferStep s = t.OnReply(Bytes{0x00, 0x00, 0x00});
    EXPECT_EQ(s.End, TTransferEnd::Empty);
    EXPECT_EQ(s.Message, "Память номеров пуста!");
    EXPECT_TRUE(s.Request.empty());
    EXPECT_TRUE(Ticks(t, 100).Request.empty());
    EXPECT_TRUE(t.OnReply(BlockReply(0, 1, 0, 1)).Request.empty());
}

TEST(NumberTransfer, WholeWriteOnTheCable) {
    TPhoneWriteTransfer t;
    TTransferStep s = t.Start(Base(40));
    ASSERT_EQ(s.Request.size(), 31u * 64 + 5);
    EXPECT_EQ(Bytes(s.Request.begin(), s.Request.begin() + 5), (Bytes{0x00, 0x00, 0x00, 0x1F, 0x00}));
    EXPECT_EQ(s.Request, PhonesWriteBlockData(Base(40), 0, 31));
    EXPECT_EQ(s.PanelText, "Запись памяти номеров (0/40)");
    EXPECT_EQ(s.ProgressText, "0/40");
    EXPECT_EQ(s.Percent, 0);
    EXPECT_EQ(t.GetWriteTimeout(), 300);
    EXPECT_EQ(t.GetNextIndex(), 31u);

    s = t.OnReply(Bytes{0x00, 0x00});
    ASSERT_EQ(s.Request.size(), 9u * 64 + 5);
    EXPECT_EQ(Bytes(s.Request.begin(), s.Request.begin() + 5), (Bytes{0x00, 0x1F, 0x00, 0x09, 0x00}));
    EXPECT_EQ(s.Percent, 77);  // 31 x 100 / 40
    EXPECT_EQ(s.PanelText, "Запись памяти номеров (31/40)");
    const Bytes second = s.Request;

    // A refused block shows its code; the countdown keeps running and sends it again.
    s = t.OnReply(Bytes{0x05});
    EXPECT_EQ(s.ResultCode, 5);
    EXPECT_TRUE(s.Request.empty());
    EXPECT_TRUE(Ticks(t, 299).Request.empty());
    s = t.OnTick();
    EXPECT_EQ(s.Request, second);
    EXPECT_EQ(t.GetNextIndex(), 40u);

    // The copy sent again is acknowledged: the end request, then the device's count.
    s = t.OnReply(Bytes{0x00, 0x00});
    EXPECT_EQ(s.Request, (Bytes{0x02}));
    EXPECT_TRUE(s.AskCount);
    EXPECT_EQ(s.End, TTransferEnd::None);
    EXPECT_TRUE(s.Message.empty());
    EXPECT_EQ(s.Percent, 100);
    EXPECT_TRUE(t.Writing());
    EXPECT_TRUE(t.AwaitingCount());
    // The acknowledgement of the copy refused earlier, and the end's own: no second end.
    EXPECT_TRUE(t.OnReply(Bytes{0x00, 0x00}).Request.empty());
    EXPECT_TRUE(t.OnReply(Bytes{0x00, 0x02}).Request.empty());

    // A count short of the records written is no completion.
    TPhoneWriteTransfer short_;
    short_.Start(Base(3));
    short_.OnReply(Bytes{0x00, 0x00});
    s = short_.OnCountReply(Bytes{0x00, 0x02, 0x00});
    EXPECT_EQ(s.End, TTransferEnd::Unconfirmed);
    EXPECT_EQ(s.Message.substr(0, s.Message.find("//\\")),
              "Запись памяти номеров не подтверждена: устройство хранит 2 из 3 номеров. База в устройстве неполная: "
              "запишите базу снова.");
    EXPECT_FALSE(short_.Writing());

    // A lost count goes again with the end on the countdown; the first answer decides, and
    // the answer to the repeat is the write's too, not the start of a read.
    EXPECT_TRUE(Ticks(t, 299).Request.empty());
    s = t.OnTick();
    EXPECT_EQ(s.Request, (Bytes{0x02}));
    EXPECT_TRUE(s.AskCount);
    s = t.OnCountReply(Bytes{0x00, 0x28, 0x00});
    EXPECT_EQ(s.End, TTransferEnd::Completed);
    EXPECT_EQ(s.Message, "Запись памяти номеров завершена");
    EXPECT_EQ(s.Percent, -1);
    EXPECT_EQ(t.GetWriteTimeout(), 0);
    EXPECT_FALSE(t.Writing());
    EXPECT_TRUE(t.AwaitingCount());
    EXPECT_EQ(t.OnCountReply(Bytes{0x00, 0x28, 0x00}).End, TTransferEnd::None);
    EXPECT_FALSE(t.AwaitingCount());
    EXPECT_TRUE(Ticks(t, 1000).Request.empty());
}

// Copies of a block sent again while the device's answers stall are answered once each: the
// answers count for that block alone, however many come at once.
TEST(NumberTransfer, AnAcknowledgementCountsForOneBlockCopyAtMost) {
    TPhoneWriteTransfer t;
    t.Start(Base(100), kPhonesWaitRemote);
    t.OnReply(Bytes{0x00, 0x00});  // block 0; block 31 goes
    for (int copy = 0; copy < 6; ++copy) EXPECT_EQ(Ticks(t, 300).Request, PhonesWriteBlockData(Base(100), 31, 31));
    TTransferStep s = t.OnReply(Bytes{0x00, 0x00});
    EXPECT_EQ(s.Request, PhonesWriteBlockData(Base(100), 62, 31));
    for (int copy = 0; copy < 6; ++copy) EXPECT_TRUE(t.OnReply(Bytes{0x00, 0x00}).Request.empty());
    EXPECT_EQ(t.GetWriteIndex(), 62u);
    EXPECT_EQ(t.OnReply(Bytes{0x00, 0x00}).Request, PhonesWriteBlockData(Base(100), 93, 7));

    // A copy whose answer was lost leaves the next answer taken for it; after the silence the
    // block goes again with a count request behind it, whose answer sorts the rest out.
    TPhoneWriteTransfer lost;
    lost.Start(Base(100));
    EXPECT_FALSE(Ticks(lost, 300).Request.empty());  // block 0 again: the first answer is lost
    lost.OnReply(Bytes{0x00, 0x00});                  // block 31 goes
    EXPECT_TRUE(lost.OnReply(Bytes{0x00, 0x00}).Request.empty());
    s = Ticks(lost, 300);
    EXPECT_EQ(s.Request, PhonesWriteBlockData(Base(100), 31, 31));
    EXPECT_TRUE(s.AskCount);
    EXPECT_EQ(lost.OnReply(Bytes{0x00, 0x00}).Request, PhonesWriteBlockData(Base(100), 62, 31));
    EXPECT_TRUE(lost.OnCountReply(Bytes{0x00, 0x3E, 0x00}).Request.empty());
    EXPECT_EQ(lost.OnReply(Bytes{0x00, 0x00}).Request, PhonesWriteBlockData(Base(100), 93, 7));

    // Answers naming the next index stay the device's word; an older copy's naming the block
    // in flight sends nothing more.
    TPhoneWriteTransfer named;
    named.Start(Base(100));
    Ticks(named, 300);
    EXPECT_EQ(named.OnReply(Bytes{0x00, 0x0A, 31, 0, 0, 0}).Request, PhonesWriteBlockData(Base(100), 31, 31));
    EXPECT_TRUE(named.OnReply(Bytes{0x00, 0x0A, 31, 0, 0, 0}).Request.empty());
    EXPECT_EQ(named.OnReply(Bytes{0x00, 0x0A, 62, 0, 0, 0}).Request, PhonesWriteBlockData(Base(100), 62, 31));
}

TEST(NumberTransfer, CloudWriteBlocksOfFifteen) {
    TPhoneWriteTransfer t;
    t.SetLink(TLink::Cloud);
    std::vector<Bytes> heads;
    TTransferStep s = t.Start(Base(40));
    EXPECT_EQ(t.GetWriteTimeout(), 600);
    while (!s.AskCount) {
        heads.emplace_back(s.Request.begin(), s.Request.begin() + 5);
        s = t.OnReply(Bytes{0x00, 0x00});
    }
    ASSERT_EQ(heads.size(), 3u);
    EXPECT_EQ(heads[0], (Bytes{0x00, 0x00, 0x00, 0x0F, 0x00}));
    EXPECT_EQ(heads[1], (Bytes{0x00, 0x0F, 0x00, 0x0F, 0x00}));
    EXPECT_EQ(heads[2], (Bytes{0x00, 0x1E, 0x00, 0x0A, 0x00}));
    EXPECT_EQ(s.Request, (Bytes{0x02}));
}

TEST(NumberTransfer, DeviceNamesTheNextIndex) {
    TPhoneWriteTransfer t;
    t.Start(Base(40));
    // The device goes back to record 5.
    TTransferStep s = t.OnReply(Bytes{0x00, 0x0A, 0x05, 0x00, 0x00, 0x00});
    EXPECT_EQ(Bytes(s.Request.begin(), s.Request.begin() + 5), (Bytes{0x00, 0x05, 0x00, 0x1F, 0x00}));
    EXPECT_EQ(t.GetWriteIndex(), 5u);
    EXPECT_EQ(t.GetNextIndex(), 36u);
    // An index at the count ends the write at once.
    s = t.OnReply(Bytes{0x00, 0x0A, 0x28, 0x00, 0x00, 0x00});
    EXPECT_EQ(s.Request, (Bytes{0x02}));
    EXPECT_TRUE(s.AskCount);

    // An index beyond every count ends it too, instead of sending from a wrapped index.
    t.Start(Base(3));
    s = t.OnReply(Bytes{0x00, 0x0A, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(s.Request, (Bytes{0x02}));
    EXPECT_TRUE(s.AskCount);

    // Another detail ends nothing and sends nothing.
    t.Start(Base(3));
    s = t.OnReply(Bytes{0x00, 0x07});
    EXPECT_TRUE(s.Request.empty());
    EXPECT_TRUE(t.Writing());
}

// A block the device never answers is asked for (sent) again while the wait lasts, counted
// from the last progress; then the transfer ends with message 4 and what it leaves.
TEST(NumberTransfer, AnUnansweredBlockEndsTheTransferAfterItsWait) {
    TPhoneReadTransfer r;
    r.Start(2);
    r.OnReply(Bytes{0x00, 0x28, 0x00});  // 40 records
    r.OnReply(BlockReply(0, 31, 0, 31));
    int asked = 0;
    for (int i = 0; i < 199; ++i) {
        asked += !r.OnTick().Request.empty();
        if (i == 120) r.Heard();  // bytes on the link put a repeat off, never the end
    }
    EXPECT_EQ(asked, 3);  // at 0.5 and 1 s, then 0.5 s after the bytes
    TTransferStep s = r.OnTick();
    EXPECT_EQ(s.End, TTransferEnd::NoAnswer);
    EXPECT_EQ(s.MessageNumber, 4);
    EXPECT_EQ(s.Message.substr(0, s.Message.find("//\\")),
              "Чтение памяти номеров прервано (получено 31 из 40). Таблица номеров осталась прежней.");
    EXPECT_EQ(s.Percent, -1);
    EXPECT_FALSE(r.Running());
    EXPECT_TRUE(Ticks(r, 1000).Request.empty());

    TPhoneWriteTransfer w;
    w.Start(Base(40));
    w.OnReply(Bytes{0x00, 0x00});
    for (int i = 0; i < 1499; ++i) asked += !w.OnTick().Request.empty();
    EXPECT_EQ(asked, 3 + 4);  // every 3 s
    s = w.OnTick();
    EXPECT_EQ(s.End, TTransferEnd::NoAnswer);
    EXPECT_EQ(s.MessageNumber, 4);
    EXPECT_EQ(s.Message.substr(0, s.Message.find('.')), "Запись памяти номеров прервана (записано 31 из 40)");
    EXPECT_FALSE(w.Writing());
    EXPECT_TRUE(Ticks(w, 1000).Request.empty());
}

TEST(NumberTransfer, EmptyGridErasesTheBase) {
    TPhoneWriteTransfer t;
    TTransferStep s = t.Start({});
    EXPECT_EQ(s.Request, (Bytes{0x01}));
    EXPECT_EQ(s.Message, "Чистка памяти номеров");
    EXPECT_EQ(s.End, TTransferEnd::EraseSent);
    EXPECT_FALSE(t.Writing());
    EXPECT_TRUE(Ticks(t, 1000).Request.empty());
    s = t.OnReply(Bytes{0x00, 0x01});
    EXPECT_EQ(s.Message, "Очистка памяти номеров завершена");
    EXPECT_TRUE(s.Request.empty());
}

}  // namespace
