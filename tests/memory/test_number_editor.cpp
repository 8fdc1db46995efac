// Add and delete commands of the number editor: records laid out by hand, the many-number
// memo, the per-record result texts and the grid row's expiry for the picker.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "memory/NumberEditor.h"
#include "platform/rtl/SysUtils.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// 10 March 2025 14:30 on the workstation's clock.
const TDateTime kNow = EncodeDateTime(2025, 3, 10, 14, 30, 0, 0);

TNumberEditorValues Petr() {
    TNumberEditorValues v;
    v.Name = "Пётр";
    v.AccessIndex = 1;    // "Управляющий"
    v.CodeTypeIndex = 2;  // "Код RFID"
    v.EndDate = EncodeDateTime(2025, 3, 11, 17, 45, 0, 0);
    v.Passes = 200;
    v.ScheduleIndex = 7;
    return v;
}

PhoneRecord PetrRecord(const char* number) {
    PhoneRecord r;
    r[0] = 0xAA;
    std::memcpy(r.data() + 1, number, 10);
    const std::uint8_t name[] = {0xCF, 0xB8, 0xF2, 0xF0};
    std::memcpy(r.data() + 12, name, 4);
    r[32] = 0x21;
    // 11 March 2025 00:00 = 1741651200 = 0x67CF7D00.
    r[33] = 0x00;
    r[34] = 0x7D;
    r[35] = 0xCF;
    r[36] = 0x67;
    r[37] = 200;
    r[38] = 7;
    return r;
}

Bytes AsBytes(const PhoneRecord& r) { return Bytes(r.Bytes.begin(), r.Bytes.end()); }

TEST(NumberEditor, AddAndDeleteRecords) {
    EXPECT_EQ(BuildAddRecord("9001234567", Petr(), kNow), PetrRecord("9001234567"));

    PhoneRecord del;
    del[0] = 0xFF;
    std::memcpy(del.data() + 1, "9001234567", 10);
    EXPECT_EQ(BuildDeleteRecord("9001234567"), del);
    // A longer number is cut to its field; the NUL stays.
    EXPECT_EQ(BuildDeleteRecord("900123456789"), del);
}

TEST(NumberEditor, ExpiryOnlyForALaterDay) {
    EXPECT_EQ(AddRecordExpiry(EncodeDateTime(2025, 3, 10, 23, 0, 0, 0), kNow), 0u);  // today
    EXPECT_EQ(AddRecordExpiry(EncodeDateTime(2024, 1, 1, 0, 0, 0, 0), kNow), 0u);
    EXPECT_EQ(AddRecordExpiry(EncodeDateTime(2025, 3, 11, 0, 0, 0, 0), kNow), 1741651200u);
    // Exactly midnight of today is not earlier than now.
    EXPECT_EQ(AddRecordExpiry(EncodeDate(2025, 3, 10), EncodeDate(2025, 3, 10)), 1741564800u);
    EXPECT_THROW(AddRecordExpiry(EncodeDate(2200, 1, 1), kNow), EConvertError);
}

TEST(NumberEditor, SingleNumberChecks) {
    EXPECT_EQ(CheckSingleNumber(""), "Заполните поле номера пользователя");
    EXPECT_EQ(CheckSingleNumber("900123456"), "Номер телефона должен состоять из 10-ти цифр");
    EXPECT_EQ(CheckSingleNumber("9001234567"), "");
    // Values an add record cannot hold are refused, never cut or wrapped.
    EXPECT_EQ(CheckAddValues("Иванов Пётр", 19, "255"), "");
    EXPECT_EQ(CheckAddValues("Иванов Пётр", 10, ""), "Наименование: не более 10 символов");
    EXPECT_EQ(CheckAddValues("Сидорова Анна Петровна", 0, ""), "Наименование: не более 19 символов");
    EXPECT_EQ(CheckAddValues("", 19, "300"), "Проходов: \"300\" — нужно число от 0 до 255");
    EXPECT_EQ(CheckAddValues("", 19, "99999999999"), "Проходов: \"99999999999\" — нужно число от 0 до 255");
}

