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
    return FCloud ? kPhonesBlockTimeoutCloud : kPhonesBlockTimeoutCable;
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
    for (const PhoneRecord& r : reply->Records) {
        if (FNextIndex >= FCount) break;  // surplus records are dropped
        FRecords.push_back(r);
        ++FNextIndex;
    }
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
    std::uint32_t n = FCloud ? kPhonesWriteBlockCloud : kPhonesWriteBlockCable;
    const std::uint32_t left = first < count ? count - first : 0;
    n = std::min(n, left);
    step.Request = PhonesWriteBlockData(FRecords, first, n);
    FWriteIndex = first;
    FInFlight.push_back(first);
    ++FBlocksSent;
    ShowProgress(step, first, count);
    step.PanelText = "Запись памяти номеров (" + Fraction(first, count) + ")";
    FWait.Sent(FCloud ? kPhonesWriteTimeoutCloud : kPhonesWriteTimeoutCable);
    return first + n;
}

void TPhoneWriteTransfer::AskCount(TTransferStep& step) {
    step.AskCount = true;
    FInFlight.push_back(kCountAsked);
}

void TPhoneWriteTransfer::AskEnd(TTransferStep& step) {
    step.Request = PhonesWriteEndData();
    AskCount(step);
    FWait.Sent(FCloud ? kPhonesWriteTimeoutCloud : kPhonesWriteTimeoutCable);
}

bool TPhoneWriteTransfer::AwaitingCount() const {
    return FLateCounts > 0 || std::find(FInFlight.begin(), FInFlight.end(), kCountAsked) != FInFlight.end();
}

bool TPhoneWriteTransfer::CurrentBlockInFlight() const {
    return std::find(FInFlight.begin(), FInFlight.end(), FWriteIndex) != FInFlight.end();
}

TTransferStep TPhoneWriteTransfer::Start(std::vector<PhoneRecord> records, std::uint32_t waitSeconds) {
    FRecords = std::move(records);
    FNextIndex = FWriteIndex = FBlocksSent = 0;
    FInFlight.clear();
    FEnding = FDoubt = false;
    FWait.Begin(static_cast<std::int32_t>(waitSeconds) * 100);
    TTransferStep step;
    if (FRecords.empty()) {
        FWriting = false;
        FWait.Stop();
        step.Request = PhonesEraseData();
        step.Message = kTextPhonesErasing;
        step.End = TTransferEnd::EraseSent;
        return step;
    }
    FWriting = true;
    FNextIndex = WriteBlock(0, step);
    return step;
}

TTransferStep TPhoneWriteTransfer::Advance() {
    TTransferStep step;
    FWait.Progress();
    FDoubt = false;
    if (FNextIndex >= GetCount()) {
        // Every block is acknowledged; the device's own count says whether it holds them.
        FEnding = true;
        FWriteIndex = GetCount();
        ShowProgress(step, GetCount(), GetCount());
        AskEnd(step);
        return step;
    }
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
    // After the end only the device's count matters.
    if (!FWriting || FEnding || reply->Detail == kPhonesWriteErased) return step;
    // The reply answers the oldest request in flight; a count request before it went unanswered.
    while (!FInFlight.empty() && FInFlight.front() == kCountAsked) FInFlight.pop_front();
    if (FInFlight.empty()) return step;  // more replies than requests: none of it is progress
    const std::uint32_t answered = FInFlight.front();
    FInFlight.pop_front();
    if (reply->Result != 0) return step;
    if (reply->Detail == kPhonesWriteNext) {
        // The device names the next index itself; an older copy's answer naming the block
        // already in flight asks for nothing new.
        if (answered != FWriteIndex && reply->Next == FWriteIndex) return step;
        FNextIndex = FWriteIndex = reply->Next;
        return Advance();
    }
    if (answered != FWriteIndex) {
        FDoubt = true;
        return step;
    }
    return Advance();
}

TTransferStep TPhoneWriteTransfer::OnCountReply(std::span<const std::uint8_t> data) {
    const auto reply = DecodePhonesReadReply(data);
    if (!reply || !reply->IsCount || !AwaitingCount()) return {};
    TTransferStep step;
    if (FLateCounts > 0) {
        // The answer to a count request of a write that has ended.
        --FLateCounts;
        return step;
    }
    // Everything sent before the count request has been answered, or never will be.
    while (FInFlight.front() != kCountAsked) FInFlight.pop_front();
    FInFlight.pop_front();
    if (!FEnding) {
        FDoubt = false;
        // The block in flight may have been acknowledged among the answers taken for older
        // copies: it goes again, and its answer is now its own.
        if (!CurrentBlockInFlight()) FNextIndex = WriteBlock(FWriteIndex, step);
        return step;
    }
    // Asked after every block was acknowledged: the first count tells what the device holds.
    const std::uint32_t total = GetCount();
    if (reply->Count == total) {
        step.Message = kTextPhonesWriteDone;
        step.End = TTransferEnd::Completed;
    } else {
        step.Message = PhonesWriteUnconfirmedText(reply->Count, total);
        step.End = TTransferEnd::Unconfirmed;
    }
    HideProgress(step);
    End();
    return step;
}

void TPhoneWriteTransfer::End() {
    const auto unanswered = std::count(FInFlight.begin(), FInFlight.end(), kCountAsked);
    Stop();
    FLateCounts = static_cast<std::uint32_t>(unanswered);
}

TTransferStep TPhoneWriteTransfer::OnTick() {
    TTransferStep step;
    if (!FWriting) return step;
    switch (FWait.Tick()) {
    case TBlockWait::TTick::Wait:
        break;
    case TBlockWait::TTick::Repeat:
        if (FEnding) {
            AskEnd(step);
            break;
        }
        FNextIndex = WriteBlock(FWriteIndex, step);
        // An answer taken for an older copy, then silence: the count request after this copy
        // is answered after everything sent so far, which sorts the answers out again.
        if (FDoubt && !AwaitingCount()) AskCount(step);
        FDoubt = false;
        break;
    case TBlockWait::TTick::GiveUp:
        step.MessageNumber = 4;
        step.Message = PhonesWriteCutText(FWriteIndex, GetCount());
        HideProgress(step);
        step.End = TTransferEnd::NoAnswer;
        End();
        break;
    }
    return step;
}

void TPhoneReadTransfer::Stop() {
    FReading = false;
    FAwaitingCount = false;
    FWait.Stop();
    FRecords.clear();
}

void TPhoneWriteTransfer::Stop() {
    FWriting = FEnding = FDoubt = false;
    FLateCounts = 0;
    FWait.Stop();
    FInFlight.clear();
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

std::string PhonesWriteCloseQuestion(std::uint32_t written, std::uint32_t total) {
    const std::string n = std::to_string(written), m = std::to_string(total);
    return "Идёт запись номерной базы в устройство (записано " + n + " из " + m +
           "). Устройство стёрло свою базу перед записью: если закрыть программу сейчас, в нём останется "
           "только часть номеров. Закрыть программу?//\\ The number base is being written to the device (" + n +
           " of " + m + " written). The device erased its base before the write: closing now leaves it with only "
           "part of the numbers. Close the program?";
}
