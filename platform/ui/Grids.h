#pragma once
// The string grid: a custom-painted table of texts with fixed header rows and columns,
// column widths and row heights, grid lines, two scroll bars, cell and range selection, an
// in-place editor and owner drawing. Painting visits only the cells in view, so tables of
// many thousand rows stay quick.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/rtl/Sets.h"
#include "platform/ui/StdCtrls.h"

enum TGridOption {
    goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
    goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
    goAlwaysShowEditor, goThumbTracking
};
using TGridOptions = TSet<TGridOption>;
enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;
enum TGridScrollBars { gsbNone, gsbHorizontal, gsbVertical, gsbBoth };
enum TGridBorderStyle { gbsNone, gbsSingle };

struct TGridCoord {
    int X = 0, Y = 0;
    friend bool operator==(TGridCoord, TGridCoord) = default;
};
// A range of cells, inclusive on every side.
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

// The kinds of grid line, for their colours.
enum class TGridLineKind { FixedCorner, FixedRows, FixedCols, Cells };

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;

class TStringGrid : public TCustomControl {
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    int GetColCount() const { return FColCount; }
    void SetColCount(int n);
    int GetRowCount() const { return FRowCount; }
    void SetRowCount(int n);
    int GetFixedCols() const { return FFixedCols; }
    void SetFixedCols(int n);
    int GetFixedRows() const { return FFixedRows; }
    void SetFixedRows(int n);
    int GetDefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int w);  // resets every column width
    int GetDefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int h);  // resets every row height
    int GetColWidths(int col) const;
    void SetColWidths(int col, int w);
    int GetRowHeights(int row) const;
    void SetRowHeights(int row, int h);
    int GetGridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int w);
    TGridOptions GetOptions() const { return FOptions; }
    void SetOptions(TGridOptions o);
    TColor GetFixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor c);
    TGridScrollBars GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TGridScrollBars s);
    TGridBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TGridBorderStyle s);
    bool GetDefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool d) { FDefaultDrawing = d; }

    const std::string& GetCells(int col, int row) const;
    void SetCells(int col, int row, const std::string& s);
    // One row or column of texts.
    std::vector<std::string> GetRow(int row) const;
    void SetRow(int row, const std::vector<std::string>& texts);
    void SetRow(int row, std::vector<std::string>&& texts);  // takes the texts over
    // Rows first .. first + rows.size() - 1 take the texts over and the row count becomes
    // first + rows.size(): a whole table set at once.
    void SetRows(int first, std::vector<std::vector<std::string>>&& rows);
    void ClearCells();

    // The current cell and the selection (inclusive ranges of cells).
    int GetCol() const { return FCurrent.X; }
    void SetCol(int c) { FocusCell(c, FCurrent.Y, true); }
    int GetRow() const { return FCurrent.Y; }
    void SetRow(int r) { FocusCell(FCurrent.X, r, true); }
    TGridRect GetSelection() const;
    void SetSelection(const TGridRect& r);
    int GetTopRow() const { return FTopLeft.Y; }
    void SetTopRow(int r);
    int GetLeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int c);
    int GetVisibleRowCount() const;
    int GetVisibleColCount() const;
    bool GetEditorMode() const { return FEditor != nullptr; }
    void SetEditorMode(bool on);

    // Cell geometry in client coordinates (inside the border); empty when the cell is out
    // of view.
    TRect CellRect(int col, int row) const;
    void MouseToCell(int x, int y, int& col, int& row) const;
    TGridCoord MouseCoord(int x, int y) const;
    // The area the cells take (inside the border and scroll bars), in control coordinates.
    TRect GridArea() const;
    int BorderWidth() const { return FBorderStyle == gbsSingle ? 2 : 0; }

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TSetEditEvent OnSetEditText;
    TNotifyEvent OnTopLeftChanged;

    TAccessibleInfo GetAccessibleInfo() const override;
    // The cells as accessibility reads them: "text" of each, row by row.
    std::string AccessibleCellText(int col, int row) const { return GetCells(col, row); }
    // Every cell is an accessible child, row by row: index = row * ColCount + col.
    int GetAccessibleItemCount() const override;
    TAccessibleInfo GetAccessibleItem(int index) const override;
    TRect GetAccessibleItemRect(int index) const override;
    TAccessibleTable GetAccessibleTable() const override;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DblClick() override;
    void Resize() override;
    bool HandleWidgetEvent(QEvent* event) override;
    // Scrolls by whole rows (positive: down), as the mouse wheel does.
    void ScrollRows(int delta);

    // How many cells the last paint drew (the painting visits only cells in view).
    int LastPaintedCells() const { return FPaintedCells; }

protected:
    void Paint() override;
    // Fills and frames the two-pixel border; descendants paint their own frames.
    virtual void PaintBorder(TCanvas* c);
    // The colour of a line of that kind, vertical or horizontal; lines switched off in the
    // options take the colour of the cells they lie between.
    virtual TColor GridLineColor(TGridLineKind kind, bool vertical) const;
    bool LineShown(TGridLineKind kind, bool vertical) const;
    // Draws one cell; the default draws the text and then raises OnDrawCell.
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    virtual bool SelectCell(int col, int row);
    virtual TEdit* CreateEditor();
    TEdit* GetEditor() const { return FEditor; }

private:
    void Resize2D();
    int ColLeftOffset(int col) const;  // from the first scrolling column in view
    void FocusCell(int col, int row, bool moveAnchor);
    void ClampTopLeft();
    void ScrollInView(int col, int row);
    void CommitEditor();
    // New contents: an open editor's text belongs to none of it and is dropped.
    void DropEditor();
    void ReleaseEditor(TEdit* e);
    void PaintScrollBars(TCanvas* c);
    bool VScrollVisible() const;
    bool HScrollVisible() const;
    int MaxTopRow() const;
    int MaxLeftCol() const;
    int FixedWidth() const;
    int FixedHeight() const;
    bool ScrollBarMouse(int x, int y);

    int FColCount = 5, FRowCount = 5, FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24, FGridLineWidth = 1;
    std::vector<int> FColWidths, FRowHeights;
    std::vector<std::vector<std::string>> FCells;  // [row][col]
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TColor FFixedColor = clBtnFace;
    TGridScrollBars FScrollBars = gsbBoth;
    TGridBorderStyle FBorderStyle = gbsSingle;
    bool FDefaultDrawing = true;
    TGridCoord FCurrent{1, 1}, FAnchor{1, 1}, FTopLeft{1, 1};
    TEdit* FEditor = nullptr;
    TGridCoord FEditorCell;         // the cell the editor was opened on
    bool FTypedIntoEditor = false;  // the key being handled opened the editor
    enum class TDrag { None, Select, ColSize, RowSize, VThumb, HThumb } FDrag = TDrag::None;
    int FSizingIndex = -1, FSizingStart = 0, FSizingOrigin = 0;
    int FPaintedCells = 0;
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};
