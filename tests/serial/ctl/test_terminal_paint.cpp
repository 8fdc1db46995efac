// Pixels of the terminal: background, cell colours, underline and the two caret shapes.
#include <gtest/gtest.h>

#include "platform/ui/Forms.h"
#include "serial/SerialPortCtl.h"

namespace {

class TermPaint : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 300);
        term = new TSerialTerminal(form.get());
        term->SetParent(form.get());
        cell = term->GetCellSize();
    }
    TColor At(TBitmap& b, int x, int y) { return b.GetPixel(x, y) & 0xFFFFFF; }
    // The pixel in cell (col, row) at (dx, dy) from its top-left corner, inside the frame.
    TColor Cell(TBitmap& b, int col, int row, int dx, int dy) {
        return At(b, 2 + (col - 1) * cell.cx + dx, 2 + (row - 1) * cell.cy + dy);
    }
    std::unique_ptr<TForm> form;
    TSerialTerminal* term = nullptr;
    TSize cell;
};

TEST_F(TermPaint, CellsFrameAndBlockCaret) {
    EXPECT_GT(cell.cx, 3);
    EXPECT_GT(cell.cy, 7);
    term->WriteStr("\x1b[41m \x1b[0;4m ");
    auto b = term->RenderToBitmap();
    // The sunken frame: shadow top-left, the black screen inside.
    EXPECT_EQ(At(*b, 0, 0), ColorToRGB(clBtnShadow) & 0xFFFFFF);
    EXPECT_EQ(At(*b, 1, 1), ColorToRGB(cl3DDkShadow) & 0xFFFFFF);
    // A space on red is all red; an underlined space has a white bottom row.
    EXPECT_EQ(Cell(*b, 1, 1, 0, 0), 0x0000FF);
    EXPECT_EQ(Cell(*b, 1, 1, cell.cx - 1, cell.cy - 1), 0x0000FF);
    EXPECT_EQ(Cell(*b, 2, 1, 1, 1), clBlack);
    EXPECT_EQ(Cell(*b, 2, 1, 1, cell.cy - 1), clWhite);
    // The block caret in cell 3 inverts the black screen over the whole cell.
    EXPECT_EQ(Cell(*b, 3, 1, 0, 0), clWhite);
    EXPECT_EQ(Cell(*b, 3, 1, cell.cx - 1, cell.cy - 1), clWhite);
    EXPECT_EQ(Cell(*b, 4, 1, 0, 0), clBlack);
    EXPECT_EQ(Cell(*b, 3, 2, 0, 0), clBlack);
}

TEST_F(TermPaint, UnderlineAndNoCaret) {
    term->SetCaret(tcUnderline);
    auto b = term->RenderToBitmap();
    const int h = std::max(1, cell.cy / 8);
    EXPECT_EQ(Cell(*b, 1, 1, 0, cell.cy - 1), clWhite);
    EXPECT_EQ(Cell(*b, 1, 1, 0, cell.cy - h), clWhite);
    EXPECT_EQ(Cell(*b, 1, 1, 0, cell.cy - h - 1), clBlack);
    term->SetCaret(tcNone);
    auto n = term->RenderToBitmap();
    EXPECT_EQ(Cell(*n, 1, 1, 0, cell.cy - 1), clBlack);
}

TEST_F(TermPaint, AGlyphIsDrawnInItsColourOnItsBack) {
    term->SetCaret(tcNone);
    term->WriteStr("\x1b[32;44mM");
    auto b = term->RenderToBitmap();
    int green = 0, blue = 0;
    for (int dy = 0; dy < cell.cy; ++dy)
        for (int dx = 0; dx < cell.cx; ++dx) {
            TColor c = Cell(*b, 1, 1, dx, dy);
            green += c == 0x008000;
            blue += c == 0xFF0000;
        }
    EXPECT_GT(green, 4);
    EXPECT_GT(blue, cell.cx * cell.cy / 3);
    EXPECT_EQ(green + blue, cell.cx * cell.cy);
}

}  // namespace
