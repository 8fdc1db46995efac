// zentor_gallery <folder>: writes PNG pictures of the styled widget set, every control in its
// main styles, and the frame, gradient and glyph routines they are drawn with, for review.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "GalleryPng.h"
#include "TabsGallery.h"
#include "platform/ui/Forms.h"
#include "widgets/UiBorder.h"
#include "widgets/UiButton.h"
#include "widgets/UiCommon.h"
#include "widgets/UiGrids.h"
#include "widgets/UiPanel.h"
#include "widgets/UiPrgres.h"
#include "widgets/UiRadChk.h"
#include "widgets/UiRadGrp.h"

namespace {

std::string g_Folder;
bool g_Ok = true;

void Save(const TBitmap& bmp, const std::string& name) {
    std::string path = g_Folder + "/" + name + ".png";
    if (!WriteGalleryPng(bmp, path)) {
        std::fprintf(stderr, "zentor_gallery: cannot write %s\n", path.c_str());
        g_Ok = false;
        return;
    }
    std::printf("%s\n", path.c_str());
}

void Label(TCanvas* c, int x, int y, const std::string& text) {
    c->GetBrush()->SetStyle(bsClear);
    c->GetFont()->SetColor(clBlack);
    c->TextOut(x, y, text);
    c->GetBrush()->SetStyle(bsSolid);
}

void FramesPicture() {
    const char* names[12] = {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown",
                             "fsRaised", "fsButtonUp", "fsStatus", "fsPopup", "fsFlatBold", "fsFlatRounded"};
    TBitmap bmp(12 * 90 + 10, 4 * 80 + 10);
    TCanvas* c = bmp.GetCanvas();
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, bmp.GetWidth(), bmp.GetHeight()));
    for (int i = 0; i < 12; ++i) {
        int x = 10 + i * 90;
        Label(c, x, 2, names[i]);
        if (i < 11) DrawBorder(c, Bounds(x, 20, 80, 50), TFrameStyle(i));
        if (i < 11) DrawColorBorder(c, Bounds(x, 100, 80, 50), clSilver, TFrameStyle(i));
        TUiBorderSettings s;
        s.BorderOuter = TFrameStyleEx(i);
        s.FlatColor = clBlue;
        c->GetBrush()->SetColor(clWindow);
        c->FillRect(Bounds(x, 180, 80, 50));
        DrawInnerOuterBorders(c, Bounds(x, 180, 80, 50), s, clWindow, clBtnFace, false);
        s.BorderInner = fsFlat;
        s.BorderWidth = 3;
        s.BorderColor = clYellow;
        DrawInnerOuterBorders(c, Bounds(x, 260, 80, 50), s, clWindow, clBtnFace, false);
    }
    Label(c, 10, 84, "shades of clSilver");
    Label(c, 10, 164, "outer style, flat colour clBlue + 30");
    Label(c, 10, 244, "with a 3-pixel band and an inner flat line");
    Save(bmp, "frames");
}

void GradientsPicture() {
    const char* names[10] = {"gdDiagonalUp", "gdDiagonalDown", "gdHorizontalEnd", "gdHorizontalCenter",
                             "gdHorizontalBox", "gdVerticalEnd", "gdVerticalCenter", "gdVerticalBox",
                             "gdSquareBox", "gdBigSquareBox"};
    TBitmap bmp(5 * 130 + 10, 2 * 110 + 10);
    TCanvas* c = bmp.GetCanvas();
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, bmp.GetWidth(), bmp.GetHeight()));
    for (int i = 0; i < 10; ++i) {
        int x = 10 + (i % 5) * 130, y = 10 + (i / 5) * 110;
        Label(c, x, y, names[i]);
        PaintGradient(c, Bounds(x, y + 18, 120, 80), TGradientDirection(i), 1, clWhite, 0x00AA623E);
    }
    Save(bmp, "gradients");
}

