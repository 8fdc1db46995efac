#include "tools/devsim/MemoryModel.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

namespace devsim {
namespace {

void PutU16(Bytes& b, std::size_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
std::size_t U16(const Bytes& d, std::size_t at) { return d[at] | (d[at + 1] << 8); }

// The number field: up to its NUL within 11 bytes.
std::string NumberOf(const std::uint8_t* record) {
    std::size_t n = 0;
    while (n < 11 && record[1 + n]) ++n;
    return std::string(reinterpret_cast<const char*>(record + 1), n);
}

// One frame's data carries at most 4096 - 9 bytes.
constexpr std::size_t kMaxReadBlock = (4096 - 16) / kNumberRecordBytes;

}  // namespace

struct MemoryModel::State {
    mutable std::mutex Lock;
    std::vector<Bytes> Numbers;
    std::size_t ReadBlock = 31;
    int LoseRead = 0;
    int LoseWrite = 0;
    bool WriteNamesNext = false;
    std::uint8_t AddResult = 0;
    int Erases = 0;
    int WriteEnds = 0;
    std::vector<Bytes> LogRecords;
    std::size_t LogBlock = 10;
    int LoseLog = 0;
    int DuplicateLog = 0;

    std::size_t Find(const std::string& number) const {
        for (std::size_t i = 0; i < Numbers.size(); ++i)
            if (NumberOf(Numbers[i].data()) == number) return i;
        return Numbers.size();
    }

    // One result byte per whole record of the request.
    Bytes Edit(const Frame& request, bool add) {
        std::lock_guard<std::mutex> g(Lock);
        Bytes results;
        const Bytes& d = request.data;
        for (std::size_t at = 0; at + kNumberRecordBytes <= d.size(); at += kNumberRecordBytes) {
            Bytes record(d.begin() + at, d.begin() + at + kNumberRecordBytes);
            const std::string number = NumberOf(record.data());
            const std::size_t i = Find(number);
            if (add) {
                const bool ok = AddResult == 0 && record[0] == 0xAA && !number.empty();
                if (ok) {
                    if (i < Numbers.size())
                        Numbers[i] = record;
                    else
                        Numbers.push_back(record);
                }
                results.push_back(ok ? 0 : (AddResult ? AddResult : 2));
            } else {
                const bool found = record[0] == 0xFF && i < Numbers.size();
                if (found) Numbers.erase(Numbers.begin() + static_cast<std::ptrdiff_t>(i));
                results.push_back(found ? 0 : kNumberAbsent);
            }
        }
        return BuildReply(add ? kCmdAddNumbers : kCmdDeleteNumbers, results);
    }

    Bytes Read(const Frame& request) {
        std::lock_guard<std::mutex> g(Lock);
        const Bytes& d = request.data;
        if (d.size() == 1 && d[0] == 0x00) {
            Bytes reply = {0x00};
            PutU16(reply, Numbers.size());
            return BuildReply(kCmdReadNumbers, reply);
        }
        if (d.size() < 3 || d[0] != 0x01) return {};
        if (LoseRead > 0) {
            --LoseRead;
            return {};
        }
        const std::size_t index = U16(d, 1);
        const std::size_t n = index < Numbers.size() ? std::min(ReadBlock, Numbers.size() - index) : 0;
        Bytes reply = {0x01};
        PutU16(reply, index);
        PutU16(reply, n);
        for (std::size_t i = index; i < index + n; ++i) reply.insert(reply.end(), Numbers[i].begin(), Numbers[i].end());
        return BuildReply(kCmdReadNumbers, reply);
    }

    Bytes Write(const Frame& request) {
        std::lock_guard<std::mutex> g(Lock);
        const Bytes& d = request.data;
        if (d.empty()) return {};
        if (d[0] == 0x01) {
            ++Erases;
            Numbers.clear();
            return BuildReply(kCmdWriteNumbers, {0, 0x01});
        }
        if (d[0] == 0x02) {
            ++WriteEnds;
            return BuildReply(kCmdWriteNumbers, {0, 0x02});
        }
        if (d[0] != 0x00 || d.size() < 5) return {};
        const std::size_t first = U16(d, 1), n = U16(d, 3);
        if (d.size() != 5 + n * kNumberRecordBytes) return BuildReply(kCmdWriteNumbers, {2, 0});
        // A write from the first record brings a whole new base.
        if (first == 0) Numbers.clear();
        if (Numbers.size() < first + n) Numbers.resize(first + n, Bytes(kNumberRecordBytes, 0));
        for (std::size_t i = 0; i < n; ++i) {
            const auto from = d.begin() + 5 + static_cast<std::ptrdiff_t>(i * kNumberRecordBytes);
            Numbers[first + i].assign(from, from + kNumberRecordBytes);
        }
        if (LoseWrite > 0) {
            --LoseWrite;
            return {};
        }
        if (!WriteNamesNext) return BuildReply(kCmdWriteNumbers, {0, 0x00});
        const std::size_t next = first + n;
        return BuildReply(kCmdWriteNumbers, {0, 0x0A, static_cast<std::uint8_t>(next), static_cast<std::uint8_t>(next >> 8),
                                             static_cast<std::uint8_t>(next >> 16), static_cast<std::uint8_t>(next >> 24)});
    }

