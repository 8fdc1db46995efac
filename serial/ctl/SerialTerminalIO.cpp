// The terminal's sending side: typed keys, codes, and the screen as a text stream.
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Utf8.h"
#include "serial/ctl/SerialTerminal.h"

namespace {
// One byte per character: codes below 256 as they are (received bytes come back as they
// came), others in Windows-1251.
std::string CharToByte(char32_t ch) {
    if (ch < 256) return std::string(1, static_cast<char>(ch));
    std::string text;
    utf8::Append(text, ch);
    std::string b = Utf8ToCp1251(text);
    return b.empty() ? "?" : b.substr(0, 1);
}
}  // namespace

void TCustomSerialTerminal::SendText(const std::string& bytes) {
    if (!bytes.empty()) FComPort->WriteStr(bytes);
}

void TCustomSerialTerminal::SendChar(char32_t Ch) {
    if (!GetConnected()) return;
    SendText(CharToByte(Ch));
    if (FLocalEcho) PutChar(Ch);
    if (Ch == 13 && FSendLF) SendChar(10);
}

void TCustomSerialTerminal::SendCode(TEscapeCode Code, TStrings* Params) {
    if (!GetConnected() || !FEscapeCodes) return;
    SendText(FEscapeCodes->EscCodeToStr(Code, Params));
    if (FLocalEcho) PutEscapeCode(Code, Params);
}

void TCustomSerialTerminal::SendCodeNoEcho(TEscapeCode Code, TStrings* Params) {
    if (!GetConnected() || !FEscapeCodes) return;
    SendText(FEscapeCodes->EscCodeToStr(Code, Params));
}

void TCustomSerialTerminal::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0) return;
    if (Key == '\t' && !FWantTab) return;
    SendChar(static_cast<unsigned char>(Key));
}

void TCustomSerialTerminal::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    TEscapeCode code = ecUnknown;
    TEscapeCode appCode = ecUnknown;
    switch (Key) {
        case VK_HOME: code = ecCursorHome; break;
        case VK_LEFT: code = ecCursorLeft; appCode = ecAppCursorLeft; break;
        case VK_UP: code = ecCursorUp; appCode = ecAppCursorUp; break;
        case VK_RIGHT: code = ecCursorRight; appCode = ecAppCursorRight; break;
        case VK_DOWN: code = ecCursorDown; appCode = ecAppCursorDown; break;
        default: return;
    }
    if (FAppCursorMode && appCode != ecUnknown)
        SendCode(appCode, nullptr);
    else if (FArrowKeys == akWindows)
        PutEscapeCode(code, nullptr);
    else
        SendCode(code, nullptr);
    Key = 0;
}

void TCustomSerialTerminal::SaveToStream(TStream& Stream) const {
    std::string out;
    const int last = FBuffer->GetLastLine();
    for (int y = 1; y <= last; ++y) {
        const int length = FBuffer->GetLineLength(y);
        for (int x = 1; x <= length; ++x) {
            const char32_t ch = FBuffer->GetChar(x, y).Ch;
            out += ch == 0 ? std::string(" ") : CharToByte(ch);
        }
        if (y < last) out += "\r\n";
    }
    if (!out.empty()) Stream.Write(out.data(), static_cast<std::int64_t>(out.size()));
}

void TCustomSerialTerminal::LoadFromStream(TStream& Stream) {
    unsigned char chunk[4096];
    TControlGuard alive(this);
    for (;;) {
        const std::int64_t n = Stream.Read(chunk, sizeof chunk);
        if (n <= 0) break;
        for (std::int64_t i = 0; i < n && alive.Alive(); ++i) PutChar(chunk[i]);
        if (!alive.Alive()) return;
    }
}
