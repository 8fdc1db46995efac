// The number grid on the window without a device: records to rows and back, the row menu,
// sorting, the keyword search with its highlighting, the editor loaded from a row, and
// number files through the file dialogs.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <iterator>
#include <memory>

#include "app/LangFile.h"
#include "app/ShellState.h"
#include "app/Unit1.h"
#include "memory/MemoryState.h"
#include "memory/NumberCsv.h"
#include "memory/NumberGridSort.h"
#include "memory/PhoneBase.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/sys/Now.h"
#include "platform/ui/Dialogs.h"
#include "support/ShownWindow.h"
#include "support/TestSupport.h"

namespace {

using TNamedNumbers = std::vector<std::pair<std::string, std::string>>;

class NumbersGrid : public ::testing::Test {
protected:
    void SetUp() override {
        langFile = g_LangFilePath;
        SetPhoneRecords({});
        Application->CreateForm(Form1);
        ui::test::ClearDialogs();
        g = Form1->PhonesGrid;
    }
    void TearDown() override {
        delete Form1;
        Form1 = nullptr;
        SetPhoneRecords({});
        g_NumberSearch.Forget();
        g_SearchKeyword[0] = '\0';
        g_LangFilePath = langFile;
    }
    // Rows 1.. with these numbers and names.
    void Fill(const std::vector<std::pair<std::string, std::string>>& rows) {
        g->SetRowCount(static_cast<int>(rows.size()) + 2);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            g->SetCells(0, r, std::to_string(r));
            g->SetCells(1, r, rows[i].first);
            g->SetCells(2, r, rows[i].second);
        }
    }
    std::vector<std::string> Column(int c) const {
        std::vector<std::string> out;
        for (int r = 1; r < g->GetRowCount(); ++r) out.push_back(g->GetCells(c, r));
        return out;
    }
    static std::string Message() { return Form1->MESLABEL->GetCaption(); }
    // Imports the bytes through the dialog into an emptied grid: every number of written that
    // came in holds its name as written, and nothing else came in. How many came in.
    int ImportAsWritten(const std::string& path, const std::string& bytes, const TNamedNumbers& written) {
        EXPECT_TRUE(WriteFileSafely(path, bytes));
        Form1->ClearTableClick(nullptr);
        ui::test::PushFileAnswer(path);
        testsupport::Click(Form1->UiButton3);
        int in = 0;
        for (const auto& [number, name] : written) {
            const int row = Form1->FindInTable(number);
            if (row < 0) continue;
            EXPECT_EQ(g->GetCells(2, row), name) << number;
            ++in;
        }
        const std::vector<std::string> numbers = Column(1);
        EXPECT_EQ(std::count_if(numbers.begin(), numbers.end(), [](auto& n) { return !n.empty(); }), in);
        return in;
    }
    TUiStringGrid* g = nullptr;
    std::string langFile;
};

TEST_F(NumbersGrid, BuiltAsDesigned) {
    EXPECT_EQ(g->GetColCount(), 9);
    EXPECT_EQ(g->GetRowCount(), 5);
    EXPECT_EQ(g->GetFixedRows(), 1);
    const int widths[] = {30, 102, 128, 126, 111, 92, 118, 87, 30};
    for (int c = 0; c < 9; ++c) EXPECT_EQ(g->GetColWidths(c), widths[c]) << c;
    EXPECT_EQ(g->GetDefaultRowHeight(), 24);
    EXPECT_EQ(g->GetPopupMenu(), Form1->PopupMenu2);
    EXPECT_TRUE(g->GetOptions().Contains(goRangeSelect));
    EXPECT_FALSE(g->GetOptions().Contains(goEditing));
    EXPECT_EQ(Form1->HrGrid->GetColCount(), 5);
    EXPECT_EQ(Form1->HrGrid->GetRowCount(), 2);
    EXPECT_EQ(Form1->FOper->GetItems()->GetCount(), 33);
    EXPECT_EQ(Form1->FOper->GetItems()->Get(0), "Все записи");
    EXPECT_EQ(Form1->FOper->GetItems()->Get(32), "Выход активирован кнопкой");
    EXPECT_EQ(Form1->aShedule->GetItems()->GetCount(), 8);
    EXPECT_FALSE(Form1->ManyNumbers->GetVisible());
    EXPECT_EQ(Form1->Caddmany->GetCaption(), "Добавить несколько");
}

