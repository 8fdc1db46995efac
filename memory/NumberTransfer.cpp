#include "memory/NumberTransfer.h"

#include <algorithm>

#include "config/RecordBytes.h"

namespace {

std::string Fraction(std::uint64_t done, std::uint64_t total) {
    return std::to_string(done) + "/" + std::to_string(total);
}

int PercentOf(std::uint64_t done, std::uint64_t total) {
    return total == 0 ? 0 : static_cast<int>(done * 100 / total);
}

void ShowProgress(TTransferStep& step, std::uint64_t done, std::uint64_t total) {
    step.ProgressChanged = true;
    step.Percent = PercentOf(done, total);
    step.ProgressText = Fraction(done, total);
}

void HideProgress(TTransferStep& step) {
    step.ProgressChanged = true;
    step.Percent = -1;
    step.ProgressText.clear();
}

}  // namespace

std::vector<std::uint8_t> PhonesReadStartData() { return {0x00}; }

std::vector<std::uint8_t> PhonesBlockRequestData(std::uint16_t index) {
    return {0x01, static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8)};
}

std::vector<std::uint8_t> PhonesWriteBlockData(const std::vector<PhoneRecord>& records,
                                               std::uint32_t first, std::uint32_t n) {
    const std::uint32_t available =
        first < records.size() ? static_cast<std::uint32_t>(records.size()) - first : 0;
    n = std::min(n, available);
    std::vector<std::uint8_t> data(5 + std::size_t{n} * kPhoneRecordSize);
    data[0] = 0x00;
    SetU16(&data[1], static_cast<std::uint16_t>(first));
    SetU16(&data[3], static_cast<std::uint16_t>(n));
    for (std::uint32_t i = 0; i < n; ++i)
        std::copy(records[first + i].Bytes.begin(), records[first + i].Bytes.end(),
                  data.begin() + 5 + std::size_t{i} * kPhoneRecordSize);
    return data;
}

std::vector<std::uint8_t> PhonesEraseData() { return {0x01}; }
std::vector<std::uint8_t> PhonesWriteEndData() { return {0x02}; }

std::optional<TPhonesReadReply> DecodePhonesReadReply(std::span<const std::uint8_t> data) {
    if (data.size() < 3) return std::nullopt;
    TPhonesReadReply r;
    if (data[0] == 0x00) {
        r.IsCount = true;
        r.Count = GetU16(&data[1]);
        return r;
    }
    if (data[0] != 0x01 || data.size() < 5) return std::nullopt;
    r.Index = GetU16(&data[1]);
    r.Announced = GetU16(&data[3]);
    // The frame promises nothing about n: take only the whole records it really holds.
    const std::size_t held = (data.size() - 5) / kPhoneRecordSize;
    const std::size_t n = std::min<std::size_t>(r.Announced, held);
    r.Records.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto from = data.begin() + 5 + static_cast<std::ptrdiff_t>(i * kPhoneRecordSize);
        std::copy(from, from + kPhoneRecordSize, r.Records[i].Bytes.begin());
    }
    return r;
}

std::optional<TPhonesWriteReply> DecodePhonesWriteReply(std::span<const std::uint8_t> data) {
    if (data.empty()) return std::nullopt;
    TPhonesWriteReply r;
    r.Result = data[0];
    if (r.Result != 0) return r;
    if (data.size() < 2) return std::nullopt;
    r.Detail = data[1];
    if (r.Detail == kPhonesWriteNext) {
        if (data.size() < 6) return std::nullopt;
        r.Next = GetU32(&data[2]);
    }
    return r;
}

// Reading.

std::vector<std::uint8_t> TPhoneReadTransfer::Start(std::uint32_t waitSeconds) {
    FPatience = static_cast<std::int32_t>(waitSeconds) * 100;
    FReading = false;
    FAwaitingCount = true;
    FWait.Begin(FPatience);
    return AskCount();
}

std::vector<std::uint8_t> TPhoneReadTransfer::AskCount() {
    FWait.Sent(BlockTimeout());
    return PhonesReadStartData();
}

std::int32_t TPhoneReadTransfer::BlockTimeout() const {
    return IsRemoteLink(FLink) ? kPhonesBlockTimeoutRemote : kPhonesBlockTimeoutCable;
}

TTransferStep TPhoneReadTransfer::RequestBlock(std::int32_t index) {
    TTransferStep step;
    step.Request = PhonesBlockRequestData(static_cast<std::uint16_t>(index));
    step.PanelText = "Чтение памяти номеров (" + Fraction(index, FCount) + ")";
    FWait.Sent(BlockTimeout());
    return step;
}

