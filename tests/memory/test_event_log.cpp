// Event records laid out by hand, their grid rows and export bytes, a whole block read of
// the device's log, and the notices, diagnostic reports and defragmentation results.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "memory/EventLogTransfer.h"
#include "memory/EventNotices.h"
#include "memory/EventRecord.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// 1700000000 = 0x6553F100: 14 November 2023 22:13:20.
EventRecord Record(const char* number, std::uint8_t operation, const char* object, std::uint32_t time = 1700000000) {
    EventRecord r;
    r[0] = static_cast<std::uint8_t>(time);
    r[1] = static_cast<std::uint8_t>(time >> 8);
    r[2] = static_cast<std::uint8_t>(time >> 16);
    r[3] = static_cast<std::uint8_t>(time >> 24);
    std::memcpy(r.data() + 4, number, std::strlen(number));
    r[15] = operation;
    std::memcpy(r.data() + 16, object, std::min<std::size_t>(std::strlen(object), 16));
    return r;
}

Bytes AsBytes(const EventRecord& r) { return Bytes(r.Bytes.begin(), r.Bytes.end()); }

TEST(EventRecord, FieldsAndTexts) {
    const EventRecord r = Record("9000000001", 0, "OUT1");
    EXPECT_EQ(r.GetTime(), 1700000000u);
    EXPECT_EQ(r.GetNumber(), "9000000001");
    EXPECT_EQ(r.GetOperation(), 0);
    EXPECT_EQ(r.GetObject(), "OUT1");
    EXPECT_EQ(Record("1", 0, "ABCDEFGHIJKLMNOPQ").GetObject(), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(Record("1", 0, "\xC2\xEE\xF0\xEE\xF2\xE0").GetObject(), "Ворота");

    EXPECT_EQ(OperationToText(0), "Управление выходом");
    EXPECT_EQ(OperationToText(1), "Дабавлен номер");
    EXPECT_EQ(OperationToText(14), "Открыто соединение удаленного порта");
    EXPECT_EQ(OperationToText(21), "Фиксация фотоизображения");
    EXPECT_EQ(OperationToText(28), "Выезд");
    EXPECT_EQ(OperationToText(29), "Не известная: 29");
    EXPECT_EQ(OperationToText(255), "Не известная: 255");
    EXPECT_EQ(EventTimeText(1700000000), "14.11.2023 22:13");
    EXPECT_EQ(EventTimeText(0), "01.01.1970 00:00");
}

TEST(EventRecord, GridRowsAndExport) {
    const std::vector<EventRecord> records = {Record("9000000001", 0, "OUT1"),
                                              Record("9000000002", 29, "\xC2\xEE\xF0\xEE\xF2\xE0", 1700000039)};  // 22:13:59
    const auto rows = EventRecordsToGridRows(records);
    ASSERT_EQ(rows.size(), 3u);  // grid row count 4: header, two records, one empty row
    EXPECT_EQ(rows[0], (TLogGridRow{"1", "14.11.2023 22:13", "9000000001", "Управление выходом", "OUT1"}));
    EXPECT_EQ(rows[1], (TLogGridRow{"2", "14.11.2023 22:13", "9000000002", "Не известная: 29", "Ворота"}));
    EXPECT_EQ(rows[2], TLogGridRow{});
    EXPECT_TRUE(EventRecordsToGridRows({}).empty());

    std::vector<TLogGridRow> grid = {TLogGridRow{"№", "Дата события", "Абонент", "Операция", "Объект влияния"}};
    grid.insert(grid.end(), rows.begin(), rows.end());
    const std::string header =
        "\xC4\xE0\xF2\xE0 \xF1\xEE\xE1\xFB\xF2\xE8\xFF\t\xCD\xEE\xEC\xE5\xF0 \xE0\xE1\xEE\xED\xE5\xED\xF2\xE0\t"
        "\xCE\xEF\xE5\xF0\xE0\xF6\xE8\xFF\t\xCE\xE1\xFA\xE5\xEA\xF2 \xE2\xEB\xE8\xFF\xED\xE8\xFF\r\n";
    EXPECT_EQ(EventLogExport(grid),
              header + "14.11.2023 22:13\t9000000001\t\xD3\xEF\xF0\xE0\xE2\xEB\xE5\xED\xE8\xE5 "
                       "\xE2\xFB\xF5\xEE\xE4\xEE\xEC\tOUT1\r\n"
                       "14.11.2023 22:13\t9000000002\t\xCD\xE5 \xE8\xE7\xE2\xE5\xF1\xF2\xED\xE0\xFF: 29\t"
                       "\xC2\xEE\xF0\xEE\xF2\xE0\r\n");
    EXPECT_EQ(EventLogExport({grid[0], TLogGridRow{}}), header);
    EXPECT_EQ(EventLogExportFileName("861234567890123"), "log_861234567890123.txt");

    EXPECT_EQ(FindInLogTable(grid, "9000000002", logColNumber), 2);
    EXPECT_EQ(FindInLogTable(grid, "Абонент", logColNumber), -1);  // the header is not searched
    EXPECT_EQ(FindInLogTable(grid, "x", 9), -1);
}

Bytes LogBlock(std::uint16_t index, std::uint16_t n, int from, int records) {
    Bytes b = {0x01, static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8),
               static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8)};
    for (int i = 0; i < records; ++i) {
        const Bytes r = AsBytes(Record(std::to_string(9000000000 + from + i).c_str(), 0, "OUT1"));
        b.insert(b.end(), r.begin(), r.end());
    }
    return b;
}

