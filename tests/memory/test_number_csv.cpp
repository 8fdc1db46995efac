// Number CSV files written and read byte by byte (Windows-1251), and the grid search.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "memory/NumberCsv.h"
#include "memory/NumberSearch.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Utf8.h"

namespace {

using Rows = std::vector<TPhoneGridRow>;

// "Номер;Наименование;Права;Действует до;Проходов;Расписание;Тип записи" in Windows-1251.
const std::string kHeader =
    "\xCD\xEE\xEC\xE5\xF0;\xCD\xE0\xE8\xEC\xE5\xED\xEE\xE2\xE0\xED\xE8\xE5;\xCF\xF0\xE0\xE2\xE0;"
    "\xC4\xE5\xE9\xF1\xF2\xE2\xF3\xE5\xF2 \xE4\xEE;\xCF\xF0\xEE\xF5\xEE\xE4\xEE\xE2;"
    "\xD0\xE0\xF1\xEF\xE8\xF1\xE0\xED\xE8\xE5;\xD2\xE8\xEF \xE7\xE0\xEF\xE8\xF1\xE8";

TPhoneGridRow Ivan() {
    return {"1", "9001234567", "Иван", "Администратор", "01122025", "5", "Расписание 3", "Код 1wire", ""};
}

// The header row and four empty rows, as a cleared grid has.
Rows Cleared() { return Rows(kClearedGridRows); }

std::vector<std::string> Column(const Rows& rows, int column) {
    std::vector<std::string> cells;
    for (std::size_t i = 1; i < rows.size(); ++i) cells.push_back(rows[i][column]);
    return cells;
}

// The lines of the file the import kept to show, by their numbers.
std::vector<int> RefusedLines(const TNumbersImportResult& r) {
    std::vector<int> lines;
    for (const TNumbersCsvLine& line : r.Refused) lines.push_back(line.Line);
    return lines;
}

TEST(NumberCsv, ExportByteByByte) {
    Rows rows = Cleared();
    rows[1] = Ivan();
    rows[2] = {"2", "9000000001", "\"Ан\" 2", "", "", "", "", "", ""};
    rows[3] = {"3", "9000000002", "A;B", "Пользователь", "", "0", "Круглосуточно", "Телефон", "add"};
    rows[4] = {"4", "9000000003", "Ли\r\nния\t日", "", "", "", "", "", ""};
    const std::string expected =
        kHeader + "\r\n" +
        "9001234567;\xC8\xE2\xE0\xED;\xC0\xE4\xEC\xE8\xED\xE8\xF1\xF2\xF0\xE0\xF2\xEE\xF0;01122025;5;"
        "\xD0\xE0\xF1\xEF\xE8\xF1\xE0\xED\xE8\xE5 3;\xCA\xEE\xE4 1wire\r\n"
        // A name that begins with a quote is quoted, so that it reads back as it stands.
        "9000000001;\"\"\"\xC0\xED\"\" 2\";;;;;\r\n"
        // The ";" inside the name would split the line when read back.
        "9000000002;A B;\xCF\xEE\xEB\xFC\xE7\xEE\xE2\xE0\xF2\xE5\xEB\xFC;;0;"
        "\xCA\xF0\xF3\xE3\xEB\xEE\xF1\xF3\xF2\xEE\xF7\xED\xEE;\xD2\xE5\xEB\xE5\xF4\xEE\xED\r\n"
        // Line breaks and a tab become blanks, a character the code page lacks "?".
        "9000000003;\xCB\xE8  \xED\xE8\xFF ?;;;;;\r\n";
    const TNumbersCsvExport file = NumbersCsvExport(rows);
    EXPECT_EQ(file.Bytes, expected);
    // The user is told which rows the file holds otherwise than the grid.
    EXPECT_EQ(NumbersExportReport(file), "Строк, записанных в файл с заменой символов: 2\n"
                                         "строка 3: 9000000002;A B;Пользователь;;0;Круглосут...\n"
                                         "строка 4: 9000000003;Ли  ния ?;;;;;");
    EXPECT_EQ(NumbersCsvExport(Cleared()).Bytes, kHeader + "\r\n");
    EXPECT_EQ(NumbersExportReport(NumbersCsvExport(Cleared())), "");
    EXPECT_EQ(NumbersExportFileName("861234567890123"), "861234567890123_numbers.csv");
    EXPECT_EQ(NumbersExportFileName(""), "_numbers.csv");
    EXPECT_STREQ(kNumbersImportFileName, "numbers.csv");
}

TEST(NumberCsv, TakenLines) {
    EXPECT_TRUE(IsNumbersCsvLineTaken("9001234567;x"));
    EXPECT_TRUE(IsNumbersCsvLineTaken("  +79001234567;x"));
    EXPECT_TRUE(IsNumbersCsvLineTaken("-5;x"));
    EXPECT_TRUE(IsNumbersCsvLineTaken("007abc"));
    EXPECT_FALSE(IsNumbersCsvLineTaken("0000000000;x"));
    EXPECT_FALSE(IsNumbersCsvLineTaken("A1B2C3D4E5;x"));
    EXPECT_FALSE(IsNumbersCsvLineTaken(""));
    EXPECT_FALSE(IsNumbersCsvLineTaken("+;x"));
    EXPECT_FALSE(IsNumbersCsvLineTaken(kHeader));
}

TEST(NumberCsv, ImportMergesByNumber) {
    const std::string file =
        kHeader + "\r\n" +
        // 1: an existing number: columns 2 to 7 change.
        "9001234567;\xCF\xB8\xF2\xF0;\xD3\xEF\xF0\xE0\xE2\xEB\xFF\xFE\xF9\xE8\xE9;1012025;7;"
        "\xD0\xE0\xF1\xEF\xE8\xF1\xE0\xED\xE8\xE5 2;\xCA\xEE\xE4 RFID\r\n"
        "\r\n"
        "0000000000;x;y;;0;z;w\r\n"
        "A1B2C3D4E5;x;y;;0;z;w\r\n"
        // 6: six fields: column 7 keeps its text.
        "9000000003;\xCE\xEB\xFC\xE3\xE0;\xCF\xEE\xEB\xFC\xE7\xEE\xE2\xE0\xF2\xE5\xEB\xFC;;0;"
        "\xCA\xF0\xF3\xE3\xEB\xEE\xF1\xF3\xF2\xEE\xF7\xED\xEE\n"
        // 7: more than seven fields: no record type.
        "9000000004;Name;\xCF\xEE\xEB\xFC\xE7\xEE\xE2\xE0\xF2\xE5\xEB\xFC;;0;"
        "\xCA\xF0\xF3\xE3\xEB\xEE\xF1\xF3\xF2\xEE\xF7\xED\xEE;\xD2\xE5\xEB\xE5\xF4\xEE\xED;extra\r\n"
        // 8-11: a day that does not exist, too few fields, a number too long, a bad pass limit.
        "9000000005;bad;x;32132025;0;y;z\r\n"
        "9000000006;short\r\n"
        "+79001234567;x;y;;0;z;w\r\n"
        "9000000007;x;y;;abc;z;w\r\n"
        // 12, 13: a tag and a key keep codes that begin with a letter or with 0.
        "A1B2C3D4E5;\xCC\xE5\xF2\xEA\xE0;;;0;;\xCA\xEE\xE4 RFID\r\n"
        "00FF12AB34;;;;0;;\xCA\xEE\xE4 1wire\r\n";

    Rows rows = Cleared();
    rows[1] = Ivan();
    rows[2][colCodeType] = "Код RFID";  // left in a free row
    const TNumbersImportResult r = NumbersCsvImport(file, rows, 658, false);
    EXPECT_EQ(r.Added, 3);
    EXPECT_EQ(r.Updated, 1);
    // Lines 8 to 11 are counted; the rows below show that none of them came in.
    EXPECT_EQ(r.RefusedCount, 7u);
    EXPECT_EQ(RefusedLines(r), (std::vector<int>{4, 5, 7}));
    EXPECT_EQ(r.Refused[0].Text, "0000000000;x;y;;0;z;w");
    EXPECT_FALSE(r.Stopped);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1],
              (TPhoneGridRow{"1", "9001234567", "Пётр", "Управляющий", "1012025", "7", "Расписание 2", "Код RFID", ""}));
    EXPECT_EQ(rows[2], (TPhoneGridRow{"2", "9000000003", "Ольга", "Пользователь", "", "0", "Круглосуточно",
                                      "Код RFID", ""}));
    EXPECT_EQ(rows[3], (TPhoneGridRow{"3", "A1B2C3D4E5", "Метка", "", "", "0", "", "Код RFID", ""}));
    EXPECT_EQ(rows[4], (TPhoneGridRow{"4", "00FF12AB34", "", "", "", "0", "", "Код 1wire", ""}));

    // The user learns how many lines were left out and sees the first three.
    EXPECT_EQ(NumbersImportReport(r), "Не загружено строк файла: 7\nстрока 4: 0000000000;x;y;;0;z;w\n"
                                      "строка 5: A1B2C3D4E5;x;y;;0;z;w\n"
                                      "строка 7: 9000000004;Name;Пользователь;;0;Круглосу...");
    EXPECT_EQ(NumbersImportReport({}), "");
    TNumbersImportResult longLine;
    longLine.RefusedCount = 1;
    longLine.Refused.push_back({2, std::string(30, 'x') + "абвгдеёжзийклмн"});
    EXPECT_EQ(NumbersImportReport(longLine),
              "Не загружено строк файла: 1\nстрока 2: " + std::string(30, 'x') + "абвгдеёжзи...");
}

