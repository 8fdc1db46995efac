// The terminal's cell grid: tabs, scrolling, erasing, line lengths.
#include <gtest/gtest.h>

#include "serial/SerialTermBuffer.h"

namespace {

TSerialTermChar C(char32_t ch) { return TSerialTermChar{ch, 0xFFFFFF, 0, false}; }

std::string Line(const TSerialTermBuffer& b, int y) {
    std::string s;
    for (int x = 1; x <= b.GetColumns(); ++x) {
        char32_t c = b.GetChar(x, y).Ch;
        s += c ? char(c) : '.';
    }
    return s;
}

TEST(TermBuffer, TabStopsEveryEighthColumn) {
    TSerialTermBuffer b(20, 3);
    EXPECT_TRUE(b.GetTab(1));
    EXPECT_TRUE(b.GetTab(9));
    EXPECT_TRUE(b.GetTab(17));
    EXPECT_FALSE(b.GetTab(2));
    EXPECT_EQ(b.NextTab(1), 9);
    EXPECT_EQ(b.NextTab(9), 17);
    EXPECT_EQ(b.NextTab(17), 0);
    b.SetTab(12, true);
    EXPECT_EQ(b.NextTab(9), 12);
    b.ClearAllTabs();
    EXPECT_EQ(b.NextTab(0), 0);
    b.SetTab(0, true);  // outside: ignored
    b.SetTab(21, true);
    EXPECT_FALSE(b.GetTab(21));
}

TEST(TermBuffer, ScrollEraseAndLengths) {
    TSerialTermBuffer b(4, 3);
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 4; ++x) b.SetChar(x, y, C(char32_t('a' + (y - 1) * 4 + x - 1)));
    EXPECT_EQ(Line(b, 1), "abcd");
    b.ScrollUp();
    EXPECT_EQ(Line(b, 1), "efgh");
    EXPECT_EQ(Line(b, 2), "ijkl");
    EXPECT_EQ(Line(b, 3), "....");
    EXPECT_EQ(b.GetLastLine(), 2);
    b.ScrollDown();
    EXPECT_EQ(Line(b, 1), "....");
    EXPECT_EQ(Line(b, 2), "efgh");
    EXPECT_EQ(Line(b, 3), "ijkl");
    b.EraseLine(3, 2);
    EXPECT_EQ(Line(b, 2), "ef..");
    EXPECT_EQ(b.GetLineLength(2), 2);
    EXPECT_EQ(b.GetLineLength(1), 0);
    b.EraseScreen(2, 2);
    EXPECT_EQ(Line(b, 2), "e...");
    EXPECT_EQ(Line(b, 3), "....");
    EXPECT_EQ(b.GetLastLine(), 2);
    b.SetChar(5, 1, C('z'));  // outside: nothing
    b.SetChar(1, 0, C('z'));
    EXPECT_EQ(b.GetChar(9, 9).Ch, 0u);
    b.Init(3, 2);
    EXPECT_EQ(b.GetLastLine(), 0);
    EXPECT_EQ(b.GetColumns(), 3);
}

}  // namespace
