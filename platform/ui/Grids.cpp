#include "platform/ui/Grids.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>

#include "platform/sys/GuiThread.h"
#include "platform/ui/ClassicGlyphs.h"
#include "platform/ui/Forms.h"

namespace {
constexpr int kScrollSize = 17;
constexpr int kSizingZone = 3;

}  // namespace

TStringGrid::TStringGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    TControlStyle style = GetControlStyle();
    style.Include(csOpaque);
    style.Include(csDoubleClicks);
    style.Exclude(csClickEvents);
    SetControlStyle(style);
    SetColor(clWindow);
    SetTabStop(true);
    Resize2D();
    SetBounds(GetLeft(), GetTop(), 320, 120);
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::Resize2D() {
    FColWidths.resize(size_t(FColCount), FDefaultColWidth);
    FRowHeights.resize(size_t(FRowCount), FDefaultRowHeight);
    FCells.resize(size_t(FRowCount));
    for (auto& row : FCells) row.resize(size_t(FColCount));
    FCurrent.X = std::clamp(FCurrent.X, std::min(FFixedCols, FColCount - 1), std::max(FColCount - 1, 0));
    FCurrent.Y = std::clamp(FCurrent.Y, std::min(FFixedRows, FRowCount - 1), std::max(FRowCount - 1, 0));
    FAnchor.X = std::clamp(FAnchor.X, 0, std::max(FColCount - 1, 0));
    FAnchor.Y = std::clamp(FAnchor.Y, 0, std::max(FRowCount - 1, 0));
    ClampTopLeft();
    Invalidate();
}

void TStringGrid::SetColCount(int n) {
    n = std::max(n, 1);
    if (n == FColCount) return;
    FColCount = n;
    if (FFixedCols >= n) FFixedCols = n - 1;
    Resize2D();
}

void TStringGrid::SetRowCount(int n) {
    n = std::max(n, 1);
    if (n == FRowCount) return;
    if (FEditor && FEditorCell.Y >= n) DropEditor();
    FRowCount = n;
    if (FFixedRows >= n) FFixedRows = n - 1;
    Resize2D();
}

void TStringGrid::SetFixedCols(int n) {
    n = std::clamp(n, 0, FColCount - 1);
    if (n == FFixedCols) return;
    FFixedCols = n;
    FTopLeft.X = std::max(FTopLeft.X, n);
    Resize2D();
}

void TStringGrid::SetFixedRows(int n) {
    n = std::clamp(n, 0, FRowCount - 1);
    if (n == FFixedRows) return;
    FFixedRows = n;
    FTopLeft.Y = std::max(FTopLeft.Y, n);
    Resize2D();
}

void TStringGrid::SetDefaultColWidth(int w) {
    FDefaultColWidth = std::max(w, 0);
    std::fill(FColWidths.begin(), FColWidths.end(), FDefaultColWidth);
    Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int h) {
    FDefaultRowHeight = std::max(h, 0);
    std::fill(FRowHeights.begin(), FRowHeights.end(), FDefaultRowHeight);
    Invalidate();
}

int TStringGrid::GetColWidths(int col) const {
    return col >= 0 && col < FColCount ? FColWidths[size_t(col)] : FDefaultColWidth;
}

void TStringGrid::SetColWidths(int col, int w) {
    if (col < 0 || col >= FColCount) return;
    FColWidths[size_t(col)] = std::max(w, 0);
    Invalidate();
}

int TStringGrid::GetRowHeights(int row) const {
    return row >= 0 && row < FRowCount ? FRowHeights[size_t(row)] : FDefaultRowHeight;
}

void TStringGrid::SetRowHeights(int row, int h) {
    if (row < 0 || row >= FRowCount) return;
    FRowHeights[size_t(row)] = std::max(h, 0);
    Invalidate();
}

void TStringGrid::SetGridLineWidth(int w) {
    FGridLineWidth = std::max(w, 0);
    Invalidate();
}

void TStringGrid::SetOptions(TGridOptions o) {
    FOptions = o;
    if (!o.Contains(goEditing)) SetEditorMode(false);
    Invalidate();
}

void TStringGrid::SetFixedColor(TColor c) {
    FFixedColor = c;
    Invalidate();
}

void TStringGrid::SetScrollBars(TGridScrollBars s) {
    FScrollBars = s;
    Invalidate();
}

