#include <string>
#include <vector>

#include "app/FormBuild.h"
#include "app/Unit1.h"
#include "memory/EventLogItems.h"

namespace {

// Creates controls with the form as their owner.
class TMemoryBuilder {
public:
    explicit TMemoryBuilder(TForm1* form) : FForm(form) {}

    template <class T>
    T* Add(TWinControl* parent, const std::string& name, int left, int top, int width, int height) {
        return NewControl<T>(FForm, parent, name, left, top, width, height);
    }
    TLabel* Caption(TWinControl* parent, const std::string& name, const std::string& text, int left, int top) {
        auto* l = Add<TLabel>(parent, name, left, top + 3, 10, 16);
        l->SetCaption(text);
        return l;
    }
    template <class List>
    TComboBox* Combo(TWinControl* parent, const std::string& name, int left, int top, int width,
                     const List& items) {
        auto* c = Add<TComboBox>(parent, name, left, top, width, 22);
        c->SetStyle(csDropDownList);
        for (const auto& item : items) c->GetItems()->Add(std::string(item));
        c->SetItemIndex(0);
        return c;
    }
    TUiButton* Button(TWinControl* parent, const std::string& name, const std::string& text, int left,
                      int top, int width) {
        auto* b = Add<TUiButton>(parent, name, left, top, width, 30);
        b->SetCaption(text);
        return b;
    }
    TMenuItem* Item(TPopupMenu* menu, const std::string& name, const std::string& caption) {
        auto* item = new TMenuItem(menu);
        item->SetName(name);
        item->SetCaption(caption);
        menu->GetItems()->Add(item);
        return item;
    }
    // The number and log grids share the framed grid's look: Tahoma 16 px, rows 24 px.
    // Both grids are 861 pixels wide in the design; the window scales them from that width.
    TUiStringGrid* Grid(TWinControl* parent, const std::string& name, int top, int height,
                        const std::vector<int>& widths, int rows) {
        auto* g = Add<TUiStringGrid>(parent, name, 0, top, 861, height);
        g->SetParentFont(false);
        g->GetFont()->SetName("Tahoma");
        g->GetFont()->SetHeight(-16);
        g->SetColCount(static_cast<int>(widths.size()));
        g->SetRowCount(rows);
        g->SetFixedRows(1);
        g->SetFixedCols(1);
        g->SetDefaultRowHeight(24);
        for (int c = 0; c < static_cast<int>(widths.size()); ++c) g->SetColWidths(c, widths[c]);
        g->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
                                   goRowSizing, goColSizing});
        return g;
    }

private:
    TForm1* FForm;
};

}  // namespace

// Creates the controls of the main window that memory/ owns: the numbers page (5), the log
// page (6) and the notice memo of the status page (1).
void TForm1::BuildMemoryControls() {
    BuildNumbersPage(TabSheet5);
    BuildLogPage(TabSheet6);
    BuildNoticeMemo(TabSheet2);
    BuildPhotoControls();
}

