// The gallery's tab strips: every strip's card must be framed, the scrolling strip scrolls and
// the settings strip comes out at the designed 29 pixels.
#include <gtest/gtest.h>

#include <memory>

#include "platform/ui/Forms.h"
#include "tools/gallery/TabsGallery.h"
#include "widgets/UiTabs.h"

TEST(TabsGallery, EveryStripIsFramed) {
    RegisterApplicationFonts();
    TForm form(nullptr);
    TTabsGallery g = BuildTabsGallery(form);
    form.Show();
    std::unique_ptr<TBitmap> picture = form.RenderToBitmap();
    const TColor frame = ColorToRGB(clBtnShadow);
    for (TUiPageControl* pc : g.Strips) {
        const TRect card = pc->CardRect(0);
        // The corner of the card away from the tabs is always framed.
        const bool shadowed = pc->GetShowShadow() && pc->GetTabOrientation() == toTop && pc->GetTabSequence() == tsStandard;
        const int cx = pc->GetTabOrientation() == toRight ? card.Left : card.Right - (shadowed ? 2 : 0);
        const int cy = pc->GetTabOrientation() == toBottom ? card.Top : card.Bottom - (shadowed ? 2 : 0);
        EXPECT_EQ(picture->GetPixel(pc->GetLeft() + cx, pc->GetTop() + cy), frame) << pc->GetTabStyle() << " " << pc->GetTabOrientation();
    }
    EXPECT_TRUE(g.Scrolled->GetTabsScrolled());
    EXPECT_EQ(g.Settings->GetFixedDimension(), 29);
}
