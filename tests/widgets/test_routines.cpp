// The shared routines: bitmaps, text, glyph rings, bars, and the themed branches through a
// test theme service.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "WidgetTestUtil.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ThemeServices.h"
#include "widgets/UiButton.h"
#include "widgets/UiCommon.h"
#include "widgets/UiPanel.h"
#include "widgets/UiPrgres.h"
#include "widgets/UiRadChk.h"
#include "widgets/UiTabs.h"

namespace {
// Themes on; every element drawn is recorded and filled in one colour per part.
struct TRecordingThemes : TThemeServices {
    std::vector<TThemedDetails> Drawn;
    bool ThemesEnabled() const override { return true; }
    void DrawElement(TCanvas& c, const TThemedDetails& d, const TRect& r) override {
        Drawn.push_back(d);
        c.GetBrush()->SetStyle(bsSolid);
        c.GetBrush()->SetColor(RGB(10 * d.Part, 20, 10 * d.State));
        c.FillRect(r);
    }
    bool Has(TThemeClass cls, int part, int state) const {
        for (auto& d : Drawn)
            if (d.Class == cls && d.Part == part && d.State == state) return true;
        return false;
    }
};

struct TThemeScope {
    TRecordingThemes themes;
    TThemeScope() { SetThemeServices(&themes); }
    ~TThemeScope() { SetThemeServices(nullptr); }
};
}  // namespace

TEST(UiText, RemoveAccelerators) {
    EXPECT_EQ(RemoveAccelerators("&Save"), "Save");
    EXPECT_EQ(RemoveAccelerators("Fish && Chips"), "Fish & Chips");
    EXPECT_EQ(RemoveAccelerators("Save&"), "Save&");
    EXPECT_EQ(RemoveAccelerators(""), "");
    EXPECT_EQ(CaptionAccelerator("Fish && &Chips"), 'C');
    EXPECT_EQ(CaptionAccelerator("None"), 0);
}

TEST(UiText, FontFigures) {
    TFont tahoma;  // Tahoma 8: GDI height 13
    EXPECT_EQ(GetFontLineHeight(tahoma), 15);
    EXPECT_TRUE(IsTrueTypeFont(tahoma));
    tahoma.SetStyle({fsBold, fsItalic});
    TLogFont lf = CreateRotatedFont(tahoma, 90);
    EXPECT_EQ(lf.Escapement, 900);
    EXPECT_EQ(lf.Weight, 700);
    EXPECT_TRUE(lf.Italic);
    EXPECT_EQ(lf.FaceName, "Tahoma");
}

TEST(UiGrafx, FlipTileAndMask) {
    TBitmap two(3, 2);
    two.SetPixel(0, 0, clRed);
    two.SetPixel(0, 1, clBlue);
    FlipBitmapVertical(two);
    EXPECT_EQ(two.GetPixel(0, 0), clBlue);
    EXPECT_EQ(two.GetPixel(0, 1), clRed);
    TBitmap one(2, 1);
    one.SetPixel(1, 0, clRed);
    FlipBitmapVertical(one);
    EXPECT_EQ(one.GetPixel(1, 0), clRed);

    TBitmap tile(3, 3);
    tile.GetCanvas()->GetBrush()->SetColor(clGreen);
    tile.GetCanvas()->FillRect(TRect(0, 0, 3, 3));
    tile.SetPixel(0, 0, clRed);
    auto b = wt::Canvas(10, 10);
    TileBitmap(b->GetCanvas(), tile, TRect(1, 1, 8, 5));
    EXPECT_EQ(wt::Px(*b, 1, 1), clRed);
    EXPECT_EQ(wt::Px(*b, 4, 4), clRed);
    EXPECT_EQ(wt::Px(*b, 7, 4), clRed);
    EXPECT_EQ(wt::Px(*b, 8, 4), clWhite);  // cut to the rectangle
    EXPECT_EQ(wt::Px(*b, 7, 5), clWhite);
    // A bitmap larger than the rectangle: only what fits.
    TBitmap big(20, 20);
    auto small = wt::Canvas(10, 10, clBlack);
    TileBitmap(small->GetCanvas(), big, TRect(2, 2, 5, 5));
    EXPECT_EQ(wt::Px(*small, 4, 4), clWhite);
    EXPECT_EQ(wt::Px(*small, 5, 5), clBlack);

    TBitmap src(2, 1);
    src.SetPixel(0, 0, clOlive);
    src.SetPixel(1, 0, clRed);
    auto m = wt::Canvas(4, 2, clBlue);
    StretchDrawMasked(m->GetCanvas(), src, TRect(0, 0, 4, 2), clOlive, TRect(0, 0, 2, 1));
    EXPECT_EQ(wt::Px(*m, 0, 0), clBlue);
    EXPECT_EQ(wt::Px(*m, 1, 1), clBlue);
    EXPECT_EQ(wt::Px(*m, 2, 0), clRed);
    EXPECT_EQ(wt::Px(*m, 3, 1), clRed);
}

