// The string grid and the framed grid: geometry, selection, editing, speed and line colours.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "WidgetTestUtil.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ThemeServices.h"
#include "widgets/UiGrids.h"

namespace {
struct TGridFixture : ::testing::Test {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TUiStringGrid* grid = nullptr;

    void SetUp() override {
        form->SetBounds(0, 0, 600, 400);
        grid = new TUiStringGrid(form.get());
        grid->SetParent(form.get());
    }
    std::unique_ptr<TBitmap> Render() {
        auto b = wt::Canvas(grid->GetWidth(), grid->GetHeight(), clFuchsia);
        grid->PaintTo(*b->GetCanvas(), 0, 0);
        return b;
    }
};

struct TTestThemes : TThemeServices {
    bool ThemesEnabled() const override { return true; }
    bool GetThemeColor(const TThemedDetails& d, int property, TColor& color) const override {
        if (d.Class != TThemeClass::Edit || property != TMT_BORDERCOLOR) return false;
        color = RGB(0x7F, 0x9D, 0xB9);
        return true;
    }
};
}  // namespace

TEST_F(TGridFixture, DefaultsAndGeometry) {
    EXPECT_EQ(grid->GetWidth(), 325);
    EXPECT_EQ(grid->GetHeight(), 125);
    EXPECT_EQ(grid->GetDefaultRowHeight(), 18);
    EXPECT_EQ(grid->GetDefaultColWidth(), 60);
    // Column 0 is fixed (0..59), a one-pixel line, then column 1.
    EXPECT_EQ(grid->CellRect(1, 1), TRect(61, 19, 121, 37));
    int c, r;
    grid->MouseToCell(70, 20, c, r);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 1);
    grid->MouseToCell(2000, 20, c, r);
    EXPECT_EQ(c, -1);
    grid->SetColWidths(1, 100);
    EXPECT_EQ(grid->CellRect(2, 1).Left, 162);
    grid->SetCells(2, 3, "абв");
    EXPECT_EQ(grid->GetCells(2, 3), "абв");
    EXPECT_EQ(grid->GetCells(99, 3), "");
}

TEST_F(TGridFixture, LineColoursAndTheirDarkerTwin) {
    grid->SetCells(1, 1, "");
    auto b = Render();
    // Control coordinates are client + 2 (the border).
    EXPECT_EQ(wt::Px(*b, 2 + 121, 2 + 25), wt::Rgb(clBtnFace));    // between scrolling cells
    EXPECT_EQ(wt::Px(*b, 2 + 80, 2 + 37), wt::Rgb(clBtnFace));
    EXPECT_EQ(wt::Px(*b, 2 + 121, 2 + 5), wt::Rgb(clBtnShadow));   // between fixed cells
    EXPECT_EQ(wt::Px(*b, 2 + 60, 2 + 25), wt::Rgb(clBtnShadow));   // after the fixed column
    EXPECT_EQ(wt::Px(*b, 2 + 150, 2 + 45), wt::Rgb(clWindow));
    // The platform's own sunken border.
    EXPECT_EQ(wt::Px(*b, 0, 60), wt::Rgb(clBtnShadow));
    EXPECT_EQ(wt::Px(*b, 1, 60), wt::Rgb(cl3DDkShadow));
    grid->SetLineColor(clWindow);
    b = Render();
    EXPECT_EQ(wt::Px(*b, 2 + 121, 2 + 25), DarkerColor(clWindow, 50));
    grid->SetOptions(grid->GetOptions().Exclude(goVertLine));
    b = Render();
    EXPECT_EQ(wt::Px(*b, 2 + 121, 2 + 25), wt::Rgb(clWindow));
}

TEST_F(TGridFixture, HotTrackFrame) {
    grid->SetFrameHotTrack(true);
    EXPECT_TRUE(grid->GetFrameVisible());
    grid->SetFrameColor(clGreen);
    grid->SetFrameHotColor(clRed);
    auto b = Render();
    EXPECT_EQ(wt::Px(*b, 0, 60), clGreen);
    EXPECT_EQ(wt::Px(*b, 1, 60), wt::Rgb(clBtnFace));  // the cleared second pixel
    grid->MouseEnter();
    b = Render();
    EXPECT_EQ(wt::Px(*b, 0, 60), clRed);
    EXPECT_EQ(wt::Px(*b, 1, 60), clRed);  // fsFlatBold
    grid->MouseLeave();
    b = Render();
    EXPECT_EQ(wt::Px(*b, 0, 60), clGreen);
}

