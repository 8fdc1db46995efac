#pragma once
// The photograph commands: request data, the camera's chunk replies read within their frame,
// the event picture's file name, and the retry counter of the event-picture requests.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A picture never grows past what the camera's 24-bit size can announce.
inline constexpr std::uint32_t kMaxPhotoBytes = 0xFFFFFF;
// Seconds between event-picture requests, and requests in all before the fetch is abandoned.
inline constexpr std::uint8_t kPhotoRetrySeconds = 3;
inline constexpr std::uint8_t kPhotoAttempts = 5;

// 0x30: take a picture, and the next chunk (0x33 asks for its next chunk the same way).
std::vector<std::uint8_t> CameraTakeRequest();
std::vector<std::uint8_t> PhotoNextChunkRequest();
// 0x35: the event picture by name (the name in Windows-1251), and its chunk at an offset.
std::vector<std::uint8_t> EventPhotoByNameRequest(const std::string& fileName);
std::vector<std::uint8_t> EventPhotoAtOffsetRequest(std::uint32_t offset);
// The server's name of an event's picture: IMEI, "_", the event's object, ".jpg".
std::string EventPhotoFileName(const std::string& imei, const std::string& object);

// A reply to 0x30.
enum class TCameraReplyKind { Ignored, Size, Chunk, Error, Ended, Damaged };
struct TCameraReply {
    TCameraReplyKind Kind = TCameraReplyKind::Ignored;
    std::uint32_t Size = 0;              // Size: the announced picture size
    const std::uint8_t* Chunk = nullptr; // Chunk: its bytes, all inside the frame
    std::size_t ChunkSize = 0;
    int Message = 0;                     // Error: the numbered message (74 to 78)
};
// A chunk whose announced length reaches past the frame's data is Damaged: its bytes are
// not all there, so the picture cannot be whole.
TCameraReply DecodeCameraReply(const std::uint8_t* data, std::size_t size);

// How many of a chunk's n bytes fit a picture announced as total bytes with received so far.
std::size_t BoundedChunk(std::uint32_t total, std::uint32_t received, std::size_t n);

// The event-picture retry step, once a second: counts the seconds down and uses up an attempt
// whenever they run out.
enum class TPhotoRetryAction { None, SendAgain, GiveUp };
TPhotoRetryAction PhotoRetryTick(std::uint8_t& ticks, std::uint8_t& attempts);
