#pragma once
// The controller behind the simulated line: it answers identify (working or bootloader
// mode, model and capacity as the test chose), the password request (administrator,
// manager or wrong), status requests with a status record the test supplies, and reset,
// after which it leaves the bus and comes back as a USB device re-enumerates (its link
// path vanishes and appears again). It can prompt for a password on its own and send
// unsolicited error frames.
//
// Other behaviour plugs in beside it: AddHandler(command, handler) answers one more
// command (or replaces one of the model's own), e.g. a configuration model that reads and
// writes the configuration record:
//
//     devsim::DeviceModel model(sim);
//     model.AddHandler(0x20, [&](const devsim::Frame& req) { return ...reply bytes...; });
//     model.SetStatusRecord(record);   // the record the next 0x22 replies carry
//
// Handlers run on the simulator's serving thread; the model's setters and getters may be
// called from any thread.
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "tools/devsim/DevSim.h"

namespace devsim {

inline constexpr std::uint8_t kCmdIdentify = 0x00;
inline constexpr std::uint8_t kCmdReset = 0x04;
inline constexpr std::uint8_t kCmdReadStatus = 0x22;
inline constexpr std::uint8_t kCmdPassword = 0x25;
inline constexpr std::uint8_t kCmdError = 0xFF;

// Password verdicts (d0 of the 0x25 reply).
inline constexpr std::uint8_t kVerdictAccepted = 0;
inline constexpr std::uint8_t kVerdictWrong = 3;
inline constexpr std::uint8_t kVerdictAsk = 4;
inline constexpr std::uint8_t kLevelAdministrator = 32;
inline constexpr std::uint8_t kLevelManager = 16;

struct DeviceIdentity {
    bool working = true;                 // d0: 1 working, 0 bootloader
    std::uint8_t bootloaderVersion = 3;  // d1
    std::uint8_t type = 0x0B;            // d4: low seven bits 11, bit 7 the DIN model
    std::uint8_t capacityFlag = 0;       // d5: 16 is the 650-number model
};

class DeviceModel {
public:
    // Installs the model's handlers on sim (which may or may not be started yet).
    explicit DeviceModel(DevSim& sim);
    ~DeviceModel();
    DeviceModel(const DeviceModel&) = delete;
    DeviceModel& operator=(const DeviceModel&) = delete;

    void SetIdentity(const DeviceIdentity& identity);
    DeviceIdentity Identity() const;
    void SetWorking(bool working);

    void SetPasswords(std::uint16_t administrator, std::uint16_t manager);
    // After each identify reply in working mode the device asks for its password
    // (verdict 4, which = 2 for the administrator's).
    void SetPromptAfterIdentify(bool on, std::uint8_t which = 0);
    // Sends the device's own password request now.
    void AskPassword(std::uint8_t which);
    // The access level the last password request granted (0 none).
    std::uint8_t AccessLevel() const;

    // The record that status replies carry (at most 513 bytes), and their result byte.
    void SetStatusRecord(const Bytes& record);
    void SetStatusResult(std::uint8_t result);
    // Status requests go unanswered while off (a device that stopped talking).
    void SetAnswerStatus(bool on);
    // A record with the IMEI text at its start and the access level at offset 60.
    static Bytes StatusRecordWithImei(const std::string& imei, std::uint8_t accessLevel = 32);
    // A working controller's record, as the demo shows it: firmware 41.0012.0005, the
    // hardware type, registered in GSM and GPRS, signal 23 of 31 on 4G with a low error
    // rate, a balance of 250, one reader exchanging data and the numbers it stores.
    static Bytes DemoStatusRecord(const std::string& imei, std::uint8_t type, std::size_t numbersStored = 0);
    // Each status reply then carries the simulator's local wall clock as the network time.
    void SetNetworkTimeFromClock(bool on);

    // An unsolicited error frame (0xFF with the result code).
    void SendError(std::uint8_t code);

    // How long the device stays off the bus after a reset; a negative value keeps it off.
    void SetReplugDelayMs(int ms);
    int ResetCount() const;
    // The device is back on the bus after its last reset.
    bool ResetDone() const;

    // One more command, or a replacement for one of the model's own.
    void AddHandler(std::uint8_t command, DevSim::ReplyHandler handler);

private:
    Bytes Identify();
    Bytes Password(const Frame& request);
    Bytes Status();
    Bytes Reset(const Frame& request);
    void ReplugLater(bool bootloader);
    void JoinWorker();

    DevSim& FSim;
    mutable std::mutex FLock;
    DeviceIdentity FIdentity;
    std::uint16_t FAdminPassword = 1234;
    std::uint16_t FManagerPassword = 1111;
    bool FPrompt = false;
    std::uint8_t FPromptWhich = 0;
    std::uint8_t FAccessLevel = 0;
    Bytes FStatusRecord;
    std::uint8_t FStatusResult = 0;
    bool FAnswerStatus = true;
    bool FClockTime = false;
    int FReplugDelayMs = 300;
    int FResets = 0;
    bool FResetDone = true;
    // The restart's thread: started on the serving thread, joined by the destructor.
    std::mutex FWorkerLock;
    bool FClosing = false;
    std::thread FWorker;
};

}  // namespace devsim