TEST_F(NumbersGrid, RowsToRecordsAndBack) {
    Fill({{"9000000002", "Б"}, {"", ""}, {"9000000001", "А"}});
    g->SetCells(3, 1, "Администратор");
    g->SetCells(4, 1, "1012025");
    g->SetCells(5, 1, "7");
    g->SetCells(6, 1, "Расписание 2");
    g->SetCells(7, 1, "Код 1wire");
    Form1->PhoneGridToStruct();
    ASSERT_EQ(g_PhoneCount, 2u);
    EXPECT_EQ(g->GetCells(4, 1), "01012025");  // the leading zero is written back
    const PhoneRecord& r = g_PhoneRecords[0];
    EXPECT_EQ(r[0], 0xAA);
    EXPECT_EQ(r[32], 0x12);
    // "01012025": 1 January 2025 00:00 on the local clock as if it were UTC.
    EXPECT_EQ(r[33] | r[34] << 8 | r[35] << 16 | static_cast<std::uint32_t>(r[36]) << 24, 1735689600u);
    EXPECT_EQ(r[37], 7);
    EXPECT_EQ(r[38], 2);

    // Back: the grid is cleared first, one empty row follows the entries.
    g->SetRowCount(12);
    g->SetCells(1, 10, "9999999999");
    Form1->PhoneStructToGrid();
    EXPECT_EQ(g->GetRowCount(), 4);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"9000000002", "9000000001", ""}));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", ""}));
    EXPECT_EQ(g->GetCells(4, 1), "01012025");
    EXPECT_EQ(Form1->FindInTable("9000000001"), 2);
    EXPECT_EQ(Form1->FindInTable("900000000"), -1);

    // A pass count that is no number stops the conversion and keeps the records.
    g->SetCells(5, 2, "7x");
    EXPECT_THROW(Form1->PhoneGridToStruct(), EConvertError);
    EXPECT_EQ(g_PhoneCount, 2u);
}

TEST_F(NumbersGrid, RowMenu) {
    Fill({{"9000000001", "A"}, {"9000000002", "B"}, {"9000000003", "C"}});
    // Insert at row 2: the rows below move down, all are renumbered.
    g->SetRow(2);
    Form1->N9Click(nullptr);
    EXPECT_EQ(g->GetRowCount(), 6);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"9000000001", "", "9000000002", "9000000003", ""}));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    // Empty the selected rows 3 and 4, numbers included; the count stays.
    g->SetSelection(TGridRect{1, 3, 2, 4});
    Form1->N10Click(nullptr);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"9000000001", "", "", "", ""}));
    EXPECT_EQ(g->GetCells(0, 3), "");
    EXPECT_EQ(g->GetRowCount(), 6);
    // Editing switch.
    Form1->N4Click(nullptr);
    EXPECT_TRUE(g->GetOptions().Contains(goEditing));
    EXPECT_TRUE(Form1->N4->GetChecked());
    Form1->N4Click(nullptr);
    EXPECT_FALSE(g->GetOptions().Contains(goEditing));
    // Show the log for the selected row's number.
    g->SetRow(1);
    Form1->N3Click(nullptr);
    EXPECT_EQ(Form1->HrNum->GetText(), "9000000001");
    EXPECT_TRUE(Form1->CheckBox1->GetChecked());
    EXPECT_EQ(Form1->UiPageControl1->GetActivePageIndex(), 6);
    Form1->CheckBox1->SetChecked(false);
    EXPECT_EQ(Form1->HrNum->GetText(), "");
    // Clear the table: five rows.
    Form1->ClearTable->Click();
    EXPECT_EQ(g->GetRowCount(), 5);
    EXPECT_EQ(g->GetCells(1, 1), "");
}

TEST_F(NumbersGrid, SortingAndRestoringTheOrder) {
    Fill({{"9000000003", "бета"}, {"", ""}, {"9000000001", "Альфа"}, {"9000000002", "альфа2"}});
    g->SetCol(2);
    Form1->N6Click(nullptr);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"Альфа", "альфа2", "бета", "", ""}));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3", "", ""}));
    // Column 0 compares as numbers: 10 after 9.
    TGridRows rows = {{"№", "Номер"}, {"10", "a"}, {"9", "b"}, {"", ""}, {"1", "c"}};
    SortGridRows(rows, 1, 0, true);
    EXPECT_EQ(rows[1][1], "c");
    EXPECT_EQ(rows[2][1], "b");
    EXPECT_EQ(rows[3][1], "a");
    EXPECT_EQ(rows[4], (std::vector<std::string>{"", ""}));
    Form1->N7Click(nullptr);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"9000000001", "9000000002", "9000000003", "", ""}));
}