// One sheet as spreadsheets save it: "CSV UTF-8" with a byte-order mark and CR LF, UTF-8
// without a mark and LF, and Windows-1251 with CR LF; every row padded with empty columns.
TEST(NumberCsv, SpreadsheetFilesInEitherEncoding) {
    const std::string sheet[] = {
        "Номер;Наименование;Права;Действует до;Проходов;Расписание;Тип записи;;",
        "9001234567;Иван;Администратор;1122025;5;Расписание 2;Код 1wire;;",
        // Typed with blanks: the name keeps its own.
        " A1B2C3D4E5 ; Метка ;Пользователь;;0;Круглосуточно;Код RFID ;;",
        "9000000002;Ольга;Управляющий;;0;Расписание 7;;;",
        ";;;;;;;;",
        // Refused by their lines, never taken as the first item: texts the grid does not
        // show, a NUL and a tab inside a name.
        "9001234567;Иван;Админ;;0;Круглосуточно;Телефон;;",
        "9000000004;Пётр;Пользователь;;0;Расписание;Телефон;;",
        "9000000005;Пётр;Пользователь;;0;Круглосуточно;Код 1wire x;;",
        "9000000006;П" + std::string(1, '\0') + "тр;Пользователь;;0;Круглосуточно;;;",
        "9000000007;П\tтр;Пользователь;;0;Круглосуточно;;;",
    };
    std::string crlf, lf;
    for (const std::string& line : sheet) crlf += line + "\r\n", lf += line + "\n";
    Rows expected = Cleared();
    expected[1] = {"1", "9001234567", "Иван", "Администратор", "1122025", "5", "Расписание 2", "Код 1wire", ""};
    expected[2] = {"2", "A1B2C3D4E5", " Метка ", "Пользователь", "", "0", "Круглосуточно", "Код RFID", ""};
    expected[3] = {"3", "9000000002", "Ольга", "Управляющий", "", "0", "Расписание 7", "", ""};
    for (const std::string& file : {"\xEF\xBB\xBF" + crlf, lf, Utf8ToCp1251(crlf)}) {
        Rows rows = Cleared();
        rows[1] = Ivan();
        const TNumbersImportResult r = NumbersCsvImport(file, rows, 658, false);
        EXPECT_EQ(rows, expected);
        EXPECT_EQ(r.RefusedCount, 5u);
        EXPECT_EQ(RefusedLines(r), (std::vector<int>{6, 7, 8}));
    }
    // A character Windows-1251 lacks cannot reach the device as it stands.
    Rows rows = Cleared();
    EXPECT_EQ(NumbersCsvImport("9000000008;Zoë;;;0;;\r\n", rows, 658, false).Refused.size(), 1u);
    EXPECT_EQ(rows, Cleared());
}

