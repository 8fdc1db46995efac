// The number and event-log grids' header rows and their scaling to the window.
#include "app/ShellLayout.h"
#include "app/Unit1.h"
#include "platform/ui/Grids.h"

namespace {

void WriteHeader(TStringGrid* grid, std::initializer_list<const char*> titles) {
    if (!grid || grid->GetRowCount() < 1) return;
    int col = 0;
    for (const char* title : titles) {
        if (col >= grid->GetColCount()) break;
        grid->SetCells(col++, 0, title);
    }
}

// Both grids are designed 861 pixels wide; a wider grid widens its columns and rows alike.
void ScaleToWidth(TStringGrid* grid) {
    if (!grid) return;
    const int width = grid->GetWidth();
    for (int col = 0; col < grid->GetColCount(); ++col)
        grid->SetColWidths(col, ScaleGridValue(grid->GetColWidths(col), width));
    grid->SetDefaultRowHeight(ScaleGridValue(grid->GetDefaultRowHeight(), width));
}

}  // namespace

void TForm1::WriteGridHeadersStep() {
    // Column 8 of the number grid keeps its design text.
    WriteHeader(dynamic_cast<TStringGrid*>(FindComponent("PhonesGrid")),
                {"№", "Номер", "Наименование", "Права", "Действует до", "Проходов", "Расписание", "Тип записи"});
    WriteHeader(dynamic_cast<TStringGrid*>(FindComponent("HrGrid")),
                {"№", "Дата события", "Абонент", "Операция", "Объект влияния"});
}

void TForm1::ScaleGridsStep() {
    ScaleToWidth(dynamic_cast<TStringGrid*>(FindComponent("PhonesGrid")));
    ScaleToWidth(dynamic_cast<TStringGrid*>(FindComponent("HrGrid")));
}
