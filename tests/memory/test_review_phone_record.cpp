// The 64-byte number record offset by offset, against records laid out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "memory/PhoneGridRows.h"
#include "platform/rtl/SysUtils.h"

namespace {

void At(PhoneRecord& r, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) r[at++] = b;
}
void Text(PhoneRecord& r, std::size_t at, const char* bytes) { std::memcpy(r.data() + at, bytes, std::strlen(bytes)); }

// "9161234567", "Иванов Пётр", administrator, RFID code, until 31 December 2030, 250 passes,
// schedule 5.
PhoneRecord Ivanov() {
    PhoneRecord r;
    r[0] = 0xAA;
    Text(r, 1, "9161234567");
    Text(r, 12, "\xC8\xE2\xE0\xED\xEE\xE2 \xCF\xB8\xF2\xF0");
    r[32] = 0x22;                          // access 2, type 2
    At(r, 33, {0x80, 0xBA, 0xBB, 0x72});   // 22279 days = 1924905600
    r[37] = 250;
    r[38] = 5;
    return r;
}
TPhoneGridRow IvanovRow() {
    return {"", "9161234567", "Иванов Пётр", "Администратор", "31122030", "250", "Расписание 5", "Код RFID", ""};
}

TEST(ReviewPhoneRecord, RowToEveryByte) {
    TPhoneGridRow row = IvanovRow();
    EXPECT_EQ(PhoneRowToRecord(row), Ivanov());
    EXPECT_EQ(row, IvanovRow());

    // A tag code, IP user, 1-Wire type, no expiry, no limit, round the clock.
    TPhoneGridRow tag = {"", "0A1B2C3D4E", "", "IP пользователь", "", "", "Круглосуточно", "Код 1wire", "add"};
    PhoneRecord e;
    e[0] = 0xAA;
    Text(e, 1, "0A1B2C3D4E");
    e[32] = 0x13;
    EXPECT_EQ(PhoneRowToRecord(tag), e);
}

TEST(ReviewPhoneRecord, RecordToRowTexts) {
    TPhoneGridRow row;
    row[colRowNumber] = "7";
    row[colSync] = "del";
    PhoneRecordToRow(Ivanov(), row);
    TPhoneGridRow e = IvanovRow();
    e[colRowNumber] = "7";
    e[colSync] = "del";
    EXPECT_EQ(row, e);
}