TEST_F(NumbersGrid, SearchMovesMatchesUpAndHighlightsThem) {
    Fill({{"555", "x"}, {"9770", "y"}, {"7701", "z"}});
    Form1->aPhone->SetText("77");
    Form1->UiButton7Click(nullptr);
    EXPECT_EQ(Message(), "Найдено совпадений 2");
    EXPECT_EQ(Column(1), (std::vector<std::string>{"9770", "7701", "555", ""}));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"2", "3", "1", ""}));
    EXPECT_STREQ(g_SearchKeyword, "77");

    // The matching cell is painted light green, another cell is not.
    g->SetBounds(0, 0, 861, 200);
    TBitmap image(g->GetWidth(), g->GetHeight());
    g->PaintTo(*image.GetCanvas(), 0, 0);
    const TRect hit = g->CellRect(1, 1), miss = g->CellRect(1, 3);
    ASSERT_FALSE(hit.IsEmpty());
    const int border = g->BorderWidth();
    EXPECT_EQ(image.GetPixel(border + hit.Right - 3, border + hit.Bottom - 3), static_cast<TColor>(0x84FF84));
    EXPECT_NE(image.GetPixel(border + miss.Right - 3, border + miss.Bottom - 3), static_cast<TColor>(0x84FF84));

    // Cancelling puts the rows back.
    Form1->N8Click(nullptr);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"555", "9770", "7701", ""}));
    EXPECT_STREQ(g_SearchKeyword, "");

    // Nothing found: order kept, no keyword.
    Form1->aPhone->SetText("");
    Form1->aName->SetText("нет");
    Form1->UiButton7Click(nullptr);
    EXPECT_EQ(Message(), "Совпадений не найдено!");
    EXPECT_STREQ(g_SearchKeyword, "");
    Form1->aName->SetText("");
    Form1->UiButton7Click(nullptr);
    EXPECT_EQ(Message(), "Заполните поле поиска пользователя");

    // The menu search uses the selected cell and names the count, 0 included.
    g->SetCol(2);
    g->SetRow(3);
    Form1->N5Click(nullptr);
    EXPECT_TRUE(Form1->N5->GetChecked());
    EXPECT_EQ(Message(), "Найдено совпадений 1");
    EXPECT_EQ(Column(1), (std::vector<std::string>{"7701", "555", "9770", ""}));
    Form1->N5Click(nullptr);
    EXPECT_FALSE(Form1->N5->GetChecked());
    EXPECT_STREQ(g_SearchKeyword, "");
    EXPECT_EQ(Column(1), (std::vector<std::string>{"7701", "555", "9770", ""}));
}

TEST_F(NumbersGrid, SelectingARowLoadsTheEditor) {
    Fill({{"9000000001", "Петров"}, {"9000000002", "Сидоров"}});
    g->SetCells(3, 1, "Управляющий");
    g->SetCells(4, 1, "1012025");
    g->SetCells(5, 1, "0");
    g->SetCells(6, 1, "Расписание 3");
    g->SetCells(7, 1, "Код RFID");
    g->SetCells(5, 2, "12");
    bool can = true;
    Form1->PhonesGridSelectCell(g, 1, 1, can);
    TForm1& f = *Form1;
    EXPECT_EQ(f.aPhone->GetText(), "9000000001");
    EXPECT_EQ(f.aName->GetText(), "Петров");
    EXPECT_EQ(f.aAccesstype->GetItemIndex(), 1);
    EXPECT_EQ(f.aShedule->GetItemIndex(), 3);
    EXPECT_EQ(f.CodeType->GetItemIndex(), 2);
    EXPECT_TRUE(f.Cdate->GetChecked());
    EXPECT_TRUE(f.aEndtime->GetVisible());
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", f.aEndtime->GetDate()), "01.01.2025");  // d, MM, yyyy
    EXPECT_FALSE(f.Cpassages->GetChecked());  // "0" is no limit
    // Row 2: no date, a pass limit; empty cells show the first item, as the row is written.
    Form1->PhonesGridSelectCell(g, 1, 2, can);
    EXPECT_FALSE(f.Cdate->GetChecked());
    EXPECT_FALSE(f.aEndtime->GetVisible());
    EXPECT_EQ(f.aEndtime->GetDate(), sys::Date());
    EXPECT_TRUE(f.Cpassages->GetChecked());
    EXPECT_EQ(f.aPassages->GetText(), "12");
    EXPECT_EQ(f.aShedule->GetItemIndex(), 0);
    // A schedule the grid does not show is refused by an add, never sent as another.
    g->SetCells(6, 2, "Ночь");
    Form1->PhonesGridSelectCell(g, 1, 2, can);
    EXPECT_EQ(f.aShedule->GetItemIndex(), -1);
    testsupport::Click(f.UiButton1);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 1u);
    EXPECT_EQ(ui::test::ShownDialogs()[0].text, "Расписание: \"Ночь\" — нет в списке");

    // The many-numbers memo turns red on Enter after a line that is not ten characters.
    f.CaddmanyClick(nullptr);
    f.ManyNumbers->GetLines()->SetText("9000000001\r\n5550");
    char enter = '\r';
    f.ManyNumbersKeyPress(nullptr, enter);
    EXPECT_EQ(f.ManyNumbers->GetColor(), static_cast<TColor>(0x0000FF));
    f.ManyNumbers->GetLines()->SetText("9000000001\r\n5550000000");
    f.ManyNumbersKeyPress(nullptr, enter);
    EXPECT_EQ(f.ManyNumbers->GetColor(), static_cast<TColor>(0xFFFFFF));
    f.CaddmanyClick(nullptr);
    EXPECT_TRUE(f.aPhone->GetVisible());
    EXPECT_EQ(f.Caddmany->GetTop(), f.aPhone->GetTop() + f.aPhone->GetHeight());
}

