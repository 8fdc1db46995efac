#pragma once
// The tab strips of the gallery: the six tab shapes on each side, several rows, the strip's
// buttons, vertical text, the reverse sequence with coloured tabs, a scrolling strip and the
// settings strip. Shared by the gallery and the test that checks every strip is framed.
#include <vector>

class TForm;
class TUiPageControl;

struct TTabsGallery {
    std::vector<TUiPageControl*> Strips;  // every strip, the special ones last
    TUiPageControl* Scrolled = nullptr;
    TUiPageControl* Settings = nullptr;
};

// Places the strips on `form` (900 x 1060), owned by it.
TTabsGallery BuildTabsGallery(TForm& form);
