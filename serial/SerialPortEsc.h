#pragma once
// Escape-code parsers of the serial terminal: VT100/ANSI and VT52. A parser takes the
// received text one character at a time and says whether it is a plain character, a
// completed escape code (with its parameters) or nothing yet; it also builds the text a
// terminal sends for a code. Pure logic: no port, no screen.
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"

enum TEscapeCode {
    ecUnknown, ecNotCompleted, ecCursorUp, ecCursorDown, ecCursorLeft, ecCursorRight,
    ecCursorHome, ecCursorMove, ecReverseLineFeed, ecAppCursorLeft, ecAppCursorRight,
    ecAppCursorUp, ecAppCursorDown, ecEraseLineFrom, ecEraseScreenFrom, ecEraseLine,
    ecEraseScreen, ecSetTab, ecClearTab, ecClearAllTabs, ecIdentify, ecIdentResponse,
    ecQueryDevice, ecReportDeviceOK, ecReportDeviceFailure, ecQueryCursorPos, ecReportCursorPos,
    ecAttributes, ecSetMode, ecResetMode, ecReset, ecSaveCaretAndAttr, ecRestoreCaretAndAttr,
    ecSaveCaret, ecRestoreCaret, ecTest
};
enum TEscapeResult { erChar, erCode, erNothing };

constexpr char32_t kEsc = 27;

class TEscapeCodes : public TObject {
public:
    TEscapeCodes();
    ~TEscapeCodes() override;

    virtual TEscapeResult ProcessChar(char32_t Ch) = 0;
    // The text to send for Code (ESC first); "" when this emulation has no such code.
    virtual std::string EscCodeToStr(TEscapeCode Code, const TStrings* Params) = 0;
    // Parameter N (from 1) as a number within ±kParamLimit; 1 when the list is absent or
    // shorter, or the text is not a number.
    static int GetParam(int N, const TStrings* Params);
    static constexpr int kParamLimit = 9999;

    char32_t GetCharacter() const { return FCharacter; }
    TEscapeCode GetCode() const { return FCode; }
    // The sequence collected after ESC (UTF-8).
    const std::string& GetData() const { return FData; }
    TStrings* GetParams() const { return FParams.get(); }
    bool GetInSequence() const { return FInSequence; }

    // A sequence that never ends is given up at this many characters.
    static constexpr size_t kMaxSequence = 64;

protected:
    // The common framing: outside a sequence ESC starts one and anything else is a plain
    // character; inside, the character is added and Judge decides.
    TEscapeResult Frame(char32_t Ch);
    virtual TEscapeCode Judge() = 0;
    // Splits text at ";" into parameters (no empty ones).
    void SplitParams(const std::string& text);

    char32_t FCharacter = 0;
    TEscapeCode FCode = ecUnknown;
    std::string FData;
    std::u32string FChars;  // the same sequence, one element per character
    std::unique_ptr<TStringList> FParams;
    bool FInSequence = false;
};

class TEscapeCodesVT100 : public TEscapeCodes {
public:
    TEscapeResult ProcessChar(char32_t Ch) override;
    std::string EscCodeToStr(TEscapeCode Code, const TStrings* Params) override;

protected:
    TEscapeCode Judge() override;

private:
    TEscapeCode JudgeExtended(char32_t final, const std::string& inner);
    TEscapeCode JudgeShort() const;
    bool FInExtendedSequence = false;
};

class TEscapeCodesVT52 : public TEscapeCodes {
public:
    TEscapeResult ProcessChar(char32_t Ch) override;
    std::string EscCodeToStr(TEscapeCode Code, const TStrings* Params) override;

protected:
    TEscapeCode Judge() override;
};
