// The whole number base to and from the device, block by block (0x2C reads, 0x2D writes).
#include <cstring>
#include <span>

#include "app/ShellState.h"
#include "app/Unit1.h"
#include "config/ConfigTransfer.h"
#include "device/AskedReplies.h"
#include "device/DeviceLink.h"
#include "device/LinkPeers.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"

namespace {

constexpr int kOutgoing = 0;
constexpr int kIncoming = 1;

std::span<const std::uint8_t> DataOf(const TDeviceReply& reply) { return {reply.Data, reply.Size}; }

}  // namespace

void TForm1::RunTransferStep(std::uint8_t command, const TTransferStep& step) {
    if (!step.Request.empty()) {
        const std::uint32_t ends = g_TransferEnds;
        int sent;
        if (command == CmdWriteNumbers && step.Request.size() <= g_TxBuffer.size()) {
            // Write blocks are laid out in the shared transmit buffer.
            std::memcpy(g_TxBuffer.data(), step.Request.data(), step.Request.size());
            sent = SendCommand(command, g_TxBuffer.data(), step.Request.size());
        } else {
            sent = SendCommand(command, step.Request);
        }
        if (step.End == TTransferEnd::EraseSent && sent > 0) AwaitPhonesErase();
        // A send that found the link gone has ended the transfer and said so.
        if (g_TransferEnds != ends) return;
    }
    if (step.AskCount) {
        const std::uint32_t ends = g_TransferEnds;
        SendCommand(CmdReadNumbers, PhonesReadStartData());
        if (g_TransferEnds != ends) return;
    }
    if (!step.PanelText.empty()) MessageShowOnMainForm(step.PanelText);
    if (step.ProgressChanged) SetPercentProgress(step.Percent, step.ProgressText);
    // The wait closes before the closing message, which would otherwise vanish with it.
    if (step.End == TTransferEnd::Completed || step.End == TTransferEnd::NoAnswer ||
        step.End == TTransferEnd::Unconfirmed)
        HideWaitPanel(kNoText);
    std::string text = ReadLangStr(step.Message);
    if (step.MessageNumber != 0) text = GetMessageA(step.MessageNumber) + (text.empty() ? "" : "\r\n" + text);
    if (!text.empty()) MessageShow(text);
    if (step.ResultCode >= 0)
        MessageShow(ErrorCodeToText(static_cast<std::uint8_t>(step.ResultCode), [this](int n) { return GetMessageA(n); }));
    switch (step.End) {
        case TTransferEnd::None:
            break;
        case TTransferEnd::Completed:
            g_BusyTransfer = 0;
            break;
        case TTransferEnd::Empty:
            ClearTableClick(this);
            break;
        case TTransferEnd::EraseSent:
            g_BusyTransfer = 0;
            break;
        case TTransferEnd::NoAnswer:
        case TTransferEnd::Unconfirmed:
            // The grid keeps what it showed before.
            g_BusyTransfer = 0;
            g_PhoneReadRows.Clear();
            SetPhoneRecords({});
            break;
    }
}

void TForm1::AwaitPhonesErase() {
    const TLink link = RequestRoute();
    g_AskedReplies.Ask(TAsk::EraseNumbers, link, sys::ListenMs(), 1000LL * PhonesWaitSeconds(link));
}

bool TForm1::PhonesWriteReplyAwaited(const TDeviceReply& reply) {
    const auto r = DecodePhonesWriteReply(DataOf(reply));
    if (!r) return true;
    // A refusal while an erase waits is its answer: no write runs beside it.
    const bool erased = r->Result == 0 && r->Detail == kPhonesWriteErased;
    if (!erased && (r->Result == 0 || !g_AskedReplies.Awaits(TAsk::EraseNumbers, sys::ListenMs()))) return true;
    if (g_AskedReplies.Answer(TAsk::EraseNumbers, sys::ListenMs())) return true;
    MiniLog(UnaskedDeviceReplyLine(reply.Command), kIncoming);
    return false;
}

void TForm1::UiButton5Click(TObject* /*Sender*/) {
    if (AnotherTransferRuns()) return;
    StartReadPhonesMemory();
    if (g_CloudSession) MiniLog(kLogPhonesRead, kOutgoing);
}