TEST(EventLogTransfer, RequestsAndReplies) {
    EXPECT_EQ(LogBlockRequestData(0x0203), (Bytes{0x01, 0x03, 0x02}));
    EXPECT_EQ(LogClearData(), (Bytes{0x0A}));
    Bytes cut = LogBlock(4, 3, 0, 2);
    cut.resize(cut.size() - 16);  // one and a half records
    const auto block = DecodeLogReply(cut);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->What, TLogReply::Kind::Block);
    EXPECT_EQ(block->Index, 4);
    EXPECT_EQ(block->Announced, 3);
    EXPECT_EQ(block->Records.size(), 1u);
    EXPECT_FALSE(DecodeLogReply(Bytes{0x00, 0x01}));
    EXPECT_FALSE(DecodeLogReply(Bytes{0x01, 0x00, 0x00, 0x01}));
    EXPECT_FALSE(DecodeLogReply(Bytes{0x05}));
    ASSERT_TRUE(DecodeLogReply(Bytes{0x0A}));
}

TEST(EventLogTransfer, WholeReadWithWrongIndexAndReRequest) {
    TEventLogTransfer t;
    // A block before any count belongs to no read.
    TTransferStep s = t.OnReply(LogBlock(0, 1, 0, 1));
    EXPECT_EQ(s.MessageNumber, 0);
    EXPECT_TRUE(s.Message.empty());

    s = t.OnReply(Bytes{0x00, 0x46, 0x00});  // 70 records
    EXPECT_EQ(s.Request, (Bytes{0x01, 0x00, 0x00}));
    EXPECT_EQ(s.Message, "Чтение хронологии");
    EXPECT_EQ(s.PanelText, "Чтение хронологии");
    EXPECT_TRUE(s.ProgressChanged);
    EXPECT_EQ(s.Percent, 0);
    EXPECT_EQ(t.GetBlockTimeout(), 50);

    s = t.OnReply(LogBlock(0, 31, 0, 31));
    EXPECT_EQ(s.Request, (Bytes{0x01, 0x1F, 0x00}));
    EXPECT_EQ(s.Percent, 44);

    // The block just taken again (the answer to a repeat): dropped without a word.
    s = t.OnReply(LogBlock(0, 31, 0, 31));
    EXPECT_EQ(s.MessageNumber, 0);
    EXPECT_TRUE(s.Message.empty());
    EXPECT_TRUE(s.Request.empty());
    // A block ahead of the expected one: message 39, nothing else.
    s = t.OnReply(LogBlock(62, 8, 62, 8));
    EXPECT_EQ(s.MessageNumber, 39);
    EXPECT_TRUE(s.Request.empty());
    EXPECT_FALSE(s.ProgressChanged);
    EXPECT_EQ(t.GetNextIndex(), 31);
    // One that brings no records is no progress: it waits for the countdown.
    EXPECT_TRUE(t.OnReply(LogBlock(31, 0, 31, 0)).Request.empty());

    // Bytes arriving on the link put the re-request off; silence lets it go.
    for (int i = 0; i < 40; ++i) EXPECT_TRUE(t.OnTick().Request.empty());
    t.Heard();
    for (int i = 0; i < 49; ++i) EXPECT_TRUE(t.OnTick().Request.empty());
    EXPECT_EQ(t.OnTick().Request, (Bytes{0x01, 0x1F, 0x00}));

    t.OnReply(LogBlock(31, 31, 31, 31));
    s = t.OnReply(LogBlock(62, 10, 62, 10));  // two more than needed
    EXPECT_EQ(s.End, TTransferEnd::Completed);
    EXPECT_EQ(s.Message, "Чтение хронологии завершено");
    EXPECT_EQ(s.Percent, -1);
    EXPECT_EQ(t.GetBlockTimeout(), 0);
    const auto records = t.TakeRecords();
    ASSERT_EQ(records.size(), 70u);
    EXPECT_EQ(records[69].GetNumber(), "9000000069");
    const auto rows = EventRecordsToGridRows(records);
    EXPECT_EQ(rows.size() + 1, 72u);  // 70 rows and one empty row after them

    // Finished: late blocks and ticks do nothing.
    s = t.OnReply(LogBlock(70, 1, 70, 1));
    EXPECT_EQ(s.MessageNumber, 0);
    EXPECT_EQ(s.End, TTransferEnd::None);
    for (int i = 0; i < 200; ++i) EXPECT_TRUE(t.OnTick().Request.empty());
}