TEST_F(NumbersGrid, NumberFileRoundTripThroughTheDialogs) {
    const std::string dir = testsupport::TempDir("numbers-csv");
    // Names keep their blanks; one that begins with a quote is quoted to come back as it is.
    Fill({{"9000000001", " Иванов"}, {"9000000002", "\"Петров\" "}});
    g->SetCells(3, 1, "Пользователь");
    g->SetCells(4, 1, "31122026");
    g->SetCells(5, 1, "3");
    g->SetCells(6, 1, "Круглосуточно");
    g->SetCells(7, 1, "Телефон");
    const std::string path = dir + "/_numbers.csv";
    ui::test::PushFileAnswer(path);
    Form1->UiButton4Click(nullptr);
    ASSERT_EQ(ui::test::ShownDialogs().back().kind, "save");
    EXPECT_EQ(Form1->SaveDialog->GetFileName(), path);
    std::ifstream in(path, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(file, Utf8ToCp1251("Номер;Наименование;Права;Действует до;Проходов;Расписание;Тип записи\r\n"
                                 "9000000001; Иванов;Пользователь;31122026;3;Круглосуточно;Телефон\r\n"
                                 "9000000002;\"\"\"Петров\"\" \";;;;;\r\n"));

    // Into an emptied grid: the same rows come back.
    const std::vector<std::vector<std::string>> before = {g->GetRow(1), g->GetRow(2)};
    Form1->ClearTableClick(nullptr);
    ui::test::PushFileAnswer(path);
    Form1->UiButton3Click(nullptr);
    EXPECT_EQ(g->GetRow(1), before[0]);
    EXPECT_EQ(g->GetRow(2), before[1]);
    EXPECT_EQ(g->GetCells(1, 3), "");

    // A cancelled dialog changes nothing.
    ui::test::PushFileAnswer("");
    Form1->UiButton3Click(nullptr);
    EXPECT_EQ(g->GetRow(1), before[0]);

    // Lines the import leaves out are counted and the first shown.
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        // As a spreadsheet saves "CSV UTF-8".
        out << "\xEF\xBB\xBF" "Номер;Имя\r\nA1B2C3D4E5;Метка;;;0;;Код RFID\r\nB1;x;;;0;;Телефон\r\n"
               "9000000003;Сидоров;;;много;;\r\n";
    }
    ui::test::PushFileAnswer(path);
    testsupport::Click(Form1->UiButton3);
    EXPECT_EQ(g->GetCells(1, 3), "A1B2C3D4E5");
    EXPECT_EQ(Message(), "Не загружено строк файла: 3\nстрока 1: Номер;Имя\nстрока 3: B1;x;;;0;;Телефон\n"
                         "строка 4: 9000000003;Сидоров;;;много;;");

    // A FIFO is never opened (it would block) and a file that cannot be read is said so; the
    // grid stays as it was.
    const std::string fifo = std::filesystem::path(path).parent_path().string() + "/numbers.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ui::test::PushFileAnswer(fifo);
    testsupport::Click(Form1->UiButton3);
    EXPECT_EQ(Message(), Form1->GetMessageA(97) + " " + fifo + " (" + Form1->GetMessageA(98) + ")");
    SetSafeFileUnreadableForTests(path);
    ui::test::PushFileAnswer(path);
    testsupport::Click(Form1->UiButton3);
    SetSafeFileUnreadableForTests("");
    EXPECT_EQ(Message(), Form1->GetMessageA(97) + " " + path + " (Отказано в доступе)");
    EXPECT_EQ(g->GetCells(1, 3), "A1B2C3D4E5");

    // An export that had to change a name says so.
    g->SetCells(2, 3, "Метка;1");
    ui::test::PushFileAnswer(path);
    testsupport::Click(Form1->UiButton4);
    EXPECT_EQ(Message(), "Строк, записанных в файл с заменой символов: 1\nстрока 3: A1B2C3D4E5;Метка 1;;;0;;Код RFID");
}

