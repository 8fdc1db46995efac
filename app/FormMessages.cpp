// The message panel, the wait panel with its time-out, the title-bar progress strip and the
// action log.
#include "app/ShellLayout.h"
#include "app/Unit1.h"
#include "app/WaitPanelState.h"
#include "config/ConfigTransfer.h"

namespace {

constexpr int kMessagePage = 0;
constexpr int kWaitPage = 3;
constexpr int kTimeoutMessage = 4;

}  // namespace

void TForm1::MessageShow(const std::string& text) {
    PageControlMes->SetActivePageIndex(kMessagePage);
    MESLABEL->SetCaption(text);
    MESPANEL->SetVisible(true);
    MESPANEL->BringToFront();  // over any panel, so that its button can be reached
    if (OKMES->CanFocus()) OKMES->SetFocus();
}

void MessageShowOnMainForm(const std::string& text) {
    if (Form1) Form1->MessageShow(text);
}

void TForm1::OKMESClick(TObject* /*Sender*/) {
    MESPANEL->SetVisible(false);
    const bool loginWaits = g_LoginRetryTicks != 0;
    g_LoginRetryTicks = 0;  // a pending login repetition stops
    if (loginWaits) CloudLoginWaitEnded();
}

void TForm1::Button2Click(TObject* /*Sender*/) { MESPANEL->SetVisible(false); }

void ShowWaitPanel(std::uint32_t amount, std::uint32_t total, const std::string& text) {
    TForm1* f = Form1;
    if (!f) return;
    TWaitCounters counters{g_WaitTicks, g_WaitLimit};
    TWaitBar bar{f->ProgressBar2->GetNumSegments(), f->ProgressBar2->GetPercent()};
    OpenWait(counters, bar, amount, total);
    f->ProgressBar2->SetNumSegments(bar.Segments);
    f->ProgressBar2->SetPercent(bar.Percent);
    g_WaitTicks = counters.Ticks;
    g_WaitLimit = counters.Limit;
    f->TimerProgress->SetEnabled(true);
    if (text != kNoText) f->Lprocess->SetCaption(text);
    f->PageControlMes->SetActivePageIndex(kWaitPage);
    f->MESPANEL->SetVisible(true);
}

void EndWait(TWaitEnd why, const std::string& text) {
    g_BusyTransfer = 0;
    g_ConfigWaitMessage = 0;  // no configuration request waits any longer
    g_WaitTicks = 0;
    TForm1* f = Form1;
    if (!f) return;
    f->TimerProgress->SetEnabled(false);
    // Its answer closes the panel with the wait's own lines on it; a wait cut short leaves a
    // message or the password page shown over it for the user to close.
    if (why == TWaitEnd::Answered || f->PageControlMes->GetActivePageIndex() == kWaitPage)
        f->MESPANEL->SetVisible(false);
    if (text != kNoText) f->MessageShow(text);
}

void HideWaitPanel(const std::string& text) { EndWait(TWaitEnd::Answered, text); }

void TForm1::TimerProgressTimer(TObject* /*Sender*/) {
    TWaitCounters counters{g_WaitTicks, g_WaitLimit};
    TWaitBar bar{ProgressBar2->GetNumSegments(), ProgressBar2->GetPercent()};
    const bool timedOut = TickWait(counters, bar);
    ProgressBar2->SetPercent(bar.Percent);
    g_WaitTicks = counters.Ticks;
    if (timedOut) HideWaitPanel(GiveUpCloudLogConnection() ? kServerUnavailableText : GetMessageA(kTimeoutMessage));
}

bool TForm1::WaitShows(const std::string& text) const {
    return TimerProgress->GetEnabled() && Lprocess->GetCaption() == text;
}

void TForm1::SetPercentProgress(int percent, const std::string& text) {
    if (percent == -1) {
        ProcPanel->SetVisible(false);
        return;
    }
    ProcPanel->SetVisible(true);
    ProcPanel->SetWidth(ProgressStripWidth(Panel9->GetWidth(), Panel22->GetWidth(), percent));
    ProcPanel->SetCaption(std::to_string(percent) + " % " + text);
}

void TForm1::MiniLog(const std::string& text, int incoming) {
    TStrings* lines = MiniLOG->GetLines();
    if (incoming == 0) {
        lines->Add("");
        MiniLOG->GetFont()->SetColor(RGB(255, 0, 0));
        lines->Add(text);
    } else {
        MiniLOG->GetFont()->SetColor(RGB(0, 0, 255));
        lines->Add("<< " + text);
    }
    MiniLOG->ScrollToEnd();
}