// A UTF-8 file with one stray Windows-1251 byte and a line saved in Windows-1251: every
// well-formed line keeps its letters, so does the Windows-1251 one, and the user is told that
// the file holds both; the spoilt line is refused and shown as it was read.
TEST(NumberCsv, LinesOfBothEncodingsComeInAndAStrayByteSpoilsOnlyItsLine) {
    const std::string file = "9000000001;Иванов;Пользователь;;0;Круглосуточно;Телефон\r\n"
                             "9000000002;Пет\xF0ов;Пользователь;;0;Круглосуточно;Телефон\r\n"
                             "9000000003;Ольга;Управляющий;;0;Расписание 7;\r\n"
                             "9000000005;Ш.Я.;;;0;;\r\n" +
                             Utf8ToCp1251("9000000004;Сидоров;Администратор;;0;Круглосуточно;Телефон\r\n");
    Rows rows = Cleared();
    const TNumbersImportResult r = NumbersCsvImport(file, rows, 658, false);
    EXPECT_EQ(Column(rows, colName), (std::vector<std::string>{"Иванов", "Ольга", "Сидоров", ""}));
    ASSERT_EQ(RefusedLines(r), (std::vector<int>{2, 4}));
    // "Ш.Я." or "РЁ.РЇ.": the file's lines tell both encodings.
    EXPECT_EQ(NumbersImportReport(r, {"Разные кодировки", "Не определить", "", ""}),
              "Разные кодировки: Windows-1251 — 1, UTF-8 — 2\nНе определить: 1\n"
              "Не загружено строк файла: 2\nстрока 2: 9000000002;Пет\uFFFDов;Пользователь;;0;Кругло...\n"
              "строка 4: 9000000005;Ш.Я.;;;0;;");
    // So do a UTF-8 mark and a Windows-1251 line.
    EXPECT_EQ(NumbersCsvImport("\xEF\xBB\xBF" + file.substr(file.find("9000000005")), rows, 658, false).Untold, 1u);
    // A UTF-8 file tells "Ш.Я.", but not a line with more rare characters as UTF-8 ("Ȩ ©").
    rows = Cleared();
    EXPECT_EQ(RefusedLines(NumbersCsvImport("1;Иван;;;0;;\n2;Ш.Я.;;;0;;\n3;\xC8\xA8 \xC2\xA9;;;0;;\n", rows, 658, false)),
              std::vector<int>{3});
    EXPECT_EQ(Column(rows, colName), (std::vector<std::string>{"Иван", "Ш.Я.", "", ""}));
}