void TStringGrid::SetBorderStyle(TGridBorderStyle s) {
    FBorderStyle = s;
    Invalidate();
}

const std::string& TStringGrid::GetCells(int col, int row) const {
    static const std::string empty;
    if (col < 0 || row < 0 || col >= FColCount || row >= FRowCount) return empty;
    return FCells[size_t(row)][size_t(col)];
}

void TStringGrid::SetCells(int col, int row, const std::string& s) {
    if (col < 0 || row < 0 || col >= FColCount || row >= FRowCount) return;
    FCells[size_t(row)][size_t(col)] = s;
    Invalidate();
}

std::vector<std::string> TStringGrid::GetRow(int row) const {
    if (row < 0 || row >= FRowCount) return {};
    return FCells[size_t(row)];
}

void TStringGrid::SetRow(int row, const std::vector<std::string>& texts) {
    if (row < 0 || row >= FRowCount) return;
    for (int c = 0; c < FColCount; ++c) FCells[size_t(row)][size_t(c)] = size_t(c) < texts.size() ? texts[size_t(c)] : "";
    Invalidate();
}

void TStringGrid::SetRow(int row, std::vector<std::string>&& texts) {
    if (row < 0 || row >= FRowCount) return;
    texts.resize(size_t(FColCount));
    FCells[size_t(row)] = std::move(texts);
    Invalidate();
}

void TStringGrid::SetRows(int first, std::vector<std::vector<std::string>>&& rows) {
    DropEditor();
    first = std::clamp(first, 0, FRowCount);
    FCells.resize(size_t(first));
    FCells.reserve(size_t(first) + rows.size());
    for (auto& row : rows) FCells.push_back(std::move(row));
    FRowCount = std::max(first + static_cast<int>(rows.size()), 1);
    if (FFixedRows >= FRowCount) FFixedRows = FRowCount - 1;
    Resize2D();
}

void TStringGrid::ClearCells() {
    DropEditor();
    for (auto& row : FCells) std::fill(row.begin(), row.end(), std::string());
    Invalidate();
}

TGridRect TStringGrid::GetSelection() const {
    if (FOptions.Contains(goRowSelect))
        return {FFixedCols, std::min(FAnchor.Y, FCurrent.Y), FColCount - 1, std::max(FAnchor.Y, FCurrent.Y)};
    return {std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y), std::max(FAnchor.X, FCurrent.X),
            std::max(FAnchor.Y, FCurrent.Y)};
}

void TStringGrid::SetSelection(const TGridRect& r) {
    FAnchor = {std::clamp(r.Left, 0, FColCount - 1), std::clamp(r.Top, 0, FRowCount - 1)};
    FCurrent = {std::clamp(r.Right, 0, FColCount - 1), std::clamp(r.Bottom, 0, FRowCount - 1)};
    Invalidate();
}

// ---- Geometry ---------------------------------------------------------------------------------

int TStringGrid::FixedWidth() const {
    int w = 0;
    for (int c = 0; c < FFixedCols; ++c) w += FColWidths[size_t(c)] + FGridLineWidth;
    return w;
}

int TStringGrid::FixedHeight() const {
    int h = 0;
    for (int r = 0; r < FFixedRows; ++r) h += FRowHeights[size_t(r)] + FGridLineWidth;
    return h;
}

bool TStringGrid::VScrollVisible() const {
    if (FScrollBars != gsbVertical && FScrollBars != gsbBoth) return false;
    int avail = GetHeight() - 2 * BorderWidth() - FixedHeight();
    long long total = 0;
    for (int r = FFixedRows; r < FRowCount; ++r) {
        total += FRowHeights[size_t(r)] + FGridLineWidth;
        if (total > avail) return true;
    }
    return false;
}

bool TStringGrid::HScrollVisible() const {
    if (FScrollBars != gsbHorizontal && FScrollBars != gsbBoth) return false;
    int avail = GetWidth() - 2 * BorderWidth() - FixedWidth() - (VScrollVisible() ? kScrollSize : 0);
    long long total = 0;
    for (int c = FFixedCols; c < FColCount; ++c) total += FColWidths[size_t(c)] + FGridLineWidth;
    return total > avail;
}

TRect TStringGrid::GridArea() const {
    int b = BorderWidth();
    return TRect(b, b, GetWidth() - b - (VScrollVisible() ? kScrollSize : 0),
                 GetHeight() - b - (HScrollVisible() ? kScrollSize : 0));
}

