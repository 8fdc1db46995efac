// Number records against records laid out by hand, and the grid rows they make.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>

#include "memory/PhoneGridRows.h"
#include "platform/rtl/SysUtils.h"

namespace {

// 9001234567, "Иван", administrator, 1-Wire code, until 1 December 2025, 5 passes, schedule 3.
PhoneRecord HandRecord() {
    PhoneRecord r;
    r[0] = 0xAA;
    std::memcpy(r.data() + 1, "9001234567", 10);
    const std::uint8_t ivan[] = {0xC8, 0xE2, 0xE0, 0xED};
    std::memcpy(r.data() + 12, ivan, 4);
    r[32] = 0x12;
    // 20423 days after 1 January 1970 = 1764547200 = 0x692CDA80.
    r[33] = 0x80;
    r[34] = 0xDA;
    r[35] = 0x2C;
    r[36] = 0x69;
    r[37] = 5;
    r[38] = 3;
    return r;
}

TPhoneGridRow HandRow() {
    return {"1", "9001234567", "Иван", "Администратор", "01122025", "5", "Расписание 3", "Код 1wire", ""};
}

TEST(PhoneRecord, RecordToRowAndBack) {
    TPhoneGridRow row;
    row[colRowNumber] = "1";
    PhoneRecordToRow(HandRecord(), row);
    EXPECT_EQ(row, HandRow());

    TPhoneGridRow in = HandRow();
    EXPECT_EQ(PhoneRowToRecord(in), HandRecord());
}

TEST(PhoneRecord, ExpiryTexts) {
    TPhoneGridRow row = HandRow();
    row[colExpiry] = "1012025";  // the day's leading zero missing
    const PhoneRecord r = PhoneRowToRecord(row);
    EXPECT_EQ(row[colExpiry], "01012025");
    // 1 January 2025 = 1735689600 = 0x67748580.
    EXPECT_EQ(r[33], 0x80);
    EXPECT_EQ(r[34], 0x85);
    EXPECT_EQ(r[35], 0x74);
    EXPECT_EQ(r[36], 0x67);

    row[colExpiry] = "";
    EXPECT_EQ(PhoneRowToRecord(row)[33], 0);
    PhoneRecord none = HandRecord();
    std::memset(none.data() + 33, 0, 4);
    PhoneRecordToRow(none, row);
    EXPECT_EQ(row[colExpiry], "");

    row[colExpiry] = "31022025";
    EXPECT_THROW(PhoneRowToRecord(row), EConvertError);
    row[colExpiry] = "0101ab25";
    EXPECT_THROW(PhoneRowToRecord(row), EConvertError);
}

TEST(PhoneRecord, ValuesNoItemNamesAreShownAndWrittenBackAsTheyCame) {
    // Schedule 9, type 3, expiry 1 December 2025 13:45:10 (1764547200 + 49510 = 0x692D9BE6).
    PhoneRecord odd = HandRecord();
    odd[38] = 9;
    odd[32] = 0x33;
    odd[33] = 0xE6;
    odd[34] = 0x9B;
    odd[35] = 0x2D;
    TPhoneGridRow row;
    PhoneRecordToRow(odd, row);
    EXPECT_EQ(row[colSchedule], "Расписание 9");
    EXPECT_EQ(row[colCodeType], "Тип 3");
    EXPECT_EQ(row[colAccess], "IP пользователь");
    EXPECT_EQ(row[colExpiry], "01122025 13:45:10");
    EXPECT_EQ(PhoneRowToRecord(row), odd);
    odd[38] = 255;
    PhoneRecordToRow(odd, row);
    EXPECT_EQ(row[colSchedule], "Расписание 255");
    EXPECT_EQ(PhoneRowToRecord(row), odd);

    // Empty cells are the first items, as in a row typed into the grid; a text the grid does
    // not show is refused, never taken as the first item.
    row = HandRow();
    row[colAccess] = row[colSchedule] = row[colCodeType] = "";
    EXPECT_EQ(PhoneRowToRecord(row)[32], 0x00);
    EXPECT_EQ(PhoneRowToRecord(row)[38], 0);
    for (auto [column, text] : std::initializer_list<std::pair<int, const char*>>{
             {colAccess, "Гость"}, {colSchedule, "Расписание 256"}, {colSchedule, "Расписание 08"},
             {colSchedule, "Расписание"}, {colCodeType, "Тип 4"}, {colExpiry, "01122025 24:00:00"},
             {colExpiry, "01122025 1:45:10"}}) {
        row = HandRow();
        row[column] = text;
        EXPECT_THROW(PhoneRowToRecord(row), EConvertError) << text;
    }
}

TEST(PhoneRecord, FieldsFilledToTheirWidthAndReadWithinIt) {
    TPhoneGridRow row = HandRow();
    row[colNumber] = "1234567890";
    row[colName] = "АБВГДЕЁЖЗИЙКЛМНОПРС";  // 19 letters
    const PhoneRecord r = PhoneRowToRecord(row);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 1)), "1234567890");
    EXPECT_EQ(r[11], 0);
    EXPECT_EQ(r[12], 0xC0);
    EXPECT_EQ(r[30], 0xD1);  // 19th letter, "С"
    EXPECT_EQ(r[31], 0);
    // A character more is refused, never cut.
    row[colName] += "Т";
    EXPECT_THROW(PhoneRowToRecord(row), EConvertError);
    row = HandRow();
    row[colNumber] = "12345678901";
    EXPECT_THROW(PhoneRowToRecord(row), EConvertError);

    PhoneRecord full = HandRecord();
    std::memset(full.data() + 1, '7', 11);    // no NUL in the number
    std::memset(full.data() + 12, 0xE0, 20);  // nor in the name
    PhoneRecordToRow(full, row);
    EXPECT_EQ(row[colNumber], std::string(11, '7'));
    std::string a20;
    for (int i = 0; i < 20; ++i) a20 += "а";
    EXPECT_EQ(row[colName], a20);
}

