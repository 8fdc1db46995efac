// The terminal's cell grid and tab stops.
#include "serial/SerialTermBuffer.h"

#include <algorithm>

void TSerialTermBuffer::Init(int Columns, int Rows) {
    FColumns = std::max(Columns, 1);
    FRows = std::max(Rows, 1);
    FCells.assign(size_t(FColumns) * size_t(FRows), TSerialTermChar{});
    FTabs.assign(size_t(FColumns), false);
    for (int x = 1; x <= FColumns; x += 8) FTabs[size_t(x - 1)] = true;
}

void TSerialTermBuffer::SetChar(int X, int Y, const TSerialTermChar& Ch) {
    if (Inside(X, Y)) FCells[Index(X, Y)] = Ch;
}

TSerialTermChar TSerialTermBuffer::GetChar(int X, int Y) const {
    return Inside(X, Y) ? FCells[Index(X, Y)] : TSerialTermChar{};
}

void TSerialTermBuffer::ScrollUp() {
    std::move(FCells.begin() + FColumns, FCells.end(), FCells.begin());
    std::fill(FCells.end() - FColumns, FCells.end(), TSerialTermChar{});
}

void TSerialTermBuffer::ScrollDown() {
    std::move_backward(FCells.begin(), FCells.end() - FColumns, FCells.end());
    std::fill(FCells.begin(), FCells.begin() + FColumns, TSerialTermChar{});
}

void TSerialTermBuffer::EraseLine(int X, int Y) {
    if (Y < 1 || Y > FRows) return;
    for (int x = std::max(X, 1); x <= FColumns; ++x) FCells[Index(x, Y)] = TSerialTermChar{};
}

void TSerialTermBuffer::EraseScreen(int X, int Y) {
    if (Y < 1) {
        X = 1;
        Y = 1;
    }
    if (Y > FRows) return;
    EraseLine(X, Y);
    for (int y = Y + 1; y <= FRows; ++y) EraseLine(1, y);
}

bool TSerialTermBuffer::GetTab(int X) const { return X >= 1 && X <= FColumns && FTabs[size_t(X - 1)]; }

void TSerialTermBuffer::SetTab(int X, bool Value) {
    if (X >= 1 && X <= FColumns) FTabs[size_t(X - 1)] = Value;
}

int TSerialTermBuffer::NextTab(int X) const {
    for (int x = std::max(X + 1, 1); x <= FColumns; ++x)
        if (FTabs[size_t(x - 1)]) return x;
    return 0;
}

void TSerialTermBuffer::ClearAllTabs() { std::fill(FTabs.begin(), FTabs.end(), false); }

int TSerialTermBuffer::GetLineLength(int Y) const {
    if (Y < 1 || Y > FRows) return 0;
    for (int x = FColumns; x >= 1; --x)
        if (FCells[Index(x, Y)].Ch != 0) return x;
    return 0;
}

int TSerialTermBuffer::GetLastLine() const {
    for (int y = FRows; y >= 1; --y)
        if (GetLineLength(y) > 0) return y;
    return 0;
}