int TStringGrid::MaxTopRow() const {
    int avail = GridArea().Height() - FixedHeight();
    int used = 0, r = FRowCount - 1;
    while (r >= FFixedRows) {
        used += FRowHeights[size_t(r)] + FGridLineWidth;
        if (used > avail) break;
        --r;
    }
    return std::clamp(r + 1, FFixedRows, std::max(FRowCount - 1, FFixedRows));
}

int TStringGrid::MaxLeftCol() const {
    int avail = GridArea().Width() - FixedWidth();
    int used = 0, c = FColCount - 1;
    while (c >= FFixedCols) {
        used += FColWidths[size_t(c)] + FGridLineWidth;
        if (used > avail) break;
        --c;
    }
    return std::clamp(c + 1, FFixedCols, std::max(FColCount - 1, FFixedCols));
}

void TStringGrid::ClampTopLeft() {
    TGridCoord before = FTopLeft;
    FTopLeft.X = std::clamp(FTopLeft.X, FFixedCols, std::max(MaxLeftCol(), FFixedCols));
    FTopLeft.Y = std::clamp(FTopLeft.Y, FFixedRows, std::max(MaxTopRow(), FFixedRows));
    if (!(before == FTopLeft) && OnTopLeftChanged) OnTopLeftChanged(this);
}

void TStringGrid::SetTopRow(int r) {
    FTopLeft.Y = r;
    ClampTopLeft();
    Invalidate();
}

void TStringGrid::SetLeftCol(int c) {
    FTopLeft.X = c;
    ClampTopLeft();
    Invalidate();
}

void TStringGrid::ScrollRows(int delta) { SetTopRow(FTopLeft.Y + delta); }

int TStringGrid::GetVisibleRowCount() const {
    int avail = GridArea().Height() - FixedHeight(), n = 0, y = 0;
    for (int r = FTopLeft.Y; r < FRowCount; ++r) {
        y += FRowHeights[size_t(r)] + FGridLineWidth;
        if (y > avail) break;
        ++n;
    }
    return n;
}

int TStringGrid::GetVisibleColCount() const {
    int avail = GridArea().Width() - FixedWidth(), n = 0, x = 0;
    for (int c = FTopLeft.X; c < FColCount; ++c) {
        x += FColWidths[size_t(c)] + FGridLineWidth;
        if (x > avail) break;
        ++n;
    }
    return n;
}

TRect TStringGrid::CellRect(int col, int row) const {
    if (col < 0 || row < 0 || col >= FColCount || row >= FRowCount) return TRect();
    int x = 0, y = 0;
    if (col < FFixedCols) {
        for (int c = 0; c < col; ++c) x += FColWidths[size_t(c)] + FGridLineWidth;
    } else {
        if (col < FTopLeft.X) return TRect();
        x = FixedWidth();
        for (int c = FTopLeft.X; c < col; ++c) x += FColWidths[size_t(c)] + FGridLineWidth;
    }
    if (row < FFixedRows) {
        for (int r = 0; r < row; ++r) y += FRowHeights[size_t(r)] + FGridLineWidth;
    } else {
        if (row < FTopLeft.Y) return TRect();
        y = FixedHeight();
        TRect area = GridArea();
        for (int r = FTopLeft.Y; r < row; ++r) {
            y += FRowHeights[size_t(r)] + FGridLineWidth;
            if (y > area.Height()) return TRect();
        }
    }
    TRect area = GridArea();
    if (x >= area.Width() || y >= area.Height()) return TRect();
    return TRect(x, y, x + FColWidths[size_t(col)], y + FRowHeights[size_t(row)]);
}

void TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
    TGridCoord c = MouseCoord(x, y);
    col = c.X;
    row = c.Y;
}

TGridCoord TStringGrid::MouseCoord(int x, int y) const {
    TGridCoord result{-1, -1};
    if (x < 0 || y < 0) return result;
    auto find = [](int pos, int fixed, int first, int count, const std::vector<int>& sizes, int line) {
        int at = 0;
        for (int i = 0; i < fixed; ++i) {
            at += sizes[size_t(i)] + line;
            if (pos < at) return i;
        }
        for (int i = first; i < count; ++i) {
            at += sizes[size_t(i)] + line;
            if (pos < at) return i;
        }
        return -1;
    };
    TRect area = GridArea();
    if (x >= area.Width() || y >= area.Height()) return result;
    result.X = find(x, FFixedCols, FTopLeft.X, FColCount, FColWidths, FGridLineWidth);
    result.Y = find(y, FFixedRows, FTopLeft.Y, FRowCount, FRowHeights, FGridLineWidth);
    if (result.X < 0 || result.Y < 0) result = {-1, -1};
    return result;
}

