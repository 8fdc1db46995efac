#pragma once
// The controller's camera and the server's pictures behind the simulated line, all one
// JPEG the test gives:
// - 0x30: [00 00 05] takes a picture and announces its 24-bit size; [01 00] sends the next
//   chunk (d0 = 1, u16 length, bytes), then d0 = 10 once all is sent;
// - 0x33: SendServerPicture starts with the first chunk (d0 = 0); [01 00] sends the next
//   (d0 = 1), then d0 = 2;
// - 0x35: [00 name 00] answers the event picture's first chunk (d0 = 0) when the name is
//   the one set, else d0 = 3; [05 u32 offset] the chunk at that offset (d0 = 5, offset,
//   bytes), then d0 = 2 at the end.
// Tests lose replies, announce a wrong size, cut a chunk short or make the camera fail.
//
//     devsim::PhotoModel photo(model, sim);
//     photo.SetPicture(jpeg);
//     photo.SetEventName("861234567890123_Вход.jpg");
#include <cstdint>
#include <memory>
#include <string>

#include "tools/devsim/DeviceModel.h"

namespace devsim {

inline constexpr std::uint8_t kCmdCameraPhoto = 0x30;
inline constexpr std::uint8_t kCmdServerPhoto = 0x33;
inline constexpr std::uint8_t kCmdEventPhoto = 0x35;

class PhotoModel {
public:
    // Installs the handlers of 0x30, 0x33 and 0x35 on the model's line; sim starts the
    // server's picture.
    PhotoModel(DeviceModel& model, DevSim& sim);
    PhotoModel(const PhotoModel&) = delete;
    PhotoModel& operator=(const PhotoModel&) = delete;

    void SetPicture(const Bytes& jpeg);
    // Bytes per chunk (at most 4000).
    void SetChunkSize(std::size_t n);
    // The name (UTF-8, sent in Windows-1251) the event picture is kept under.
    void SetEventName(const std::string& name);
    // One more event picture, kept under its own name (UTF-8).
    void AddEventPicture(const std::string& name, const Bytes& jpeg);
    // The next n replies (of any of the three commands) are lost.
    void LoseReplies(int n);
    // The camera announces this size instead of the picture's (negative: the true size).
    void SetAnnouncedSize(long size);
    // The camera's chunk number k (from 0) says it carries more bytes than it does.
    void SetShortChunk(int k);
    // The camera answers the take request with this error code instead (0: none).
    void SetCameraError(std::uint8_t code);
    // Sends the server picture's first chunk.
    void SendServerPicture();

    // The event-picture names asked for, UTF-8.
    std::vector<std::string> AskedNames() const;

private:
    struct State;
    std::shared_ptr<State> FState;
    DevSim& FSim;
};

}  // namespace devsim