// The tool's own export of names that are well-formed UTF-8 by accident ("ИЁ" would read "Ȩ",
// "РЁ" "Ш"), the item cells empty, comes in as written and goes out byte for byte again; so
// does the file with its header line taken out. Under a spreadsheet's UTF-8 header, the names
// that read as names both ways ("РЁ", "Рё", "Р№") are refused and told, the others come in.
TEST_F(NumbersGrid, OwnExportOfNamesThatLookLikeUtf8ComesBackByteExact) {
    std::vector<std::pair<std::string, std::string>> written;
    for (int i = 0; i < 50; ++i)
        written.emplace_back(std::to_string(9000000100 + i),
                             Cp1251ToUtf8(std::string{static_cast<char>(0xC2 + i / 3), "\xA8\xB8\xB9"[i % 3]}));
    Fill(written);
    const auto names = [&] {
        std::vector<std::string> column = Column(2);
        column.resize(50);
        return column;
    };
    const std::vector<std::string> before = names();
    const std::string path = testsupport::TempDir("numbers-accident") + "/n.csv";
    const auto exported = [&] {
        ui::test::PushFileAnswer(path);
        testsupport::Click(Form1->UiButton4);
        return testsupport::ReadFileText(path);
    };
    const std::string file = exported();
    for (const std::string& bytes : {file, file.substr(file.find('\n') + 1)}) {
        ASSERT_TRUE(WriteFileSafely(path, bytes));
        Form1->ClearTableClick(nullptr);
        ui::test::PushFileAnswer(path);
        testsupport::Click(Form1->UiButton3);
        EXPECT_EQ(names(), before);
        EXPECT_EQ(exported(), file);
    }
    g_LangFilePath = testsupport::ShippedLangFile();
    EXPECT_EQ(ImportAsWritten(path, kNumbersCsvHeader + file.substr(file.find('\r')), written), 38);
    EXPECT_EQ(Message().substr(0, Message().find("\nстрока")),
              "Строки файла записаны в разных кодировках: Windows-1251 — 38, UTF-8 — 1\n"
              "Не загружено строк, кодировку которых не определить: 12\nНе загружено строк файла: 12");
}

