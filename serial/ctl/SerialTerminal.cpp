// The terminal: properties, the receive path and the screen's reaction to characters.
#include "serial/ctl/SerialTerminal.h"

#include <algorithm>

#include "platform/rtl/Utf8.h"

namespace {
constexpr const char* kDefaultFontName = "Fixedsys";
}  // namespace

TColor TermColor(int index) {
    static constexpr TColor table[10] = {0x000000, 0x0000FF, 0x008000, 0x00FFFF, 0xFF0000,
                                         0x800080, 0x0080FF, 0xFFFFFF, 0x000080, 0x808080};
    return index >= 0 && index < 10 ? table[index] : 0;
}

TCustomSerialTerminal::TCustomSerialTerminal(TComponent* AOwner)
    : TCustomControl(AOwner),
      FComLink(std::make_unique<TSerialLink>()) {
    FBuffer = std::make_unique<TSerialTermBuffer>(FColumns, FRows);
    SetBounds(GetLeft(), GetTop(), 400, 250);
    SetColor(clBlack);
    SetTabStop(true);
    TFont font;
    font.SetName(kDefaultFontName);
    font.SetSize(9);
    font.SetColor(clWhite);
    font.SetPitch(fpFixed);
    SetFont(font);
    FComLink->OnRxBuf = [this](TObject* Sender, const void* Buffer, int Count) { RxBuf(Sender, Buffer, Count); };
    ResetAttributes();
    CreateEscapeCodes();
}

TCustomSerialTerminal::~TCustomSerialTerminal() {
    BeginDestroy();
    SetComPort(nullptr);
}

// ---- properties ----------------------------------------------------------------------------

void TCustomSerialTerminal::Rebuild() {
    FBuffer->Init(FColumns, FRows);
    FCaretX = FCaretY = 1;
    Invalidate();
}

void TCustomSerialTerminal::SetColumns(int value) {
    value = std::clamp(value, 2, 256);
    if (value == FColumns) return;
    FColumns = value;
    if (!IsLoading()) Rebuild();
}

void TCustomSerialTerminal::SetRows(int value) {
    value = std::clamp(value, 2, 100);
    if (value == FRows) return;
    FRows = value;
    if (!IsLoading()) Rebuild();
}

void TCustomSerialTerminal::SetEmulation(TTermEmulation value) {
    if (value == FEmulation) return;
    FEmulation = value;
    CreateEscapeCodes();
}

void TCustomSerialTerminal::CreateEscapeCodes() {
    switch (FEmulation) {
        case teVT100orANSI: FEscapeCodes = std::make_unique<TEscapeCodesVT100>(); break;
        case teVT52: FEscapeCodes = std::make_unique<TEscapeCodesVT52>(); break;
        case teNone: FEscapeCodes.reset(); break;
    }
    if (!OnGetEscapeCodes) return;
    TEscapeCodes* offered = FEscapeCodes.get();
    TEscapeCodes* given = offered;
    OnGetEscapeCodes(this, given);
    if (given != offered) {
        FEscapeCodes.release();
        delete offered;
        FEscapeCodes.reset(given);
    }
}

void TCustomSerialTerminal::SetCaret(TTermCaret value) {
    if (value == FCaret) return;
    FCaret = value;
    Invalidate();
}

void TCustomSerialTerminal::SetAltColor(TColor value) {
    if (value == FAltColor) return;
    FAltColor = value;
    Invalidate();
}

void TCustomSerialTerminal::SetBorderStyle(TFormBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    Invalidate();
}

void TCustomSerialTerminal::FontChanged() {
    // Cells are laid out for one character width: a proportional font is not taken.
    if (GetFont()->GetPitch() == fpVariable && GetFont()->GetName() != kDefaultFontName) {
        GetFont()->SetName(kDefaultFontName);
        GetFont()->SetPitch(fpFixed);
    }
    TCustomControl::FontChanged();
    Invalidate();
}

void TCustomSerialTerminal::SetComPort(TCustomSerialPort* value) {
    RelinkSerialPort(*this, FComPort, value, FComLink.get());
}

void TCustomSerialTerminal::SetConnected(bool value) {
    if (FComPort) FComPort->SetConnected(value);
}

void TCustomSerialTerminal::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FComPort) FComPort = nullptr;
}

// ---- attributes ----------------------------------------------------------------------------

