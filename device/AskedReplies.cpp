#include "device/AskedReplies.h"

#include "device/DeviceFrame.h"

TAskedReplies g_AskedReplies;

void TAskedReplies::Ask(TAsk what, TLink link, std::int64_t nowMs, std::int64_t waitMs) {
    FAsked[static_cast<std::size_t>(what)] = {true, link, waitMs > 0 ? nowMs + waitMs : 0};
}

bool TAskedReplies::Answer(TAsk what, std::int64_t nowMs) {
    TEntry& e = FAsked[static_cast<std::size_t>(what)];
    const bool awaited = e.Asked && (e.Until == 0 || nowMs < e.Until);
    e = {};
    return awaited;
}

void TAskedReplies::LinkLost(TLink link) {
    for (TEntry& e : FAsked)
        if (e.Link == link) e = {};
}

std::optional<TAsk> AskOfDeviceCommand(std::uint8_t code) {
    switch (code) {
        case CmdWriteConfig: return TAsk::WriteConfig;
        case CmdReaderParamGet: return TAsk::ReaderParamGet;
        case CmdReaderParamSet: return TAsk::ReaderParamSet;
        default: return std::nullopt;
    }
}

std::string UnaskedReplyLine(const std::string& what) { return "Ответ без запроса пропущен: " + what; }
