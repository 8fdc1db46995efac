#include "platform/ui/LogView.h"
#include "platform/ui/StdCtrls.h"

namespace {

class TLogLines : public TStrings {
public:
    explicit TLogLines(ui::TLogView* view) : FView(view) {}
    int GetCount() const override { return int(FView->Lines().Count()); }
    std::string Get(int index) const override { return std::string(FView->Lines().Line(Checked(index, GetCount()))); }
    void Put(int index, const std::string& s) override { FView->ReplaceLine(Checked(index, GetCount()), s); }
    void Insert(int index, const std::string& s) override { FView->InsertLine(Checked(index, GetCount() + 1), s); }
    void Delete(int index) override { FView->EraseLine(Checked(index, GetCount())); }
    void Clear() override { FView->ClearLines(); }

private:
    std::size_t Checked(int index, int end) const {
        if (index < 0 || index >= end) Error("List index out of bounds (%d)", index);
        return std::size_t(index);
    }
    ui::TLogView* FView;
};

ui::TLogView* View(const TLogMemo* m) { return static_cast<ui::TLogView*>(m->GetWidget()); }

}  // namespace

TLogMemo::TLogMemo(TComponent* AOwner) : TWinControl(AOwner, new ui::TLogView) {
    FLines = std::make_unique<TLogLines>(View(this));
    SetColor(clWindow);
    SetTabStop(true);
    ApplyWidgetFont();
    SetBounds(0, 0, 185, 89);
    SetScrollBars(ssNone);
}

TLogMemo::~TLogMemo() = default;

std::string TLogMemo::GetText() const { return FLines->GetText(); }
void TLogMemo::SetText(const std::string& s) { FLines->SetText(s); }

void TLogMemo::SetScrollBars(TScrollStyle s) {
    const bool v = s == ssVertical || s == ssBoth;
    View(this)->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TLogMemo::Clear() { FLines->Clear(); }
void TLogMemo::ScrollToEnd() { View(this)->ScrollToEnd(); }

void TLogMemo::FontChanged() {
    TWinControl::FontChanged();
    ApplyWidgetPalette();  // one font colour for the whole memo
}