TEST(EventLogTransfer, EmptyLogAndClearing) {
    TEventLogTransfer t;
    t.OnReply(Bytes{0x00, 0x05, 0x00});
    TTransferStep s = t.OnReply(Bytes{0x00, 0x00, 0x00});
    EXPECT_EQ(s.End, TTransferEnd::Empty);
    EXPECT_EQ(s.Message, "Записей, удовлетворяющих условию, нет.");
    for (int i = 0; i < 200; ++i) EXPECT_TRUE(t.OnTick().Request.empty());
    s = t.OnReply(Bytes{0x0A});
    EXPECT_EQ(s.Message, "Чистка памяти завершена");
    EXPECT_EQ(s.End, TTransferEnd::None);
}

TEST(EventNotices, NoticeLines) {
    Bytes frame = AsBytes(Record("9000000001", 0, "OUT1"));
    EXPECT_EQ(EventNoticeLine(frame), "22:13:20 - 9000000001: Управление выходом OUT1");
    frame[15] = 40;
    EXPECT_EQ(EventNoticeLine(frame), "22:13:20 - 9000000001: Не известная: 40 OUT1");
    // A short frame (the SIM-number answer) is no notice.
    frame.resize(31);
    EXPECT_FALSE(EventNoticeLine(frame));
    EXPECT_FALSE(EventNoticeLine(Bytes{}));
}

TEST(EventNotices, DiagnosticReports) {
    EXPECT_EQ(DiagnosticCodes(Bytes{0x02, 0x07, 0x00}), (Bytes{0x07, 0x00}));
    EXPECT_EQ(DiagnosticCodes(Bytes{0x05, 0x07}), (Bytes{0x07}));  // only what the frame holds
    EXPECT_TRUE(DiagnosticCodes(Bytes{}).empty());
    EXPECT_EQ(DiagnosticKey(7), "Code7");

    const TDateTime now = EncodeDateTime(2024, 5, 6, 9, 5, 3, 0);
    // Without a language file the text is the key itself.
    const auto keyOnly = [](const std::string& key) { return key; };
    EXPECT_EQ(DiagnosticLine(7, keyOnly, now), " 9:05:03 - Code7");
    EXPECT_FALSE(DiagnosticLine(0, keyOnly, now));
    const auto lang = [](const std::string& key) { return key == "Code7" ? "Нет SIM-карты" : key; };
    EXPECT_EQ(DiagnosticLine(7, lang, EncodeDateTime(2024, 5, 6, 23, 59, 0, 0)), "23:59:00 - Нет SIM-карты");

    EXPECT_EQ(DefragmentResultText(Bytes{0x01}), "Дефрагментация завершена!");
    EXPECT_EQ(DefragmentResultText(Bytes{0x00}), "");
    EXPECT_EQ(DefragmentResultText(Bytes{}), "");
}

}  // namespace