// Quoted fields as spreadsheets write them come in without their quotes; broken quoting costs
// only its own line.
TEST(NumberCsv, QuotedFieldsAsSpreadsheetsWriteThem) {
    const std::string file =
        "\"Номер\";\"Наименование\";\"Права\";\"Действует до\";\"Проходов\";\"Расписание\";\"Тип записи\"\r\n"
        "9000000001;\"Иванов\";\"Пользователь\";;0;Круглосуточно;Телефон\r\n"
        "\"9000000002\";\"A;B \"\"C\"\"\";Пользователь;;0;Круглосуточно;Телефон\r\n"
        // 4 and 5: one record, a name holding a line break; 6 and 8: text after a closing quote.
        "9000000003;\"Две\r\nстроки\";Пользователь;;0;Круглосуточно;Телефон\r\n"
        "9000000004;\"Ив\"анов;Пользователь;;0;Круглосуточно;Телефон\r\n"
        "9000000005;\" Петров \";Пользователь;;0;Круглосуточно;Телефон\r\n"
        "9000000006;Орлов;;;0;Круглосуточно;\"Телефон\"x\r\n";
    Rows rows = Cleared();
    TNumbersImportResult r = NumbersCsvImport(file, rows, 658, false);
    EXPECT_EQ(Column(rows, colName), (std::vector<std::string>{"Иванов", "A;B \"C\"", " Петров ", ""}));
    EXPECT_EQ(Column(rows, colNumber), (std::vector<std::string>{"9000000001", "9000000002", "9000000005", ""}));
    EXPECT_EQ(RefusedLines(r), (std::vector<int>{4, 6, 8}));
    EXPECT_EQ(r.Refused[0].Text, "9000000003;\"Две\r\nстроки\";Пользователь;;0;Круглосуточно;Телефон");

    // A quote that never closes: the file is read line by line, the next line still comes in.
    rows = Cleared();
    r = NumbersCsvImport("9000000006;\"Сидоров;;;0;;\r\n9000000007;Орлов;;;0;;\r\n", rows, 658, false);
    EXPECT_EQ(RefusedLines(r), std::vector<int>{1});
    EXPECT_EQ(Column(rows, colName), (std::vector<std::string>{"Орлов", "", "", ""}));
}