void GlyphsPicture() {
    TBitmap bmp(700, 260);
    TCanvas* c = bmp.GetCanvas();
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, 700, 260));
    Label(c, 10, 2, "scroll arrows (styles 0, 2; up, down, left, right), close crosses");
    for (int d = 0; d < 4; ++d) {
        c->GetBrush()->SetColor(clBtnFace);
        DrawScrollArrow(c, Bounds(10 + d * 24, 20, 20, 20), 0, true, clBlack, d);
        DrawScrollArrow(c, Bounds(110 + d * 24, 20, 20, 20), 2, true, clBlack, d);
        DrawScrollArrow(c, Bounds(210 + d * 24, 20, 20, 20), 0, false, clBlack, d);
    }
    DrawCloseCross(c, Bounds(320, 20, 14, 14), clBlack, true, false);
    DrawCloseCross(c, Bounds(340, 20, 9, 9), clBlack, true, false);
    DrawCloseCross(c, Bounds(360, 20, 14, 14), clBlack, false, false);
    Label(c, 10, 50, "flat check and radio glyphs: normal, down, hot, disabled; focused");
    TUiGlyphColors g;
    g.HotStartColor = BlendColors(clWhite, 0x00149BF0, 190);
    g.HotStopColor = 0x00149BF0;
    for (int state = 0; state < 4; ++state)
        for (int s = 0; s < 3; ++s) {
            DrawCheckBoxGlyph(c, Bounds(10 + (state * 3 + s) * 20, 70, 13, 13), TCheckBoxState(s), state, false, g);
            DrawRadioGlyph(c, Bounds(10 + (state * 3 + s) * 20, 90, 13, 13), s == 1, state, false, g, clBtnFace, false);
        }
    g.HotTrackStyle = htsFrame;
    DrawCheckBoxGlyph(c, Bounds(260, 70, 13, 13), cbChecked, gvsHot, true, g);
    DrawRadioGlyph(c, Bounds(260, 90, 13, 13), true, gvsHot, true, g, clBtnFace, false);
    Label(c, 10, 115, "gradient ring, LED bars (25 %, 70 %), percent bars (50 %, 5 / 8 parts)");
    DrawGradientRing(c, Bounds(10, 135, 60, 24), gdHorizontalEnd, g.HotStartColor, g.HotStopColor);
    DrawSegmentBar(c, Bounds(80, 135, 200, 20), orHorizontal, false, false, 25, 20, clWhite, clHighlight);
    DrawSegmentBar(c, Bounds(290, 135, 20, 100), orVertical, false, false, 70, 10, clWhite, clGreen);
    c->SetFont(TFont());
    DrawPercentBar(c, Bounds(80, 165, 200, 20), orHorizontal, 0, 0, false, false, true, 50, clWhite, 0x00AA623E);
    DrawPercentBar(c, Bounds(80, 195, 200, 20), orHorizontal, 8, 5, true, false, true, 62, clWhite, 0x00AA623E);
    DrawGradientPercentBar(c, Bounds(80, 225, 200, 20), orHorizontal, 0, 0, false, false, true, 75, clWhite,
                           0x00AA623E, gdHorizontalCenter, clBtnFace, clHighlight);
    Save(bmp, "glyphs");
}

// A form to place controls on; `build` fills it, then it is rendered.
void FormPicture(const std::string& name, int w, int h, const std::function<void(TForm*)>& build) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, w, h);
    form->SetColor(clBtnFace);
    build(form.get());
    form->Show();
    Application->ProcessMessages();
    std::unique_ptr<TBitmap> image = form->RenderToBitmap();
    if (image) Save(*image, name);
}

template <class T>
T* Place(TForm* f, TWinControl* parent, int x, int y, int w, int h) {
    auto* c = new T(f);
    c->SetParent(parent ? parent : f);
    c->SetBounds(x, y, w, h);
    return c;
}

