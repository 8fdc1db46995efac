#pragma once
// The whole number base to and from the device, block by block: reads with 0x2C, writes
// with 0x2D. Each block is started by the reply to the previous one; a countdown on the
// 10 ms tick asks again for a read block, or sends a write block again, once the link has
// been silent for it; a transfer the device stops answering ends after a bounded wait.
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/LinkKind.h"
#include "memory/PhoneRecord.h"
#include "memory/TransferStep.h"

// Records per write block, on the cable (and the local configuration server) and through the
// cloud's tunnel.
inline constexpr std::uint32_t kPhonesWriteBlockCable = 31;
inline constexpr std::uint32_t kPhonesWriteBlockCloud = 15;
// Countdowns (10 ms ticks) on the cable, and over GPRS (the cloud or the local configuration
// server), whose round trip alone may outlast the cable's.
inline constexpr std::int32_t kPhonesBlockTimeoutCable = 50;
inline constexpr std::int32_t kPhonesBlockTimeoutRemote = 300;
inline constexpr std::uint16_t kPhonesWriteTimeoutCable = 300;
inline constexpr std::uint16_t kPhonesWriteTimeoutRemote = 600;
// Seconds a transfer waits for the count of records, and for any one block, before it ends
// with message 4: on the cable, and over GPRS.
inline constexpr std::uint32_t kPhonesWaitCable = 15;
inline constexpr std::uint32_t kPhonesWaitRemote = 50;
inline constexpr std::uint32_t PhonesWaitSeconds(TLink link) {
    return IsRemoteLink(link) ? kPhonesWaitRemote : kPhonesWaitCable;
}

// Request data.
std::vector<std::uint8_t> PhonesReadStartData();                    // 0x2C [0x00]
std::vector<std::uint8_t> PhonesBlockRequestData(std::uint16_t index);  // 0x2C [0x01, index]
// 0x2D [0x00, first, n, records first .. first + n - 1]; n is cut to the records there are.
std::vector<std::uint8_t> PhonesWriteBlockData(const std::vector<PhoneRecord>& records,
                                               std::uint32_t first, std::uint32_t n);
std::vector<std::uint8_t> PhonesEraseData();     // 0x2D [0x01]
std::vector<std::uint8_t> PhonesWriteEndData();  // 0x2D [0x02]

// Replies to 0x2C. A block keeps only the whole records its frame holds, however many it
// announces. Nothing for a frame too short for its kind, or of another kind.
struct TPhonesReadReply {
    bool IsCount = false;
    std::uint16_t Count = 0;  // count reply
    std::uint16_t Index = 0;  // block reply
    std::uint16_t Announced = 0;
    std::vector<PhoneRecord> Records;
};
std::optional<TPhonesReadReply> DecodePhonesReadReply(std::span<const std::uint8_t> data);

// Replies to 0x2D: d0 result code, d1 detail (0 accepted, 1 erased, 10 accepted with the
// device's next index in d2-d5). Nothing for a frame too short for what it announces.
struct TPhonesWriteReply {
    std::uint8_t Result = 0;
    std::uint8_t Detail = 0;
    std::uint32_t Next = 0;
};
inline constexpr std::uint8_t kPhonesWriteAccepted = 0x00;
inline constexpr std::uint8_t kPhonesWriteErased = 0x01;
inline constexpr std::uint8_t kPhonesWriteNext = 0x0A;
std::optional<TPhonesWriteReply> DecodePhonesWriteReply(std::span<const std::uint8_t> data);

// Reading the base (RequestPhonesBlock and the 0x2C reply handler).
class TPhoneReadTransfer {
public:
    // The link the next read runs on.
    void SetLink(TLink link) { FLink = link; }