// Bases as a controller holds them (names of any bytes), with blanks at the edges of names and
// quotes among them, half the rows well-formed UTF-8 by accident ("РЁ", "ИЁ", "Р№", the item
// cells empty): exported and imported again, every byte comes back. (A name that reads as
// UTF-8 Cyrillic does, "Р’" for "В", comes in as UTF-8 from a row with empty item cells.)
TEST(NumberCsv, RandomBasesRoundTripByteExact) {
    std::mt19937 random(27);
    const auto pick = [&](std::size_t n) { return random() % n; };
    std::string letters;  // what a name can hold, but ";" and control characters
    for (int b = 0x20; b < 0x100; ++b)
        if (b != ';' && b != 0x7F && b != 0x98) letters += static_cast<char>(b);
    std::size_t edged = 0;
    for (int base = 0; base < 900; ++base) {
        Rows rows(2 + pick(60));
        std::set<std::string> numbers;
        for (std::size_t i = 1; i + 1 < rows.size(); ++i) {
            PhoneRecord record;
            record[phone::Mark] = phone::MarkInUse;
            // Half the rows: a name of pairs that are well-formed UTF-8 too, its item cells empty.
            const bool accidental = pick(2);
            const unsigned type = accidental ? 0 : pick(4);
            std::string number(kMaxNumberBytes, '0');
            do {
                for (char& c : number) c = "0123456789ABCDEF"[pick(type == 0 ? 10 : 16)];
                if (type == 0) number[0] = static_cast<char>('1' + pick(9));
            } while (!numbers.insert(number).second);
            std::string name(pick(kMaxNameBytes + 1), ' ');
            for (std::size_t k = 0; k < name.size(); ++k) {
                name[k] = letters[pick(letters.size())];
                if (!accidental || k + 1 == name.size()) continue;
                name[k] = static_cast<char>(0xC2 + pick(30));  // В..Я, then a letter of 0x80..0xBF or №
                name[++k] = "\xA1\xA2\xA5\xA8\xAA\xAF\xB2\xB3\xB4\xB8\xB9\xBA\xBF"[pick(13)];
            }
            if (!name.empty() && pick(3) == 0) name.front() = pick(4) ? ' ' : '"';
            if (!name.empty() && pick(3) == 0) name.back() = ' ';
            edged += !name.empty() && (name.front() == ' ' || name.back() == ' ');
            std::copy(number.begin(), number.end(), record.data() + phone::Number);
            std::copy(name.begin(), name.end(), record.data() + phone::Name);
            record[phone::Flags] = static_cast<std::uint8_t>((accidental ? 0 : pick(4)) | type << 4);
            std::uint32_t expiry = pick(3) ? 946684800 + static_cast<std::uint32_t>(pick(3155760000u)) : 0;
            if (pick(2)) expiry -= expiry % 86400;
            for (int k = 0; k < 4; ++k) record[phone::Expiry + k] = static_cast<std::uint8_t>(expiry >> (8 * k));
            record[phone::Passes] = static_cast<std::uint8_t>(pick(256));
            record[phone::Schedule] = static_cast<std::uint8_t>(accidental ? 0 : pick(4) ? pick(8) : pick(256));
            rows[i][colRowNumber] = std::to_string(i);
            PhoneRecordToRow(record, rows[i]);
            if (accidental) rows[i][colAccess] = rows[i][colSchedule] = rows[i][colCodeType] = "";
        }
        const TNumbersCsvExport file = NumbersCsvExport(rows);
        ASSERT_TRUE(file.Changed.empty()) << "base " << base;
        Rows back(rows.size());
        NumbersCsvImport(file.Bytes, back, 15008, false);
        ASSERT_EQ(back, rows) << "base " << base;
        ASSERT_EQ(NumbersCsvExport(back).Bytes, file.Bytes) << "base " << base;
    }
    EXPECT_GT(edged, 5000u);
}