TTransferStep TPhoneReadTransfer::OnReply(std::span<const std::uint8_t> data) {
    const auto reply = DecodePhonesReadReply(data);
    if (!reply) return {};
    if (reply->IsCount) {
        // Only a read that asked for the count starts on it: a copy, or the answer to a
        // repeat, would start the read over.
        if (!FAwaitingCount) return {};
        FAwaitingCount = false;
        FCount = reply->Count;
        FNextIndex = 0;
        FRecords.clear();
        FRecords.reserve(FCount);
        if (FCount == 0) {
            // Nothing to ask for: a countdown left from an earlier read would ask forever.
            FReading = false;
            FWait.Stop();
            TTransferStep step;
            step.Message = kTextPhonesEmpty;
            step.End = TTransferEnd::Empty;
            return step;
        }
        FReading = true;
        FWait.Begin(FPatience);
        TTransferStep step = RequestBlock(0);
        ShowProgress(step, 0, FCount);
        return step;
    }
    // Blocks count only while a read runs, and only the one asked for: the answer to an
    // earlier repeat is dropped without a word.
    if (!FReading || reply->Index != FNextIndex) return {};
    const std::int32_t asked = FNextIndex;
    for (const PhoneRecord& r : reply->Records) {
        if (FNextIndex >= FCount) break;  // surplus records are dropped
        FRecords.push_back(r);
        ++FNextIndex;
    }
    // A block without records is no progress: its countdown asks again, and a device that
    // never brings one ends the read as a silent one does.
    if (FNextIndex == asked) return {};
    FWait.Progress();
    TTransferStep step;
    if (FNextIndex < FCount) {
        step = RequestBlock(FNextIndex);
        ShowProgress(step, FNextIndex, FCount);
        return step;
    }
    FCount = FNextIndex;
    FWait.Stop();
    FReading = false;
    step.Message = kTextPhonesReadDone;
    HideProgress(step);
    step.End = TTransferEnd::Completed;
    return step;
}

TTransferStep TPhoneReadTransfer::OnTick() {
    TTransferStep step;
    switch (FWait.Tick()) {
    case TBlockWait::TTick::Wait:
        break;
    case TBlockWait::TTick::Repeat:
        if (FAwaitingCount) step.Request = AskCount();
        else step = RequestBlock(FNextIndex);
        break;
    case TBlockWait::TTick::GiveUp:
        // The count has its own time, whatever else opens or closes the wait panel meanwhile.
        step.MessageNumber = 4;
        if (FReading) {
            step.Message = PhonesReadCutText(FNextIndex, FCount);
            HideProgress(step);
            step.End = TTransferEnd::NoAnswer;
        }
        Stop();
        break;
    }
    return step;
}

std::vector<PhoneRecord> TPhoneReadTransfer::TakeRecords() {
    std::vector<PhoneRecord> out;
    out.swap(FRecords);
    return out;
}

// Writing.

std::uint32_t TPhoneWriteTransfer::WriteBlock(std::uint32_t first, TTransferStep& step) {
    const std::uint32_t count = GetCount();
    std::uint32_t n = FLink == TLink::Cloud ? kPhonesWriteBlockCloud : kPhonesWriteBlockCable;
    const std::uint32_t left = first < count ? count - first : 0;
    n = std::min(n, left);
    step.Request = PhonesWriteBlockData(FRecords, first, n);
    FWriteIndex = first;
    FSent.push_back({TSent::TKind::Block, first});
    ++FBlocksSent;
    ShowProgress(step, first, count);
    step.PanelText = "Запись памяти номеров (" + Fraction(first, count) + ")";
    FWait.Sent(WriteTimeout());
    return first + n;
}

std::uint16_t TPhoneWriteTransfer::WriteTimeout() const {
    return IsRemoteLink(FLink) ? kPhonesWriteTimeoutRemote : kPhonesWriteTimeoutCable;
}

void TPhoneWriteTransfer::AskCount(TTransferStep& step) {
    step.AskCount = true;
    FSent.push_back({TSent::TKind::Count});
}

void TPhoneWriteTransfer::AskEnd(TTransferStep& step) {
    step.Request = PhonesWriteEndData();
    AskCount(step);
    FWait.Sent(WriteTimeout());
}

bool TPhoneWriteTransfer::AwaitingCount() const {
    return std::any_of(FSent.begin(), FSent.end(), [](const TSent& s) { return s.Kind == TSent::TKind::Count; });
}

bool TPhoneWriteTransfer::BlockInFlight(std::uint32_t first) const {
    return std::any_of(FSent.begin(), FSent.end(),
                       [first](const TSent& s) { return s.Kind == TSent::TKind::Block && s.First == first; });
}