// A value the record cannot hold is refused with the row and the column, never cut or wrapped.
TEST(ReviewPhoneRecord, ValuesTheRecordCannotHoldAreRefusedByRowAndColumn) {
    const auto refusal = [](int column, const std::string& value) {
        std::vector<TPhoneGridRow> grid(4);
        grid[1] = IvanovRow();
        grid[3] = IvanovRow();
        grid[3][colNumber] = "9160000000";
        grid[3][column] = value;
        try {
            PhoneGridToRecords(grid);
        } catch (const EConvertError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(refusal(colPasses, "300"), "Строка 3, столбец \"Проходов\": \"300\" — нужно число от 0 до 255");
    EXPECT_EQ(refusal(colPasses, "-1"), "Строка 3, столбец \"Проходов\": \"-1\" — нужно число от 0 до 255");
    EXPECT_EQ(refusal(colNumber, "916123456789"), "Строка 3, столбец \"Номер\": \"916123456789\" — не более 10 символов");
    EXPECT_EQ(refusal(colName, "Сидорова Анна Петровна"),
              "Строка 3, столбец \"Наименование\": \"Сидорова Анна Петровна\" — не более 19 символов");
    EXPECT_EQ(refusal(colExpiry, "ab"), "Строка 3, столбец \"Действует до\": \"ab\" — нужна дата ддММгггг");
    EXPECT_EQ(refusal(colExpiry, "31022025"), "Строка 3, столбец \"Действует до\": \"31022025\" — нужна дата ддММгггг");
    EXPECT_EQ(refusal(colExpiry, "010120255"), "Строка 3, столбец \"Действует до\": \"010120255\" — нужна дата ддММгггг");
    EXPECT_EQ(refusal(colAccess, "Гость"), "Строка 3, столбец \"Права\": \"Гость\" — нет в списке");
    EXPECT_EQ(refusal(colPasses, ""), "accepted");  // no limit
}

TEST(ReviewPhoneRecord, FlagBitsOutsideTheFieldsAreNotShown) {
    PhoneRecord r = Ivanov();
    TPhoneGridRow row;
    r[32] = 0xCC;  // bits 2, 3, 6, 7 only
    PhoneRecordToRow(r, row);
    EXPECT_EQ(row[colAccess], "Пользователь");
    EXPECT_EQ(row[colCodeType], "Телефон");
}

TEST(ReviewPhoneRecord, TextsAreReadWithinTheirFields) {
    PhoneRecord r = Ivanov();
    std::memset(r.data() + 1, '5', 11);
    std::memset(r.data() + 12, 0xE0, 20);  // "а" x 20, up to the flags
    TPhoneGridRow row;
    PhoneRecordToRow(r, row);
    EXPECT_EQ(row[colNumber], std::string(11, '5'));
    std::string a;
    for (int i = 0; i < 20; ++i) a += "а";
    EXPECT_EQ(row[colName], a);
    EXPECT_EQ(row[colAccess], "Администратор");
}

TEST(ReviewPhoneRecord, ExpiryTexts) {
    EXPECT_EQ(ExpiryToText(1924905600), "31122030");
    EXPECT_EQ(ExpiryToText(1735689600), "01012025");
    EXPECT_EQ(ExpiryToText(1735689600 + 86399), "01012025");  // the day, whatever the hour
    EXPECT_EQ(ExpiryToText(1709164800), "29022024");
    PhoneRecord r = Ivanov();
    At(r, 33, {0, 0, 0, 0});
    TPhoneGridRow row;
    PhoneRecordToRow(r, row);
    EXPECT_EQ(row[colExpiry], "");
    for (const char* bad : {"31022025", "00012025", "01132025", "0101202x", "123"}) {
        TPhoneGridRow b = IvanovRow();
        b[colExpiry] = bad;
        EXPECT_THROW(PhoneRowToRecord(b), EConvertError) << bad;
    }
}

TEST(ReviewPhoneRecord, GridToRecordsAndBackKeepsEveryByte) {
    std::vector<TPhoneGridRow> grid(6);
    grid[1] = IvanovRow();
    grid[3] = {"", "0A1B2C3D4E", "Ворота", "Пользователь", "", "0", "Расписание 1", "Код RFID", ""};
    const std::vector<PhoneRecord> records = PhoneGridToRecords(grid);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], Ivanov());
    EXPECT_EQ(records[1][32], 0x20);
    EXPECT_EQ(records[1][38], 1);

    const TGridRows rows = PhoneRecordsToGridRows(records);
    ASSERT_EQ(rows.size(), 3u);  // two entries and one empty row
    EXPECT_EQ(rows[0][colRowNumber], "1");
    EXPECT_EQ(rows[1][colRowNumber], "2");
    EXPECT_EQ(rows[2], std::vector<std::string>(kPhoneGridColumns));
    std::vector<TPhoneGridRow> again = {TPhoneGridRow{}};
    for (const auto& row : rows) std::copy(row.begin(), row.end(), again.emplace_back().begin());
    EXPECT_EQ(PhoneGridToRecords(again), records);
}

TEST(ReviewPhoneRecord, DuplicateNumbersCollapseToTheLaterRecord) {
    PhoneRecord later = Ivanov();
    later[37] = 3;
    PhoneRecord other = Ivanov();
    std::memcpy(other.data() + 1, "8000000000", 10);
    const TGridRows rows = PhoneRecordsToGridRows({Ivanov(), other, later});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][colNumber], "9161234567");
    EXPECT_EQ(rows[0][colPasses], "3");
    EXPECT_EQ(rows[1][colNumber], "8000000000");
    EXPECT_EQ(rows[1][colRowNumber], "2");
    EXPECT_TRUE(PhoneRecordsToGridRows({}).empty());
}

TEST(ReviewPhoneRecord, ABadCellBuildsNothingAndLeavesTheGrid) {
    std::vector<TPhoneGridRow> grid(4);
    grid[1] = IvanovRow();
    grid[1][colExpiry] = "1012025";
    grid[2] = IvanovRow();
    grid[2][colNumber] = "1";
    grid[2][colPasses] = "x";
    const std::vector<TPhoneGridRow> before = grid;
    EXPECT_THROW(PhoneGridToRecords(grid), EConvertError);
    EXPECT_EQ(grid, before);
}

}  // namespace
