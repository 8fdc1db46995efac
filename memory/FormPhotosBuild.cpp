#include "app/Unit1.h"

// The camera picture sits on the status page, above the notice memo; a click on the log
// page's preview of an event picture brings it here, as large as the page allows.
// A page is laid out when first shown: the picture is placed again then, to keep clear of
// the page's controls.
void TForm1::BuildPhotoControls() {
    Panel15 = new TUiPanel(this);
    Panel15->SetParent(TabSheet2);
    Panel15->SetName("Panel15");
    Panel15->SetBounds(420, 164, kPhotoPanelWidth, kPhotoPanelHeight);
    Panel15->SetBorderOuter(fsNone);
    Panel15->SetColor(clWhite);

    CAMImage = new TImage(this);
    CAMImage->SetParent(Panel15);
    CAMImage->SetName("CAMImage");
    CAMImage->SetAlign(alClient);
    CAMImage->SetStretch(true);
    CAMImage->SetProportional(true);
    CAMImage->SetCenter(true);
    CAMImage->OnClick = [this](TObject* s) { CAMImageClick(s); };

    if (HrGrid) HrGrid->OnDblClick = [this](TObject* s) { HrGridDblClick(s); };
    TabSheet2->OnResize = [this](TObject*) {
        if (Panel15->GetParent() == TabSheet2) PlacePhotoPanelOnStatus();
    };
    if (UiGroupBox22)
        UiGroupBox22->OnResize = [this](TObject*) {
            if (Panel15->GetParent() == UiGroupBox22) PlacePhotoPanelOnLog();
        };
}