// Number files edited by hand, each line in the encoding of the program that wrote it: every
// line comes in as written or is refused and told, never changed.
TEST_F(NumbersGrid, HandEditedNumberFilesComeInAsWrittenOrRefused) {
    g_LangFilePath = testsupport::ShippedLangFile();
    const std::string path = testsupport::TempDir("numbers-mixed") + "/n.csv";
    const char* names[] = {"Петров", "Ш.Я.", "В.Г.", "Ёлкина А.", "Ши", "Лі Ґ.", "Ким", "Ц", "Ли", "Орлова"};
    TNamedNumbers written;
    for (int i = 0; i < 40; ++i) written.emplace_back(std::to_string(9000000100 + i), names[i % 10] + std::string(i % 3, 'I'));
    Fill(written);
    for (int r = 1; r <= 40; r += 2) g->SetCells(3, r, "Пользователь"), g->SetCells(7, r, "Телефон");
    ui::test::PushFileAnswer(path);
    testsupport::Click(Form1->UiButton4);
    const std::string file = testsupport::ReadFileText(path), header = file.substr(0, file.find('\n') + 1);
    const auto told = [] { return Message().substr(0, Message().find("\nстрока")); };

    // The body re-saved as UTF-8 under the header kept: "Ш.Я." or "РЁ.РЇ." with empty item
    // cells cannot be told.
    EXPECT_EQ(ImportAsWritten(path, header + Cp1251ToUtf8(file.substr(header.size())), written), 36);
    EXPECT_EQ(told(), "Строки файла записаны в разных кодировках: Windows-1251 — 1, UTF-8 — 36\n"
                      "Не загружено строк, кодировку которых не определить: 4\nНе загружено строк файла: 4");
    // Lines typed in UTF-8 appended to the export: "Ш.Я." and "Ши" cannot be told.
    std::string appended = file;
    for (int i = 0; i < 15; ++i) {
        written.emplace_back(std::to_string(9000000200 + i), names[i % 10] + std::string(i / 10, 'I'));
        appended += written.back().first + ";" + written.back().second + ";;;0;;\r\n";
    }
    EXPECT_EQ(ImportAsWritten(path, appended, written), 40 + 11);
    EXPECT_EQ(told(), "Строки файла записаны в разных кодировках: Windows-1251 — 41, UTF-8 — 11\n"
                      "Не загружено строк, кодировку которых не определить: 4\nНе загружено строк файла: 4");
    // A UTF-8 list of initials: the file tells "Ш.Я." as UTF-8; "×" and a Kazakh letter, which
    // Windows-1251 lacks, are refused.
    std::string initials;
    written.clear();
    for (const char* name : {"В.Г.", "Ш.Я.", "Т.С.", "А.Б. × 2", "Я.Х.", "Ә.Қ.", "Ю.Ж.", "И.К.", "Е.Ё."}) {
        written.emplace_back(std::to_string(9000000300 + written.size()), name);
        initials += written.back().first + ";" + name + ";;;0;;\n";
    }
    EXPECT_EQ(ImportAsWritten(path, initials, written), 7);
    EXPECT_EQ(Message(), "Не загружено строк файла: 2\nстрока 4: 9000000303;А.Б. × 2;;;0;;\nстрока 6: 9000000305;Ә.Қ.;;;0;;");
    // As a spreadsheet's "Unicode text" (UTF-16 with its mark): read, its encoding named with
    // what is refused; with fields separated by tabs, refused and told so.
    for (bool big : {false, true}) {
        std::string utf16 = big ? "\xFE\xFF" : "\xFF\xFE";
        for (std::size_t i = 0; i < initials.size();) {
            const char32_t c = utf8::Next(initials, i);
            utf16 += big ? std::string{char(c >> 8), char(c)} : std::string{char(c), char(c >> 8)};
        }
        EXPECT_EQ(ImportAsWritten(path, utf16, written), big ? 0 : 7);
        EXPECT_EQ(told(), big ? "Кодировка файла: UTF-16 BE\nПоля разделены табуляцией, а нужна точка с запятой: "
                                "сохраните файл как CSV с разделителем «;»\nНе загружено строк файла: 9"
                              : "Кодировка файла: UTF-16 LE\nНе загружено строк файла: 2");
        std::replace(initials.begin(), initials.end(), ';', '\t');
    }
}

// The peak of the process's resident memory since the last reset, in KiB; -1 where the
// system keeps none that can be reset.
long PeakResidentKiB(bool reset) {
    if (reset && !(std::ofstream("/proc/self/clear_refs") << "5").flush()) return -1;
    std::ifstream in("/proc/self/status");
    for (std::string key; in >> key; in.ignore(1 << 16, '\n'))
        if (key == "VmHWM:") {
            long kib = -1;
            in >> kib;
            return kib;
        }
    return -1;
}

// A file with nothing to take is said so; one larger than any base is refused before it is
// read, in the texts of the language file.
TEST_F(NumbersGrid, NumberFilesWithNothingOrTooMuchAreTold) {
    const std::string saved = g_LangFilePath;
    g_LangFilePath = testsupport::ShippedLangFile();
    EXPECT_EQ(ReadLangMessage(g_LangFilePath, kMsgNumbersFileEmpty, "english"), "The file holds no number");
    EXPECT_EQ(ReadLangMessage(g_LangFilePath, kMsgNumbersFileTooLarge, "english"),
              "The file is too large for a number list");
    Fill({{"9000000001", "Иванов"}});
    const std::string dir = testsupport::TempDir("numbers-told");

    // A spreadsheet's "CSV UTF-8" of an empty sheet: its byte-order mark alone.
    ASSERT_TRUE(WriteFileSafely(dir + "/empty.csv", "\xEF\xBB\xBF"));
    ui::test::PushFileAnswer(dir + "/empty.csv");
    testsupport::Click(Form1->UiButton3);
    EXPECT_EQ(Message(), "В файле нет ни одного номера");

    // 200 MB (a sparse file: no disk is spent on it); what was read stays far below that.
    const std::string large = dir + "/large.csv";
    std::ofstream(large) << "9000000002;x;;;0;;\r\n";
    std::filesystem::resize_file(large, std::uintmax_t{200} << 20);
    const long before = PeakResidentKiB(true);
    ui::test::PushFileAnswer(large);
    testsupport::Click(Form1->UiButton3);
    const long peak = PeakResidentKiB(false);
    EXPECT_EQ(Message(), "Файл слишком велик для списка номеров");
    if (before > 0) {
        EXPECT_LT(peak - before, 32 << 10);
    }
    EXPECT_EQ(Column(1), (std::vector<std::string>{"9000000001", ""}));
    g_LangFilePath = saved;
}

