// A gallery of the tab strips: the six tab shapes on each side, several rows, the strip's
// buttons, vertical text, the reverse sequence with coloured tabs and a scrolling strip.
// Every strip's card must be framed; with ZENTOR_GALLERY_DIR set the picture is written there
// as tabs.png for review.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Forms.h"
#include "widgets/UiTabs.h"

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    Put32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

bool WritePng(const TBitmap& b, const std::string& path) {
    const int w = b.GetWidth(), h = b.GetHeight();
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) {
            TColor c = b.GetPixel(x, y);
            raw.push_back(static_cast<std::uint8_t>(GetRValue(c)));
            raw.push_back(static_cast<std::uint8_t>(GetGValue(c)));
            raw.push_back(static_cast<std::uint8_t>(GetBValue(c)));
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size())) != Z_OK) return false;
    packed.resize(size);
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Put32(header, static_cast<std::uint32_t>(w));
    Put32(header, static_cast<std::uint32_t>(h));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", {});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

TUiPageControl* Strip(TForm& form, int x, int y, int w, int h, std::initializer_list<const char*> captions,
                      int active) {
    auto* pc = new TUiPageControl(&form);
    pc->SetParent(&form);
    pc->SetBounds(x, y, w, h);
    for (const char* c : captions) {
        auto* p = new TUiTabSheet(&form);
        p->SetCaption(c);
        p->SetColor(clWhite);
        p->SetPageControl(pc);
    }
    pc->SetActivePageIndex(active);
    return pc;
}

}  // namespace

TEST(TabsGallery, EveryStripIsFramed) {
    RegisterApplicationFonts();
    TForm form(nullptr);
    form.SetBounds(0, 0, 900, 1060);
    form.SetColor(clWhite);
    std::vector<TUiPageControl*> strips;
    int y = 5;
    for (TUiTabStyle style : {tsSingleSlant, tsDoubleSlant, tsCutCorner, tsRoundCorners, tsBackSlant, tsSquareCorners}) {
        int x = 5;
        for (TUiTabOrientation side : {toTop, toBottom, toLeft, toRight}) {
            TUiPageControl* pc = Strip(form, x, y, 210, 120, {"&One", "Two", "Three"}, 1);
            pc->SetTabStyle(style);
            pc->SetTabOrientation(side);
            strips.push_back(pc);
            x += 222;
        }
        y += 130;
    }
    TUiPageControl* rows = Strip(form, 5, y, 210, 150, {"One", "Two", "Three", "Four", "Five", "Six", "Seven"}, 5);
    rows->SetMultiLine(true);
    TUiPageControl* buttons = Strip(form, 227, y, 210, 150, {"Alpha", "Beta", "Gamma"}, 1);
    buttons->SetShowCloseButton(true);
    buttons->SetShowMenuButton(true);
    buttons->SetShowCloseButtonOnActiveTab(true);
    buttons->SetHotTrackStyle(htsTabBar);
    TUiPageControl* vertical = Strip(form, 449, y, 210, 150, {"Vertical", "Text"}, 0);
    vertical->SetTabOrientation(toLeft);
    vertical->SetTextOrientation(orVertical);
    TUiPageControl* reverse = Strip(form, 671, y, 210, 150, {"Reverse", "Blue", "Tabs"}, 0);
    reverse->SetTabSequence(tsReverse);
    reverse->Pages(1)->SetColor(clAqua);
    y += 160;
    TUiPageControl* scrolled =
        Strip(form, 5, y, 300, 100, {"First tab", "Second tab", "Third tab", "Fourth tab", "Fifth tab"}, 2);
    TUiPageControl* settings = Strip(form, 320, y, 560, 100, {"Основные параметры", "Входы/Выходы", "Доп. оборудование"}, 2);
    TFont font;
    font.SetHeight(-19);
    settings->SetFont(font);
    settings->SetButtonColor(clWhite);
    strips.insert(strips.end(), {rows, buttons, vertical, reverse, scrolled, settings});

    form.Show();
    std::unique_ptr<TBitmap> picture = form.RenderToBitmap();
    const TColor frame = ColorToRGB(clBtnShadow);
    for (TUiPageControl* pc : strips) {
        const TRect card = pc->CardRect(0);
        // The corner of the card away from the tabs is always framed.
        const int cx = pc->GetTabOrientation() == toRight ? card.Left : card.Right - (pc->GetShowShadow() && pc->GetTabOrientation() == toTop && pc->GetTabSequence() == tsStandard ? 2 : 0);
        const int cy = pc->GetTabOrientation() == toBottom ? card.Top : card.Bottom - (pc->GetShowShadow() && pc->GetTabOrientation() == toTop && pc->GetTabSequence() == tsStandard ? 2 : 0);
        EXPECT_EQ(picture->GetPixel(pc->GetLeft() + cx, pc->GetTop() + cy), frame) << pc->GetTabStyle() << " " << pc->GetTabOrientation();
    }
    EXPECT_TRUE(scrolled->GetTabsScrolled());
    EXPECT_EQ(settings->GetFixedDimension(), 29);

    if (const char* dir = std::getenv("ZENTOR_GALLERY_DIR"))
        EXPECT_TRUE(WritePng(*picture, std::string(dir) + "/tabs.png"));
}