TEST(UiGrafx, GradientOnTheCanvasAndTheRing) {
    auto b = wt::Canvas(40, 9);
    PaintGradient(b->GetCanvas(), TRect(5, 0, 35, 9), gdHorizontalCenter, 1, clWhite, clBlack);
    EXPECT_EQ(wt::Px(*b, 5, 4), clBlack);
    EXPECT_EQ(wt::Px(*b, 34, 0), RGB(204, 204, 204));
    EXPECT_EQ(wt::Px(*b, 4, 4), clWhite);
    PaintGradient(b->GetCanvas(), TRect(0, 0, 0, 9), gdHorizontalCenter, 1, clRed, clRed);
    EXPECT_EQ(wt::Px(*b, 0, 4), clWhite);

    auto r = wt::Canvas(20, 20);
    DrawGradientRing(r->GetCanvas(), TRect(0, 0, 20, 20), gdHorizontalEnd, clRed, clRed);
    EXPECT_EQ(wt::Px(*r, 0, 10), clRed);
    EXPECT_EQ(wt::Px(*r, 1, 10), clRed);
    EXPECT_EQ(wt::Px(*r, 2, 10), clWhite);  // only two pixels deep
    HighColorDisplay = false;
    auto none = wt::Canvas(20, 20);
    DrawGradientRing(none->GetCanvas(), TRect(0, 0, 20, 20), gdHorizontalEnd, clRed, clRed);
    HighColorDisplay = true;
    EXPECT_EQ(wt::Px(*none, 0, 10), clWhite);
}

TEST(UiBars, SegmentAndPercentBars) {
    auto b = wt::Canvas(100, 20, clFuchsia);
    // 80 pixels asked for 20 segments: 10 segments of 8, no margin.
    DrawSegmentBar(b->GetCanvas(), TRect(0, 0, 80, 20), orHorizontal, false, false, 50, 20, clWhite, clRed);
    EXPECT_EQ(wt::Px(*b, 8 * 4 + 4, 10), clRed);
    EXPECT_EQ(wt::Px(*b, 8 * 5 + 4, 10), clWhite);
    EXPECT_EQ(wt::Px(*b, 8 * 5, 10), clWhite);
    EXPECT_EQ(wt::Px(*b, 85, 10), clFuchsia);
    auto p = wt::Canvas(100, 20);
    DrawPercentBar(p->GetCanvas(), TRect(0, 0, 100, 20), orHorizontal, 0, 0, false, false, false, 30, clWhite, clBlue);
    EXPECT_EQ(wt::Px(*p, 29, 10), clBlue);
    EXPECT_EQ(wt::Px(*p, 30, 10), clWhite);
    auto v = wt::Canvas(20, 100);
    DrawPercentBar(v->GetCanvas(), TRect(0, 0, 20, 100), orVertical, 0, 0, false, false, false, 30, clWhite, clBlue);
    EXPECT_EQ(wt::Px(*v, 10, 70), clBlue);
    EXPECT_EQ(wt::Px(*v, 10, 69), clWhite);
    EXPECT_EQ(PercentBarText(8, 5, true, true, 62), "5 / 8");
    EXPECT_EQ(PercentBarText(8, 5, false, true, 62), "62%");
    EXPECT_EQ(PercentBarText(8, 5, false, false, 62), "");
}

TEST(UiThemed, ButtonStatesThroughTheThemeService) {
    TThemeScope scope;
    auto form = std::make_unique<TForm>(nullptr);
    auto* b = new TUiButton(form.get());
    b->SetParent(form.get());
    b->SetCaption("");
    EXPECT_TRUE(b->UsingXPThemes());
    auto bmp = wt::Canvas(75, 25);
    b->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_TRUE(scope.themes.Has(TThemeClass::Button, BP_PUSHBUTTON, PBS_NORMAL));
    EXPECT_EQ(wt::Px(*bmp, 30, 12), RGB(10, 20, 10 * PBS_NORMAL));
    b->MouseEnter();
    b->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_TRUE(scope.themes.Has(TThemeClass::Button, BP_PUSHBUTTON, PBS_HOT));
    b->SetEnabled(false);
    b->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_TRUE(scope.themes.Has(TThemeClass::Button, BP_PUSHBUTTON, PBS_DISABLED));
    b->SetThemeAware(false);
    scope.themes.Drawn.clear();
    b->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_TRUE(scope.themes.Drawn.empty());
}