// Values a controller may hold that no item of the editor names: the configuration file and
// a CSV file exported and imported again keep their bytes.
TEST_F(NumbersGrid, ValuesNoItemNamesSurviveTheConfigurationFileAndTheCsvFile) {
    PhoneRecord odd;
    odd[0] = 0xAA;
    std::memcpy(odd.data() + 1, "9000000001", 10);
    odd[32] = 0x31;  // manager, record type 3
    const std::uint8_t expiry[] = {0xE6, 0x9B, 0x2D, 0x69};  // 1 December 2025 13:45:10
    std::memcpy(odd.data() + 33, expiry, 4);
    odd[38] = 200;
    SetPhoneRecords({odd});
    Form1->PhoneStructToGrid();
    EXPECT_EQ(g->GetRow(1), (std::vector<std::string>{"1", "9000000001", "", "Управляющий", "01122025 13:45:10", "0",
                                                      "Расписание 200", "Тип 3", ""}));
    const std::string dir = testsupport::TempDir("numbers-odd");
    const auto numberChunk = [&] {
        EXPECT_TRUE(Form1->SaveConfigToFile(dir + "/a.fcg"));
        std::ifstream in(dir + "/a.fcg", std::ios::binary);
        const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return file.size() == 534 + 64 ? file.substr(534) : file;
    };
    const std::string bytes(odd.Bytes.begin(), odd.Bytes.end());
    EXPECT_EQ(numberChunk(), bytes);

    ui::test::PushFileAnswer(dir + "/n.csv");
    testsupport::Click(Form1->UiButton4);
    Form1->ClearTableClick(nullptr);
    ui::test::PushFileAnswer(dir + "/n.csv");
    testsupport::Click(Form1->UiButton3);
    EXPECT_EQ(numberChunk(), bytes);
}

TEST_F(NumbersGrid, AnExportThatCannotBeWrittenKeepsTheOldFileAndSaysSo) {
    const std::string dir = testsupport::TempDir("numbers-csv-fail");
    const std::string path = dir + "/_numbers.csv";
    const std::string old(4500, 'x');
    ASSERT_TRUE(WriteFileSafely(path, old));
    Fill({{"9000000001", "Иванов"}, {"9000000002", "Петров"}});
    // The disk fills up in the middle of the file.
    SetSafeFileWriteLimitForTests(100);
    ui::test::PushFileAnswer(path);
    testsupport::AccessibleAction(Form1->UiButton4->GetWidget());
    SetSafeFileWriteLimitForTests(-1);
    EXPECT_EQ(Message(), Form1->GetMessageA(96) + " " + path + " (На устройстве не осталось свободного места)");
    // A folder that cannot be written.
    SetSafeFileReadOnlyFolderForTests(dir);
    ui::test::PushFileAnswer(path);
    testsupport::AccessibleAction(Form1->UiButton4->GetWidget());
    SetSafeFileReadOnlyFolderForTests("");
    EXPECT_EQ(Message(), Form1->GetMessageA(96) + " " + path + " (Файловая система доступна только для чтения)");
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
}

// Within one gradient step on every channel.
bool NearColor(TColor a, TColor b) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8) return false;
    return true;
}

