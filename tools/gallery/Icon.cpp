// zentor_icon <file.png> <size>: the tool's icon, drawn by its own widget set: a window with
// the title bar's blue and the signal meter as rising LEDs.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "GalleryPng.h"
#include "app/TitleIcons.h"
#include "platform/ui/Forms.h"
#include "widgets/UiBorder.h"
#include "widgets/UiPanel.h"

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[2]) : 0;
    if (size < 16) {
        std::fprintf(stderr, "usage: zentor_icon <file.png> <size of 16 or more>\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplicationScope scope;  // the Qt application ends with main
    Application->Initialize();
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, size, size);
    form->SetColor(clBtnFace);
    auto* title = new TUiPanel(form.get());
    title->SetParent(form.get());
    title->SetBounds(0, 0, size, size / 4);
    title->SetBorderOuter(fsNone);
    title->SetColor(kTitleColor);
    auto* meter = new TUiMeter(form.get());
    meter->SetParent(form.get());
    meter->SetBounds(size / 8, size * 3 / 8, size * 3 / 4, size / 2);
    meter->SetMeterShape(msTrapezoidal);
    meter->SetTrapezoidDir(tdSmallToLarge);
    meter->SetBorderOuter(fsNone);
    meter->SetSegOffColor(0x00A0A0A0);  // unlit: grey
    meter->SetShowPercent(false);
    meter->SetValue(70);
    form->Show();
    Application->ProcessMessages();
    const std::unique_ptr<TBitmap> image = form->RenderToBitmap();
    const bool ok = image && WriteGalleryPng(*image, argv[1]);
    if (!ok) std::fprintf(stderr, "zentor_icon: cannot write %s\n", argv[1]);
    return ok ? 0 : 1;
}