TEST(UiThemed, CheckBoxProgressAndGroupBox) {
    TThemeScope scope;
    auto form = std::make_unique<TForm>(nullptr);
    auto* box = new TUiCheckBox(form.get());
    box->SetParent(form.get());
    box->SetState(cbGrayed);
    auto bmp = wt::Canvas(200, 100);
    box->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_TRUE(scope.themes.Has(TThemeClass::Button, BP_CHECKBOX, CBS_MIXEDNORMAL));
    auto* bar = new TUiProgressBar(form.get());
    bar->SetParent(form.get());
    bar->SetPercent(50);
    bar->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_TRUE(scope.themes.Has(TThemeClass::Progress, PP_BAR, 1));
    bar->SetBarStyle(bsLED);
    bar->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_TRUE(scope.themes.Has(TThemeClass::Progress, PP_CHUNK, 1));
    auto* group = new TUiGroupBox(form.get());
    group->SetParent(form.get());
    group->SetCaption("Box");
    group->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_TRUE(scope.themes.Has(TThemeClass::Button, BP_GROUPBOX, GBS_NORMAL));
    EXPECT_EQ(GetXPThemeColor(3), clBtnFace);  // the test theme has no such colour
    TColor start, stop;
    GetXPGradientColors(true, start, stop);
    EXPECT_EQ(start, TColor(0x00FFEFE3));  // the normal scheme
    EXPECT_EQ(stop, TColor(0x00EABB99));
    EXPECT_EQ(GetXPFrameColor(true), TColor(0x00BF7F57));
}

TEST(UiGrafx, TransparentControlsShowTheirParent) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* panel = new TUiPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 200, 100);
    panel->SetBorderOuter(fsNone);
    panel->SetColor(clRed);
    panel->SetCaption("");
    auto* b = new TUiButton(panel);
    b->SetParent(panel);
    b->SetBounds(10, 10, 75, 25);
    b->SetHotTrack(true);
    b->SetThemeAware(false);
    b->SetCaption("");
    TRect asked;
    panel->OnPaint = [&](TObject*) { asked = panel->GetCanvas()->GetClipRect(); };
    auto bmp = wt::Canvas(75, 25, clFuchsia);
    b->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_EQ(wt::Px(*bmp, 0, 0), clRed);  // the cut corner shows the panel
    EXPECT_EQ(wt::Px(*bmp, 0, 5), DarkerColor(clRed, 20));
    // The parent paints what lies behind the button, not the whole of itself.
    EXPECT_EQ(asked, TRect(10, 10, 85, 35));
    bmp->GetCanvas()->IntersectClipRect(0, 0, 20, 5);
    b->PaintTo(*bmp->GetCanvas(), 0, 0);
    EXPECT_EQ(asked, TRect(10, 10, 85, 35));  // PaintTo paints the whole button...
    DrawParentImage(b, bmp->GetCanvas());
    EXPECT_EQ(asked, TRect(10, 10, 30, 15));  // ...but only what the canvas lets through is asked for
}

TEST(UiGrafx, ATabSheetPaintsStraightBehindItsChildWithinTheCanvasClip) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* pages = new TUiPageControl(form.get());
    pages->SetParent(form.get());
    pages->SetBounds(0, 0, 200, 100);
    auto* sheet = new TUiTabSheet(form.get());
    sheet->SetPageControl(pages);
    sheet->SetColor(clLime);
    pages->SetActivePage(sheet);
    auto* child = new TUiPanel(sheet);
    child->SetParent(sheet);
    child->SetBounds(20, 10, 50, 30);
    auto bmp = wt::Canvas(50, 30, clFuchsia);
    TCanvas* c = bmp->GetCanvas();
    c->SetOrigin(3, 2);
    c->IntersectClipRect(0, 0, 10, 5);  // device 3..12 x 2..6
    DrawParentImage(child, c);
    EXPECT_EQ(wt::Px(*bmp, 3, 2), clLime);
    EXPECT_EQ(wt::Px(*bmp, 12, 6), clLime);
    EXPECT_EQ(wt::Px(*bmp, 2, 2), clFuchsia);
    EXPECT_EQ(wt::Px(*bmp, 13, 6), clFuchsia);
    EXPECT_EQ(wt::Px(*bmp, 12, 7), clFuchsia);
}
