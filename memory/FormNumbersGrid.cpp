// The number grid: records to rows and back, its menu and the search highlighting.
#include <algorithm>
#include <iterator>

#include "app/Unit1.h"
#include "memory/NumberGridSort.h"
#include "memory/PhoneGridRows.h"

namespace {

TGridRows AllRows(const TStringGrid* grid) {
    TGridRows rows;
    rows.reserve(grid->GetRowCount());
    for (int r = 0; r < grid->GetRowCount(); ++r) rows.push_back(grid->GetRow(r));
    return rows;
}

void SetRowsBelowHeader(TStringGrid* grid, const TGridRows& rows) {
    grid->SetRowCount(static_cast<int>(rows.size()));
    for (int r = grid->GetFixedRows(); r < static_cast<int>(rows.size()); ++r) grid->SetRow(r, rows[r]);
}

}  // namespace

// Sorts the filled rows of the grid by the column's texts; used by the number grid's menu.
void SortGridByColumn(TStringGrid* grid, int column, bool numeric = false) {
    if (!grid) return;
    TGridRows rows = AllRows(grid);
    SortGridRows(rows, grid->GetFixedRows(), column, numeric);
    SetRowsBelowHeader(grid, rows);
}

std::vector<TPhoneGridRow> TForm1::PhoneGridRows() const {
    std::vector<TPhoneGridRow> rows(PhonesGrid->GetRowCount());
    for (int r = 0; r < PhonesGrid->GetRowCount(); ++r)
        for (int c = 0; c < kPhoneGridColumns && c < PhonesGrid->GetColCount(); ++c)
            rows[r][c] = PhonesGrid->GetCells(c, r);
    return rows;
}

void TForm1::SetPhoneGridRows(std::vector<TPhoneGridRow> rows) {
    PhonesGrid->SetRowCount(std::max<int>(static_cast<int>(rows.size()), 2));
    for (int r = 1; r < static_cast<int>(rows.size()); ++r) {
        TPhoneGridRow& row = rows[static_cast<std::size_t>(r)];
        PhonesGrid->SetRow(r, std::vector<std::string>(std::make_move_iterator(row.begin()),
                                                       std::make_move_iterator(row.end())));
    }
}

// A conversion error (a pass count or date that is no number) builds nothing and leaves
// the previous records as they were.
void TForm1::PhoneGridToStruct() {
    if (!PhonesGrid) return;  // the configuration may be handled before the page is built
    std::vector<int> fixedExpiry;
    std::vector<PhoneRecord> records = PhoneGridToRecords(
        PhonesGrid->GetRowCount(), [this](int c, int r) -> const std::string& { return PhonesGrid->GetCells(c, r); },
        fixedExpiry);
    // Seven-digit dates get their leading zero back.
    for (int r : fixedExpiry) PhonesGrid->SetCells(colExpiry, r, "0" + PhonesGrid->GetCells(colExpiry, r));
    SetPhoneRecords(std::move(records));
}

void TForm1::PhoneStructToGrid() {
    if (!PhonesGrid || g_PhoneRecords.empty()) return;
    ShowPhoneGridRows(PhoneRecordsToGridRows(g_PhoneRecords));
}

void TForm1::ShowPhoneGridRows(TGridRows rows) {
    if (!PhonesGrid || rows.empty()) return;
    ClearTableClick(this);
    PhonesGrid->SetRows(1, std::move(rows));
}

std::int32_t TForm1::FindInTable(const std::string& number) const {
    for (int r = 1; r < PhonesGrid->GetRowCount(); ++r)
        if (PhonesGrid->GetCells(colNumber, r) == number) return r;
    return -1;
}

std::uint8_t TForm1::GetIndexFromCombo(TComboBox* combo, const std::string& text) const {
    if (!combo) return 0;
    TStrings* items = combo->GetItems();
    for (int i = 0; i < items->GetCount() && i < 256; ++i)
        if (items->Get(i) == text) return static_cast<std::uint8_t>(i);
    return 0;
}

