#include "tools/devsim/DeviceModel.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace devsim {
namespace {

constexpr std::size_t kStatusRecordMax = 513;
constexpr std::size_t kStatusAccessLevel = 60;
constexpr std::size_t kImeiWidth = 16;
constexpr std::size_t kStatusNetworkTime = 25;  // u16 year, month, day, hour, minute, second

void PutU16(Bytes& record, std::size_t at, unsigned v) {
    record[at] = static_cast<std::uint8_t>(v & 0xFF);
    record[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

DeviceModel::DeviceModel(DevSim& sim) : FSim(sim) {
    FStatusRecord = StatusRecordWithImei("860000000000001");
    FSim.SetHandler(kCmdIdentify, [this](const Frame&) { return Identify(); });
    FSim.SetHandler(kCmdPassword, [this](const Frame& f) { return Password(f); });
    FSim.SetHandler(kCmdReadStatus, [this](const Frame&) { return Status(); });
    FSim.SetHandler(kCmdReset, [this](const Frame& f) { return Reset(f); });
}

DeviceModel::~DeviceModel() {
    // No restart starts from here on; one under way finishes first, while the model exists.
    JoinWorker();
    // The handlers point at this model: the device leaves with it.
    FSim.Stop();
    FSim.ClearHandlers();
}

void DeviceModel::SetIdentity(const DeviceIdentity& identity) {
    std::lock_guard<std::mutex> g(FLock);
    FIdentity = identity;
}

DeviceIdentity DeviceModel::Identity() const {
    std::lock_guard<std::mutex> g(FLock);
    return FIdentity;
}

void DeviceModel::SetWorking(bool working) {
    std::lock_guard<std::mutex> g(FLock);
    FIdentity.working = working;
}

void DeviceModel::SetPasswords(std::uint16_t administrator, std::uint16_t manager) {
    std::lock_guard<std::mutex> g(FLock);
    FAdminPassword = administrator;
    FManagerPassword = manager;
}

void DeviceModel::SetPromptAfterIdentify(bool on, std::uint8_t which) {
    std::lock_guard<std::mutex> g(FLock);
    FPrompt = on;
    FPromptWhich = which;
}

void DeviceModel::AskPassword(std::uint8_t which) {
    FSim.Send(BuildReply(kCmdPassword, {kVerdictAsk, 0, which}));
}

std::uint8_t DeviceModel::AccessLevel() const {
    std::lock_guard<std::mutex> g(FLock);
    return FAccessLevel;
}

void DeviceModel::SetStatusRecord(const Bytes& record) {
    std::lock_guard<std::mutex> g(FLock);
    FStatusRecord.assign(record.begin(), record.begin() + std::min(record.size(), kStatusRecordMax));
}

void DeviceModel::SetStatusResult(std::uint8_t result) {
    std::lock_guard<std::mutex> g(FLock);
    FStatusResult = result;
}

void DeviceModel::SetAnswerStatus(bool on) {
    std::lock_guard<std::mutex> g(FLock);
    FAnswerStatus = on;
}

Bytes DeviceModel::StatusRecordWithImei(const std::string& imei, std::uint8_t accessLevel) {
    Bytes record(kStatusRecordMax, 0);
    std::copy_n(imei.begin(), std::min(imei.size(), kImeiWidth - 1), record.begin());
    record[kStatusAccessLevel] = accessLevel;
    return record;
}

Bytes DeviceModel::DemoStatusRecord(const std::string& imei, std::uint8_t type, std::size_t numbersStored) {
    Bytes record = StatusRecordWithImei(imei);
    PutU16(record, 54, static_cast<std::uint16_t>(numbersStored));
    record[16] = 41;  // firmware 41.0012.0005
    record[17] = type;
    PutU16(record, 18, 12);
    PutU16(record, 20, 5);
    record[23] = 0x11;  // GSM and GPRS registered
    record[24] = 23;    // signal
    PutU16(record, 166, 250);  // SIM balance
    record[237] = 1;    // one reader, exchanging data
    record[238] = 0x01;
    record[269] = 4;    // 4G
    record[272] = 1;    // error rate 0.2 - 0.4 %
    return record;
}

void DeviceModel::SetNetworkTimeFromClock(bool on) {
    std::lock_guard<std::mutex> g(FLock);
    FClockTime = on;
}

void DeviceModel::SendError(std::uint8_t code) { FSim.Send(BuildReply(kCmdError, {code})); }

void DeviceModel::SetReplugDelayMs(int ms) {
    std::lock_guard<std::mutex> g(FLock);
    FReplugDelayMs = ms;
}

int DeviceModel::ResetCount() const {
    std::lock_guard<std::mutex> g(FLock);
    return FResets;
}

bool DeviceModel::ResetDone() const {
    std::lock_guard<std::mutex> g(FLock);
    return FResetDone;
}

void DeviceModel::AddHandler(std::uint8_t command, DevSim::ReplyHandler handler) {
    FSim.SetHandler(command, std::move(handler));
}

Bytes DeviceModel::Identify() {
    std::lock_guard<std::mutex> g(FLock);
    const DeviceIdentity& id = FIdentity;
    Bytes reply = BuildReply(kCmdIdentify, {static_cast<std::uint8_t>(id.working ? 1 : 0),
                                            id.bootloaderVersion, 0, 0, id.type, id.capacityFlag});
    if (id.working && FPrompt) {
        Bytes ask = BuildReply(kCmdPassword, {kVerdictAsk, 0, FPromptWhich});
        reply.insert(reply.end(), ask.begin(), ask.end());
    }
    return reply;
}

Bytes DeviceModel::Password(const Frame& request) {
    std::lock_guard<std::mutex> g(FLock);
    if (request.data.size() < 2) return BuildReply(kCmdPassword, {kVerdictWrong, 0, 0});
    std::uint16_t typed = static_cast<std::uint16_t>(request.data[0] | (request.data[1] << 8));
    if (typed == FAdminPassword)
        FAccessLevel = kLevelAdministrator;
    else if (typed == FManagerPassword)
        FAccessLevel = kLevelManager;
    else
        FAccessLevel = 0;
    std::uint8_t verdict = FAccessLevel ? kVerdictAccepted : kVerdictWrong;
    return BuildReply(kCmdPassword, {verdict, FAccessLevel, 0});
}

Bytes DeviceModel::Status() {
    std::lock_guard<std::mutex> g(FLock);
    if (!FAnswerStatus) return {};
    if (FStatusResult != 0) return BuildReply(kCmdReadStatus, {FStatusResult});
    Bytes record = FStatusRecord;
    if (FClockTime && record.size() >= kStatusNetworkTime + 7) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        PutU16(record, kStatusNetworkTime, static_cast<unsigned>(local.tm_year + 1900));
        const int rest[] = {local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
        for (int i = 0; i < 5; ++i) record[kStatusNetworkTime + 2 + i] = static_cast<std::uint8_t>(rest[i]);
    }
    Bytes data{0, static_cast<std::uint8_t>(record.size() & 0xFF), static_cast<std::uint8_t>(record.size() >> 8)};
    data.insert(data.end(), record.begin(), record.end());
    return BuildReply(kCmdReadStatus, data);
}

Bytes DeviceModel::Reset(const Frame& request) {
    bool bootloader = !request.data.empty() && request.data[0] == 1;
    {
        std::lock_guard<std::mutex> g(FLock);
        if (!FResetDone) return {};  // still restarting: it hears nothing
        FResetDone = false;
        ++FResets;
        FAccessLevel = 0;
    }
    ReplugLater(bootloader);
    return BuildReply(kCmdReset, {0});
}

// Runs on a thread of its own: the serving thread cannot stop itself.
void DeviceModel::ReplugLater(bool bootloader) {
    std::lock_guard<std::mutex> w(FWorkerLock);
    if (FClosing) return;
    if (FWorker.joinable()) FWorker.join();  // the previous restart has finished
    FWorker = std::thread([this, bootloader] {
        // The reply leaves first, and the tool gets a moment to take it in.
        for (int i = 0; i < 200 && FSim.PendingOutput() > 0; ++i) SleepMs(5);
        SleepMs(50);
        FSim.Unplug();
        int delay;
        {
            std::lock_guard<std::mutex> g(FLock);
            delay = FReplugDelayMs;
            FIdentity.working = !bootloader;
        }
        if (delay < 0) return;
        SleepMs(delay);
        FSim.Replug();
        std::lock_guard<std::mutex> g(FLock);
        FResetDone = true;
    });
}

void DeviceModel::JoinWorker() {
    std::thread worker;
    {
        std::lock_guard<std::mutex> w(FWorkerLock);
        FClosing = true;
        worker = std::move(FWorker);
    }
    // Outside the lock: the restart may be stopping the serving thread, which may be waiting
    // for the lock in ReplugLater.
    if (worker.joinable()) worker.join();
}

}  // namespace devsim
