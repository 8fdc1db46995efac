// The event-log page: the device's log block by block (0x2E), export, clearing and the
// read button that asks the cloud.
#include <algorithm>
#include <span>

#include "app/Unit1.h"
#include "config/ConfigTransfer.h"
#include "config/StatusRecord.h"
#include "device/DeviceLink.h"
#include "device/LinkPeers.h"
#include "memory/MemoryState.h"
#include "platform/ui/Dialogs.h"

namespace {

constexpr int kOutgoing = 0;
constexpr std::uint32_t kLogReadWaitSeconds = 60;

}  // namespace

std::vector<TLogGridRow> TForm1::LogGridRows() const {
    std::vector<TLogGridRow> rows(HrGrid->GetRowCount());
    for (int r = 0; r < HrGrid->GetRowCount(); ++r)
        for (int c = 0; c < kLogGridColumns && c < HrGrid->GetColCount(); ++c) rows[r][c] = HrGrid->GetCells(c, r);
    return rows;
}

void TForm1::LogsStructToGrid(const std::vector<EventRecord>& records) {
    if (records.empty()) return;
    ClearLogs();
    const std::vector<TLogGridRow> rows = EventRecordsToGridRows(records);
    HrGrid->SetRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t i = 0; i < rows.size(); ++i)
        HrGrid->SetRow(static_cast<int>(i) + 1, std::vector<std::string>(rows[i].begin(), rows[i].end()));
}

void TForm1::ShowLogRows(const std::vector<TLogGridRow>& rows) {
    const std::vector<std::string> empty(HrGrid->GetColCount());
    for (int r = 1; r < HrGrid->GetRowCount(); ++r) HrGrid->SetRow(r, empty);
    HrGrid->SetRowCount(std::max(static_cast<int>(rows.size()), kClearedLogRows));
    for (std::size_t r = 1; r < rows.size(); ++r)
        HrGrid->SetRow(static_cast<int>(r), std::vector<std::string>(rows[r].begin(), rows[r].end()));
}

void TForm1::ClearLogs() {
    ShowLogRows({});
    g_LogNextRow = 1;
}

namespace {

void ShowLogProgress(TUiProgressBar* bar, int percent) {
    if (percent < 0) {
        bar->SetVisible(false);
        return;
    }
    bar->SetVisible(true);
    bar->SetPercent(percent);
}

}  // namespace

void TForm1::Reply_EventLog(const TDeviceReply& reply) {
    HideWaitPanel(kNoText);
    g_LogRead.SetLink(RequestRoute());
    const TTransferStep step = g_LogRead.OnReply(std::span<const std::uint8_t>(reply.Data, reply.Size));
    if (step.End == TTransferEnd::Empty) ClearLogs();
    if (step.End == TTransferEnd::Completed) LogsStructToGrid(g_LogRead.TakeRecords());
    // The count reply names the read before asking for its first block.
    if (!step.Message.empty() && step.End == TTransferEnd::None) MessageShow(step.Message);
    if (!step.Request.empty()) {
        const std::uint32_t ends = g_TransferEnds;
        SendCommand(CmdReadEventLog, step.Request);
        if (g_TransferEnds != ends) return;  // the link is gone, and the read with it
    }
    if (!step.PanelText.empty()) MessageShowOnMainForm(step.PanelText);
    if (step.ProgressChanged && step.Percent >= 0) ShowLogProgress(LogBar, step.Percent);
    if (step.MessageNumber != 0) MessageShow(GetMessageA(step.MessageNumber));
    if (!step.Message.empty() && step.End != TTransferEnd::None) MessageShow(step.Message);
    if (step.End == TTransferEnd::Completed) {
        g_BusyTransfer = 0;
        ShowLogProgress(LogBar, -1);
    }
}

void TForm1::LogBlockRetryStep() {
    const TTransferStep step = g_LogRead.OnTick();
    if (step.End == TTransferEnd::NoAnswer) {
        // The grid keeps what it showed before.
        ShowLogProgress(LogBar, -1);
        MessageShow(GetMessageA(step.MessageNumber) + "\r\n" + ReadLangStr(step.Message));
        return;
    }
    if (!step.Request.empty()) {
        const std::uint32_t ends = g_TransferEnds;
        SendCommand(CmdReadEventLog, step.Request);
        if (g_TransferEnds != ends) return;
    }
    if (!step.PanelText.empty()) MessageShowOnMainForm(step.PanelText);
}

unsigned TForm1::LogBlockRetryDue() const { return g_LogRead.TicksToWork(); }

void TForm1::ClearMemHronologyClick(TObject* /*Sender*/) {
    if (AnotherTransferRuns()) return;
    if (MessageBox(kTextLogClearQuestion, "Информация", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
    if (g_CloudSession) {
        if (g_CloudClearChrono) g_CloudClearChrono();
        MiniLog(kLogClearCommand, kOutgoing);
        return;
    }
    SendCommand(CmdReadEventLog, LogClearData());
}

void TForm1::Button10Click(TObject* /*Sender*/) {
    SaveDialog->SetFileName(EventLogExportFileName(StatusImei(g_StatusRecord)));
    if (!SaveDialog->Execute()) return;
    SaveFileOrTell(SaveDialog->GetFileName(), EventLogExport(LogGridRows()));
}

void TForm1::HronologyGetClick(TObject* /*Sender*/) {
    if (AnotherTransferRuns()) return;
    const TDateTime start = STDATE->GetDate();
    const TDateTime end = ENDATE->GetDate();
    ShowWaitPanel(kLogReadWaitSeconds, 0, kTextLogReadWait);
    // The grid keeps what it shows until the read has all its rows.
    g_CloudLogRows.assign(1, TLogGridRow{});
    g_LogNextRow = 1;
    const int operation = FOper->GetItemIndex() < 0 ? 0 : FOper->GetItemIndex();
    if (g_CloudChronoRequest) g_CloudChronoRequest(start, end, operation, HrNum->GetText());
    MiniLog(kLogChronoRequest, kOutgoing);
}

bool TForm1::CloudLogWaits() const { return WaitShows(kTextLogReadWait); }

void TForm1::CheckBox1Click(TObject* /*Sender*/) {
    if (!CheckBox1->GetChecked()) HrNum->SetText("");
}

std::int32_t TForm1::FindInLogTable(const std::string& value, int column) const {
    return ::FindInLogTable(LogGridRows(), value, column);
}