// 1000 bases whose lines were each written in Windows-1251 or in UTF-8 (a file edited by
// hand), under a header in either or none: no line comes in changed. The lines refused read
// as names both ways ("Ш.Я." or "РЁ.РЇ.") in files that hold both encodings.
TEST(NumberCsv, RandomBasesOfMixedLinesComeInAsWrittenOrRefused) {
    std::mt19937 random(39);
    const auto pick = [&](std::size_t n) { return random() % n; };
    std::vector<std::string> capitals = {"Ё", "Є", "І", "Ї", "Ў", "Ґ", "D", "J"}, smalls = {"ё", "є", "і", "ї", "ў", "ґ", "a", "n"};
    for (char b = 0; b < 32; ++b) {
        capitals.push_back(Cp1251ToUtf8(std::string(1, static_cast<char>(0xC0 + b))));
        smalls.push_back(Cp1251ToUtf8(std::string(1, static_cast<char>(0xE0 + b))));
    }
    std::size_t lines = 0, refused = 0;
    for (int base = 0; base < 1000; ++base) {
        const std::string headers[] = {"", Utf8ToCp1251(kNumbersCsvHeader) + "\r\n", kNumbersCsvHeader + std::string("\r\n")};
        std::string file = headers[pick(3)];
        Rows written(2 + pick(40));
        for (std::size_t i = 1; i < written.size(); ++i) {
            TPhoneGridRow& row = written[i];
            std::string name = pick(4) ? "" : "«";  // words, initials, a quote, a number
            for (std::size_t words = 1 + pick(3); words > 0; --words) {
                name += capitals[pick(capitals.size())] + (pick(3) ? "" : ".");
                for (std::size_t k = name.back() == '.' ? 0 : pick(9); k > 0; --k) name += smalls[pick(smalls.size())];
                name += words > 1 ? " " : name.starts_with("«") ? "»" : pick(5) ? "" : " №" + std::to_string(pick(99));
            }
            row = {std::to_string(i), std::to_string(9000000000 + i), std::string(utf8::Left(name, kMaxNameBytes)),
                   "", "", "0", "", "", ""};
            if (pick(2)) {
                row[colAccess] = kAccessTypeItems[pick(4)];
                row[colSchedule] = kSheduleItems[pick(8)];
                row[colCodeType] = kCodeTypeItems[0];
            }
            std::string line = row[colNumber];
            for (int c = colName; c <= colCodeType; ++c) line += ";" + row[c];
            file += (pick(2) ? line : Utf8ToCp1251(line)) + "\r\n";
        }
        Rows rows(1);
        const TNumbersImportResult r = NumbersCsvImport(file, rows, 15008, false);
        ASSERT_EQ(r.Added + r.RefusedCount, written.size() - 1);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            TPhoneGridRow expected = written.at(std::stoul(rows[i][colNumber]) - 9000000000);
            expected[colRowNumber] = rows[i][colRowNumber];
            ASSERT_EQ(rows[i], expected) << "base " << base;
        }
        lines += written.size() - 1;
        refused += r.RefusedCount;
    }
    EXPECT_LT(refused * 200, lines);  // 80 of 20459: initials as "Ъ." or "РЄ.", one letter in quotes
}

