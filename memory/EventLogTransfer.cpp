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
    FBlockTimeout = kLogBlockTimeout;
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
            FBlockTimeout = 0;
            step.Message = kTextLogEmpty;
            step.End = TTransferEnd::Empty;
            return step;
        }
        FReading = true;
        FRecords.reserve(FCount);
        step = RequestBlock(0);
        step.Message = kTextLogReading;
        step.ProgressChanged = true;
        step.Percent = 0;
        return step;
    case TLogReply::Kind::Block:
        break;
    }
    // A block outside a read belongs to no read: no message, nothing to complete.
    if (!FReading) return step;
    if (reply->Index != FNextIndex) {
        step.MessageNumber = kMsgLogBlockIndex;
        return step;
    }
    for (const EventRecord& r : reply->Records) {
        if (FNextIndex >= FCount) break;  // surplus records are dropped
        FRecords.push_back(r);
        ++FNextIndex;
    }
    const int percent = FNextIndex * 100 / FCount;
    if (FNextIndex < FCount) {
        step = RequestBlock(FNextIndex);
        step.ProgressChanged = true;
        step.Percent = percent;
        return step;
    }
    FBlockTimeout = 0;
    FReading = false;
    step.Message = kTextLogReadDone;
    step.ProgressChanged = true;
    step.Percent = -1;
    step.End = TTransferEnd::Completed;
    return step;
}

TTransferStep TEventLogTransfer::OnTick() {
    if (FBlockTimeout <= 0) return {};
    if (--FBlockTimeout > 0) return {};
    return RequestBlock(FNextIndex);
}

std::vector<EventRecord> TEventLogTransfer::TakeRecords() {
    std::vector<EventRecord> out;
    out.swap(FRecords);
    return out;
}

void TEventLogTransfer::Stop() {
    FReading = false;
    FBlockTimeout = 0;
    FRecords.clear();
}