void TForm1::ClearTableClick(TObject* /*Sender*/) {
    if (!PhonesGrid) return;
    // The matches of a search name rows that are gone now.
    g_NumberSearch.Forget();
    SyncSearchKeyword();
    // The rows past those kept go with their texts.
    const std::vector<std::string> empty(PhonesGrid->GetColCount());
    for (int r = 1; r < std::min(PhonesGrid->GetRowCount(), kClearedGridRows); ++r) PhonesGrid->SetRow(r, empty);
    PhonesGrid->SetRowCount(kClearedGridRows);
}

void TForm1::PhonesGridDrawCell(TObject* /*Sender*/, int ACol, int ARow, TRect Rect, TGridDrawState /*State*/) {
    if (g_SearchKeyword[0] == '\0' || ACol < 1 || ARow < 1) return;
    const std::string& text = PhonesGrid->GetCells(ACol, ARow);
    if (!g_NumberSearch.IsHighlighted(ACol, ARow, text)) return;
    TCanvas* canvas = PhonesGrid->GetCanvas();
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(static_cast<TColor>(kSearchHighlightColor));
    canvas->FillRect(TRect(Rect.Left - 1, Rect.Top - 1, Rect.Right + 1, Rect.Bottom + 1));
    canvas->TextOut(Rect.Left, Rect.Top, text);
}

void TForm1::SyncSearchKeyword() {
    const std::string& keyword = g_NumberSearch.GetKeyword();
    std::size_t n = std::min(keyword.size(), sizeof g_SearchKeyword - 1);
    // Never cut a character in two.
    while (n > 0 && n < keyword.size() && (static_cast<unsigned char>(keyword[n]) & 0xC0) == 0x80) --n;
    std::copy_n(keyword.begin(), n, g_SearchKeyword);
    g_SearchKeyword[n] = '\0';
    if (PhonesGrid) PhonesGrid->Invalidate();
}

void TForm1::N6Click(TObject* /*Sender*/) {
    g_NumberSearch.Forget();
    SyncSearchKeyword();
    SortGridByColumn(PhonesGrid, PhonesGrid->GetCol());
}

// Column 0 holds row numbers: they are put back in numeric order.
void TForm1::N7Click(TObject* /*Sender*/) {
    g_NumberSearch.Forget();
    SyncSearchKeyword();
    SortGridByColumn(PhonesGrid, colRowNumber, true);
}

void TForm1::N9Click(TObject* /*Sender*/) {
    const int selected = PhonesGrid->GetRow();
    const int oldCount = PhonesGrid->GetRowCount();
    if (selected < 1 || selected >= oldCount) return;
    g_NumberSearch.Forget();
    SyncSearchKeyword();
    PhonesGrid->SetRowCount(oldCount + 1);
    for (int r = oldCount; r > selected; --r) PhonesGrid->SetRow(r, PhonesGrid->GetRow(r - 1));
    PhonesGrid->SetRow(selected, std::vector<std::string>(PhonesGrid->GetColCount()));
    for (int r = 1; r < PhonesGrid->GetRowCount(); ++r) PhonesGrid->SetCells(colRowNumber, r, std::to_string(r));
}

void TForm1::N10Click(TObject* /*Sender*/) {
    const TGridRect sel = PhonesGrid->GetSelection();
    const std::vector<std::string> empty(PhonesGrid->GetColCount());
    for (int r = std::max(1, sel.Top); r <= sel.Bottom && r < PhonesGrid->GetRowCount(); ++r)
        PhonesGrid->SetRow(r, empty);
}

void TForm1::N4Click(TObject* /*Sender*/) {
    TGridOptions options = PhonesGrid->GetOptions();
    const bool editing = !options.Contains(goEditing);
    if (editing)
        options.Include(goEditing);
    else
        options.Exclude(goEditing);
    PhonesGrid->SetOptions(options);
    N4->SetChecked(editing);
}

void TForm1::N3Click(TObject* /*Sender*/) {
    const int row = PhonesGrid->GetRow();
    if (row < 1 || row >= PhonesGrid->GetRowCount()) return;
    const std::string number = PhonesGrid->GetCells(colNumber, row);
    if (number.empty()) return;
    HrNum->SetText(number);
    CheckBox1->SetChecked(true);
    SelectPage(6);
}
