// Number-base synchronisation: the marked rows of the number grid go to the server in rounds,
// the server's results clear their marks, and each acknowledged addition round starts the next.
#include <vector>

#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "platform/ui/Grids.h"

namespace {

TStringGrid* PhoneGrid(TForm1* form) { return dynamic_cast<TStringGrid*>(form->FindComponent("PhonesGrid")); }

std::vector<TPhoneGridRow> GridRows(TStringGrid* grid) {
    std::vector<TPhoneGridRow> rows(static_cast<std::size_t>(grid->GetRowCount()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < kPhoneGridColumns && c < grid->GetColCount(); ++c)
            rows[r][c] = grid->GetCells(c, static_cast<int>(r));
    return rows;
}

std::vector<std::string> ScheduleTemplates(TForm1* form) {
    std::vector<std::string> names;
    if (auto* combo = dynamic_cast<TComboBox*>(form->FindComponent("aShedule")))
        for (int i = 0; i < combo->GetItems()->Count(); ++i) names.push_back(combo->GetItems()->Get(i));
    return names;
}

}  // namespace

void TForm1::SynchronizeJSON() {
    TStringGrid* grid = PhoneGrid(this);
    if (!grid) return;
    for (const Json::Value& request :
         SynchronizeRound(GridRows(grid), ScheduleTemplates(this), g_SessionImei, g_SessionPass, g_SyncState))
        SendCloudRequest(CloudSocket(), request);
}

void TForm1::CloudSyncAck(const std::string& mark, const Json::Value& data) {
    TStringGrid* grid = PhoneGrid(this);
    if (!grid) return;
    std::vector<TPhoneGridRow> rows = GridRows(grid);
    const TSyncAck ack = ApplySyncAck(rows, mark, data, g_SyncState);
    if (ack.Unasked || ack.Mismatch) {
        MiniLog(ack.Unasked ? UnaskedReplyLine(mark) : SyncMismatchLine(mark, ack.Results, ack.Sent), 1);
        return;
    }
    HideWaitPanel(kNoText);
    for (std::size_t r = 1; r < rows.size(); ++r)
        if (grid->GetColCount() > colSync)
            grid->SetCells(colSync, static_cast<int>(r), rows[r][colSync]);
    // Done only once the server has answered for every marked row.
    if (ack.Done)
        MessageShow(kSyncDoneText);
    else if (!ack.NotTaken.empty())
        MessageShow(SyncNotTakenText(ack.NotTaken));
    else
        ShowWaitPanel(kSyncWaitSeconds, 0, kSyncWaitText);
}

void TForm1::StartNumberSync() {
    // A round still out is left to its acknowledgement: sending its rows again would let
    // two acknowledgements clear the marks of rows that never went.
    if (!g_CloudSession || g_SyncState.Sent) return;
    g_SyncState.Refusals.clear();  // rows the server refused before get their chance again
    SynchronizeJSON();
}

void TForm1::NumberSyncStep() {
    if (SyncRoundUnanswered(g_SyncState)) {
        if (WaitShows(kSyncWaitText)) HideWaitPanel(kNoText);
        MessageShow(ReadLangStr(kSyncUnansweredText));
        return;
    }
    if (SyncRoundDue(g_SyncState)) SynchronizeJSON();
}

// The wait for the server costs no wakeups; the pace one at its end.
unsigned TForm1::NumberSyncDue() const { return SyncTicksToWork(g_SyncState); }