void TCustomSerialTerminal::ResetAttributes() {
    FAttr = TAttributes{};
    FAttr.Front = GetFont()->GetColor();
    FAttr.Back = GetColor();
}

TSerialTermChar TCustomSerialTerminal::CurrentCell(char32_t Ch) const {
    TSerialTermChar c;
    c.Ch = Ch;
    c.FrontColor = FAttr.Bold ? FAltColor : FAttr.Inverse ? FAttr.Back : FAttr.Front;
    c.BackColor = FAttr.Inverse ? FAttr.Front : FAttr.Back;
    c.Underline = FAttr.Underline;
    return c;
}

void TCustomSerialTerminal::ApplyAttribute(int value) {
    switch (value) {
        case 0: ResetAttributes(); return;
        case 1: FAttr.Bold = true; return;
        case 4: FAttr.Underline = true; return;
        case 7: FAttr.Inverse = true; return;
        case 21: FAttr.Bold = false; return;
        case 24: FAttr.Underline = false; return;
        case 27: FAttr.Inverse = false; return;
        default: break;
    }
    if (value >= 30 && value <= 39) FAttr.Front = TermColor(value - 30);
    if (value >= 40 && value <= 49) FAttr.Back = TermColor(value - 40);
}

// ---- the screen ----------------------------------------------------------------------------

void TCustomSerialTerminal::ClearScreen() {
    FBuffer->EraseScreen(1, 1);
    FCaretX = FCaretY = 1;
    Invalidate();
}

void TCustomSerialTerminal::MoveCaret(int X, int Y) {
    FCaretX = std::clamp(X, 1, FColumns);
    FCaretY = std::clamp(Y, 1, FRows);
    Invalidate();
}

void TCustomSerialTerminal::AdvanceCaret(TAdvanceCaret Kind) {
    switch (Kind) {
        case acChar:
            if (FCaretX < FColumns) {
                ++FCaretX;
            } else if (FWrapLines) {
                FCaretX = 1;
                AdvanceCaret(acLineFeed);
            }
            break;
        case acReturn: FCaretX = 1; break;
        case acLineFeed:
            if (FCaretY < FRows)
                ++FCaretY;
            else
                FBuffer->ScrollUp();
            break;
        case acReverseLineFeed:
            if (FCaretY > 1)
                --FCaretY;
            else
                FBuffer->ScrollDown();
            break;
        case acTab:
            if (int next = FBuffer->NextTab(FCaretX)) FCaretX = next;
            break;
        case acBackspace: FCaretX = std::max(1, FCaretX - 1); break;
        case acPage: ClearScreen(); break;
    }
}

void TCustomSerialTerminal::PutChar(char32_t Ch) {
    switch (Ch) {
        case 12: AdvanceCaret(acPage); break;
        case 8: AdvanceCaret(acBackspace); break;
        case 9: AdvanceCaret(acTab); break;
        case 10: AdvanceCaret(acLineFeed); break;
        case 13: AdvanceCaret(acReturn); break;
        default:
            if (Ch >= 32 && Ch <= 1103) {
                FBuffer->SetChar(FCaretX, FCaretY, CurrentCell(Ch));
                AdvanceCaret(acChar);
            }
            break;
    }
    Invalidate();
    FireEvent(OnChar, this, Ch);
}