void TForm1::UiButton6Click(TObject* /*Sender*/) {
    if (AnotherTransferRuns()) return;
    if (MessageBox(kTextPhonesWriteQuestion, "Информация", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
    StartWritePhonesMemory();
    if (g_CloudSession) MiniLog(kLogPhonesWrite, kOutgoing);
}

void TForm1::StartReadPhonesMemory() {
    const TLink link = RequestRoute();
    g_PhoneRead.SetLink(link);
    // The count is asked for again while this wait runs; the read ends with it.
    const std::uint32_t wait = PhonesWaitSeconds(link);
    SendCommand(CmdReadNumbers, g_PhoneRead.Start(wait));
    ShowWaitPanel(wait, 0, kTextPhonesCountWait);
}

// A grid cell that makes no record raises the conversion error before anything is sent.
void TForm1::StartWritePhonesMemory() {
    PhoneGridToStruct();
    const TLink link = RequestRoute();
    g_PhoneWrite.SetLink(link);
    const TTransferStep step = g_PhoneWrite.Start(g_PhoneRecords, PhonesWaitSeconds(link));
    RunTransferStep(CmdWriteNumbers, step);
    if (step.End != TTransferEnd::None) SetPhoneRecords({});
}

void TForm1::Reply_NumbersMemory(const TDeviceReply& reply) {
    if (reply.Command == CmdReadNumbers) {
        if (g_CloudSession) MiniLog(kLogPhonesReadReply, kIncoming);
        // Blocks are the read's; a count is for whoever asked for one, or dropped.
        const auto decoded = DecodePhonesReadReply(DataOf(reply));
        const TCountReplyFor countFor =
            decoded && decoded->IsCount ? CountReplyFor(g_PhoneRead, g_PhoneWrite) : TCountReplyFor::Read;
        if (countFor == TCountReplyFor::Nobody) return;
        if (countFor == TCountReplyFor::Write) {
            const TTransferStep step = g_PhoneWrite.OnCountReply(DataOf(reply));
            RunTransferStep(CmdWriteNumbers, step);
            if (step.End != TTransferEnd::None) SetPhoneRecords({});
            return;
        }
        const bool countAwaited = g_PhoneRead.AwaitingCount();
        const TTransferStep step = g_PhoneRead.OnReply(DataOf(reply));
        if (countAwaited && !g_PhoneRead.AwaitingCount()) HideWaitPanel(kNoText);
        // Each block's rows are made as it arrives; the last one leaves only the merge.
        const std::vector<PhoneRecord>& received = g_PhoneRead.Received();
        if (received.size() < g_PhoneReadRows.Added()) g_PhoneReadRows.Clear();  // a new read began
        for (std::size_t i = g_PhoneReadRows.Added(); i < received.size(); ++i) g_PhoneReadRows.Add(received[i]);
        if (step.End == TTransferEnd::Completed) {
            SetPhoneRecords(g_PhoneRead.TakeRecords());
            ShowPhoneGridRows(g_PhoneReadRows.Take());  // the records' rows, as PhoneStructToGrid shows them
        }
        RunTransferStep(CmdReadNumbers, step);
        if (step.End == TTransferEnd::Completed) SetPhoneRecords({});
        return;
    }
    if (g_CloudSession) MiniLog(kLogPhonesWriteReply, kIncoming);
    if (!PhonesWriteReplyAwaited(reply)) return;
    const TTransferStep step = g_PhoneWrite.OnReply(DataOf(reply));
    RunTransferStep(CmdWriteNumbers, step);
    if (step.End == TTransferEnd::Completed) SetPhoneRecords({});
}

void TForm1::PhoneBlockRetryStep() { RunTransferStep(CmdReadNumbers, g_PhoneRead.OnTick()); }

unsigned TForm1::PhoneBlockRetryDue() const { return g_PhoneRead.TicksToWork(); }

void TForm1::PhoneWriteResendStep() { RunTransferStep(CmdWriteNumbers, g_PhoneWrite.OnTick()); }

unsigned TForm1::PhoneWriteResendDue() const { return g_PhoneWrite.TicksToWork(); }