// ---- Selection and editing -----------------------------------------------------------------------

bool TStringGrid::SelectCell(int col, int row) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, col, row, can);
    return can;
}

void TStringGrid::FocusCell(int col, int row, bool moveAnchor) {
    col = std::clamp(col, FFixedCols, FColCount - 1);
    row = std::clamp(row, FFixedRows, FRowCount - 1);
    if (col < 0 || row < 0) return;
    if ((col != FCurrent.X || row != FCurrent.Y) && !SelectCell(col, row)) return;
    CommitEditor();
    FCurrent = {col, row};
    if (moveAnchor || !FOptions.Contains(goRangeSelect)) FAnchor = FCurrent;
    ScrollInView(col, row);
    Invalidate();
}

void TStringGrid::ScrollInView(int col, int row) {
    if (row >= FFixedRows) {
        if (row < FTopLeft.Y) FTopLeft.Y = row;
        while (FTopLeft.Y < row && CellRect(col >= FFixedCols ? std::max(col, FTopLeft.X) : col, row).IsEmpty()) ++FTopLeft.Y;
        // A partly shown last row scrolls fully into view.
        TRect r = CellRect(FFixedCols < FColCount ? FFixedCols : 0, row);
        while (!r.IsEmpty() && r.Bottom > GridArea().Height() && FTopLeft.Y < row) {
            ++FTopLeft.Y;
            r = CellRect(FFixedCols < FColCount ? FFixedCols : 0, row);
        }
    }
    if (col >= FFixedCols) {
        if (col < FTopLeft.X) FTopLeft.X = col;
        TRect r = CellRect(col, FFixedRows < FRowCount ? FFixedRows : 0);
        while ((r.IsEmpty() || r.Right > GridArea().Width()) && FTopLeft.X < col) {
            ++FTopLeft.X;
            r = CellRect(col, FFixedRows < FRowCount ? FFixedRows : 0);
        }
    }
    ClampTopLeft();
}

TEdit* TStringGrid::CreateEditor() { return new TEdit(this); }

void TStringGrid::SetEditorMode(bool on) {
    if (on == (FEditor != nullptr)) return;
    if (!on) {
        CommitEditor();
        return;
    }
    if (!FOptions.Contains(goEditing) || FOptions.Contains(goRowSelect)) return;
    TRect r = CellRect(FCurrent.X, FCurrent.Y);
    if (r.IsEmpty()) return;
    FEditor = CreateEditor();
    FEditorCell = FCurrent;
    FEditor->SetParent(this);
    FEditor->SetColor(GetColor());
    FEditor->SetFont(*GetFont());
    int b = BorderWidth();
    FEditor->SetBounds(r.Left + b, r.Top + b, r.Width(), r.Height());
    FEditor->SetText(GetCells(FCurrent.X, FCurrent.Y));
    // Tab leaves the editor for the control after the grid, and Shift+Tab for the grid.
    FEditor->SetTabStop(false);
    // Enter keeps the text, Escape drops it, leaving the editor keeps it; the editor goes
    // after its own event.
    auto finish = [this](TEdit* editor, bool keep) {
        std::weak_ptr<int> alive = FAlive;
        sys::PostToGuiThread([this, alive, editor, same = TControlGuard(editor), keep] {
            if (alive.expired() || !same.Alive() || FEditor != editor) return;
            if (keep) CommitEditor();
            else DropEditor();
        });
    };
    TEdit* editor = FEditor;
    FEditor->OnKeyDown = [finish, editor](TObject*, Word& key, TShiftState) {
        if (key != VK_RETURN && key != VK_ESCAPE) return;
        finish(editor, key == VK_RETURN);
        key = 0;
    };
    FEditor->OnExit = [finish, editor](TObject*) { finish(editor, true); };
    if (CanFocus()) FEditor->SetFocus();
}

