#pragma once
// What the tool asked and still awaits the answer of, one entry per kind of request: set
// when the request goes, cleared by its answer, its time-out or the end of the link it went
// on. A reply of a kind that nobody awaits is a copy, a late answer or one nobody asked for:
// it is dropped, so that it never reports a success the tool did not ask about.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "device/LinkKind.h"

enum class TAsk : std::uint8_t {
    WriteConfig,     // device command 0x21
    ReaderParamGet,  // 0x50
    ReaderParamSet,  // 0x51
    CloudDefrag,     // cloud "defrag"
    CloudPort,       // cloud "rport"
    CloudUpdate,     // cloud "update"
    CloudLog,        // cloud "gchrono", and "nextblock" after a full block
    CloudConfig,     // cloud "gconfig"
    EraseNumbers,    // device command 0x2D [0x01], on any link
    CameraPhoto,     // device command 0x30 [0x00 0x00 0x05], until the picture's size
    Count
};

class TAskedReplies {
public:
    // Asked at nowMs on link; its answer is awaited for waitMs (0: until it comes or the
    // link ends).
    void Ask(TAsk what, TLink link, std::int64_t nowMs, std::int64_t waitMs);
    // Its answer came: true when it was awaited, which it no longer is.
    bool Answer(TAsk what, std::int64_t nowMs);
    // Asked and still within its wait at nowMs.
    bool Awaits(TAsk what, std::int64_t nowMs) const;
    // The link is gone: nothing asked on it is answered now.
    void LinkLost(TLink link);

private:
    struct TEntry {
        bool Asked = false;
        TLink Link = TLink::Serial;
        std::int64_t Until = 0;  // 0: no time-out
    };
    std::array<TEntry, static_cast<std::size_t>(TAsk::Count)> FAsked{};
};

extern TAskedReplies g_AskedReplies;

// The kind of a device command whose answer is awaited, if it is one.
std::optional<TAsk> AskOfDeviceCommand(std::uint8_t code);
// The action-log line for a reply that nobody awaits (what: its command), and for a device
// reply ("0x2D").
std::string UnaskedReplyLine(const std::string& what);
std::string UnaskedDeviceReplyLine(std::uint8_t command);
