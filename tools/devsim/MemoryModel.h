#pragma once
// The controller's number base and event log behind the simulated line: it adds and deletes
// numbers (0x2A, 0x2B: one result per record), reads the whole base block by block (0x2C),
// takes a whole new base block by block after an erase (0x2D), and sends its event log
// (0x2E) block by block after announcing the count on its own. Tests fill the base and the
// log, lose replies on purpose, and read back what was written.
//
//     devsim::DeviceModel model(sim);
//     devsim::MemoryModel memory(model, sim);
//     memory.SetNumbers(records);        // 64-byte records the next read returns
//     memory.AnnounceLog();              // the count reply that starts a log read
#include <cstdint>
#include <memory>
#include <vector>

#include "tools/devsim/DeviceModel.h"

namespace devsim {

inline constexpr std::uint8_t kCmdAddNumbers = 0x2A;
inline constexpr std::uint8_t kCmdDeleteNumbers = 0x2B;
inline constexpr std::uint8_t kCmdReadNumbers = 0x2C;
inline constexpr std::uint8_t kCmdWriteNumbers = 0x2D;
inline constexpr std::uint8_t kCmdReadEventLog = 0x2E;
inline constexpr std::uint8_t kCmdEventNotice = 0x40;
inline constexpr std::size_t kNumberRecordBytes = 64;
inline constexpr std::size_t kEventRecordBytes = 32;
// The result of deleting a number the base does not hold.
inline constexpr std::uint8_t kNumberAbsent = 3;

class MemoryModel {
public:
    // Installs the handlers of 0x2A to 0x2E on the model's line; sim sends the log's count
    // and the event notices.
    MemoryModel(DeviceModel& model, DevSim& sim);
    MemoryModel(const MemoryModel&) = delete;
    MemoryModel& operator=(const MemoryModel&) = delete;

    // The base: 64-byte records in device order.
    void SetNumbers(const std::vector<Bytes>& records);
    std::vector<Bytes> Numbers() const;
    // Records per read block (at most what one frame of 4096 bytes holds).
    void SetReadBlockSize(std::size_t n);
    // The next n replies to read-block or write-block requests are lost.
    void LoseReadReplies(int n);
    void LoseWriteReplies(int n);
    // Write blocks are acknowledged with the next index (d1 = 0x0A) instead of d1 = 0.
    void SetWriteNamesNext(bool on);
    // The result code of every add; 0 adds.
    void SetAddResult(std::uint8_t result);
    int EraseCount() const;
    int WriteEndCount() const;

    // The event log: 32-byte records.
    void SetLog(const std::vector<Bytes>& records);
    std::vector<Bytes> Log() const;
    void SetLogBlockSize(std::size_t n);
    void LoseLogReplies(int n);
    // The next n log block replies go out twice, as answers to a repeated request do.
    void DuplicateLogReplies(int n);
    // Sends the count reply that starts a read of the whole log.
    void AnnounceLog();
    // Sends an event notice carrying the record (or any bytes).
    void SendNotice(const Bytes& record);

    // A number record: mark 0xAA, the number, the name, flags, expiry, passes, schedule.
    static Bytes NumberRecord(const std::string& number, const std::string& name, std::uint8_t flags = 0,
                              std::uint32_t expiry = 0, std::uint8_t passes = 0, std::uint8_t schedule = 0);
    static Bytes EventRecord(std::uint32_t time, const std::string& number, std::uint8_t operation,
                             const std::string& object);

private:
    struct State;
    std::shared_ptr<State> FState;
    DevSim& FSim;
};

}  // namespace devsim
