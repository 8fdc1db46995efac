#pragma once
// TSerialTerminal: a text terminal bound to a port. Received characters land in a grid of
// cells, VT100/ANSI or VT52 escape codes are interpreted on the way, and typed keys go to
// the port. Texts are UTF-8; received bytes become the characters of the same codes.
#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/Streams.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "serial/SerialPort.h"
#include "serial/SerialPortEsc.h"
#include "serial/SerialTermBuffer.h"

enum TTermEmulation { teVT100orANSI, teVT52, teNone };
enum TTermCaret { tcBlock, tcUnderline, tcNone };
enum TArrowKeys { akTerminal, akWindows };
enum TAdvanceCaret { acChar, acReturn, acLineFeed, acReverseLineFeed, acTab, acBackspace, acPage };

using TChScreenEvent = std::function<void(TObject* Sender, char32_t Ch)>;
// The handler may replace the parser the terminal made (the terminal owns what it gets).
using TEscapeEvent = std::function<void(TObject* Sender, TEscapeCodes*& EscapeCodes)>;
using TStrRecvEvent = std::function<void(TObject* Sender, std::string& Str)>;
using TUnhandledEvent = std::function<void(TObject* Sender, TEscapeCode Code, const std::string& Data)>;

// The colours of attributes 30 to 39 and 40 to 49 (0xBBGGRR).
TColor TermColor(int index);

class TCustomSerialTerminal : public TCustomControl {
public:
    explicit TCustomSerialTerminal(TComponent* AOwner);
    ~TCustomSerialTerminal() override;

    // ---- properties -----------------------------------------------------------------------
    int GetColumns() const { return FColumns; }
    void SetColumns(int value);  // kept within 2 to 256
    int GetRows() const { return FRows; }
    void SetRows(int value);     // kept within 2 to 100
    TTermEmulation GetEmulation() const { return FEmulation; }
    void SetEmulation(TTermEmulation value);
    TTermCaret GetCaret() const { return FCaret; }
    void SetCaret(TTermCaret value);
    TArrowKeys GetArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(TArrowKeys value) { FArrowKeys = value; }
    bool GetLocalEcho() const { return FLocalEcho; }
    void SetLocalEcho(bool value) { FLocalEcho = value; }
    bool GetSendLF() const { return FSendLF; }
    void SetSendLF(bool value) { FSendLF = value; }
    bool GetAppendLF() const { return FAppendLF; }
    void SetAppendLF(bool value) { FAppendLF = value; }
    bool GetForce7Bit() const { return FForce7Bit; }
    void SetForce7Bit(bool value) { FForce7Bit = value; }
    bool GetWrapLines() const { return FWrapLines; }
    void SetWrapLines(bool value) { FWrapLines = value; }
    bool GetSmoothScroll() const { return FSmoothScroll; }
    void SetSmoothScroll(bool value) { FSmoothScroll = value; }
    bool GetWantTab() const { return FWantTab; }
    void SetWantTab(bool value) { FWantTab = value; }
    TColor GetAltColor() const { return FAltColor; }
    void SetAltColor(TColor value);
    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value) { FScrollBars = value; }
    TCustomSerialPort* GetComPort() const { return FComPort; }
    void SetComPort(TCustomSerialPort* value);
    bool GetConnected() const { return FComPort && FComPort->GetConnected(); }
    void SetConnected(bool value);

    // ---- screen ---------------------------------------------------------------------------
    TSerialTermBuffer* GetBuffer() const { return FBuffer.get(); }
    TEscapeCodes* GetEscapeCodes() const { return FEscapeCodes.get(); }
    int GetCaretX() const { return FCaretX; }
    int GetCaretY() const { return FCaretY; }
    bool GetAppCursorMode() const { return FAppCursorMode; }
    // The attributes a written cell takes now.
    TSerialTermChar CurrentCell(char32_t Ch) const;
    // One cell's size in pixels (the font's widest letter × its line height).
    TSize GetCellSize();

    void ClearScreen();
    void MoveCaret(int X, int Y);
    void Write(const void* Buffer, int Size);
    void WriteStr(const std::string& Str);
    void WriteEscCode(TEscapeCode Code, TStrings* Params) { PutEscapeCode(Code, Params); }
    void ShowSetupDialog();
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream);

    void PutChar(char32_t Ch);
    // True when the code was handled.
    virtual bool PutEscapeCode(TEscapeCode Code, TStrings* Params);
    void SendChar(char32_t Ch);
    void SendCode(TEscapeCode Code, TStrings* Params);
    void SendCodeNoEcho(TEscapeCode Code, TStrings* Params);
    void StringReceived(std::string Str);
    void RxBuf(TObject* Sender, const void* Buffer, int Count);

    void KeyPress(char& Key) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    // The terminal takes the arrow keys, and Tab with WantTab.
    bool WantsSpecialKey(Word Key) const override {
        return Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN || (Key == VK_TAB && FWantTab);
    }

    TChScreenEvent OnChar;
    TEscapeEvent OnGetEscapeCodes;
    TStrRecvEvent OnStrRecieved;
    TUnhandledEvent OnUnhandledCode;

    TAccessibleInfo GetAccessibleInfo() const override;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void FontChanged() override;
    virtual void CreateEscapeCodes();
    void AdvanceCaret(TAdvanceCaret Kind);

private:
    struct TAttributes {
        TColor Front = clWhite;
        TColor Back = clBlack;
        bool Bold = false;
        bool Underline = false;
        bool Inverse = false;
    };
    void ResetAttributes();
    void ApplyAttribute(int value);
    void Rebuild();
    void SendText(const std::string& bytes);
    int BorderWidth() const { return FBorderStyle == bsNone ? 0 : 2; }

    std::unique_ptr<TSerialLink> FComLink;
    std::unique_ptr<TSerialTermBuffer> FBuffer;
    std::unique_ptr<TEscapeCodes> FEscapeCodes;
    TCustomSerialPort* FComPort = nullptr;
    int FColumns = 80;
    int FRows = 24;
    TTermEmulation FEmulation = teVT100orANSI;
    TTermCaret FCaret = tcBlock;
    TArrowKeys FArrowKeys = akTerminal;
    bool FLocalEcho = false, FSendLF = false, FAppendLF = false, FForce7Bit = false;
    bool FWrapLines = false, FSmoothScroll = false, FWantTab = false;
    TColor FAltColor = 0xA6A6A6;
    TFormBorderStyle FBorderStyle = bsSingle;
    TScrollStyle FScrollBars = ssBoth;
    int FCaretX = 1, FCaretY = 1;
    bool FCaretHidden = false;
    bool FAppCursorMode = false;
    TAttributes FAttr;
    int FSavedX = 1, FSavedY = 1;
    TAttributes FSavedAttr;
};

class TSerialTerminal : public TCustomSerialTerminal {
public:
    using TCustomSerialTerminal::TCustomSerialTerminal;
};