// The page shown, as a person finds it.
class NumbersPageShown : public ::testing::Test {
protected:
    void SetUp() override {
        SetPhoneRecords({});
        FWindow = std::make_unique<testsupport::TShownWindow>();
        Form1->SelectPage(5);
        g = Form1->PhonesGrid;
    }
    void TearDown() override {
        FWindow.reset();
        SetPhoneRecords({});
    }
    static void Mouse(TControl* c, QEvent::Type type, int x, int y) {
        QWidget* w = c->GetWidget();
        Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    std::unique_ptr<testsupport::TShownWindow> FWindow;
    TUiStringGrid* g = nullptr;
};

TEST_F(NumbersPageShown, NumberBaseButtonsAreHotTrackedSilverFaces) {
    TForm1& f = *Form1;
    for (TUiButton* b : {f.UiButton1, f.UiButton2, f.UiButton3, f.UiButton4, f.UiButton5, f.UiButton6, f.UiButton7,
                         f.UiButton9, f.Caddmany}) {
        EXPECT_TRUE(b->GetHotTrack()) << b->GetName();
        EXPECT_FALSE(b->GetThemeAware()) << b->GetName();
        EXPECT_TRUE(b->GetCancel()) << b->GetName();
        EXPECT_EQ(b->GetFont()->GetName(), "Tahoma") << b->GetName();
        EXPECT_EQ(b->GetColor(), b == f.UiButton1 ? clLime : clSilver) << b->GetName();
        EXPECT_EQ(b->GetDefault(), b == f.UiButton1) << b->GetName();
    }
    // At rest: a ring in shades of the white page, a frame without corners, a silver face
    // growing lighter downwards above two darker lines.
    TUiButton* b = f.UiButton2;
    const int w = b->GetWidth(), h = b->GetHeight(), x = 4;
    const TColor page = ColorToRGB(f.NumberEditPanel->GetColor());
    auto rest = b->RenderToBitmap();
    EXPECT_EQ(rest->GetPixel(0, h / 2), DarkerColor(page, 20));
    EXPECT_EQ(rest->GetPixel(1, 1), DarkerColor(page, 20));
    EXPECT_EQ(rest->GetPixel(1, h / 2), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(rest->GetPixel(w / 2, 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(rest->GetPixel(x, 2), DarkerColor(clSilver, 10));
    EXPECT_PRED2(NearColor, rest->GetPixel(x, h - 5), LighterColor(clSilver, 30));  // the gradient's end
    EXPECT_EQ(rest->GetPixel(x, h - 4), DarkerColor(clSilver, 20));
    EXPECT_EQ(rest->GetPixel(x, h - 3), DarkerColor(clSilver, 30));
    // The mouse over it: a two-pixel hot ring, light at the top, the hot colour at the bottom.
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(b->GetWidget(), &enter);
    auto hot = b->RenderToBitmap();
    EXPECT_EQ(hot->GetPixel(w / 2, 2), BlendColors(clWhite, TColor(0x00149BF0), 190));
    EXPECT_PRED2(NearColor, hot->GetPixel(w / 2, h - 3), TColor(0x00149BF0));
    // Pressed: one darker face throughout.
    Mouse(b, QEvent::MouseButtonPress, w / 2, h / 2);
    auto pressed = b->RenderToBitmap();
    EXPECT_EQ(pressed->GetPixel(x, 2), DarkerColor(clSilver, 10));
    EXPECT_EQ(pressed->GetPixel(x, h - 3), DarkerColor(clSilver, 10));
    Mouse(b, QEvent::MouseButtonRelease, -10, -10);  // released outside: no click
    EXPECT_TRUE(ui::test::ShownDialogs().empty());
}

TEST_F(NumbersPageShown, EnterAddsTheNumberAndEscapeCancels) {
    TForm1& f = *Form1;
    f.aPhone->SetFocus();
    testsupport::KeyClick(f.aPhone->GetWidget(), Qt::Key_Return, "\r");
    ASSERT_EQ(ui::test::ShownDialogs().size(), 1u);
    EXPECT_EQ(ui::test::ShownDialogs().back().text, "Заполните поле номера пользователя");
    // Escape clicks the page's first cancel button: the editor takes many numbers.
    testsupport::KeyClick(f.aPhone->GetWidget(), Qt::Key_Escape, "\x1b");
    EXPECT_TRUE(f.ManyNumbers->GetVisible());
    EXPECT_EQ(f.Caddmany->GetTag(), 1);
}

TEST_F(NumbersPageShown, GridsReadAsTablesWithTheirMenu) {
    g->SetRowCount(3);
    g->SetRow(1, {"1", "9000000001", "Иванов"});
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(g->GetWidget());
    ASSERT_NE(acc, nullptr);
    QAccessibleTableInterface* table = acc->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->columnCount(), 9);
    EXPECT_EQ(table->columnDescription(2).toStdString(), "Наименование");
    EXPECT_EQ(table->cellAt(1, 1)->text(QAccessible::Name).toStdString(), "9000000001");
    EXPECT_EQ(table->cellAt(1, 2)->text(QAccessible::Name).toStdString(), "Иванов");
    // The row menu without the mouse: "Редактирование" switches in-place editing on.
    ui::test::PushPopupAnswer(Form1->PopupMenu2->GetItems()->IndexOf(Form1->N4));
    testsupport::AccessibleAction(g->GetWidget(), QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(g->GetOptions().Contains(goEditing));
    EXPECT_TRUE(Form1->N4->GetChecked());

    Form1->SelectPage(6);
    QAccessibleTableInterface* log = QAccessible::queryAccessibleInterface(Form1->HrGrid->GetWidget())->tableInterface();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->columnCount(), 5);
    EXPECT_EQ(log->rowCount(), 2);
    EXPECT_EQ(log->columnDescription(3).toStdString(), "Операция");
}

}  // namespace