void ButtonsPicture() {
    FormPicture("buttons", 520, 250, [](TForm* f) {
        auto* a = Place<TUiButton>(f, nullptr, 10, 10, 110, 28);
        a->SetCaption("&Classic");
        auto* b = Place<TUiButton>(f, nullptr, 130, 10, 110, 28);
        b->SetCaption("Colour");
        b->SetColor(clSilver);
        auto* d = Place<TUiButton>(f, nullptr, 250, 10, 110, 28);
        d->SetCaption("Default");
        d->SetDefault(true);
        auto* g = Place<TUiButton>(f, nullptr, 370, 10, 110, 28);
        g->SetCaption("Group, down");
        g->SetGroupIndex(1);
        g->SetDown(true);
        const char* captions[4] = {"Добавить", "Hot", "Pressed", "Disabled"};
        for (int i = 0; i < 4; ++i) {
            auto* h = Place<TUiButton>(f, nullptr, 10 + i * 125, 60, 110, 28);
            h->SetCaption(captions[i]);
            h->SetHotTrack(true);
            h->SetThemeAware(false);
            h->SetColor(i == 0 ? clLime : clSilver);
            if (i == 1) h->MouseEnter();
            if (i == 2) h->MouseDown(mbLeft, {}, 5, 5);
            if (i == 3) h->SetEnabled(false);
        }
        auto* r = Place<TUiButton>(f, nullptr, 10, 110, 110, 28);
        r->SetCaption("Raised text");
        r->SetTextStyle(tsRaised);
        auto* s = Place<TUiButton>(f, nullptr, 130, 110, 110, 28);
        s->SetCaption("Shadow text");
        s->SetTextStyle(tsShadow);
        auto* dis = Place<TUiButton>(f, nullptr, 250, 110, 110, 28);
        dis->SetCaption("Disabled");
        dis->SetEnabled(false);
    });
}

void ChecksPicture() {
    FormPicture("checks", 520, 200, [](TForm* f) {
        const char* captions[3] = {"Classic", "Flat", "Flat, hot frame"};
        for (int i = 0; i < 3; ++i) {
            for (int s = 0; s < 3; ++s) {
                auto* cb = Place<TUiCheckBox>(f, nullptr, 10 + i * 170, 10 + s * 24, 160, 20);
                cb->SetAutoSize(false);
                cb->SetCaption(std::string(captions[i]) + (s == 0 ? "" : s == 1 ? " checked" : " grayed"));
                cb->SetThemeAware(false);
                cb->SetHotTrack(i > 0);
                if (i == 2) cb->SetHotTrackStyle(htsFrame), cb->MouseEnter();
                cb->SetAllowGrayed(true);
                cb->SetState(TCheckBoxState(s));
            }
            // Each column's radio buttons on a panel of their own, so that each has a checked one.
            auto* column = Place<TUiPanel>(f, nullptr, 10 + i * 170, 90, 160, 48);
            column->SetBorderOuter(fsNone);
            column->SetCaption("");
            for (int s = 0; s < 2; ++s) {
                auto* rb = Place<TUiRadioButton>(f, column, 0, s * 24, 160, 20);
                rb->SetAutoSize(false);
                rb->SetCaption(std::string(captions[i]) + (s ? " checked" : ""));
                rb->SetThemeAware(false);
                rb->SetHotTrack(i > 0);
                if (i == 2) rb->SetHotTrackStyle(htsFrame);
                rb->SetChecked(s == 1);
            }
        }
        auto* d = Place<TUiCheckBox>(f, nullptr, 10, 150, 160, 20);
        d->SetAutoSize(false);
        d->SetCaption("Disabled, checked");
        d->SetThemeAware(false);
        d->SetChecked(true);
        d->SetEnabled(false);
    });
}

