// The login animation on the main window and the server-traffic window.
#include "app/Unit1.h"

namespace {

// The traffic window's memo, made on first use: the window itself belongs to the shell.
TMemo* TrafficMemo() {
    if (!Form2) return nullptr;
    if (auto* memo = dynamic_cast<TMemo*>(Form2->FindComponent("Memo1"))) return memo;
    auto* memo = new TMemo(Form2);
    memo->SetName("Memo1");
    memo->SetParent(Form2);
    memo->SetAlign(alClient);
    memo->SetReadOnly(true);
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    memo->Clear();
    Form2->SetClientSize(640, 480);
    Form2->OnClose = [](TObject*, TCloseAction& action) {
        // Only hidden: the lines stay for the next opening.
        g_TrafficLogOn = 0;
        action = caHide;
    };
    return memo;
}

}  // namespace

void AddTrafficLines(const std::vector<std::string>& lines) {
    TMemo* memo = TrafficMemo();
    if (!memo) return;
    for (const std::string& line : lines) memo->GetLines()->Add(line);
    memo->ScrollToEnd();
}

void TForm1::Button15Click(TObject*) {
    if (!TrafficMemo()) return;
    Form2->Show();
    g_TrafficLogOn = 1;
}

void TForm1::StartAnimate() {
    g_AnimStep = 0;
    g_AnimTicks = 0;
    SetStateAnimate(0, false, "");
    AnimateTimer->SetEnabled(true);
    AnimateConnectionPanel->SetVisible(true);
    AnimateConnectionPanel->BringToFront();
    MESPANEL->BringToFront();  // a message shown (or to come) stays over it
    Button19Click(this);
}

void TForm1::StopAnimate() {
    AnimateTimer->SetEnabled(false);
    AnimateConnectionPanel->SetVisible(false);
}

void TForm1::SetStateAnimate(int stage, bool ok, const std::string& text) {
    switch (stage) {
        case 0:
            AnCh1->SetVisible(false);
            AnCh2->SetVisible(false);
            AnUnCh1->SetVisible(false);
            AnUnCh2->SetVisible(false);
            AnL1->SetVisible(true);
            AnL2->SetVisible(false);
            g_AnimTicks = kAnimTicksStage;
            break;
        case 1:
            AnL1->SetVisible(false);
            AnL2->SetVisible(ok);
            AnCh1->SetVisible(ok);
            AnUnCh1->SetVisible(!ok);
            if (ok)
                ++g_AnimStep;
            else
                g_AnimStep = -1;
            g_AnimTicks = kAnimTicksStage;
            break;
        case 2:
            AnL2->SetVisible(false);
            AnCh2->SetVisible(ok);
            AnUnCh2->SetVisible(!ok);
            if (ok) {
                ++g_AnimStep;
                g_AnimTicks = kAnimTicksLoggedIn;
            } else {
                g_AnimStep = -1;
                g_AnimTicks = kAnimTicksFailed;
            }
            break;
        default:
            break;
    }
    AnMes->SetCaption(text);
    AnimateConnectionPanel->SetHeight(text.empty() ? kAnimPanelHeight : kAnimPanelHeightText);
}

void TForm1::AnimateTimerTimer(TObject*) {
    if (g_AnimStep == 0) AnL1->SetVisible(!AnL1->GetVisible());
    if (g_AnimStep == 1) AnL2->SetVisible(!AnL2->GetVisible());
    if (g_AnimTicks != 0 && --g_AnimTicks == 0) StopAnimate();
}
