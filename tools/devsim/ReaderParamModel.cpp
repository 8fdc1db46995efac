#include "tools/devsim/ReaderParamModel.h"

#include <mutex>

namespace devsim {

namespace {
using TParams = std::map<std::uint8_t, std::uint8_t>;

// Address, power 30, 57600 baud, EU band, TID bank.
TParams Defaults(std::uint8_t address) {
    return {{0x03, address}, {0x05, 30}, {0x07, 3}, {0x3F, 1}, {0x0A, 2}};
}
}  // namespace

struct ReaderParamModel::State {
    mutable std::mutex Lock;
    std::map<std::uint8_t, TParams> Readers;
    bool RefuseWrites = false;
    int Reads = 0;
    int Writes = 0;

    Bytes Get(const Frame& request) {
        std::lock_guard<std::mutex> g(Lock);
        ++Reads;
        Bytes data = {1, 0};
        if (request.data.size() >= 2) {
            const auto r = Readers.find(request.data[0]);
            if (r != Readers.end()) {
                const auto p = r->second.find(request.data[1]);
                if (p != r->second.end()) data = {0, p->second};
            }
        }
        return BuildReply(kCmdReaderParamGet, data);
    }

    Bytes Set(const Frame& request) {
        std::lock_guard<std::mutex> g(Lock);
        ++Writes;
        bool set = false;
        if (!RefuseWrites && request.data.size() >= 3) {
            const std::uint8_t address = request.data[0], code = request.data[1], value = request.data[2];
            const auto r = Readers.find(address);
            const auto max = MaxValue(code);
            if (r != Readers.end() && max && value <= *max) {
                r->second[code] = value;
                // A reader given a new address answers there from now on.
                if (code == 0x03 && value != address) {
                    TParams moved = r->second;
                    Readers.erase(r);
                    Readers[value] = moved;
                }
                set = true;
            }
        }
        return BuildReply(kCmdReaderParamSet, {static_cast<std::uint8_t>(set ? 1 : 0)});
    }
};

ReaderParamModel::ReaderParamModel(DeviceModel& model) : FState(std::make_shared<State>()) {
    FState->Readers[0] = Defaults(0);
    std::shared_ptr<State> s = FState;
    model.AddHandler(kCmdReaderParamGet, [s](const Frame& f) { return s->Get(f); });
    model.AddHandler(kCmdReaderParamSet, [s](const Frame& f) { return s->Set(f); });
}

void ReaderParamModel::AddReader(std::uint8_t address) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->Readers[address] = Defaults(address);
}

void ReaderParamModel::RemoveReaders() {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->Readers.clear();
}

void ReaderParamModel::SetValue(std::uint8_t address, std::uint8_t code, std::uint8_t value) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->Readers[address][code] = value;
}

std::optional<std::uint8_t> ReaderParamModel::Value(std::uint8_t address, std::uint8_t code) const {
    std::lock_guard<std::mutex> g(FState->Lock);
    const auto r = FState->Readers.find(address);
    if (r == FState->Readers.end()) return std::nullopt;
    const auto p = r->second.find(code);
    if (p == r->second.end()) return std::nullopt;
    return p->second;
}

void ReaderParamModel::SetRefuseWrites(bool on) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->RefuseWrites = on;
}

int ReaderParamModel::Reads() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Reads;
}

int ReaderParamModel::Writes() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Writes;
}

std::optional<std::uint8_t> ReaderParamModel::MaxValue(std::uint8_t code) {
    switch (code) {
        case 0x03: return 254;
        case 0x05: return 30;
        case 0x07: return 4;
        case 0x3F: return 1;
        case 0x0A: return 3;
        default: return std::nullopt;
    }
}

}  // namespace devsim
