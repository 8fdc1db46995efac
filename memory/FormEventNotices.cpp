// Frames a device sends of its own: event notices, diagnostic reports, and the result of a
// defragmentation.
#include <span>

#include "app/LangFile.h"
#include "app/Unit1.h"
#include "memory/EventNotices.h"
#include "platform/sys/Now.h"

void TForm1::Reply_EventNotice(const TDeviceReply& reply) {
    if (auto line = EventNoticeLine(std::span<const std::uint8_t>(reply.Data, reply.Size)))
        RemLOG->GetLines()->Add(*line);
}

void TForm1::Reply_Diagnostics(const TDeviceReply& reply) {
    for (std::uint8_t code : DiagnosticCodes(std::span<const std::uint8_t>(reply.Data, reply.Size))) Log_decode(code);
}

// The diagnostic lines go to the notice memo, beside the device's event notices.
void TForm1::Log_decode(std::uint8_t code) {
    const auto text = [code](const std::string&) {
        return ReadLangDiagnostic(g_LangFilePath, code, g_Language);
    };
    if (auto line = DiagnosticLine(code, text, sys::Now())) RemLOG->GetLines()->Add(*line);
}

void TForm1::Reply_Defragment(const TDeviceReply& reply) {
    const std::string text = DefragmentResultText(std::span<const std::uint8_t>(reply.Data, reply.Size));
    if (!text.empty()) MessageShow(text);
}