    // StartReadPhonesMemory: the request that asks for the number of records; asked again,
    // as a lost block is, until the count comes, Stop(), or waitSeconds have passed (the
    // read then ends with message 4). A block is waited for as long.
    std::vector<std::uint8_t> Start(std::uint32_t waitSeconds = kPhonesWaitCable);
    TTransferStep OnReply(std::span<const std::uint8_t> data);
    // One 10 ms tick: the re-request countdown.
    TTransferStep OnTick();
    // Bytes arrived on the link: the re-request waits for its silence anew.
    void Heard() { FWait.Heard(); }
    // Ticks to the one on which OnTick acts; 0 none.
    unsigned TicksToWork() const { return FWait.TicksToWork(); }

    bool Reading() const { return FReading; }
    bool AwaitingCount() const { return FAwaitingCount; }
    bool Running() const { return FReading || FAwaitingCount; }
    std::int32_t GetNextIndex() const { return FNextIndex; }
    std::int32_t GetCount() const { return FCount; }
    std::int32_t GetBlockTimeout() const { return FWait.Left(); }
    // Block requests of this read, repeats included.
    std::uint32_t BlockRequests() const { return FAwaitingCount ? 0 : FWait.Requests(); }
    // The records received so far.
    const std::vector<PhoneRecord>& Received() const { return FRecords; }
    // The records of the completed read, handed over once.
    std::vector<PhoneRecord> TakeRecords();
    // Ends the read where it stands: no countdown, no further block is taken.
    void Stop();

private:
    TTransferStep RequestBlock(std::int32_t index);
    std::vector<std::uint8_t> AskCount();
    std::int32_t BlockTimeout() const;

    TLink FLink = TLink::Serial;
    bool FReading = false;
    bool FAwaitingCount = false;
    std::int32_t FNextIndex = 0;
    std::int32_t FCount = 0;
    std::int32_t FPatience = kPhonesWaitCable * 100;
    TBlockWait FWait;
    std::vector<PhoneRecord> FRecords;
};

// Writing the base (StartWritePhonesMemory, WritePhonesMemoryBlock, the 0x2D reply handler).
// An acknowledgement names no block, and a block sent again is acknowledged once per copy: what
// was sent and is unanswered is kept in sending order, and each acknowledgement answers the
// oldest block copy, so that the extra answers to a block sent again never move the write past
// a block the device has not acknowledged itself. After the end request the device's record
// count is asked for: the write is completed only when it holds every record.
enum class TPhoneWritePhase {
    Idle,    // no write, and no answer of one awaited
    Blocks,  // blocks go, each acknowledged before the next
    Doubt,   // as Blocks, but an acknowledgement was taken for an older copy's: it may have been
             // the block in flight's, whose copies are then answered one late for good unless a
             // count request sorts them out
    Ending,  // every block acknowledged: the end request went, the device's count is awaited
    Ended,   // over; answers may still come to count requests it left unanswered
};

class TPhoneWriteTransfer {
public:
    // The link the next write runs on.
    void SetLink(TLink link) { FLink = link; }

    // The records of the grid; none sends "erase all" instead of blocks. A block that is
    // never acknowledged ends the write after waitSeconds.
    TTransferStep Start(std::vector<PhoneRecord> records, std::uint32_t waitSeconds = kPhonesWaitCable);
    TTransferStep OnReply(std::span<const std::uint8_t> data);
    // A 0x2C reply while AwaitingCount(): the device's record count.
    TTransferStep OnCountReply(std::span<const std::uint8_t> data);
    // One 10 ms tick: the re-send countdown.
    TTransferStep OnTick();
    // Bytes arrived on the link: the re-send waits for its silence anew.
    void Heard() { FWait.Heard(); }
    // Ticks to the one on which OnTick acts; 0 none.
    unsigned TicksToWork() const { return Writing() ? FWait.TicksToWork() : 0; }

