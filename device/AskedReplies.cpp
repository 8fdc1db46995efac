#include "device/AskedReplies.h"

#include "device/DeviceFrame.h"
#include "platform/rtl/SysUtils.h"

TAskedReplies g_AskedReplies;

void TAskedReplies::Ask(TAsk what, TLink link, std::int64_t nowMs, std::int64_t waitMs) {
    FAsked[static_cast<std::size_t>(what)] = {true, link, waitMs > 0 ? nowMs + waitMs : 0};
}

bool TAskedReplies::Awaits(TAsk what, std::int64_t nowMs) const {
    const TEntry& e = FAsked[static_cast<std::size_t>(what)];
    return e.Asked && (e.Until == 0 || nowMs < e.Until);
}

bool TAskedReplies::Answer(TAsk what, std::int64_t nowMs) {
    const bool awaited = Awaits(what, nowMs);
    FAsked[static_cast<std::size_t>(what)] = {};
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

std::string UnaskedDeviceReplyLine(std::uint8_t command) {
    return UnaskedReplyLine("0x" + IntToHex(static_cast<int>(command), 2));
}