void TForm1::BuildNumbersPage(TWinControl* page) {
    TMemoryBuilder b(this);
    BuildNumberEditor(page);

    PhonesGrid = b.Grid(page, "PhonesGrid", 176, 470, {30, 102, 128, 126, 111, 92, 118, 87, 30}, kClearedGridRows);
    PhonesGrid->OnDrawCell = [this](TObject* s, int c, int r, TRect rect, TGridDrawState st) {
        PhonesGridDrawCell(s, c, r, rect, st);
    };
    PhonesGrid->OnSelectCell = [this](TObject* s, int c, int r, bool& can) { PhonesGridSelectCell(s, c, r, can); };

    PopupMenu2 = new TPopupMenu(this);
    PopupMenu2->SetName("PopupMenu2");
    N5 = b.Item(PopupMenu2, "N5", "Поиск");
    N8 = b.Item(PopupMenu2, "N8", "Отменить поиск");
    N6 = b.Item(PopupMenu2, "N6", "Сортировать по столбцу");
    N7 = b.Item(PopupMenu2, "N7", "Восстановить порядок");
    N9 = b.Item(PopupMenu2, "N9", "Вставить строку");
    N10 = b.Item(PopupMenu2, "N10", "Очистить строки");
    N4 = b.Item(PopupMenu2, "N4", "Редактирование");
    N3 = b.Item(PopupMenu2, "N3", "Показать журнал");
    ClearTable = b.Item(PopupMenu2, "ClearTable", "Очистить таблицу");
    N3->OnClick = [this](TObject* s) { N3Click(s); };
    N4->OnClick = [this](TObject* s) { N4Click(s); };
    N5->OnClick = [this](TObject* s) { N5Click(s); };
    N6->OnClick = [this](TObject* s) { N6Click(s); };
    N7->OnClick = [this](TObject* s) { N7Click(s); };
    N8->OnClick = [this](TObject* s) { N8Click(s); };
    N9->OnClick = [this](TObject* s) { N9Click(s); };
    N10->OnClick = [this](TObject* s) { N10Click(s); };
    ClearTable->OnClick = [this](TObject* s) { ClearTableClick(s); };
    PhonesGrid->SetPopupMenu(PopupMenu2);
}

void TForm1::BuildNumberEditor(TWinControl* page) {
    TMemoryBuilder b(this);
    NumberEditPanel = b.Add<TUiPanel>(page, "NumberEditPanel", 0, 0, 861, 176);
    NumberEditPanel->SetAlign(alTop);
    NumberEditPanel->SetBorderOuter(fsNone);
    NumberEditPanel->SetColor(clWhite);
    TWinControl* p = NumberEditPanel;

    b.Caption(p, "LaPhone", "Номер", 8, 6);
    aPhone = b.Add<TEdit>(p, "aPhone", 120, 6, 150, 22);
    aPhone->SetMaxLength(10);
    ManyNumbers = b.Add<TMemo>(p, "ManyNumbers", 120, 6, 150, 110);
    ManyNumbers->SetVisible(false);
    ManyNumbers->OnKeyPress = [this](TObject* s, char& k) { ManyNumbersKeyPress(s, k); };
    Caddmany = b.Button(p, "Caddmany", "Добавить несколько", 120, aPhone->GetTop() + aPhone->GetHeight(), 150);
    Caddmany->SetTag(0);
    SetNumberBaseButtonLook(Caddmany);
    Caddmany->OnClick = [this](TObject* s) { CaddmanyClick(s); };

    b.Caption(p, "LaName", "Наименование", 8, 70);
    aName = b.Add<TEdit>(p, "aName", 120, 70, 150, 22);
    aName->SetMaxLength(19);
    b.Caption(p, "LaAccess", "Права", 290, 6);
    aAccesstype = b.Combo(p, "aAccesstype", 390, 6, 160, kAccessTypeItems);
    Cdate = b.Add<TCheckBox>(p, "Cdate", 290, 38, 100, 20);
    Cdate->SetCaption("Действует до");
    aEndtime = b.Add<TDateTimePicker>(p, "aEndtime", 390, 38, 160, 22);
    aEndtime->SetVisible(false);
    Cdate->OnClick = [this](TObject* s) { CdateClick(s); };
    Cpassages = b.Add<TCheckBox>(p, "Cpassages", 290, 70, 100, 20);
    Cpassages->SetCaption("Проходов");
    aPassages = b.Add<TEdit>(p, "aPassages", 390, 70, 160, 22);
    aPassages->SetNumbersOnly(true);
    aPassages->SetMaxLength(250);
    aPassages->SetVisible(false);
    Cpassages->OnClick = [this](TObject* s) { CpassagesClick(s); };
    b.Caption(p, "LaShedule", "Расписание", 570, 6);
    aShedule = b.Combo(p, "aShedule", 670, 6, 160, kSheduleItems);
    b.Caption(p, "LaCodeType", "Тип записи", 570, 38);
    CodeType = b.Combo(p, "CodeType", 670, 38, 160, kCodeTypeItems);

    UiButton1 = b.Button(p, "UiButton1", "Добавить", 290, 104, 128);
    UiButton2 = b.Button(p, "UiButton2", "Удалить", 422, 104, 128);
    UiButton7 = b.Button(p, "UiButton7", "Найти", 570, 104, 128);
    UiButton5 = b.Button(p, "UiButton5", "Прочитать", 8, 140, 128);
    UiButton6 = b.Button(p, "UiButton6", "Записать", 140, 140, 128);
    UiButton3 = b.Button(p, "UiButton3", "Импорт", 290, 140, 128);
    UiButton4 = b.Button(p, "UiButton4", "Экспорт", 422, 140, 128);
    for (TUiButton* button : {UiButton1, UiButton2, UiButton7, UiButton5, UiButton6, UiButton3, UiButton4})
        SetNumberBaseButtonLook(button);
    // Adding is the page's default action: Enter adds the number typed.
    UiButton1->SetColor(clLime);
    UiButton1->SetDefault(true);
    UiButton1->OnClick = [this](TObject* s) { UiButton1Click(s); };
    UiButton2->OnClick = [this](TObject* s) { UiButton2Click(s); };
    UiButton3->OnClick = [this](TObject* s) { UiButton3Click(s); };
    UiButton4->OnClick = [this](TObject* s) { UiButton4Click(s); };
    UiButton5->OnClick = [this](TObject* s) { UiButton5Click(s); };
    UiButton6->OnClick = [this](TObject* s) { UiButton6Click(s); };
    UiButton7->OnClick = [this](TObject* s) { UiButton7Click(s); };
}