TEST(NumberEditor, ManyNumbersFromTheMemo) {
    const auto lines = ManyNumbersLines({"9000000001", "55501", "9000000002", "", "90000000031"});
    ASSERT_EQ(lines, (std::vector<std::string>{"9000000001", "9000000002"}));
    const Bytes add = AddNumbersData(lines, Petr(), kNow);
    ASSERT_EQ(add.size(), 128u);
    EXPECT_EQ(Bytes(add.begin(), add.begin() + 64), AsBytes(PetrRecord("9000000001")));
    EXPECT_EQ(Bytes(add.begin() + 64, add.end()), AsBytes(PetrRecord("9000000002")));
    const Bytes del = DeleteNumbersData(lines);
    ASSERT_EQ(del.size(), 128u);
    EXPECT_EQ(del[64], 0xFF);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&del[65]), 10), "9000000002");
    EXPECT_EQ(del[76], 0);

    // No line of 10 characters: the command goes with no data.
    EXPECT_TRUE(AddNumbersData(ManyNumbersLines({"1", "22"}), Petr(), kNow).empty());

    // More than the buffer holds: the first 16 go, the others are counted as left out.
    std::vector<std::string> many;
    for (int i = 0; i < 18; ++i) many.push_back("90000000" + std::to_string(10 + i));
    std::size_t leftOut = 0;
    const Bytes first16 = DeleteNumbersData(many, &leftOut);
    EXPECT_EQ(first16.size(), 16u * 64);
    EXPECT_EQ(leftOut, 2u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&first16[15 * 64 + 1]), 10), "9000000025");
}

TEST(NumberEditor, ResultTexts) {
    const std::vector<std::string> numbers = {"9000000001", "9000000002"};
    EXPECT_EQ(NumberResultText(TNumberCommand::Add, Bytes{0x00, 0x01}, numbers, ""),
              "Добавлено номеров 1 из 2\r\n9000000001, ");
    EXPECT_EQ(NumberResultText(TNumberCommand::Delete, Bytes{0x00, 0x00}, numbers, ""),
              "Удалено номеров 2 из 2\r\n9000000001, 9000000002, ");
    // Results past the numbers sent are counted but name nothing.
    EXPECT_EQ(NumberResultText(TNumberCommand::Add, Bytes{0x00, 0x00, 0x00}, numbers, ""),
              "Добавлено номеров 3 из 3\r\n9000000001, 9000000002, ");
    EXPECT_EQ(NumberResultText(TNumberCommand::Add, Bytes{0x02}, numbers, "9000000001"), "Номер не добавлен!");
    EXPECT_EQ(NumberResultText(TNumberCommand::Add, Bytes{0x00}, {}, "9001234567"),
              "Добавлен номер: 9001234567");
    EXPECT_EQ(NumberResultText(TNumberCommand::Delete, Bytes{0x03}, {}, "9001234567"),
              "Номер не удален! Возможно отсутствует в памяти");
    EXPECT_EQ(NumberResultText(TNumberCommand::Delete, Bytes{0x00}, {}, "9001234567"),
              "Удален номер: 9001234567");
    EXPECT_EQ(NumberResultText(TNumberCommand::Delete, Bytes{}, numbers, "x"), "");
}

TEST(NumberEditor, GridRowExpiryForThePicker) {
    TDateTime d;
    ASSERT_TRUE(ExpiryCellToDate("1012025", d));  // d, MM, yyyy
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn", d), "01.01.2025 00:00");
    ASSERT_TRUE(ExpiryCellToDate("31122030", d));
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", d), "31.12.2030");
    EXPECT_FALSE(ExpiryCellToDate("", d));
    EXPECT_FALSE(ExpiryCellToDate("31022025", d));
    EXPECT_FALSE(ExpiryCellToDate("ab122025", d));
    EXPECT_FALSE(PassesTicked(""));
    EXPECT_FALSE(PassesTicked("0"));
    EXPECT_TRUE(PassesTicked("5"));
}

}  // namespace
