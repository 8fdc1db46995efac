#include "app/Unit1.h"

// The camera picture sits on the status page, above the notice memo; a click enlarges it.
void TForm1::BuildPhotoControls() {
    Panel15 = new TUiPanel(this);
    Panel15->SetParent(TabSheet2);
    Panel15->SetName("Panel15");
    Panel15->SetBounds(440, 150, 410, 310);
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
}
