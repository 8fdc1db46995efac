#include "tools/devsim/ConfigModel.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace devsim {
namespace {

void PutText(Bytes& r, std::size_t at, const char* text) { std::memcpy(r.data() + at, text, std::strlen(text)); }
void PutU16(Bytes& r, std::size_t at, std::uint16_t v) {
    r[at] = static_cast<std::uint8_t>(v);
    r[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

struct ConfigModel::State {
    std::mutex Lock;
    Bytes Record;
    Bytes FactoryRecord;
    std::uint8_t ReadResult = 0;
    std::uint8_t WriteResult = 0;
    std::uint8_t WriteDetail = 0;
    std::uint8_t ResetResult = 0;
    bool Answer = true;
    int Reads = 0;
    int Writes = 0;
    int Rejected = 0;
    int Resets = 0;
    Bytes LastWrite;
    std::function<void(const Bytes&)> OnWritten;

    Bytes Read() {
        std::lock_guard<std::mutex> g(Lock);
        ++Reads;
        if (!Answer) return {};
        if (ReadResult != 0) return BuildReply(kCmdReadConfig, {ReadResult});
        if (Record.empty()) return BuildReply(kCmdReadConfig, {0, 1});
        // Sized first: GCC 12 takes an insert after a 4-byte list for a write out of bounds.
        Bytes data(4 + Record.size());
        data[2] = static_cast<std::uint8_t>(Record.size());
        data[3] = static_cast<std::uint8_t>(Record.size() >> 8);
        std::copy(Record.begin(), Record.end(), data.begin() + 4);
        return BuildReply(kCmdReadConfig, data);
    }

    Bytes Write(const Frame& request) {
        std::lock_guard<std::mutex> g(Lock);
        ++Writes;
        LastWrite = request.data;
        if (!Answer) return {};
        const Bytes& d = request.data;
        const bool shapeOk = d.size() == 3 + kConfigRecordBytes && d[0] == 0x00 && d[1] == 0x00 && d[2] == 0x02;
        Bytes record;
        if (shapeOk) record.assign(d.begin() + 3, d.end());
        if (!shapeOk || !CrcOk(record)) {
            ++Rejected;
            return BuildReply(kCmdWriteConfig, {kBadWriteResult, 0});
        }
        if (WriteResult == 0 || WriteResult == 5) {
            Record = record;
            if (OnWritten) OnWritten(Record);
        }
        return BuildReply(kCmdWriteConfig, {WriteResult, WriteDetail});
    }

    Bytes FactoryReset() {
        std::lock_guard<std::mutex> g(Lock);
        ++Resets;
        if (!Answer) return {};
        if (ResetResult == 0 && !FactoryRecord.empty()) Record = FactoryRecord;
        return BuildReply(kCmdFactoryReset, {ResetResult});
    }
};

ConfigModel::ConfigModel(DeviceModel& model) : FState(std::make_shared<State>()) {
    auto state = FState;
    model.AddHandler(kCmdReadConfig, [state](const Frame&) { return state->Read(); });
    model.AddHandler(kCmdWriteConfig, [state](const Frame& f) { return state->Write(f); });
    model.AddHandler(kCmdFactoryReset, [state](const Frame&) { return state->FactoryReset(); });
}


void ConfigModel::SetRecord(const Bytes& record) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->Record = record;
}
Bytes ConfigModel::Record() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Record;
}
void ConfigModel::SetReadResult(std::uint8_t result) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->ReadResult = result;
}
void ConfigModel::SetWriteResult(std::uint8_t result, std::uint8_t detail) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->WriteResult = result;
    FState->WriteDetail = detail;
}
void ConfigModel::SetFactoryResetResult(std::uint8_t result) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->ResetResult = result;
}
void ConfigModel::SetFactoryRecord(const Bytes& record) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->FactoryRecord = record;
}
void ConfigModel::SetAnswer(bool on) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->Answer = on;
}
void ConfigModel::SetOnRecordWritten(std::function<void(const Bytes&)> handler) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->OnWritten = std::move(handler);
}
int ConfigModel::ReadCount() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Reads;
}
int ConfigModel::WriteCount() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Writes;
}
int ConfigModel::RejectedWriteCount() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Rejected;
}
Bytes ConfigModel::LastWriteData() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->LastWrite;
}
int ConfigModel::FactoryResetCount() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Resets;
}


void ConfigModel::Seal(Bytes& record) {
    if (record.size() < kConfigRecordBytes) record.resize(kConfigRecordBytes, 0);
    PutU16(record, 510, Crc16Modbus(record.data(), 510));
}

bool ConfigModel::CrcOk(const Bytes& record) {
    if (record.size() != kConfigRecordBytes) return false;
    return Crc16Modbus(record.data(), 510) == static_cast<std::uint16_t>(record[510] | (record[511] << 8));
}

Bytes ConfigModel::SampleRecord() {
    Bytes r(kConfigRecordBytes, 0);
    const std::uint8_t head[4] = {0xAD, 0x01, 0x01, 0x02};
    std::memcpy(r.data(), head, 4);
    PutU16(r, 9, 1234);    // administrator password
    PutU16(r, 11, 1111);   // manager password
    r[13] = 0x02;          // time server on
    r[14] = 2;             // operator item 2
    r[60] = 0x01;          // cloud service on
    PutText(r, 66, "demo.device.example");
    PutU16(r, 90, 10950);
    PutText(r, 92, "time.device.example");
    PutU16(r, 116, 123);
    PutText(r, 118, "+79001234567");
    r[134] = 1;            // pulse
    r[135] = 3;
    r[136] = 2;
    r[137] = 1;
    const std::uint8_t schedules[21] = {0x1F, 0, 0, 0x1F, 8, 20, 0x7F, 8, 20, 0x60, 0, 0,
                                        0x55, 0, 0, 0x2A, 0, 0, 0, 0, 0};
    std::memcpy(r.data() + 138, schedules, sizeof schedules);
    r[159] = 5;            // 320x240
    r[160] = 3;            // time zone +3
    PutU16(r, 172, 50);
    PutText(r, 176, "*100#");
    r[193] = 1;            // one reader
    Seal(r);
    return r;
}

}  // namespace devsim