void TStringGrid::ReleaseEditor(TEdit* e) {
    // The form must not keep a freed editor as its focused control.
    if (e->Focused() && CanFocus()) SetFocus();
    delete e;
}

void TStringGrid::DropEditor() {
    if (!FEditor) return;
    TEdit* e = FEditor;
    FEditor = nullptr;
    ReleaseEditor(e);
    Invalidate();
}

void TStringGrid::CommitEditor() {
    if (!FEditor) return;
    TEdit* e = FEditor;
    FEditor = nullptr;
    std::string text = e->GetText();
    ReleaseEditor(e);
    // The text belongs to the cell the editor was opened on, wherever the focus went since.
    const TGridCoord cell = FEditorCell;
    if (text != GetCells(cell.X, cell.Y)) {
        SetCells(cell.X, cell.Y, text);
        if (OnSetEditText) OnSetEditText(this, cell.X, cell.Y, text);
    }
    Invalidate();
}

// ---- Mouse and keys ---------------------------------------------------------------------------------

bool TStringGrid::ScrollBarMouse(int x, int y) {
    int b = BorderWidth();
    TRect area = GridArea();
    if (VScrollVisible() && x >= area.Right && x < GetWidth() - b && y >= b && y < area.Bottom) {
        int trackTop = b + kScrollSize, trackBottom = area.Bottom - kScrollSize;
        if (y < trackTop) {
            ScrollRows(-1);
        } else if (y >= trackBottom) {
            ScrollRows(1);
        } else {
            FDrag = TDrag::VThumb;
            int span = std::max(MaxTopRow() - FFixedRows, 1);
            int pos = (y - trackTop) * span / std::max(trackBottom - trackTop, 1);
            SetTopRow(FFixedRows + pos);
        }
        return true;
    }
    if (HScrollVisible() && y >= area.Bottom && y < GetHeight() - b && x >= b && x < area.Right) {
        int trackLeft = b + kScrollSize, trackRight = area.Right - kScrollSize;
        if (x < trackLeft) {
            SetLeftCol(FTopLeft.X - 1);
        } else if (x >= trackRight) {
            SetLeftCol(FTopLeft.X + 1);
        } else {
            FDrag = TDrag::HThumb;
            int span = std::max(MaxLeftCol() - FFixedCols, 1);
            SetLeftCol(FFixedCols + (x - trackLeft) * span / std::max(trackRight - trackLeft, 1));
        }
        return true;
    }
    return false;
}

void TStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (CanFocus() && !Focused()) SetFocus();
    if (ScrollBarMouse(X, Y)) return;
    int x = X - BorderWidth(), y = Y - BorderWidth();
    TGridCoord cell = MouseCoord(x, y);
    if (cell.X < 0) return;
    // Sizing from the fixed header's lines.
    if (cell.Y < FFixedRows && FOptions.Contains(goColSizing)) {
        TRect r = CellRect(cell.X, cell.Y);
        int col = std::abs(x - r.Right) <= kSizingZone ? cell.X : std::abs(x - r.Left) <= kSizingZone ? cell.X - 1 : -1;
        if (col >= 0) {
            FDrag = TDrag::ColSize;
            FSizingIndex = col;
            FSizingStart = x;
            FSizingOrigin = FColWidths[size_t(col)];
            return;
        }
    }
    if (cell.X < FFixedCols && FOptions.Contains(goRowSizing)) {
        TRect r = CellRect(cell.X, cell.Y);
        int row = std::abs(y - r.Bottom) <= kSizingZone ? cell.Y : std::abs(y - r.Top) <= kSizingZone ? cell.Y - 1 : -1;
        if (row >= 0) {
            FDrag = TDrag::RowSize;
            FSizingIndex = row;
            FSizingStart = y;
            FSizingOrigin = FRowHeights[size_t(row)];
            return;
        }
    }
    if (cell.X < FFixedCols || cell.Y < FFixedRows) return;
    bool extend = Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect);
    FocusCell(cell.X, cell.Y, !extend);
    // A double click on a cell acts on that cell (the grid takes no plain clicks, so the
    // layer leaves the double click to it).
    if (Shift.Contains(ssDouble)) {
        FDrag = TDrag::None;
        if (FCurrent == cell) DblClick();
        return;
    }
    FDrag = FOptions.Contains(goRangeSelect) ? TDrag::Select : TDrag::None;
}