    // Blocks go, or the end waits for the device's count.
    bool Writing() const {
        return FPhase == TPhoneWritePhase::Blocks || FPhase == TPhoneWritePhase::Doubt ||
               FPhase == TPhoneWritePhase::Ending;
    }
    // A count request of this write is unanswered: a count reply may be its answer.
    bool AwaitingCount() const;
    std::uint32_t GetNextIndex() const { return FNextIndex; }
    // The first record of the block in flight: every record before it is acknowledged.
    std::uint32_t GetWriteIndex() const { return FWriteIndex; }
    std::uint32_t GetCount() const { return static_cast<std::uint32_t>(FRecords.size()); }
    std::uint16_t GetWriteTimeout() const { return static_cast<std::uint16_t>(FWait.Left()); }
    // Blocks sent by this write, repeats included.
    std::uint32_t BlockRequests() const { return FBlocksSent; }
    // What cutting the write short now leaves, in both languages.
    std::string CutText() const;
    // Ends the write where it stands: no re-send, no end request. The link it used is gone
    // or no longer the write's: no answer is awaited.
    void Stop();

private:
    // One request sent and not yet answered: a block copy from record First, or a count
    // request, which the device answers after everything sent before it.
    struct TSent {
        enum class TKind { Block, Count } Kind;
        std::uint32_t First = 0;
    };

    // Fills step with the block from first; returns the index after it.
    std::uint32_t WriteBlock(std::uint32_t first, TTransferStep& step);
    // The end request and the count request after it.
    void AskEnd(TTransferStep& step);
    void AskCount(TTransferStep& step);
    TTransferStep Advance();
    bool BlockInFlight(std::uint32_t first) const;
    std::uint16_t WriteTimeout() const;
    // Ends the write on the link it used: answers to its count requests may still come.
    void End();

    TLink FLink = TLink::Serial;
    TPhoneWritePhase FPhase = TPhoneWritePhase::Idle;
    std::uint32_t FNextIndex = 0;
    std::uint32_t FWriteIndex = 0;
    std::uint32_t FBlocksSent = 0;
    std::deque<TSent> FSent;  // oldest first
    TBlockWait FWait;
    std::vector<PhoneRecord> FRecords;
};

// Who a count reply (0x2C, d0 = 0) is for. A write under way that asked for one takes it; else
// a read waiting for its count (an answer a write left unanswered is the device's count too);
// else an ended write, which only drops it. Nobody else asked: the reply is dropped.
enum class TCountReplyFor { Nobody, Read, Write };
TCountReplyFor CountReplyFor(const TPhoneReadTransfer& read, const TPhoneWriteTransfer& write);

// What a read or a write cut short leaves (received or acknowledged records of total; a
// total of 0 is not known yet), in both languages.
std::string PhonesReadCutText(std::uint32_t received, std::uint32_t total);
std::string PhonesWriteCutText(std::uint32_t written, std::uint32_t total);
// A write whose end the device's count does not confirm: it holds `held` of total records.
std::string PhonesWriteUnconfirmedText(std::uint32_t held, std::uint32_t total);
// A write whose every block was acknowledged, but whose count request got no answer.
std::string PhonesWriteUnansweredText(std::uint32_t total);
// The question of a close while a write runs.
std::string PhonesWriteCloseQuestion(std::uint32_t written, std::uint32_t total);

// Texts of the transfer.
inline constexpr const char* kTextPhonesEmpty = "Память номеров пуста!";
inline constexpr const char* kTextPhonesCountWait = "Чтение памяти номеров...";
inline constexpr const char* kTextPhonesReadDone = "Чтение памяти номеров завершено";
inline constexpr const char* kTextPhonesErasing = "Чистка памяти номеров";
inline constexpr const char* kTextPhonesErased = "Очистка памяти номеров завершена";
inline constexpr const char* kTextPhonesWriteDone = "Запись памяти номеров завершена";
inline constexpr const char* kTextPhonesWriteQuestion =
    "Внимание! Перед записью вся номерная база будет удалена! Продолжить?";
inline constexpr const char* kLogPhonesRead = "Загрузка номеров";
inline constexpr const char* kLogPhonesWrite = "Выгрузка номеров";
inline constexpr const char* kLogPhonesReadReply = "Ответ на запрос загрузки номеров";
inline constexpr const char* kLogPhonesWriteReply = "Ответ на запрос выгрузки номеров";