TEST(PhoneGrid, GridToRecordsSkipsEmptyRows) {
    std::vector<TPhoneGridRow> rows(5);
    rows[0] = {"№", "Номер", "Наименование", "Права", "Действует до", "Проходов", "Расписание", "Тип записи", ""};
    EXPECT_TRUE(PhoneGridToRecords(rows).empty());

    rows[2] = HandRow();
    rows[2][colExpiry] = "1122025";
    rows[4] = HandRow();
    rows[4][colNumber] = "5551234";
    const auto records = PhoneGridToRecords(rows);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], HandRecord());
    EXPECT_EQ(rows[2][colExpiry], "01122025");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(records[1].data() + 1)), "5551234");

    // A bad cell builds nothing and leaves the grid's texts alone.
    rows[1] = HandRow();
    rows[1][colExpiry] = "1122025";
    rows[3] = HandRow();
    rows[3][colPasses] = "many";
    EXPECT_THROW(PhoneGridToRecords(rows), EConvertError);
    EXPECT_EQ(rows[1][colExpiry], "1122025");
}

TEST(PhoneGrid, RecordsToRowsMergesByNumber) {
    EXPECT_TRUE(PhoneRecordsToGridRows({}).empty());

    PhoneRecord a = HandRecord();
    PhoneRecord b = HandRecord();
    std::memcpy(b.data() + 1, "5550000000", 10);
    PhoneRecord a2 = HandRecord();
    a2[37] = 9;  // same number, later: wins
    PhoneRecord blank = HandRecord();
    std::memset(blank.data() + 1, 0, 11);  // no number: its row goes to the next record
    const auto rows = PhoneRecordsToGridRows({a, blank, b, a2});
    ASSERT_EQ(rows.size(), 3u);  // two entries and one empty row
    EXPECT_EQ(rows[0][colRowNumber], "1");
    EXPECT_EQ(rows[0][colNumber], "9001234567");
    EXPECT_EQ(rows[0][colPasses], "9");
    EXPECT_EQ(rows[1][colRowNumber], "2");
    EXPECT_EQ(rows[1][colNumber], "5550000000");
    EXPECT_EQ(rows[2], std::vector<std::string>(kPhoneGridColumns));

    // Built a record at a time, as a read goes: the same rows.
    TPhoneGridRowsBuilder builder;
    for (const PhoneRecord& r : {a, blank, b, a2}) builder.Add(r);
    EXPECT_EQ(builder.Take(), rows);
    EXPECT_EQ(builder.Added(), 0u);
}

}  // namespace
