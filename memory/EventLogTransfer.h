#pragma once
// The device's event log, block by block with 0x2E. The tool never asks for the count: a
// read starts when the device sends a count reply on its own. A block ahead of the one
// expected is reported with numbered message 39, one already taken (the answer to an
// earlier repeat) is dropped without a word; the countdown asks again for the expected
// block once the link has been silent for it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/LinkKind.h"
#include "memory/EventRecord.h"
#include "memory/TransferStep.h"

// 10 ms ticks of silence before a block is asked for again: on the cable, and over GPRS (the
// cloud or the local configuration server), whose round trip alone may outlast the cable's.
inline constexpr std::int32_t kLogBlockTimeoutCable = 50;
inline constexpr std::int32_t kLogBlockTimeoutRemote = 300;
// Seconds a block is waited for before the read ends with message 4.
inline constexpr std::uint32_t kLogWaitCable = 15;
inline constexpr std::uint32_t kLogWaitRemote = 50;
inline constexpr int kMsgLogBlockIndex = 39;

std::vector<std::uint8_t> LogBlockRequestData(std::uint16_t index);  // [0x01, index]
std::vector<std::uint8_t> LogClearData();                            // [0x0A]

// Replies to 0x2E. A block keeps only the whole records its frame holds. Nothing for a
// frame too short for its kind, or of another kind.
struct TLogReply {
    enum class Kind { Count, Block, Cleared } What = Kind::Count;
    std::uint16_t Count = 0;
    std::uint16_t Index = 0;
    std::uint16_t Announced = 0;
    std::vector<EventRecord> Records;
};
std::optional<TLogReply> DecodeLogReply(std::span<const std::uint8_t> data);

// RequestLogBlock and the 0x2E reply handler. Every reply first closes the wait panel
// without a message; that is the window's part.
class TEventLogTransfer {
public:
    // The link of the replies from now on: how long a block is waited for.
    void SetLink(TLink link) { FLink = link; }
    TTransferStep OnReply(std::span<const std::uint8_t> data);
    // One 10 ms tick: the re-request countdown.
    TTransferStep OnTick();
    // Bytes arrived on the link: the re-request waits for its silence anew.
    void Heard() { FWait.Heard(); }
    // Ticks to the one on which OnTick acts; 0 none.
    unsigned TicksToWork() const { return FWait.TicksToWork(); }

    bool Reading() const { return FReading; }
    std::int32_t GetNextIndex() const { return FNextIndex; }
    std::int32_t GetCount() const { return FCount; }
    std::int32_t GetBlockTimeout() const { return FWait.Left(); }
    // Block requests of this read, repeats included.
    std::uint32_t BlockRequests() const { return FWait.Requests(); }
    // The records of the completed read, handed over once.
    std::vector<EventRecord> TakeRecords();
    // Ends the read where it stands: no countdown, no further block is taken.
    void Stop();

private:
    TTransferStep RequestBlock(std::int32_t index);

    TLink FLink = TLink::Serial;
    bool FReading = false;
    std::int32_t FNextIndex = 0;
    std::int32_t FCount = 0;
    TBlockWait FWait;
    std::vector<EventRecord> FRecords;
};

// What a log read cut short leaves, in both languages.
std::string LogReadCutText(std::uint32_t received, std::uint32_t total);

inline constexpr const char* kTextLogReading = "Чтение хронологии";
inline constexpr const char* kTextLogReadDone = "Чтение хронологии завершено";
inline constexpr const char* kTextLogEmpty = "Записей, удовлетворяющих условию, нет.";
inline constexpr const char* kTextLogCleared = "Чистка памяти завершена";
inline constexpr const char* kTextLogClearQuestion =
    "Внимание! Вся информация об операциях будет удалена с сервера! Продолжить?";
inline constexpr const char* kLogClearCommand = "Команда на очистку журнала";
inline constexpr const char* kTextLogReadWait = "Осуществляется чтение журнала";
inline constexpr const char* kLogChronoRequest = "Запрос журнала по объекту";