void PanelsPicture() {
    FormPicture("panels", 760, 400, [](TForm* f) {
        const char* styles[6] = {"gsStandard", "gsCustom", "gsTopLine", "gsFlat", "gsBanner", "gsUnderline"};
        for (int i = 0; i < 6; ++i) {
            auto* g = Place<TUiGroupBox>(f, nullptr, 10 + (i % 3) * 250, 10 + (i / 3) * 110, 240, 100);
            g->SetCaption(styles[i]);
            g->SetVisualStyle(vsClassic);
            g->SetGroupStyle(TUiGroupBoxStyle(i));
            if (i == 3) g->SetFlatColor(clBlue);
            if (i == 1) g->SetBorderOuter(fsGroove);
            if (i == 5) g->SetShowCheckBox(true);
        }
        const char* panels[5] = {"fsRaised", "fsLowered + flat inner", "vsGradient", "fsFlatRounded", "grid"};
        for (int i = 0; i < 5; ++i) {
            auto* p = Place<TUiPanel>(f, nullptr, 10 + i * 150, 240, 140, 70);
            p->SetCaption(panels[i]);
            if (i == 1) p->SetBorderOuter(fsLowered), p->SetBorderInner(fsFlat);
            if (i == 2) p->SetVisualStyle(vsGradient), p->SetGradientDirection(gdVerticalCenter);
            if (i == 3) p->SetBorderOuter(fsFlatRounded), p->SetColor(clWhite);
            if (i == 4) p->SetGridShow(true), p->SetGridStyle(1);
        }
        auto* bar = Place<TUiStatusBar>(f, nullptr, 0, 0, 760, 19);
        bar->SetCaption("Status bar");
        bar->SetAlignment(taLeftJustify);
    });
}

void GroupsPicture() {
    FormPicture("groups", 620, 240, [](TForm* f) {
        auto* r = Place<TUiRadioGroup>(f, nullptr, 10, 10, 180, 105);
        r->SetCaption("IMGREZ");
        r->SetVisualStyle(vsClassic);
        for (const char* s : {"640x480", "320x240", "160x120"}) r->GetItems()->Add(s);
        r->SetItemIndex(1);
        auto* h = Place<TUiRadioGroup>(f, nullptr, 200, 10, 180, 105);
        h->SetCaption("Flat items, hot track");
        h->SetVisualStyle(vsClassic);
        h->SetItemHotTrack(true);
        for (const char* s : {"COM", "USB"}) h->GetItems()->Add(s);
        h->SetColumns(2);
        h->SetItemIndex(0);
        auto* c = Place<TUiCheckGroup>(f, nullptr, 10, 125, 600, 50);
        c->SetCaption("Дни недели");
        c->SetVisualStyle(vsClassic);
        for (const char* s : {"Пн.", "Вт.", "Ср.", "Чт.", "Пт.", "Сб.", "Вс."}) c->GetItems()->Add(s);
        c->SetColumns(7);
        c->SetItemChecked(0, true);
        c->SetItemChecked(4, true);
        auto* fl = Place<TUiCheckGroup>(f, nullptr, 390, 10, 220, 105);
        fl->SetCaption("Flat check items");
        fl->SetVisualStyle(vsClassic);
        fl->SetItemHotTrack(true);
        for (const char* s : {"One", "Two", "Three"}) fl->GetItems()->Add(s);
        fl->SetItemChecked(1, true);
    });
}

