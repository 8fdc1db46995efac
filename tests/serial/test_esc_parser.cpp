// The escape-code parsers fed byte by byte, and the texts they build for sending.
#include <gtest/gtest.h>

#include "serial/SerialPortEsc.h"

namespace {

// What each character gave: "c<char>", "n" for nothing, or "<code>" with its parameters
// ("7(5,10)").
std::vector<std::string> Parse(TEscapeCodes& p, const std::string& bytes) {
    std::vector<std::string> out;
    for (unsigned char b : bytes) {
        switch (p.ProcessChar(b)) {
            case erChar: out.push_back(std::string("c") + char(p.GetCharacter())); break;
            case erNothing: out.push_back("n"); break;
            case erCode: {
                std::string s = std::to_string(int(p.GetCode()));
                if (p.GetParams()->Count() > 0) {
                    s += "(";
                    for (int i = 0; i < p.GetParams()->Count(); ++i) s += (i ? "," : "") + p.GetParams()->Get(i);
                    s += ")";
                }
                out.push_back(s);
                p.GetParams()->Clear();  // as the terminal does after every code
                break;
            }
        }
    }
    return out;
}

std::string Code(TEscapeCode c) { return std::to_string(int(c)); }
// The one result of a whole sequence: every character before the last gives nothing.
std::string Last(TEscapeCodes& p, const std::string& bytes) {
    auto r = Parse(p, bytes);
    for (size_t i = 0; i + 1 < r.size(); ++i) EXPECT_EQ(r[i], "n") << bytes << " at " << i;
    return r.back();
}

TEST(EscVT100, PlainCharactersAndFraming) {
    TEscapeCodesVT100 p;
    EXPECT_EQ(Parse(p, "ab\r"), (std::vector<std::string>{"ca", "cb", "c\r"}));
    EXPECT_EQ(Parse(p, "\x1b[2Jx"), (std::vector<std::string>{"n", "n", "n", Code(ecEraseScreen) + "(2)", "cx"}));
    EXPECT_FALSE(p.GetInSequence());
    EXPECT_EQ(p.GetData(), "[2J");
}

TEST(EscVT100, ExtendedSequences) {
    TEscapeCodesVT100 p;
    EXPECT_EQ(Last(p, "\x1b[A"), Code(ecCursorUp));
    EXPECT_EQ(Last(p, "\x1b[3B"), Code(ecCursorDown) + "(3)");
    EXPECT_EQ(Last(p, "\x1b[12C"), Code(ecCursorRight) + "(12)");
    EXPECT_EQ(Last(p, "\x1b[D"), Code(ecCursorLeft));
    EXPECT_EQ(Last(p, "\x1b[H"), Code(ecCursorHome));
    EXPECT_EQ(Last(p, "\x1b[5;10H"), Code(ecCursorHome) + "(5,10)");
    EXPECT_EQ(Last(p, "\x1b[5;10f"), Code(ecCursorMove) + "(5,10)");
    EXPECT_EQ(Last(p, "\x1b[J"), Code(ecEraseScreenFrom));
    EXPECT_EQ(Last(p, "\x1b[0J"), Code(ecEraseScreenFrom) + "(0)");
    EXPECT_EQ(Last(p, "\x1b[2J"), Code(ecEraseScreen) + "(2)");
    EXPECT_EQ(Last(p, "\x1b[1J"), Code(ecUnknown) + "(1)");
    EXPECT_EQ(Last(p, "\x1b[K"), Code(ecEraseLineFrom));
    EXPECT_EQ(Last(p, "\x1b[2K"), Code(ecEraseLine) + "(2)");
    EXPECT_EQ(Last(p, "\x1b[g"), Code(ecClearTab));
    EXPECT_EQ(Last(p, "\x1b[3g"), Code(ecClearAllTabs) + "(3)");
    EXPECT_EQ(Last(p, "\x1b[c"), Code(ecIdentify));
    EXPECT_EQ(Last(p, "\x1b[0c"), Code(ecIdentify) + "(0)");
    EXPECT_EQ(Last(p, "\x1b[?1;2c"), Code(ecIdentResponse) + "(?1,2)");
    EXPECT_EQ(Last(p, "\x1b[?1c"), Code(ecUnknown) + "(?1)");
    EXPECT_EQ(Last(p, "\x1b[0n"), Code(ecReportDeviceOK) + "(0)");
    EXPECT_EQ(Last(p, "\x1b[3n"), Code(ecReportDeviceFailure) + "(3)");
    EXPECT_EQ(Last(p, "\x1b[5n"), Code(ecQueryDevice) + "(5)");
    EXPECT_EQ(Last(p, "\x1b[6n"), Code(ecQueryCursorPos) + "(6)");
    EXPECT_EQ(Last(p, "\x1b[n"), Code(ecUnknown));
    EXPECT_EQ(Last(p, "\x1b[4;7R"), Code(ecReportCursorPos) + "(4,7)");
    EXPECT_EQ(Last(p, "\x1b[1;31m"), Code(ecAttributes) + "(1,31)");
    EXPECT_EQ(Last(p, "\x1b[m"), Code(ecAttributes));
    EXPECT_EQ(Last(p, "\x1b[?1h"), Code(ecSetMode) + "(?1)");
    EXPECT_EQ(Last(p, "\x1b[7l"), Code(ecResetMode) + "(7)");
    EXPECT_EQ(Last(p, "\x1b[s"), Code(ecSaveCaret));
    EXPECT_EQ(Last(p, "\x1b[u"), Code(ecRestoreCaret));
    EXPECT_EQ(Last(p, "\x1b[5z"), Code(ecUnknown) + "(5)");
    // ";" never makes an empty parameter.
    EXPECT_EQ(Last(p, "\x1b[;;5;;7;f"), Code(ecCursorMove) + "(5,7)");
}

TEST(EscVT100, ShortSequences) {
    TEscapeCodesVT100 p;
    EXPECT_EQ(Last(p, "\x1bOA"), Code(ecAppCursorUp));
    EXPECT_EQ(Last(p, "\x1bOB"), Code(ecAppCursorDown));
    EXPECT_EQ(Last(p, "\x1bOC"), Code(ecAppCursorRight));
    EXPECT_EQ(Last(p, "\x1bOD"), Code(ecAppCursorLeft));
    EXPECT_EQ(Last(p, "\x1bOx"), Code(ecUnknown));
    EXPECT_EQ(Last(p, "\x1bH"), Code(ecSetTab));
    EXPECT_EQ(Last(p, "\x1b" "c"), Code(ecReset));
    EXPECT_EQ(Last(p, "\x1b" "7"), Code(ecSaveCaretAndAttr));
    EXPECT_EQ(Last(p, "\x1b" "8"), Code(ecRestoreCaretAndAttr));
    EXPECT_EQ(Last(p, "\x1b#8"), Code(ecTest));
    EXPECT_EQ(Last(p, "\x1b#3"), Code(ecUnknown));
    EXPECT_EQ(Last(p, "\x1bQ"), Code(ecUnknown));
    EXPECT_EQ(p.GetData(), "Q");
}

TEST(EscVT100, ASequenceWithoutAnEndIsGivenUp) {
    TEscapeCodesVT100 p;
    std::string junk = "\x1b[" + std::string(200, '1');
    auto r = Parse(p, junk);
    int codes = 0;
    for (const auto& s : r) codes += s != "n" && s[0] != 'c';
    EXPECT_EQ(codes, 1);
    EXPECT_EQ(p.GetCode(), ecUnknown);
    EXPECT_EQ(Parse(p, "A"), (std::vector<std::string>{"cA"}));  // back to plain text
}

TEST(EscVT52, Sequences) {
    TEscapeCodesVT52 p;
    EXPECT_EQ(Last(p, "\x1b" "A"), Code(ecCursorUp));
    EXPECT_EQ(Last(p, "\x1b" "B"), Code(ecCursorDown));
    EXPECT_EQ(Last(p, "\x1b" "C"), Code(ecCursorRight));
    EXPECT_EQ(Last(p, "\x1b" "D"), Code(ecCursorLeft));
    EXPECT_EQ(Last(p, "\x1bH"), Code(ecCursorHome));
    EXPECT_EQ(Last(p, "\x1bI"), Code(ecReverseLineFeed));
    EXPECT_EQ(Last(p, "\x1bJ"), Code(ecEraseScreenFrom));
    EXPECT_EQ(Last(p, "\x1bK"), Code(ecEraseLineFrom));
    EXPECT_EQ(Last(p, "\x1bZ"), Code(ecIdentify));
    EXPECT_EQ(Last(p, "\x1b/Z"), Code(ecIdentResponse));
    EXPECT_EQ(Last(p, "\x1b/A"), Code(ecUnknown));
    EXPECT_EQ(Last(p, "\x1b["), Code(ecUnknown));  // no "[" sequences here
    // Row 5, column 10: the characters 36 and 41.
    EXPECT_EQ(Last(p, "\x1bY$)"), Code(ecCursorMove) + "(5,10)");
    EXPECT_EQ(Parse(p, "x\x1bY"), (std::vector<std::string>{"cx", "n", "n"}));
    EXPECT_TRUE(p.GetInSequence());
}

TEST(EscParams, GetParam) {
    TStringList params;
    EXPECT_EQ(TEscapeCodes::GetParam(1, nullptr), 1);
    EXPECT_EQ(TEscapeCodes::GetParam(1, &params), 1);
    params.Add("7");
    params.Add("?1");
    EXPECT_EQ(TEscapeCodes::GetParam(1, &params), 7);
    EXPECT_EQ(TEscapeCodes::GetParam(2, &params), 1);
    EXPECT_EQ(TEscapeCodes::GetParam(3, &params), 1);
}

TEST(EscSend, VT100Texts) {
    TEscapeCodesVT100 p;
    TStringList params;
    params.Add("5");
    params.Add("10");
    EXPECT_EQ(p.EscCodeToStr(ecCursorUp, nullptr), "\x1b[A");
    EXPECT_EQ(p.EscCodeToStr(ecCursorMove, &params), "\x1b[5;10f");
    EXPECT_EQ(p.EscCodeToStr(ecCursorMove, nullptr), "\x1b[1;1f");
    EXPECT_EQ(p.EscCodeToStr(ecReportCursorPos, &params), "\x1b[5;10R");
    EXPECT_EQ(p.EscCodeToStr(ecIdentResponse, &params), "\x1b[?1;5c");
    EXPECT_EQ(p.EscCodeToStr(ecAppCursorLeft, nullptr), "\x1bOD");
    EXPECT_EQ(p.EscCodeToStr(ecAppCursorUp, nullptr), "\x1bOA");
    EXPECT_EQ(p.EscCodeToStr(ecEraseLine, nullptr), "\x1b[2K");
    EXPECT_EQ(p.EscCodeToStr(ecSetTab, nullptr), "\x1bH");
    EXPECT_EQ(p.EscCodeToStr(ecClearAllTabs, nullptr), "\x1b[3g");
    EXPECT_EQ(p.EscCodeToStr(ecQueryDevice, nullptr), "\x1b[5n");
    EXPECT_EQ(p.EscCodeToStr(ecReportDeviceOK, nullptr), "\x1b[0n");
    EXPECT_EQ(p.EscCodeToStr(ecReset, nullptr), "\x1b" "c");
    EXPECT_EQ(p.EscCodeToStr(ecTest, nullptr), "\x1b#8");
    EXPECT_EQ(p.EscCodeToStr(ecReverseLineFeed, nullptr), "");
    EXPECT_EQ(p.EscCodeToStr(ecUnknown, nullptr), "");
    // Every text the parser sends, it reads back as the same code.
    for (int c = ecCursorUp; c <= ecTest; ++c) {
        std::string s = p.EscCodeToStr(TEscapeCode(c), &params);
        if (s.empty()) continue;
        TEscapeCodesVT100 back;
        for (unsigned char b : s) back.ProcessChar(b);
        TEscapeCode expect = TEscapeCode(c) == ecCursorHome ? ecCursorHome : TEscapeCode(c);
        EXPECT_EQ(back.GetCode(), expect) << s;
    }
}

TEST(EscSend, VT52Texts) {
    TEscapeCodesVT52 p;
    TStringList params;
    params.Add("5");
    params.Add("10");
    EXPECT_EQ(p.EscCodeToStr(ecCursorMove, &params), "\x1bY$)");
    EXPECT_EQ(p.EscCodeToStr(ecReverseLineFeed, nullptr), "\x1bI");
    EXPECT_EQ(p.EscCodeToStr(ecIdentResponse, nullptr), "\x1b/Z");
    EXPECT_EQ(p.EscCodeToStr(ecEraseLine, nullptr), "");
    EXPECT_EQ(p.EscCodeToStr(ecAppCursorUp, nullptr), "");
}

}  // namespace