void TForm1::BuildLogPage(TWinControl* page) {
    TMemoryBuilder b(this);
    UiGroupBox22 = b.Add<TUiGroupBox>(page, "UiGroupBox22", 0, 0, 861, 120);
    UiGroupBox22->SetAlign(alTop);
    UiGroupBox22->SetCaption("Период и условия");
    UiGroupBox22->SetColor(clWhite);
    TWinControl* g = UiGroupBox22;

    b.Caption(g, "LaStDate", "С", 10, 22);
    STDATE = b.Add<TDateTimePicker>(g, "STDATE", 30, 22, 120, 22);
    b.Caption(g, "LaEnDate", "по", 160, 22);
    ENDATE = b.Add<TDateTimePicker>(g, "ENDATE", 185, 22, 120, 22);
    b.Caption(g, "LaOper", "Операция", 320, 22);
    FOper = b.Combo(g, "FOper", 400, 22, 260, LogFilterItems());
    CheckBox1 = b.Add<TCheckBox>(g, "CheckBox1", 10, 54, 140, 20);
    CheckBox1->SetCaption("По номеру");
    CheckBox1->OnClick = [this](TObject* s) { CheckBox1Click(s); };
    HrNum = b.Add<TEdit>(g, "HrNum", 185, 54, 120, 22);
    HrNum->SetMaxLength(10);
    HronologyGet = b.Button(g, "HronologyGet", "Прочитать", 10, 84, 140);
    Button10 = b.Button(g, "Button10", "Экспорт", 160, 84, 140);
    ClearMemHronology = b.Button(g, "ClearMemHronology", "Очистить", 310, 84, 140);
    HronologyGet->OnClick = [this](TObject* s) { HronologyGetClick(s); };
    Button10->OnClick = [this](TObject* s) { Button10Click(s); };
    ClearMemHronology->OnClick = [this](TObject* s) { ClearMemHronologyClick(s); };
    LogBar = NewProgressBar(this, g, "LogBar", 470, 88, 380, 22);
    LogBar->SetVisible(false);

    HrGrid = b.Grid(page, "HrGrid", 120, 526, {30, 169, 133, 340, 161}, kClearedLogRows);
}

void TForm1::BuildNoticeMemo(TWinControl* page) {
    TMemoryBuilder b(this);
    // Bottom right, beside the status labels and below the camera picture.
    RemLOG = b.Add<TMemo>(page, "RemLOG", 440, 470, 410, 160);
    RemLOG->SetReadOnly(true);
    RemLOG->SetScrollBars(ssVertical);
}
