#pragma once
// The controller's configuration behind the simulated line: it answers the configuration
// read (0x20) with the record it holds, with "no record", or with an error code; the
// configuration write (0x21), which it accepts only with 515 data bytes (0x00, u16 512,
// the record) whose record CRC is right; and the factory reset (0x2F). Tests supply the
// records and read back what was written.
//
//     devsim::DeviceModel model(sim);
//     devsim::ConfigModel config(model);
//     config.SetRecord(record);          // what the next read returns
//     ... config.Record() after a write
#include <cstdint>
#include <functional>
#include <memory>

#include "tools/devsim/DeviceModel.h"

namespace devsim {

inline constexpr std::uint8_t kCmdReadConfig = 0x20;
inline constexpr std::uint8_t kCmdWriteConfig = 0x21;
inline constexpr std::uint8_t kCmdFactoryReset = 0x2F;
inline constexpr std::size_t kConfigRecordBytes = 512;
// The result a write that fails the checks gets (a device-side parameter error).
inline constexpr std::uint8_t kBadWriteResult = 2;

class ConfigModel {
public:
    // Installs the three handlers on the model's line.
    explicit ConfigModel(DeviceModel& model);
    ConfigModel(const ConfigModel&) = delete;
    ConfigModel& operator=(const ConfigModel&) = delete;

    // The record reads return (and writes replace); empty: reads answer "no record".
    void SetRecord(const Bytes& record);
    Bytes Record() const;
    // d0 of read replies; nonzero sends only the code.
    void SetReadResult(std::uint8_t result);
    // d0 and d1 of the reply to a write that passed the checks.
    void SetWriteResult(std::uint8_t result, std::uint8_t detail = 0);
    // d0 of the factory reset reply; after a reset with result 0 the record becomes the
    // factory record (when one is set).
    void SetFactoryResetResult(std::uint8_t result);
    void SetFactoryRecord(const Bytes& record);
    // Configuration requests go unanswered while off.
    void SetAnswer(bool on);
    // Called on the serving thread with each record a write stored.
    void SetOnRecordWritten(std::function<void(const Bytes&)> handler);

    int ReadCount() const;
    int WriteCount() const;            // writes received, accepted or not
    int RejectedWriteCount() const;    // writes that failed the length or CRC check
    Bytes LastWriteData() const;       // the data of the last write request, as it came
    int FactoryResetCount() const;

    // A plausible record for demos: head bytes, a server and time server, passwords, the
    // schedules of a new device, sealed with its CRC.
    static Bytes SampleRecord();
    // Writes the CRC of bytes 0..509 into 510 and 511 (low byte first).
    static void Seal(Bytes& record);
    static bool CrcOk(const Bytes& record);

private:
    // Shared with the handlers, so that a request served while the model goes away still
    // finds its state.
    struct State;
    std::shared_ptr<State> FState;
};

}  // namespace devsim