TTransferStep TPhoneWriteTransfer::Start(std::vector<PhoneRecord> records, std::uint32_t waitSeconds) {
    End();  // the count requests an earlier write left unanswered are still answered first
    FRecords = std::move(records);
    FNextIndex = FWriteIndex = FBlocksSent = 0;
    FWait.Begin(static_cast<std::int32_t>(waitSeconds) * 100);
    TTransferStep step;
    if (FRecords.empty()) {
        step.Request = PhonesEraseData();
        step.Message = kTextPhonesErasing;
        step.End = TTransferEnd::EraseSent;
        return step;
    }
    FPhase = TPhoneWritePhase::Blocks;
    FNextIndex = WriteBlock(0, step);
    return step;
}

TTransferStep TPhoneWriteTransfer::Advance() {
    TTransferStep step;
    FWait.Progress();
    if (FNextIndex >= GetCount()) {
        // Every block is acknowledged; the device's own count says whether it holds them.
        FPhase = TPhoneWritePhase::Ending;
        FWriteIndex = GetCount();
        ShowProgress(step, GetCount(), GetCount());
        AskEnd(step);
        return step;
    }
    FPhase = TPhoneWritePhase::Blocks;
    FNextIndex = WriteBlock(FNextIndex, step);
    return step;
}

TTransferStep TPhoneWriteTransfer::OnReply(std::span<const std::uint8_t> data) {
    const auto reply = DecodePhonesWriteReply(data);
    if (!reply) return {};
    TTransferStep step;
    // A refusal is always told; a block it answers stays unacknowledged, and its countdown
    // sends it again.
    if (reply->Result != 0) step.ResultCode = reply->Result;
    else if (reply->Detail == kPhonesWriteErased) step.Message = kTextPhonesErased;
    else if (reply->Detail != kPhonesWriteAccepted && reply->Detail != kPhonesWriteNext) return step;
    // Only blocks await an acknowledgement; after the end only the device's count matters.
    const bool blocks = FPhase == TPhoneWritePhase::Blocks || FPhase == TPhoneWritePhase::Doubt;
    if (!blocks || reply->Detail == kPhonesWriteErased) return step;
    // The reply answers the oldest block copy; a count request before it went unanswered.
    while (!FSent.empty() && FSent.front().Kind == TSent::TKind::Count) FSent.pop_front();
    if (FSent.empty()) return step;  // more replies than requests: none of it is progress
    const std::uint32_t answered = FSent.front().First;
    FSent.pop_front();
    if (reply->Result != 0) return step;
    if (reply->Detail == kPhonesWriteNext) {
        // The device names the next index itself; an older copy's answer naming the block
        // already in flight asks for nothing new.
        if (answered != FWriteIndex && reply->Next == FWriteIndex) return step;
        FNextIndex = FWriteIndex = reply->Next;
        return Advance();
    }
    if (answered != FWriteIndex) {
        FPhase = TPhoneWritePhase::Doubt;
        return step;
    }
    return Advance();
}

TTransferStep TPhoneWriteTransfer::OnCountReply(std::span<const std::uint8_t> data) {
    const auto reply = DecodePhonesReadReply(data);
    if (!reply || !reply->IsCount || !AwaitingCount()) return {};
    TTransferStep step;
    // Everything sent before the count request has been answered, or never will be.
    while (FSent.front().Kind != TSent::TKind::Count) FSent.pop_front();
    FSent.pop_front();
    switch (FPhase) {
    case TPhoneWritePhase::Idle:
        break;
    case TPhoneWritePhase::Ended:
        // The answer to a count request of a write that has ended.
        if (FSent.empty()) FPhase = TPhoneWritePhase::Idle;
        break;
    case TPhoneWritePhase::Blocks:
    case TPhoneWritePhase::Doubt:
        // The block in flight may have been acknowledged among the answers taken for older
        // copies: it goes again, and its answer is now its own.
        FPhase = TPhoneWritePhase::Blocks;
        if (!BlockInFlight(FWriteIndex)) FNextIndex = WriteBlock(FWriteIndex, step);
        break;
    case TPhoneWritePhase::Ending:
        // Asked after every block was acknowledged: the first count tells what the device holds.
        if (reply->Count == GetCount()) {
            step.Message = kTextPhonesWriteDone;
            step.End = TTransferEnd::Completed;
        } else {
            step.Message = PhonesWriteUnconfirmedText(reply->Count, GetCount());
            step.End = TTransferEnd::Unconfirmed;
        }
        HideProgress(step);
        End();
        break;
    }
    return step;
}

