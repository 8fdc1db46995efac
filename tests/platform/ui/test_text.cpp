// Text: the tool's font is Tahoma from fonts-wine, measured with the GDI figures of its file,
// DrawText's line placement, and the rows of a long text's lines.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/ui/FontTables.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/RowIndex.h"
#include "platform/ui/TextLayout.h"
#include "support/TestSupport.h"

namespace {

TFont Tahoma(int height, TFontStyles style = {}) {
    TFont f;
    f.SetName("Tahoma");
    f.SetHeight(height);
    f.SetStyle(style);
    return f;
}

}  // namespace

TEST(Fonts, TahomaFileFigures) {
    auto m = ParseFontFileMetrics(testsupport::ReadFileText("/usr/share/wine/fonts/tahoma.ttf"));
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->unitsPerEm, 2048);
    EXPECT_EQ(m->winAscent, 2049);
    EXPECT_EQ(m->winDescent, 423);
    // Scaled as GDI does: an em of 11 pixels gives ascent 11 (11.005) and descent 2 (2.27).
    TGdiFontSize s = GdiScale(*m, -11);
    EXPECT_EQ(s.ascent, 11);
    EXPECT_EQ(s.descent, 2);
    EXPECT_EQ(s.internalLeading, 2);
    // A positive height is the cell: exactly that many pixels.
    TGdiFontSize cell = GdiScale(*m, 16);
    EXPECT_EQ(cell.ascent + cell.descent, 16);
    EXPECT_EQ(cell.emPixels, 13);  // 16 * 2048 / 2472 = 13.26
    EXPECT_FALSE(ParseFontFileMetrics("not a font").has_value());
    EXPECT_FALSE(ParseFontFileMetrics(std::string(64, '\0')).has_value());
}

TEST(Fonts, PointSizesAt96Dpi) {
    TFont f;
    EXPECT_EQ(f.GetName(), "Tahoma");
    EXPECT_EQ(f.GetHeight(), -11);
    EXPECT_EQ(f.GetSize(), 8);
    f.SetSize(10);
    EXPECT_EQ(f.GetHeight(), -13);
    f.SetSize(14);
    EXPECT_EQ(f.GetHeight(), -19);
    f.SetHeight(-19);
    EXPECT_EQ(f.GetSize(), 14);  // 19 * 72 / 96 = 14.25
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetHeight(-19);
    f.SetStyle({fsBold});
    f.SetColor(clRed);
    EXPECT_EQ(changes, 2);
}

TEST(Fonts, TahomaIsInUseWithGdiLineHeights) {
    RegisterApplicationFonts();
    EXPECT_EQ(FontFamilyInUse(Tahoma(-11)), "Tahoma");
    EXPECT_EQ(FontFamilyInUse(Tahoma(-11, {fsBold})), "Tahoma");
    struct Case {
        int height, line, ascent;
    } cases[] = {{-11, 13, 11}, {-13, 16, 13}, {-19, 23, 19}, {-12, 14, 12}};
    for (const Case& c : cases) {
        TTextMetric tm = GetFontTextMetric(Tahoma(c.height));
        EXPECT_EQ(tm.tmHeight, c.line) << c.height;
        EXPECT_EQ(tm.tmAscent, c.ascent) << c.height;
        EXPECT_EQ(GetFontTextMetric(Tahoma(c.height, {fsBold})).tmHeight, c.line) << c.height;
    }
    TBitmap b(200, 40);
    TCanvas* cv = b.GetCanvas();
    cv->SetFont(Tahoma(-11));
    EXPECT_EQ(cv->TextHeight("Yy"), 13);
    EXPECT_EQ(cv->TextExtent("").cx, 0);
    int w1 = cv->TextWidth("W"), w3 = cv->TextWidth("WWW");
    EXPECT_GT(w1, 4);
    EXPECT_EQ(w3, 3 * w1);
    EXPECT_GT(cv->TextWidth("Конфигуратор"), 40);
}

TEST(Fonts, TextOutStaysInItsCellWithoutAntialiasing) {
    TBitmap b(60, 30);
    TCanvas* c = b.GetCanvas();
    c->SetFont(Tahoma(-11));
    c->GetFont()->SetColor(clBlack);
    c->GetBrush()->SetStyle(bsClear);
    c->TextOut(5, 7, "Hg");
    int minY = 99, maxY = -1, other = 0, black = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            TColor p = b.GetPixel(x, y);
            if (p == clBlack) {
                ++black;
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            } else if (p != clWhite) {
                ++other;
            }
        }
    EXPECT_GT(black, 10);
    EXPECT_EQ(other, 0);  // two colours only: no antialiasing
    EXPECT_GE(minY, 7);
    EXPECT_LT(maxY, 7 + 13);
    // The baseline sits at top + ascent: "H" ends on row 7 + 11 - 1.
    int hBottom = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 5; x < 10; ++x)
            if (b.GetPixel(x, y) == clBlack) hBottom = std::max(hBottom, y);
    EXPECT_EQ(hBottom, 17);

    // A solid brush fills the text cell behind it.
    TBitmap o(60, 30);
    o.GetCanvas()->SetFont(Tahoma(-11));
    o.GetCanvas()->GetBrush()->SetColor(clYellow);
    o.GetCanvas()->TextOut(0, 0, "a");
    EXPECT_EQ(o.GetPixel(0, 12), clYellow);
    EXPECT_EQ(o.GetPixel(0, 13), clWhite);
}

