#include "TabsGallery.h"

#include <initializer_list>

#include "platform/ui/Forms.h"
#include "widgets/UiTabs.h"

namespace {

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

TTabsGallery BuildTabsGallery(TForm& form) {
    form.SetBounds(0, 0, 900, 1060);
    form.SetColor(clWhite);
    TTabsGallery g;
    std::vector<TUiPageControl*>& strips = g.Strips;
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

    g.Scrolled = scrolled;
    g.Settings = settings;
    return g;
}