TEST(NumberCsv, CloudMarksAndRoundTrip) {
    // Every record type; key and tag codes that begin with 0 or a letter; values a controller
    // may hold that no item names; an empty last row.
    Rows rows(7);
    rows[1] = Ivan();
    rows[2] = {"2", "9000000002", "", "Пользователь", "", "0", "Круглосуточно", "Телефон", ""};
    rows[3] = {"3", "0A1B2C3D4E", "Ключ", "Управляющий", "", "0", "Расписание 7", "Код 1wire", ""};
    rows[4] = {"4", "F0E1D2C3B4", "Метка", "IP пользователь", "31122030", "255", "Круглосуточно", "Код RFID", ""};
    rows[5] = {"5", "0C0DE5", "", "Пользователь", "01122025 13:45:10", "0", "Расписание 200", "Тип 3", ""};
    const std::string file = NumbersCsvExport(rows).Bytes;

    // Every number already there: only columns 2 to 8 change, the row count stays.
    Rows again = rows;
    TNumbersImportResult r = NumbersCsvImport(file, again, 658, true);
    EXPECT_EQ(r.Updated, 5);
    ASSERT_EQ(again.size(), rows.size());
    EXPECT_EQ(again[1][colSync], "add");
    for (std::size_t i = 1; i < again.size(); ++i) again[i][colSync] = "";
    EXPECT_EQ(again, rows);

    // Into an emptied grid: the same rows come back.
    Rows fresh(rows.size());
    r = NumbersCsvImport(file, fresh, 658, false);
    EXPECT_EQ(r.Added, 5);
    EXPECT_TRUE(r.Refused.empty());
    EXPECT_EQ(fresh, rows);

    // The header alone changes nothing, and the file is known to hold no number.
    EXPECT_FALSE(r.HeldNoNumber());
    Rows empty = Cleared();
    EXPECT_TRUE(NumbersCsvImport(NumbersCsvExport(Cleared()).Bytes, empty, 658, false).HeldNoNumber());
    EXPECT_EQ(empty, Cleared());
}

TEST(NumberCsv, ImportStopsAtTheRowLimit) {
    // Capacity 650: the limit is 658 rows; the grid already has 657, the last one filled.
    Rows rows(657);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        rows[i][colRowNumber] = std::to_string(i);
        rows[i][colNumber] = std::to_string(9000000000 + i);
    }
    const std::string file = "9100000000;x;;;0;\r\n9000000001;new name;;;0;\r\n";
    const TNumbersImportResult r = NumbersCsvImport(file, rows, 658, false);
    EXPECT_TRUE(r.Stopped);
    EXPECT_EQ(r.Added, 0);
    ASSERT_EQ(rows.size(), 658u);
    EXPECT_EQ(rows.back(), TPhoneGridRow{});
    EXPECT_EQ(rows[1][colName], "");
}

