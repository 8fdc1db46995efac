#include "tools/devsim/PhotoModel.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/rtl/CodePage.h"

namespace devsim {

namespace {
constexpr std::size_t kMaxChunk = 4000;

void PutU32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
}  // namespace

struct PhotoModel::State {
    std::mutex Lock;
    Bytes Picture;
    std::size_t ChunkSize = 512;
    std::string EventName;  // Windows-1251
    std::map<std::string, Bytes> EventPictures;  // by Windows-1251 name
    Bytes EventPicture;  // the one the last request by name chose
    int Lose = 0;
    long Announced = -1;
    int ShortChunk = -1;
    std::uint8_t CameraError = 0;
    std::size_t CameraSent = 0, ServerSent = 0;
    int CameraChunks = 0;
    std::vector<std::string> Asked;

    // Replies pass through here so a test can lose them.
    Bytes Out(std::uint8_t command, const Bytes& data) {
        if (Lose > 0) {
            --Lose;
            return {};
        }
        return BuildReply(command, data);
    }
    Bytes ChunkAt(std::size_t offset) const { return ChunkOf(Picture, offset); }
    Bytes ChunkOf(const Bytes& picture, std::size_t offset) const {
        if (offset >= picture.size()) return {};
        const std::size_t n = std::min(ChunkSize, picture.size() - offset);
        return Bytes(picture.begin() + static_cast<long>(offset), picture.begin() + static_cast<long>(offset + n));
    }

    Bytes Camera(const Frame& f) {
        std::lock_guard<std::mutex> g(Lock);
        if (f.data.size() >= 3 && f.data[0] == 0x00 && f.data[2] == 0x05) {
            if (CameraError) return Out(kCmdCameraPhoto, {CameraError});
            const auto size = static_cast<std::uint32_t>(Announced >= 0 ? Announced : static_cast<long>(Picture.size()));
            CameraSent = 0;
            CameraChunks = 0;
            return Out(kCmdCameraPhoto, {0x00, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                                         static_cast<std::uint8_t>(size >> 16)});
        }
        if (f.data.size() >= 2 && f.data[0] == 0x01) {
            const Bytes chunk = ChunkAt(CameraSent);
            if (chunk.empty()) return Out(kCmdCameraPhoto, {10});
            CameraSent += chunk.size();
            const std::size_t said = chunk.size() + (CameraChunks++ == ShortChunk ? 7 : 0);
            Bytes reply = {0x01, static_cast<std::uint8_t>(said), static_cast<std::uint8_t>(said >> 8)};
            reply.insert(reply.end(), chunk.begin(), chunk.end());
            return Out(kCmdCameraPhoto, reply);
        }
        return {};
    }

    Bytes Server(const Frame& f) {
        std::lock_guard<std::mutex> g(Lock);
        if (f.data.size() < 2 || f.data[0] != 0x01) return {};
        const Bytes chunk = ChunkAt(ServerSent);
        if (chunk.empty()) return Out(kCmdServerPhoto, {0x02});
        ServerSent += chunk.size();
        Bytes reply = {0x01};
        reply.insert(reply.end(), chunk.begin(), chunk.end());
        return Out(kCmdServerPhoto, reply);
    }

    Bytes Event(const Frame& f) {
        std::lock_guard<std::mutex> g(Lock);
        if (f.data.size() >= 2 && f.data[0] == 0x00) {
            std::string name(f.data.begin() + 1, f.data.end());
            if (!name.empty() && name.back() == '\0') name.pop_back();
            Asked.push_back(Cp1251ToUtf8(name));
            const auto kept = EventPictures.find(name);
            if (name == EventName && !Picture.empty())
                EventPicture = Picture;
            else if (kept != EventPictures.end())
                EventPicture = kept->second;
            else
                return Out(kCmdEventPhoto, {0x03});
            Bytes reply = {0x00};
            const Bytes chunk = ChunkOf(EventPicture, 0);
            reply.insert(reply.end(), chunk.begin(), chunk.end());
            return Out(kCmdEventPhoto, reply);
        }
        if (f.data.size() >= 5 && f.data[0] == 0x05) {
            const std::uint32_t offset = f.data[1] | (f.data[2] << 8) | (f.data[3] << 16) |
                                         (static_cast<std::uint32_t>(f.data[4]) << 24);
            const Bytes chunk = ChunkOf(EventPicture.empty() ? Picture : EventPicture, offset);
            if (chunk.empty()) return Out(kCmdEventPhoto, {0x02});
            Bytes reply = {0x05};
            PutU32(reply, offset);
            reply.insert(reply.end(), chunk.begin(), chunk.end());
            return Out(kCmdEventPhoto, reply);
        }
        return {};
    }
};

PhotoModel::PhotoModel(DeviceModel& model, DevSim& sim) : FState(std::make_shared<State>()), FSim(sim) {
    auto state = FState;
    model.AddHandler(kCmdCameraPhoto, [state](const Frame& f) { return state->Camera(f); });
    model.AddHandler(kCmdServerPhoto, [state](const Frame& f) { return state->Server(f); });
    model.AddHandler(kCmdEventPhoto, [state](const Frame& f) { return state->Event(f); });
}

void PhotoModel::SetPicture(const Bytes& jpeg) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->Picture = jpeg;
}

void PhotoModel::SetChunkSize(std::size_t n) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->ChunkSize = std::clamp<std::size_t>(n, 1, kMaxChunk);
}

void PhotoModel::SetEventName(const std::string& name) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->EventName = Utf8ToCp1251(name);
}

void PhotoModel::AddEventPicture(const std::string& name, const Bytes& jpeg) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->EventPictures[Utf8ToCp1251(name)] = jpeg;
}

void PhotoModel::LoseReplies(int n) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->Lose = n;
}

void PhotoModel::SetAnnouncedSize(long size) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->Announced = size;
}

void PhotoModel::SetShortChunk(int k) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->ShortChunk = k;
}

void PhotoModel::SetCameraError(std::uint8_t code) {
    std::lock_guard<std::mutex> g(FState->Lock);
    FState->CameraError = code;
}

void PhotoModel::SendServerPicture() {
    Bytes reply = {0x00};
    {
        std::lock_guard<std::mutex> g(FState->Lock);
        const Bytes chunk = FState->ChunkAt(0);
        FState->ServerSent = chunk.size();
        reply.insert(reply.end(), chunk.begin(), chunk.end());
    }
    FSim.Send(BuildReply(kCmdServerPhoto, reply));
}

std::vector<std::string> PhotoModel::AskedNames() const {
    std::lock_guard<std::mutex> g(FState->Lock);
    return FState->Asked;
}

}  // namespace devsim