TEST(DrawTextLayout, AlignmentSingleLineAndCalcRect) {
    using namespace ui::text;
    Measure m = [](const std::string& s) { return int(s.size()) * 6; };  // 6 px per byte
    TLayout l = LayOut("abc", TRect(10, 20, 110, 60), DT_CENTER | DT_VCENTER | DT_SINGLELINE, 13, 5, m);
    ASSERT_EQ(l.lines.size(), 1u);
    EXPECT_EQ(l.lines[0].x, (10 + 110 - 18) / 2);
    EXPECT_EQ(l.lines[0].y, (20 + 60 - 13) / 2);
    l = LayOut("abc", TRect(10, 20, 110, 60), DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, 13, 5, m);
    EXPECT_EQ(l.lines[0].x, 110 - 18);
    EXPECT_EQ(l.lines[0].y, 60 - 13);
    // Vertical centring needs a single line.
    l = LayOut("abc", TRect(10, 20, 110, 60), DT_VCENTER, 13, 5, m);
    EXPECT_EQ(l.lines[0].y, 20);
    l = LayOut("one\r\ntwo", TRect(0, 0, 100, 100), DT_LEFT, 13, 5, m);
    ASSERT_EQ(l.lines.size(), 2u);
    EXPECT_EQ(l.lines[1].y, 13);
    EXPECT_EQ(l.height, 26);
    EXPECT_EQ(l.calcRect, TRect(0, 0, 18, 26));
    l = LayOut("", TRect(0, 0, 100, 100), DT_SINGLELINE | DT_CALCRECT, 13, 5, m);
    EXPECT_EQ(l.calcRect, TRect(0, 0, 0, 13));
}

TEST(DrawTextLayout, WordBreakEllipsisAndAccelerators) {
    using namespace ui::text;
    Measure m = [](const std::string& s) { return int(s.size()) * 6; };
    TLayout l = LayOut("aaa bbb ccc", TRect(0, 0, 45, 100), DT_WORDBREAK, 13, 5, m);
    ASSERT_EQ(l.lines.size(), 2u);
    EXPECT_EQ(l.lines[0].text, "aaa bbb");
    EXPECT_EQ(l.lines[1].text, "ccc");
    l = LayOut("aaaaaaaaaa b", TRect(0, 0, 30, 100), DT_WORDBREAK, 13, 5, m);
    ASSERT_EQ(l.lines.size(), 2u);
    EXPECT_EQ(l.lines[0].text, "aaaaaaaaaa");  // too long a word stays whole
    l = LayOut("abcdefghij", TRect(0, 0, 40, 13), DT_SINGLELINE | DT_END_ELLIPSIS, 13, 5, m);
    EXPECT_EQ(l.lines[0].text, "abc...");
    l = LayOut("&Open && close", TRect(0, 0, 200, 13), DT_SINGLELINE, 13, 5, m);
    EXPECT_EQ(l.lines[0].text, "Open & close");
    EXPECT_EQ(l.lines[0].underline, 0);
    l = LayOut("&Open", TRect(0, 0, 200, 13), DT_SINGLELINE | DT_NOPREFIX, 13, 5, m);
    EXPECT_EQ(l.lines[0].text, "&Open");
    EXPECT_EQ(l.lines[0].underline, -1);
    l = LayOut("a\tb", TRect(0, 0, 200, 13), DT_SINGLELINE | DT_EXPANDTABS, 13, 5, m);
    EXPECT_EQ(l.lines[0].text, "a       b");
}

TEST(DrawTextOnCanvas, CalcRectMeasuresWithoutDrawing) {
    TBitmap b(100, 40);
    TCanvas* c = b.GetCanvas();
    c->SetFont(Tahoma(-11));
    TRect r(0, 0, 100, 40);
    int h = c->DrawText("Text", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(h, 13);
    EXPECT_EQ(r, TRect(0, 0, c->TextWidth("Text"), 13));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(b.GetPixel(x, y), clWhite);
    // Drawing is clipped to the rectangle.
    c->GetBrush()->SetStyle(bsClear);
    TRect small(0, 0, 8, 40);
    c->DrawText("WWWW", small, DT_SINGLELINE);
    for (int y = 0; y < 40; ++y)
        for (int x = 8; x < 100; ++x) ASSERT_EQ(b.GetPixel(x, y), clWhite);
}

// Lines of 1, 3, 1, 2, 1, 1 and 4 rows: where each begins and the line at each row, then with
// the second line's three rows found to be one, and with the lines cut back to three and one
// of five added.
TEST(RowIndex, WhereLinesBeginAndTheLineAtARow) {
    ui::TRowIndex rows;
    EXPECT_EQ(rows.LineOf(5), 0u);
    for (std::uint32_t n : {1, 3, 1, 2, 1, 1, 4}) rows.Push(n);
    const auto check = [&](const std::vector<std::uint32_t>& begins, const std::vector<std::size_t>& lineOfRow) {
        for (std::size_t i = 0; i < begins.size(); ++i) EXPECT_EQ(rows.Before(i), begins[i]) << "line " << i;
        for (std::size_t r = 0; r < lineOfRow.size(); ++r) EXPECT_EQ(rows.LineOf(std::uint32_t(r)), lineOfRow[r]) << "row " << r;
        EXPECT_EQ(rows.LineOf(100), rows.Count() - 1);
    };
    check({0, 1, 4, 5, 7, 8, 9, 13}, {0, 1, 1, 1, 2, 3, 3, 4, 5, 6, 6, 6, 6});
    rows.Set(1, 1);
    EXPECT_EQ(rows.Rows(1), 1u);
    check({0, 1, 2, 3, 5, 6, 7, 11}, {0, 1, 2, 3, 3, 4, 5, 6, 6, 6, 6});
    rows.Truncate(3);
    rows.Push(5);
    check({0, 1, 2, 3, 8}, {0, 1, 2, 3, 3, 3, 3, 3});
}