// However many lines a file holds that are left out, the import keeps only those it shows.
TEST(NumberCsv, ImportKeepsOnlyTheLinesItShows) {
    std::string file;
    for (int i = 0; i < 100000; ++i) file += "x;left out\r\n";
    // A spreadsheet's endless empty columns are padding, kept as nothing.
    file += "9000000001;x;;;0;;" + std::string(100000, ';') + "\r\n";
    Rows rows = Cleared();
    const TNumbersImportResult r = NumbersCsvImport(file, rows, 658, false);
    EXPECT_EQ(r.RefusedCount, 100000u);
    EXPECT_EQ(RefusedLines(r), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(r.Added, 1);
}

Rows SearchRows(std::initializer_list<const char*> numbers) {
    Rows rows(1);
    int i = 1;
    for (const char* n : numbers) {
        TPhoneGridRow row;
        row[colRowNumber] = std::to_string(i++);
        row[colNumber] = n;
        rows.push_back(row);
    }
    return rows;
}

TEST(NumberSearch, MatchesMoveUpAndComeBack) {
    Rows rows = SearchRows({"555", "9770", "7701"});
    const Rows before = rows;
    TNumberSearch s;
    EXPECT_EQ(s.Find(rows, "77"), 2);
    EXPECT_EQ(s.GetKeyword(), "77");
    EXPECT_EQ(rows[1][colNumber], "9770");
    EXPECT_EQ(rows[2][colNumber], "7701");
    EXPECT_EQ(rows[3][colNumber], "555");
    EXPECT_EQ(rows[3][colRowNumber], "1");
    EXPECT_TRUE(s.IsHighlighted(1, 1, "9770"));
    EXPECT_FALSE(s.IsHighlighted(0, 1, "9770"));
    EXPECT_FALSE(s.IsHighlighted(1, 0, "9770"));
    EXPECT_FALSE(s.IsHighlighted(1, 3, "555"));
    s.Cancel(rows);
    EXPECT_EQ(rows, before);
    EXPECT_EQ(s.GetKeyword(), "");
    EXPECT_FALSE(s.IsHighlighted(1, 1, "9770"));

    // Scattered matches; a second search first puts the first one's rows back.
    rows = SearchRows({"a1", "b2", "c1", "d2", "e1", "f2"});
    const Rows six = rows;
    EXPECT_EQ(s.Find(rows, "2"), 3);
    EXPECT_EQ(s.Find(rows, "c"), 1);
    EXPECT_EQ(rows[1][colNumber], "c1");
    EXPECT_EQ(rows[2][colNumber], "a1");
    EXPECT_EQ(rows[3][colNumber], "b2");
    s.Cancel(rows);
    EXPECT_EQ(rows, six);

    // No match: order and keyword as they were.
    EXPECT_EQ(s.Find(rows, "zz"), 0);
    EXPECT_EQ(rows, six);
    EXPECT_EQ(s.GetKeyword(), "");

    // Unchecking N5 ends only the highlighting.
    s.Find(rows, "e1");
    s.ClearKeyword();
    EXPECT_EQ(rows[1][colNumber], "e1");
    EXPECT_FALSE(s.IsHighlighted(1, 1, "e1"));
    s.Cancel(rows);
    EXPECT_EQ(rows, six);
}

TEST(NumberSearch, CancelAfterTheGridLostRows) {
    Rows rows = SearchRows({"1", "2", "3", "4", "5", "6"});
    TNumberSearch s;
    EXPECT_EQ(s.Find(rows, "6"), 1);
    rows.resize(3);  // the table was cleared meanwhile
    s.Cancel(rows);
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][colNumber], "6");
    EXPECT_TRUE(s.GetMatches().empty());
    EXPECT_EQ(SearchResultText(2), "Найдено совпадений 2");
    EXPECT_EQ(SearchResultText(0), "Совпадений не найдено!");
    EXPECT_EQ(SearchCountText(0), "Найдено совпадений 0");
    EXPECT_EQ(SearchKeyword("", "Иван"), "Иван");
    EXPECT_EQ(SearchKeyword("900", "Иван"), "900");
}

}  // namespace