void LevelsPicture() {
    FormPicture("levels", 640, 300, [](TForm* f) {
        auto* p = Place<TUiProgressBar>(f, nullptr, 10, 10, 200, 24);
        p->SetBarColor(11166270);
        p->SetBorderOuter(fsNone);
        p->SetPercent(25);
        auto* framed = Place<TUiProgressBar>(f, nullptr, 220, 10, 200, 24);
        framed->SetPercent(60);
        auto* led = Place<TUiProgressBar>(f, nullptr, 10, 45, 200, 24);
        led->SetBarStyle(bsLED);
        led->SetPercent(45);
        auto* grad = Place<TUiProgressBar>(f, nullptr, 220, 45, 200, 24);
        grad->SetBarStyle(bsGradient);
        grad->SetPercent(70);
        auto* parts = Place<TUiProgressBar>(f, nullptr, 10, 80, 200, 24);
        parts->SetShowParts(true);
        parts->SetTotalParts(1250);
        parts->SetPartsComplete(152);
        auto* vert = Place<TUiProgressBar>(f, nullptr, 430, 10, 24, 120);
        vert->SetPercent(35);

        auto* sig = Place<TUiMeter>(f, nullptr, 10, 140, 150, 30);
        sig->SetMax(31);
        for (int i = 0; i < 3; ++i) sig->SetSegCount(i, 5), sig->SetSegColor(i, clHighlight);
        sig->SetSegOffColor(14737632);
        sig->SetBackColor(clWhite);
        sig->SetBorderOuter(fsNone);
        sig->SetShowPercent(false);
        sig->SetValue(16);
        auto* leds = Place<TUiMeter>(f, nullptr, 170, 140, 150, 30);
        leds->SetValue(80);
        auto* bar = Place<TUiMeter>(f, nullptr, 330, 140, 150, 30);
        bar->SetMeterType(mtBar3D);
        bar->SetBorderOuter(fsLowered);
        bar->SetValue(60);
        auto* trap = Place<TUiMeter>(f, nullptr, 10, 190, 200, 60);
        trap->SetMeterShape(msTrapezoidal);
        trap->SetBorderOuter(fsLowered);
        trap->SetTrapezoidDir(tdSmallToLarge);
        trap->SetValue(70);
        auto* trapLed = Place<TUiMeter>(f, nullptr, 220, 190, 200, 60);
        trapLed->SetMeterShape(msTrapezoidal);
        trapLed->SetTrapezoidDir(tdSmallToLarge);
        trapLed->SetValue(70);
        auto* up = Place<TUiMeter>(f, nullptr, 490, 140, 40, 140);
        up->SetDirection(dirUp);
        up->SetValue(55);
        auto* border = Place<TUiBorder>(f, nullptr, 540, 140, 80, 80);
        border->SetBorderOuter(fsFlatRounded);
        border->SetFlatColor(clBlue);
    });
}

void GridPicture() {
    FormPicture("grid", 880, 420, [](TForm* f) {
        auto* g = Place<TUiStringGrid>(f, nullptr, 10, 10, 861, 190);
        g->SetColCount(9);
        g->SetRowCount(15002);
        g->SetDefaultRowHeight(24);
        const int widths[9] = {30, 102, 128, 126, 111, 92, 118, 87, 30};
        const char* heads[8] = {"№", "Номер", "Наименование", "Права", "Действует до", "Проходов", "Расписание", "Тип записи"};
        for (int i = 0; i < 9; ++i) g->SetColWidths(i, widths[i]);
        for (int i = 0; i < 8; ++i) g->SetCells(i, 0, heads[i]);
        for (int r = 1; r < 15002; ++r) {
            g->SetCells(0, r, std::to_string(r));
            g->SetCells(1, r, "+7900" + std::to_string(1000000 + r));
        }
        g->SetTopRow(7000);
        auto* framed = Place<TUiStringGrid>(f, nullptr, 10, 210, 420, 190);
        framed->SetFrameHotTrack(true);
        framed->SetFrameColor(clBlue);
        framed->SetLineColor(clWindow);
        for (int r = 1; r < 5; ++r) framed->SetCells(1, r, "cell " + std::to_string(r));
        auto* hot = Place<TUiStringGrid>(f, nullptr, 450, 210, 420, 190);
        hot->SetFrameHotTrack(true);
        hot->SetFrameHotColor(clRed);
        hot->MouseEnter();
    });
}

void TabsPicture() {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetColor(clWhite);
    BuildTabsGallery(*form);
    form->Show();
    Application->ProcessMessages();
    std::unique_ptr<TBitmap> image = form->RenderToBitmap();
    if (image) Save(*image, "tabs");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zentor_gallery <folder>\n");
        return 2;
    }
    g_Folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(g_Folder, ec);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplicationScope scope;  // the Qt application ends with main
    Application->Initialize();
    FramesPicture();
    GradientsPicture();
    GlyphsPicture();
    ButtonsPicture();
    ChecksPicture();
    PanelsPicture();
    GroupsPicture();
    LevelsPicture();
    GridPicture();
    TabsPicture();
    std::fflush(stdout);
    return g_Ok ? 0 : 1;
}