    Bytes LogRequest(const Frame& request) {
        std::lock_guard<std::mutex> g(Lock);
        const Bytes& d = request.data;
        if (d.size() == 1 && d[0] == 0x0A) {
            LogRecords.clear();
            return BuildReply(kCmdReadEventLog, {0x0A});
        }
        if (d.size() < 3 || d[0] != 0x01) return {};
        if (LoseLog > 0) {
            --LoseLog;
            return {};
        }
        const std::size_t index = U16(d, 1);
        const std::size_t n = index < LogRecords.size() ? std::min(LogBlock, LogRecords.size() - index) : 0;
        Bytes reply = {0x01};
        PutU16(reply, index);
        PutU16(reply, n);
        for (std::size_t i = index; i < index + n; ++i)
            reply.insert(reply.end(), LogRecords[i].begin(), LogRecords[i].end());
        Bytes frame = BuildReply(kCmdReadEventLog, reply);
        if (DuplicateLog > 0) {
            --DuplicateLog;
            const Bytes again = frame;
            frame.insert(frame.end(), again.begin(), again.end());
        }
        return frame;
    }
};

MemoryModel::MemoryModel(DeviceModel& model, DevSim& sim) : FState(std::make_shared<State>()), FSim(sim) {
    auto state = FState;
    model.AddHandler(kCmdAddNumbers, [state](const Frame& f) { return state->Edit(f, true); });
    model.AddHandler(kCmdDeleteNumbers, [state](const Frame& f) { return state->Edit(f, false); });
    model.AddHandler(kCmdReadNumbers, [state](const Frame& f) { return state->Read(f); });
    model.AddHandler(kCmdWriteNumbers, [state](const Frame& f) { return state->Write(f); });
    model.AddHandler(kCmdReadEventLog, [state](const Frame& f) { return state->LogRequest(f); });
}

void MemoryModel::SetNumbers(const std::vector<Bytes>& records) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->Numbers = records;
    for (Bytes& r : FState->Numbers) r.resize(kNumberRecordBytes, 0);
}

std::vector<Bytes> MemoryModel::Numbers() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Numbers;
}

void MemoryModel::SetReadBlockSize(std::size_t n) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->ReadBlock = std::clamp<std::size_t>(n, 1, kMaxReadBlock);
}

void MemoryModel::LoseReadReplies(int n) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->LoseRead = n;
}

void MemoryModel::LoseWriteReplies(int n) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->LoseWrite = n;
}

void MemoryModel::SetWriteNamesNext(bool on) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->WriteNamesNext = on;
}

void MemoryModel::SetAddResult(std::uint8_t result) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->AddResult = result;
}

int MemoryModel::EraseCount() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Erases;
}

int MemoryModel::WriteEndCount() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->WriteEnds;
}

void MemoryModel::SetLog(const std::vector<Bytes>& records) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->LogRecords = records;
    for (Bytes& r : FState->LogRecords) r.resize(kEventRecordBytes, 0);
}

std::vector<Bytes> MemoryModel::Log() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->LogRecords;
}

void MemoryModel::SetLogBlockSize(std::size_t n) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->LogBlock = std::clamp<std::size_t>(n, 1, (4096 - 16) / kEventRecordBytes);
}

void MemoryModel::LoseLogReplies(int n) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->LoseLog = n;
}

void MemoryModel::DuplicateLogReplies(int n) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->DuplicateLog = n;
}

void MemoryModel::AnnounceLog() {
    Bytes reply = {0x00};
    {
        std::lock_guard<std::mutex> g(FState->Lock);
        PutU16(reply, FState->LogRecords.size());
    }
    FSim.Send(BuildReply(kCmdReadEventLog, reply));
}

void MemoryModel::SendNotice(const Bytes& record) { FSim.Send(BuildReply(kCmdEventNotice, record)); }

Bytes MemoryModel::NumberRecord(const std::string& number, const std::string& name, std::uint8_t flags,
                                std::uint32_t expiry, std::uint8_t passes, std::uint8_t schedule) {
    Bytes r(kNumberRecordBytes, 0);
    r[0] = 0xAA;
    std::memcpy(r.data() + 1, number.data(), std::min<std::size_t>(number.size(), 10));
    std::memcpy(r.data() + 12, name.data(), std::min<std::size_t>(name.size(), 19));
    r[32] = flags;
    for (int i = 0; i < 4; ++i) r[33 + i] = static_cast<std::uint8_t>(expiry >> (8 * i));
    r[37] = passes;
    r[38] = schedule;
    return r;
}

Bytes MemoryModel::EventRecord(std::uint32_t time, const std::string& number, std::uint8_t operation,
                               const std::string& object) {
    Bytes r(kEventRecordBytes, 0);
    for (int i = 0; i < 4; ++i) r[i] = static_cast<std::uint8_t>(time >> (8 * i));
    std::memcpy(r.data() + 4, number.data(), std::min<std::size_t>(number.size(), 10));
    r[15] = operation;
    std::memcpy(r.data() + 16, object.data(), std::min<std::size_t>(object.size(), 16));
    return r;
}

}  // namespace devsim