TEST_F(TGridFixture, ThemeEditBorder) {
    TTestThemes themes;
    SetThemeServices(&themes);
    auto b = Render();
    SetThemeServices(nullptr);
    EXPECT_EQ(wt::Px(*b, 0, 60), RGB(0x7F, 0x9D, 0xB9));
}

TEST_F(TGridFixture, ColoursFollowTheState) {
    grid->SetColor(clYellow);
    EXPECT_EQ(grid->GetFocusColor(), clYellow);  // it equalled the old colour
    grid->SetFocusColor(clAqua);
    grid->SetDisabledColor(clGray);
    grid->SetEnabled(false);
    EXPECT_EQ(grid->GetColor(), clGray);
    EXPECT_FALSE(grid->IsColorStored());
    grid->SetEnabled(true);
    EXPECT_EQ(grid->GetColor(), clYellow);
    form->Show();
    grid->SetFocus();
    EXPECT_EQ(grid->GetColor(), clAqua);
}

TEST_F(TGridFixture, SelectionByMouseAndKeys) {
    form->Show();
    int selectCol = -1;
    grid->OnSelectCell = [&](TObject*, int col, int row, bool& can) {
        selectCol = col;
        can = row != 4;
    };
    TRect r = grid->CellRect(2, 2);
    grid->MouseDown(mbLeft, {}, r.Left + 4, r.Top + 4);
    grid->MouseUp(mbLeft, {}, r.Left + 4, r.Top + 4);
    EXPECT_EQ(grid->GetCol(), 2);
    EXPECT_EQ(grid->GetRow(), 2);
    EXPECT_EQ(selectCol, 2);
    Word k = VK_DOWN;
    grid->KeyDown(k, TShiftState{ssShift});
    EXPECT_EQ(grid->GetRow(), 3);
    EXPECT_EQ(grid->GetSelection(), (TGridRect{2, 2, 2, 3}));
    k = VK_DOWN;
    grid->KeyDown(k, {});
    EXPECT_EQ(grid->GetRow(), 3);  // row 4 refused
    k = VK_RIGHT;
    grid->KeyDown(k, {});
    EXPECT_EQ(grid->GetSelection(), (TGridRect{3, 3, 3, 3}));
}

TEST_F(TGridFixture, InPlaceEditing) {
    form->Show();
    std::string edited;
    grid->OnSetEditText = [&](TObject*, int, int, const std::string& v) { edited = v; };
    grid->SetCol(1);
    grid->SetRow(1);
    Word k = VK_F2;
    grid->KeyDown(k, {});
    EXPECT_FALSE(grid->GetEditorMode());  // editing is off
    grid->SetOptions(grid->GetOptions().Include(goEditing));
    k = VK_F2;
    grid->KeyDown(k, {});
    ASSERT_TRUE(grid->GetEditorMode());
    grid->GetControl(0)->SetText("12345");
    grid->SetEditorMode(false);
    EXPECT_EQ(grid->GetCells(1, 1), "12345");
    EXPECT_EQ(edited, "12345");
    // Enter in the editor keeps the text, Escape drops it, once the key event is over.
    grid->SetEditorMode(true);
    auto* editor = static_cast<TWinControl*>(grid->GetControl(0));
    editor->SetText("777");
    k = VK_RETURN;
    editor->KeyDown(k, {});
    EXPECT_EQ(k, 0);
    sys::ServeGuiCalls();
    EXPECT_FALSE(grid->GetEditorMode());
    EXPECT_EQ(grid->GetCells(1, 1), "777");
    grid->SetEditorMode(true);
    editor = static_cast<TWinControl*>(grid->GetControl(0));
    editor->SetText("lost");
    k = VK_ESCAPE;
    editor->KeyDown(k, {});
    sys::ServeGuiCalls();
    EXPECT_FALSE(grid->GetEditorMode());
    EXPECT_EQ(grid->GetCells(1, 1), "777");
}

TEST_F(TGridFixture, FifteenThousandRowsPaintOnlyWhatShows) {
    grid->SetBounds(0, 0, 861, 400);
    grid->SetColCount(9);
    grid->SetRowCount(15002);
    for (int r = 1; r < 15002; ++r) grid->SetCells(1, r, std::to_string(380000000 + r));
    auto start = std::chrono::steady_clock::now();
    grid->SetTopRow(14000);
    auto b = Render();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(grid->GetTopRow(), 14000);
    EXPECT_LE(grid->LastPaintedCells(), 9 * 25);
    EXPECT_LT(ms, 1000);
    grid->SetTopRow(20000);
    EXPECT_EQ(grid->GetTopRow(), 15002 - grid->GetVisibleRowCount());
    TAccessibleInfo info = grid->GetAccessibleInfo();
    EXPECT_EQ(info.Role, TAccessibleRole::Table);
}