void TPhoneWriteTransfer::End() {
    std::erase_if(FSent, [](const TSent& s) { return s.Kind == TSent::TKind::Block; });
    FWait.Stop();
    FRecords.clear();
    FPhase = FSent.empty() ? TPhoneWritePhase::Idle : TPhoneWritePhase::Ended;
}

TTransferStep TPhoneWriteTransfer::OnTick() {
    TTransferStep step;
    if (!Writing()) return step;
    switch (FWait.Tick()) {
    case TBlockWait::TTick::Wait:
        break;
    case TBlockWait::TTick::Repeat:
        if (FPhase == TPhoneWritePhase::Ending) {
            AskEnd(step);
            break;
        }
        FNextIndex = WriteBlock(FWriteIndex, step);
        // An answer taken for an older copy, then silence: the count request after this copy
        // is answered after everything sent so far, which sorts the answers out again.
        if (FPhase == TPhoneWritePhase::Doubt && !AwaitingCount()) AskCount(step);
        FPhase = TPhoneWritePhase::Blocks;
        break;
    case TBlockWait::TTick::GiveUp:
        step.MessageNumber = 4;
        step.Message = CutText();
        HideProgress(step);
        step.End = TTransferEnd::NoAnswer;
        End();
        break;
    }
    return step;
}

std::string TPhoneWriteTransfer::CutText() const {
    if (FPhase == TPhoneWritePhase::Ending) return PhonesWriteUnansweredText(GetCount());
    return PhonesWriteCutText(FWriteIndex, GetCount());
}

void TPhoneWriteTransfer::Stop() {
    FPhase = TPhoneWritePhase::Idle;
    FWait.Stop();
    FSent.clear();
    FRecords.clear();
}

TCountReplyFor CountReplyFor(const TPhoneReadTransfer& read, const TPhoneWriteTransfer& write) {
    if (!write.AwaitingCount()) return read.AwaitingCount() ? TCountReplyFor::Read : TCountReplyFor::Nobody;
    if (write.Writing() || !read.AwaitingCount()) return TCountReplyFor::Write;
    return TCountReplyFor::Read;
}

void TPhoneReadTransfer::Stop() {
    FReading = false;
    FAwaitingCount = false;
    FWait.Stop();
    FRecords.clear();
}

std::string PhonesReadCutText(std::uint32_t received, std::uint32_t total) {
    const std::string ru = total == 0 ? "" : " (получено " + std::to_string(received) + " из " + std::to_string(total) + ")";
    const std::string en = total == 0 ? "" : " (" + Fraction(received, total) + " received)";
    return "Чтение памяти номеров прервано" + ru + ". Таблица номеров осталась прежней.//\\ "
           "The number base read was cut short" + en + ". The number table is as it was.";
}

std::string PhonesWriteCutText(std::uint32_t written, std::uint32_t total) {
    const std::string n = std::to_string(written), m = std::to_string(total);
    return "Запись памяти номеров прервана (записано " + n + " из " + m +
           "). Устройство стёрло свою базу перед записью и теперь может хранить только часть номеров: "
           "запишите базу снова.//\\ The number base write was cut short (" + n + " of " + m +
           " written). The device erased its base before the write and may now hold only part of the numbers: "
           "write the base again.";
}

std::string PhonesWriteUnconfirmedText(std::uint32_t held, std::uint32_t total) {
    const std::string n = std::to_string(held), m = std::to_string(total);
    return "Запись памяти номеров не подтверждена: устройство хранит " + n + " из " + m +
           " номеров. База в устройстве неполная: запишите базу снова.//\\ The number base write was not "
           "confirmed: the device holds " + n + " of " + m + " numbers. Its base is incomplete: write the base again.";
}

std::string PhonesWriteUnansweredText(std::uint32_t total) {
    const std::string m = std::to_string(total);
    return "Запись памяти номеров не подтверждена: устройство не сообщило, сколько из " + m +
           " номеров оно хранит. Устройство стёрло свою базу перед записью и может хранить только часть номеров: "
           "запишите базу снова.//\\ The number base write was not confirmed: the device did not say how many of "
           "the " + m + " numbers it holds. The device erased its base before the write and may hold only part of "
           "the numbers: write the base again.";
}

std::string PhonesWriteCloseQuestion(std::uint32_t written, std::uint32_t total) {
    const std::string n = std::to_string(written), m = std::to_string(total);
    return "Идёт запись номерной базы в устройство (записано " + n + " из " + m +
           "). Устройство стёрло свою базу перед записью: если закрыть программу сейчас, в нём останется "
           "только часть номеров. Закрыть программу?//\\ The number base is being written to the device (" + n +
           " of " + m + " written). The device erased its base before the write: closing now leaves it with only "
           "part of the numbers. Close the program?";
}
