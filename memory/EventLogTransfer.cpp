#include "memory/EventLogTransfer.h"

#include <algorithm>

#include "config/RecordBytes.h"

std::vector<std::uint8_t> LogBlockRequestData(std::uint16_t index) {
    return {0x01, static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8)};
}

std::vector<std::uint8_t> LogClearData() { return {0x0A}; }

std::optional<TLogReply> DecodeLogReply(std::span<const std::uint8_t> data) {
    if (data.empty()) return std::nullopt;
    TLogReply r;
    switch (data[0]) {
    case 0x00:
        if (data.size() < 3) return std::nullopt;
        r.What = TLogReply::Kind::Count;
        r.Count = GetU16(&data[1]);
        return r;
    case 0x01: {
        if (data.size() < 5) return std::nullopt;
        r.What = TLogReply::Kind::Block;
        r.Index = GetU16(&data[1]);
        r.Announced = GetU16(&data[3]);
        // Only as many records as lie whole in the frame.
        const std::size_t n = std::min<std::size_t>(r.Announced, (data.size() - 5) / kEventRecordSize);
        r.Records.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const auto from = data.begin() + 5 + static_cast<std::ptrdiff_t>(i * kEventRecordSize);
            std::copy(from, from + kEventRecordSize, r.Records[i].Bytes.begin());
        }
        return r;
    }
    case 0x0A:
        r.What = TLogReply::Kind::Cleared;
        return r;
    default:
        return std::nullopt;
    }
}

TTransferStep TEventLogTransfer::RequestBlock(std::int32_t index) {
    TTransferStep step;
    step.Request = LogBlockRequestData(static_cast<std::uint16_t>(index));
    step.PanelText = kTextLogReading;
    FWait.Sent(IsRemoteLink(FLink) ? kLogBlockTimeoutRemote : kLogBlockTimeoutCable);
    return step;
}

TTransferStep TEventLogTransfer::OnReply(std::span<const std::uint8_t> data) {
    const auto reply = DecodeLogReply(data);
    if (!reply) return {};
    TTransferStep step;
    switch (reply->What) {
    case TLogReply::Kind::Cleared:
        step.Message = kTextLogCleared;
        return step;
    case TLogReply::Kind::Count:
        FCount = reply->Count;
        FNextIndex = 0;
        FRecords.clear();
        if (FCount == 0) {
            // Nothing to ask for: a countdown left from an earlier read would ask forever.
            FReading = false;
            FWait.Stop();
            step.Message = kTextLogEmpty;
            step.End = TTransferEnd::Empty;
            return step;
        }
        FReading = true;
        FRecords.reserve(FCount);
        FWait.Begin(static_cast<std::int32_t>(IsRemoteLink(FLink) ? kLogWaitRemote : kLogWaitCable) * 100);
        step = RequestBlock(0);
        step.Message = kTextLogReading;
        step.ProgressChanged = true;
        step.Percent = 0;
        return step;
    case TLogReply::Kind::Block:
        break;
    }
    // A block outside a read belongs to no read: no message, nothing to complete.
    if (!FReading || reply->Index < FNextIndex) return step;
    if (reply->Index > FNextIndex) {
        step.MessageNumber = kMsgLogBlockIndex;
        return step;
    }
    const std::int32_t asked = FNextIndex;
    for (const EventRecord& r : reply->Records) {
        if (FNextIndex >= FCount) break;  // surplus records are dropped
        FRecords.push_back(r);
        ++FNextIndex;
    }
    // A block without records is no progress: its countdown asks again.
    if (FNextIndex == asked) return step;
    FWait.Progress();
    const int percent = FNextIndex * 100 / FCount;
    if (FNextIndex < FCount) {
        step = RequestBlock(FNextIndex);
        step.ProgressChanged = true;
        step.Percent = percent;
        return step;
    }
    FWait.Stop();
    FReading = false;
    step.Message = kTextLogReadDone;
    step.ProgressChanged = true;
    step.Percent = -1;
    step.End = TTransferEnd::Completed;
    return step;
}

TTransferStep TEventLogTransfer::OnTick() {
    TTransferStep step;
    switch (FWait.Tick()) {
    case TBlockWait::TTick::Wait:
        break;
    case TBlockWait::TTick::Repeat:
        step = RequestBlock(FNextIndex);
        break;
    case TBlockWait::TTick::GiveUp:
        step.MessageNumber = 4;
        step.Message = LogReadCutText(FNextIndex, FCount);
        step.ProgressChanged = true;
        step.Percent = -1;
        step.End = TTransferEnd::NoAnswer;
        Stop();
        break;
    }
    return step;
}

std::vector<EventRecord> TEventLogTransfer::TakeRecords() {
    std::vector<EventRecord> out;
    out.swap(FRecords);
    return out;
}

void TEventLogTransfer::Stop() {
    FReading = false;
    FWait.Stop();
    FRecords.clear();
}

std::string LogReadCutText(std::uint32_t received, std::uint32_t total) {
    const std::string n = std::to_string(received), m = std::to_string(total);
    return "Чтение журнала прервано (получено " + n + " из " + m + "). Таблица журнала осталась прежней.//\\ "
           "The event log read was cut short (" + n + " of " + m + " received). The log table is as it was.";
}
