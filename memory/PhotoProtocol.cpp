#include "memory/PhotoProtocol.h"

#include "platform/rtl/CodePage.h"

std::vector<std::uint8_t> CameraTakeRequest() { return {0x00, 0x00, 0x05}; }

std::vector<std::uint8_t> PhotoNextChunkRequest() { return {0x01, 0x00}; }

std::vector<std::uint8_t> EventPhotoByNameRequest(const std::string& fileName) {
    const std::string wire = Utf8ToCp1251(fileName);
    std::vector<std::uint8_t> data;
    data.reserve(wire.size() + 2);
    data.push_back(0x00);
    data.insert(data.end(), wire.begin(), wire.end());
    data.push_back(0x00);
    return data;
}

std::vector<std::uint8_t> EventPhotoAtOffsetRequest(std::uint32_t offset) {
    return {0x05, static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(offset >> 8),
            static_cast<std::uint8_t>(offset >> 16), static_cast<std::uint8_t>(offset >> 24)};
}

std::string EventPhotoFileName(const std::string& imei, const std::string& object) {
    return imei + "_" + object + ".jpg";
}

TCameraReply DecodeCameraReply(const std::uint8_t* data, std::size_t size) {
    TCameraReply r;
    if (size == 0) return r;
    switch (data[0]) {
        case 0:
            if (size < 4) break;
            r.Kind = TCameraReplyKind::Size;
            r.Size = data[1] | (data[2] << 8) | (static_cast<std::uint32_t>(data[3]) << 16);
            break;
        case 1: {
            if (size < 3) {
                r.Kind = TCameraReplyKind::Damaged;
                break;
            }
            const std::size_t n = data[1] | (data[2] << 8);
            if (n > size - 3) {
                r.Kind = TCameraReplyKind::Damaged;
                break;
            }
            r.Kind = TCameraReplyKind::Chunk;
            r.Chunk = data + 3;
            r.ChunkSize = n;
            break;
        }
        case 2: case 3: case 4: case 5:
            r.Kind = TCameraReplyKind::Error;
            r.Message = 72 + data[0];
            break;
        case 250:
            r.Kind = TCameraReplyKind::Error;
            r.Message = 78;
            break;
        case 10: r.Kind = TCameraReplyKind::Ended; break;
        default: break;
    }
    return r;
}

std::size_t BoundedChunk(std::uint32_t total, std::uint32_t received, std::size_t n) {
    if (received >= total) return 0;
    const std::size_t room = total - received;
    return n < room ? n : room;
}

TPhotoRetryAction PhotoRetryTick(std::uint8_t& ticks, std::uint8_t& attempts) {
    if (ticks == 0) return TPhotoRetryAction::None;
    if (--ticks > 0 || attempts == 0) return TPhotoRetryAction::None;
    if (--attempts > 0) {
        ticks = kPhotoRetrySeconds;
        return TPhotoRetryAction::SendAgain;
    }
    return TPhotoRetryAction::GiveUp;
}