void TStringGrid::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    int x = X - BorderWidth(), y = Y - BorderWidth();
    switch (FDrag) {
    case TDrag::ColSize: SetColWidths(FSizingIndex, FSizingOrigin + x - FSizingStart); break;
    case TDrag::RowSize: SetRowHeights(FSizingIndex, FSizingOrigin + y - FSizingStart); break;
    case TDrag::Select: {
        TGridCoord cell = MouseCoord(x, y);
        if (cell.X >= FFixedCols && cell.Y >= FFixedRows) FocusCell(cell.X, cell.Y, false);
        break;
    }
    case TDrag::VThumb:
    case TDrag::HThumb: ScrollBarMouse(X, Y); break;
    default: break;
    }
}

void TStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FDrag = TDrag::None;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TStringGrid::DblClick() {
    TCustomControl::DblClick();
    if (FOptions.Contains(goEditing)) SetEditorMode(true);
}

void TStringGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    bool extend = Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect);
    int page = std::max(GetVisibleRowCount(), 1);
    int col = FCurrent.X, row = FCurrent.Y;
    switch (Key) {
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_LEFT: --col; break;
    case VK_RIGHT: ++col; break;
    case VK_PRIOR: row -= page; break;
    case VK_NEXT: row += page; break;
    case VK_HOME: Shift.Contains(ssCtrl) ? row = FFixedRows : col = FFixedCols; break;
    case VK_END: Shift.Contains(ssCtrl) ? row = FRowCount - 1 : col = FColCount - 1; break;
    case VK_TAB:
        if (!FOptions.Contains(goTabs)) return;
        col += Shift.Contains(ssShift) ? -1 : 1;
        extend = false;
        break;
    case VK_F2:
    case VK_RETURN:
        SetEditorMode(true);
        Key = 0;
        return;
    default: return;
    }
    Key = 0;
    FocusCell(col, row, !extend);
}

void TStringGrid::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (!Key || !FOptions.Contains(goEditing) || FEditor || static_cast<unsigned char>(Key) < 32) return;
    SetEditorMode(true);
    if (!FEditor) return;
    // The typed character replaces the cell's text: the key goes on to the editor.
    FEditor->SelectAll();
    FTypedIntoEditor = true;
    Key = 0;
}

void TStringGrid::Resize() {
    TCustomControl::Resize();
    ClampTopLeft();
}

bool TStringGrid::HandleWidgetEvent(QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* we = static_cast<QWheelEvent*>(event);
        int steps = we->angleDelta().y() / 120;
        if (steps != 0) ScrollRows(-3 * steps);
        return true;
    }
    if (event->type() != QEvent::KeyPress) return TCustomControl::HandleWidgetEvent(event);
    TControlGuard alive(this);
    FTypedIntoEditor = false;
    bool taken = TCustomControl::HandleWidgetEvent(event);
    if (alive.Alive() && FTypedIntoEditor && FEditor) {
        FTypedIntoEditor = false;
        auto* ke = static_cast<QKeyEvent*>(event);
        QKeyEvent typed(QEvent::KeyPress, ke->key(), ke->modifiers(), ke->text());
        QApplication::sendEvent(FEditor->GetWidget(), &typed);
    }
    return taken;
}

// ---- Painting ------------------------------------------------------------------------------------

bool TStringGrid::LineShown(TGridLineKind kind, bool vertical) const {
    switch (kind) {
    case TGridLineKind::Cells: return FOptions.Contains(vertical ? goVertLine : goHorzLine);
    default: return FOptions.Contains(vertical ? goFixedVertLine : goFixedHorzLine);
    }
}

TColor TStringGrid::GridLineColor(TGridLineKind kind, bool vertical) const {
    bool fixed = kind != TGridLineKind::Cells;
    if (!LineShown(kind, vertical)) return fixed ? FFixedColor : GetColor();
    return fixed ? clBlack : clSilver;
}