bool TCustomSerialTerminal::PutEscapeCode(TEscapeCode Code, TStrings* Params) {
    const int p1 = TEscapeCodes::GetParam(1, Params);
    const int p2 = TEscapeCodes::GetParam(2, Params);
    const std::string first = Params && Params->Count() > 0 ? Params->Get(0) : "";
    switch (Code) {
        case ecCursorUp:
        case ecAppCursorUp: MoveCaret(FCaretX, FCaretY - p1); break;
        case ecCursorDown: MoveCaret(FCaretX, FCaretY + p1); break;
        case ecCursorLeft: MoveCaret(FCaretX - p1, FCaretY); break;
        case ecCursorRight: MoveCaret(FCaretX + p1, FCaretY); break;
        case ecCursorHome:
        case ecCursorMove: MoveCaret(p2, p1); break;
        case ecReverseLineFeed: AdvanceCaret(acReverseLineFeed); break;
        case ecEraseLineFrom: FBuffer->EraseLine(FCaretX, FCaretY); break;
        case ecEraseScreenFrom: FBuffer->EraseScreen(FCaretX, FCaretY); break;
        case ecEraseLine:
            FBuffer->EraseLine(1, FCaretY);
            FCaretX = 1;
            break;
        case ecEraseScreen: ClearScreen(); break;
        case ecSetTab: FBuffer->SetTab(FCaretX, true); break;
        case ecClearTab: FBuffer->SetTab(FCaretX, false); break;
        case ecClearAllTabs: FBuffer->ClearAllTabs(); break;
        case ecIdentify: {
            TStringList answer;
            answer.Add("2");
            SendCodeNoEcho(ecIdentResponse, &answer);
            break;
        }
        case ecQueryDevice: SendCodeNoEcho(ecReportDeviceOK, nullptr); break;
        case ecQueryCursorPos: {
            TStringList answer;
            answer.Add(std::to_string(FCaretY));
            answer.Add(std::to_string(FCaretX));
            SendCodeNoEcho(ecReportCursorPos, &answer);
            break;
        }
        case ecAttributes:
            if (!Params || Params->Count() == 0) {
                ApplyAttribute(0);
            } else {
                for (int i = 0; i < Params->Count(); ++i) {
                    int v = 0;
                    if (TryStrToInt(Params->Get(i), v)) ApplyAttribute(v);
                }
            }
            break;
        case ecSetMode:
        case ecResetMode: {
            const bool on = Code == ecSetMode;
            if (first == "?1") FAppCursorMode = on;
            else if (first == "7") FWrapLines = on;
            else if (first == "?3") SetColumns(on ? 132 : 80);
            break;
        }
        case ecReset: ResetAttributes(); break;
        case ecSaveCaretAndAttr: FSavedAttr = FAttr; [[fallthrough]];
        case ecSaveCaret:
            FSavedX = FCaretX;
            FSavedY = FCaretY;
            break;
        case ecRestoreCaretAndAttr: FAttr = FSavedAttr; [[fallthrough]];
        case ecRestoreCaret: MoveCaret(FSavedX, FSavedY); break;
        case ecTest:
            for (int y = 1; y <= FRows; ++y)
                for (int x = 1; x <= FColumns; ++x) FBuffer->SetChar(x, y, CurrentCell(U'E'));
            break;
        default: return false;
    }
    Invalidate();
    return true;
}

void TCustomSerialTerminal::WriteStr(const std::string& Str) {
    FCaretHidden = true;
    TControlGuard alive(this);
    size_t i = 0;
    while (i < Str.size()) {
        const char32_t ch = utf8::Next(Str, i);
        if (!FEscapeCodes) {
            PutChar(ch);
        } else {
            TEscapeCodes& codes = *FEscapeCodes;
            switch (codes.ProcessChar(ch)) {
                case erChar: PutChar(codes.GetCharacter()); break;
                case erCode:
                    if (!PutEscapeCode(codes.GetCode(), codes.GetParams()))
                        FireEvent(OnUnhandledCode, this, codes.GetCode(), codes.GetData());
                    if (alive.Alive() && FEscapeCodes) FEscapeCodes->GetParams()->Clear();
                    break;
                case erNothing: break;
            }
        }
        // A handler may have freed the terminal.
        if (!alive.Alive()) return;
    }
    FCaretHidden = false;
    Invalidate();
}

void TCustomSerialTerminal::Write(const void* Buffer, int Size) {
    if (!Buffer || Size <= 0) return;
    std::string text;
    const auto* p = static_cast<const unsigned char*>(Buffer);
    for (int i = 0; i < Size; ++i) utf8::Append(text, p[i]);
    WriteStr(text);
}

void TCustomSerialTerminal::StringReceived(std::string Str) {
    TControlGuard alive(this);
    FireEvent(OnStrRecieved, this, Str);
    if (alive.Alive()) WriteStr(Str);
}

void TCustomSerialTerminal::RxBuf(TObject*, const void* Buffer, int Count) {
    if (!Buffer || Count <= 0) return;
    std::string text;
    const auto* p = static_cast<const unsigned char*>(Buffer);
    for (int i = 0; i < Count; ++i) {
        const unsigned char b = FForce7Bit ? (p[i] & 0x7F) : p[i];
        utf8::Append(text, b);
        if (FAppendLF && b == 13) text += '\n';
    }
    StringReceived(std::move(text));
}

TAccessibleInfo TCustomSerialTerminal::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = TAccessibleRole::Client;
    info.Name = GetCaption();
    info.Enabled = GetEnabled();
    return info;
}
