#include "tools/devsim/BootloaderModel.h"

#include <map>
#include <mutex>

namespace devsim {
namespace {
constexpr std::size_t kHeaderBytes = 512;
std::uint32_t U32(const Bytes& d, std::size_t k) {
    return d[k] | (d[k + 1] << 8) | (d[k + 2] << 16) | (static_cast<std::uint32_t>(d[k + 3]) << 24);
}
std::uint16_t U16(const Bytes& d, std::size_t k) { return static_cast<std::uint16_t>(d[k] | (d[k + 1] << 8)); }
}  // namespace

struct BootloaderModel::State {
    mutable std::mutex Lock;
    std::map<std::uint8_t, std::uint8_t> Results;
    int SilentAfter = -1;
    std::uint32_t Announced = 0;
    Bytes Header;
    Bytes Body;
    Bytes Written;
    int Blocks = 0;
    bool Finished = false;

    Bytes Answer(std::uint8_t command, bool ok) {
        auto it = Results.find(command);
        const std::uint8_t result = it != Results.end() ? it->second : (ok ? 0 : kBootBadRequest);
        return BuildReply(command, {result});
    }

    Bytes Take(const Frame& f) {
        std::lock_guard<std::mutex> g(Lock);
        const Bytes& d = f.data;
        switch (f.command) {
            case kCmdFwStart:
                Announced = 0;
                Header.clear();
                Body.clear();
                Blocks = 0;
                Finished = false;
                return Answer(f.command, d.empty());
            case kCmdFwSize: {
                const bool ok = d.size() == 4;
                if (ok) Announced = U32(d, 0);
                return Answer(f.command, ok);
            }
            case kCmdFwHeader: {
                const bool ok = d.size() == 2 + kHeaderBytes && U16(d, 0) == kHeaderBytes;
                if (ok) Header.assign(d.begin() + 2, d.end());
                return Answer(f.command, ok);
            }
            case kCmdFwBlock: {
                bool ok = d.size() >= 6 && !Header.empty();
                if (ok) {
                    const std::uint32_t offset = U32(d, 0);
                    const std::uint16_t n = U16(d, 4);
                    ok = d.size() == 6u + n && n <= 1024 && offset == Body.size() &&
                         kHeaderBytes + Body.size() + n <= Announced;
                    if (ok) Body.insert(Body.end(), d.begin() + 6, d.end());
                }
                ++Blocks;
                if (SilentAfter >= 0 && Blocks > SilentAfter) return {};
                return Answer(f.command, ok);
            }
            case kCmdFwFinish: {
                const bool ok = !Header.empty() && kHeaderBytes + Body.size() == Announced;
                if (ok) {
                    Written = Header;
                    Written.insert(Written.end(), Body.begin(), Body.end());
                    Finished = true;
                }
                return Answer(f.command, ok);
            }
            default:
                return {};
        }
    }
};

BootloaderModel::BootloaderModel(DeviceModel& model) : FState(std::make_shared<State>()) {
    auto state = FState;
    for (std::uint8_t c : {kCmdFwStart, kCmdFwSize, kCmdFwHeader, kCmdFwBlock, kCmdFwFinish})
        model.AddHandler(c, [state](const Frame& f) { return state->Take(f); });
}

Bytes BootloaderModel::Image() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    Bytes image = FState->Header;
    image.insert(image.end(), FState->Body.begin(), FState->Body.end());
    return image;
}

Bytes BootloaderModel::Written() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Written;
}

std::uint32_t BootloaderModel::AnnouncedSize() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Announced;
}

int BootloaderModel::BlockCount() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Blocks;
}

bool BootloaderModel::Finished() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Finished;
}

void BootloaderModel::SetResult(std::uint8_t command, std::uint8_t result) {
    std::lock_guard<std::mutex> g(FState->Lock);
    if (result == 0) FState->Results.erase(command);
    else FState->Results[command] = result;
}

void BootloaderModel::SetSilentAfterBlocks(int blocks) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->SilentAfter = blocks;
}

}  // namespace devsim