void TStringGrid::PaintBorder(TCanvas* c) {
    if (FBorderStyle != gbsSingle) return;
    TRect r(0, 0, GetWidth(), GetHeight());
    DrawClassicEdge(*c, r, clBtnShadow, clBtnHighlight);
    DrawClassicEdge(*c, TRect(1, 1, r.Right - 1, r.Bottom - 1), cl3DDkShadow, cl3DLight);
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    TCanvas* c = GetCanvas();
    if (FDefaultDrawing) {
        c->FillRect(rect);
        c->TextRect(rect, rect.Left + 2, rect.Top + 2, GetCells(col, row));
        if (state.Contains(gdFixed)) {
            // The fixed cells stand out raised.
            DrawClassicEdge(*c, rect, clBtnHighlight, clBtnShadow);
        }
    }
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TStringGrid::PaintScrollBars(TCanvas* c) {
    TRect area = GridArea();
    int b = BorderWidth();
    bool v = VScrollVisible(), h = HScrollVisible();
    auto track = [c](const TRect& r) {
        c->GetBrush()->SetColor(clScrollBar);
        c->FillRect(r);
    };
    if (v) {
        TRect bar(area.Right, b, GetWidth() - b, area.Bottom);
        TRect up(bar.Left, bar.Top, bar.Right, bar.Top + kScrollSize);
        TRect down(bar.Left, bar.Bottom - kScrollSize, bar.Right, bar.Bottom);
        track(TRect(bar.Left, up.Bottom, bar.Right, down.Top));
        DrawClassicScrollBox(*c, up);
        DrawClassicScrollArrow(*c, up, 0, FTopLeft.Y > FFixedRows);
        DrawClassicScrollBox(*c, down);
        DrawClassicScrollArrow(*c, down, 1, FTopLeft.Y < MaxTopRow());
        int trackLen = down.Top - up.Bottom, span = std::max(MaxTopRow() - FFixedRows, 1);
        int rows = std::max(FRowCount - FFixedRows, 1);
        int thumb = std::clamp(trackLen * GetVisibleRowCount() / rows, 8, std::max(trackLen, 8));
        int pos = up.Bottom + (trackLen - thumb) * (FTopLeft.Y - FFixedRows) / span;
        if (trackLen > 8) DrawClassicScrollBox(*c, TRect(bar.Left, pos, bar.Right, pos + thumb));
    }
    if (h) {
        TRect bar(b, area.Bottom, area.Right, GetHeight() - b);
        TRect left(bar.Left, bar.Top, bar.Left + kScrollSize, bar.Bottom);
        TRect right(bar.Right - kScrollSize, bar.Top, bar.Right, bar.Bottom);
        track(TRect(left.Right, bar.Top, right.Left, bar.Bottom));
        DrawClassicScrollBox(*c, left);
        DrawClassicScrollArrow(*c, left, 2, FTopLeft.X > FFixedCols);
        DrawClassicScrollBox(*c, right);
        DrawClassicScrollArrow(*c, right, 3, FTopLeft.X < MaxLeftCol());
        int trackLen = right.Left - left.Right, span = std::max(MaxLeftCol() - FFixedCols, 1);
        int cols = std::max(FColCount - FFixedCols, 1);
        int thumb = std::clamp(trackLen * std::max(GetVisibleColCount(), 1) / cols, 8, std::max(trackLen, 8));
        int pos = left.Right + (trackLen - thumb) * (FTopLeft.X - FFixedCols) / span;
        if (trackLen > 8) DrawClassicScrollBox(*c, TRect(pos, bar.Top, pos + thumb, bar.Bottom));
    }
    if (v && h) {
        c->GetBrush()->SetColor(clBtnFace);
        c->FillRect(TRect(area.Right, area.Bottom, GetWidth() - b, GetHeight() - b));
    }
}

void TStringGrid::Paint() {
    TCanvas* c = GetCanvas();
    FPaintedCells = 0;
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(TRect(0, 0, GetWidth(), GetHeight()));
    PaintBorder(c);
    PaintScrollBars(c);
    TRect area = GridArea();
    int id = c->SaveState();
    c->IntersectClipRect(area.Left, area.Top, area.Right, area.Bottom);
    c->MoveOrigin(area.Left, area.Top);
    int w = area.Width(), h = area.Height();
    TGridRect sel = GetSelection();
    bool focused = Focused();
    bool rowSelect = FOptions.Contains(goRowSelect);
    // Rows: the fixed ones, then the scrolling ones from the top row while they show.
    std::vector<int> rows, cols;
    for (int r = 0; r < FFixedRows; ++r) rows.push_back(r);
    {
        int y = FixedHeight();
        for (int r = FTopLeft.Y; r < FRowCount && y < h; ++r) {
            rows.push_back(r);
            y += FRowHeights[size_t(r)] + FGridLineWidth;
        }
    }
    for (int k = 0; k < FFixedCols; ++k) cols.push_back(k);
    {
        int x = FixedWidth();
        for (int k = FTopLeft.X; k < FColCount && x < w; ++k) {
            cols.push_back(k);
            x += FColWidths[size_t(k)] + FGridLineWidth;
        }
    }
    int y = 0;
    for (int r : rows) {
        int rh = FRowHeights[size_t(r)];
        int x = 0;
        for (int k : cols) {
            int cw = FColWidths[size_t(k)];
            TRect rect(x, y, x + cw, y + rh);
            TGridDrawState state;
            bool fixed = k < FFixedCols || r < FFixedRows;
            if (fixed) state.Include(gdFixed);
            bool inSel = !fixed && k >= sel.Left && k <= sel.Right && r >= sel.Top && r <= sel.Bottom;
            bool isCurrent = k == FCurrent.X && r == FCurrent.Y;
            if (isCurrent && focused) state.Include(gdFocused);
            if (inSel && (!isCurrent || rowSelect || FOptions.Contains(goDrawFocusSelected) || !focused))
                state.Include(gdSelected);
            c->SetFont(*GetFont());
            c->GetBrush()->SetStyle(bsSolid);
            if (fixed) {
                c->GetBrush()->SetColor(FFixedColor);
            } else if (state.Contains(gdSelected)) {
                c->GetBrush()->SetColor(clHighlight);
                c->GetFont()->SetColor(clHighlightText);
            } else {
                c->GetBrush()->SetColor(GetColor());
            }
            DrawCell(k, r, rect, state);
            ++FPaintedCells;
            if (state.Contains(gdFocused) && !rowSelect) c->DrawFocusRect(rect);
            // The lines to the right and below the cell.
            if (FGridLineWidth > 0) {
                TGridLineKind kind = k < FFixedCols && r < FFixedRows ? TGridLineKind::FixedCorner
                                     : r < FFixedRows               ? TGridLineKind::FixedRows
                                     : k < FFixedCols               ? TGridLineKind::FixedCols
                                                                    : TGridLineKind::Cells;
                c->GetBrush()->SetStyle(bsSolid);
                c->GetBrush()->SetColor(GridLineColor(kind, true));
                c->FillRect(TRect(rect.Right, rect.Top, rect.Right + FGridLineWidth, rect.Bottom + FGridLineWidth));
                c->GetBrush()->SetColor(GridLineColor(kind, false));
                c->FillRect(TRect(rect.Left, rect.Bottom, rect.Right, rect.Bottom + FGridLineWidth));
            }
            x += cw + FGridLineWidth;
        }
        y += rh + FGridLineWidth;
    }
    c->RestoreState(id);
}

int TStringGrid::GetAccessibleItemCount() const { return FColCount * FRowCount; }

TAccessibleInfo TStringGrid::GetAccessibleItem(int index) const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::Cell;
    info.Enabled = GetEnabled();
    if (index < 0 || index >= GetAccessibleItemCount()) return info;
    const int col = index % FColCount, row = index / FColCount;
    info.Name = AccessibleCellText(col, row);
    const TGridRect sel = GetSelection();
    info.Selected = col >= sel.Left && col <= sel.Right && row >= sel.Top && row <= sel.Bottom;
    return info;
}

TAccessibleTable TStringGrid::GetAccessibleTable() const {
    TAccessibleTable table;
    table.Columns = FColCount;
    table.HeaderRows = FFixedRows;
    table.HeaderColumns = FFixedCols;
    const TGridRect sel = GetSelection();
    table.Selection = TRect(sel.Left, sel.Top, sel.Right + 1, sel.Bottom + 1);
    return table;
}

TRect TStringGrid::GetAccessibleItemRect(int index) const {
    if (index < 0 || index >= GetAccessibleItemCount()) return {};
    TRect r = CellRect(index % FColCount, index / FColCount);
    if (r.IsEmpty()) return {};
    int b = BorderWidth();
    return TRect(r.Left + b, r.Top + b, r.Right + b, r.Bottom + b);
}

TAccessibleInfo TStringGrid::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::Table;
    info.Name = GetName();
    info.Value = GetCells(FCurrent.X, FCurrent.Y);
    info.Enabled = GetEnabled();
    return info;
}
