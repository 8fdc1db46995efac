#pragma once
// The terminal's screen: a grid of Columns × Rows cells and a tab stop per column, all
// 1-based as the terminal counts them. Pure data: no drawing.
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Types.h"

struct TSerialTermChar {
    char32_t Ch = 0;  // 0: an empty cell
    TColor FrontColor = 0;
    TColor BackColor = 0;
    bool Underline = false;
    bool operator==(const TSerialTermChar&) const = default;
};

class TSerialTermBuffer : public TObject {
public:
    TSerialTermBuffer(int Columns, int Rows) { Init(Columns, Rows); }

    // Empties the grid at the new size, with tab stops at columns 1, 9, 17, ...
    void Init(int Columns, int Rows);
    int GetColumns() const { return FColumns; }
    int GetRows() const { return FRows; }

    // Outside the grid: SetChar does nothing, GetChar gives an empty cell.
    void SetChar(int X, int Y, const TSerialTermChar& Ch);
    TSerialTermChar GetChar(int X, int Y) const;
    // Every line one up (the last becomes empty) / one down (the first becomes empty).
    void ScrollUp();
    void ScrollDown();
    // From column X to the end of line Y / from (X, Y) to the end of the screen.
    void EraseLine(int X, int Y);
    void EraseScreen(int X, int Y);

    bool GetTab(int X) const;
    void SetTab(int X, bool Value);
    // The first tab stop right of column X; 0 when there is none.
    int NextTab(int X) const;
    void ClearAllTabs();

    // The last non-empty column of line Y (0 for an empty line), the last line with a
    // non-empty cell (0 for an empty screen).
    int GetLineLength(int Y) const;
    int GetLastLine() const;

private:
    bool Inside(int X, int Y) const { return X >= 1 && X <= FColumns && Y >= 1 && Y <= FRows; }
    size_t Index(int X, int Y) const { return size_t(Y - 1) * size_t(FColumns) + size_t(X - 1); }

    int FColumns = 0;
    int FRows = 0;
    std::vector<TSerialTermChar> FCells;
    std::vector<bool> FTabs;
};
