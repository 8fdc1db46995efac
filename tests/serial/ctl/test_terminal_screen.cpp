// The terminal's screen after received text and escape codes, its answers on the port,
// keys, and the screen as a text stream.
#include <gtest/gtest.h>

#include "platform/rtl/Streams.h"
#include "serial/SerialPortCtl.h"
#include "serial/SerialTestSupport.h"

namespace {

std::string Line(TCustomSerialTerminal& t, int y) {
    std::string s;
    for (int x = 1; x <= t.GetBuffer()->GetLineLength(y); ++x) {
        char32_t c = t.GetBuffer()->GetChar(x, y).Ch;
        s += c ? char(c) : '.';
    }
    return s;
}

void Receive(TCustomSerialTerminal& t, const std::string& bytes) { t.RxBuf(nullptr, bytes.data(), int(bytes.size())); }

TEST(TerminalScreen, CreatedAsDesigned) {
    TSerialTerminal t(nullptr);
    EXPECT_EQ(t.GetColumns(), 80);
    EXPECT_EQ(t.GetRows(), 24);
    EXPECT_EQ(t.GetWidth(), 400);
    EXPECT_EQ(t.GetHeight(), 250);
    EXPECT_EQ(t.GetColor(), clBlack);
    EXPECT_EQ(t.GetFont()->GetColor(), clWhite);
    EXPECT_EQ(t.GetFont()->GetName(), "Fixedsys");
    EXPECT_EQ(t.GetFont()->GetSize(), 9);
    EXPECT_TRUE(t.GetTabStop());
    EXPECT_EQ(t.GetEmulation(), teVT100orANSI);
    EXPECT_NE(dynamic_cast<TEscapeCodesVT100*>(t.GetEscapeCodes()), nullptr);
    EXPECT_EQ(t.GetAltColor(), 0xA6A6A6);
    EXPECT_EQ(t.GetScrollBars(), ssBoth);
    t.SetColumns(1);
    EXPECT_EQ(t.GetColumns(), 2);
    t.SetRows(1000);
    EXPECT_EQ(t.GetRows(), 100);
    // A proportional font is not taken.
    TFont f;
    f.SetName("Tahoma");
    f.SetPitch(fpVariable);
    t.SetFont(f);
    EXPECT_EQ(t.GetFont()->GetName(), "Fixedsys");
}

TEST(TerminalScreen, PlainTextControlsTabsAndScrolling) {
    TSerialTerminal t(nullptr);
    t.SetColumns(10);
    t.SetRows(3);
    std::vector<char32_t> chars;
    t.OnChar = [&](TObject*, char32_t c) { chars.push_back(c); };
    Receive(t, "ab\tc\r\nxy\bZ\x01");
    EXPECT_EQ(Line(t, 1), "ab......c");  // the tab stop at column 9
    EXPECT_EQ(Line(t, 2), "xZ");
    EXPECT_EQ(chars.size(), 11u);  // control characters too
    EXPECT_EQ(chars[2], U'\t');
    // The last column without wrapping: the caret stays and the next character overwrites.
    Receive(t, "\r0123456789AB");
    EXPECT_EQ(Line(t, 2), "012345678B");
    EXPECT_EQ(t.GetCaretX(), 10);
    // With wrapping the text goes on below; on the last row the lines shift up.
    t.SetWrapLines(true);
    Receive(t, "\r\n\rabcdefghijKLM");
    EXPECT_EQ(Line(t, 1), "012345678B");
    EXPECT_EQ(Line(t, 2), "abcdefghij");
    EXPECT_EQ(Line(t, 3), "KLM");
    Receive(t, "\n\n");
    EXPECT_EQ(Line(t, 1), "KLM");
    EXPECT_EQ(Line(t, 2), "");
    Receive(t, "\f");
    EXPECT_EQ(t.GetBuffer()->GetLastLine(), 0);
    EXPECT_EQ(t.GetCaretX(), 1);
    // Characters up to 1103 are written, others not.
    t.WriteStr("\xD1\x8F\xD1\x90");  // я (1103), then ѐ (1104)
    EXPECT_EQ(t.GetBuffer()->GetChar(1, 1).Ch, 1103u);
    EXPECT_EQ(t.GetBuffer()->GetChar(2, 1).Ch, 0u);
}

TEST(TerminalScreen, EraseAndPositionCodes) {
    TSerialTerminal t(nullptr);
    Receive(t, "hello\r\nworld");
    Receive(t, "\x1b[2J");
    EXPECT_EQ(t.GetBuffer()->GetLastLine(), 0);
    EXPECT_EQ(t.GetCaretX(), 1);
    EXPECT_EQ(t.GetCaretY(), 1);
    Receive(t, "\x1b[5;10f");
    EXPECT_EQ(t.GetCaretY(), 5);
    EXPECT_EQ(t.GetCaretX(), 10);
    Receive(t, "\x1b[H");
    EXPECT_EQ(t.GetCaretY(), 1);
    EXPECT_EQ(t.GetCaretX(), 1);
    Receive(t, "\x1b[3;4H\x1b[2A\x1b[5C");
    EXPECT_EQ(t.GetCaretY(), 1);
    EXPECT_EQ(t.GetCaretX(), 9);
    Receive(t, "\x1b[99B\x1b[99D");  // kept on the screen
    EXPECT_EQ(t.GetCaretY(), 24);
    EXPECT_EQ(t.GetCaretX(), 1);
    Receive(t, "\x1b[H" "abcdef\r\nghijkl\x1b[1;3H\x1b[K");
    EXPECT_EQ(Line(t, 1), "ab");
    EXPECT_EQ(Line(t, 2), "ghijkl");
    Receive(t, "\x1b[2;4H\x1b[J");
    EXPECT_EQ(Line(t, 2), "ghi");
    Receive(t, "\x1b[2K");
    EXPECT_EQ(Line(t, 2), "");
    EXPECT_EQ(t.GetCaretX(), 1);
    // Save and restore the caret; the screen test fills everything with "E".
    Receive(t, "\x1b[7;8H\x1b[s\x1b[H\x1b[u");
    EXPECT_EQ(t.GetCaretY(), 7);
    EXPECT_EQ(t.GetCaretX(), 8);
    Receive(t, "\x1b#8");
    EXPECT_EQ(Line(t, 24), std::string(80, 'E'));
}

TEST(TerminalScreen, VT52Codes) {
    TSerialTerminal t(nullptr);
    t.SetEmulation(teVT52);
    Receive(t, "\x1bY$)");  // 36 and 41: row 5, column 10
    EXPECT_EQ(t.GetCaretY(), 5);
    EXPECT_EQ(t.GetCaretX(), 10);
    Receive(t, "\x1bH" "top\x1bI");  // reverse line feed on row 1 scrolls down
    EXPECT_EQ(Line(t, 1), "");
    EXPECT_EQ(Line(t, 2), "top");
    EXPECT_EQ(t.GetCaretY(), 1);
}

TEST(TerminalScreen, AttributesAndColours) {
    TSerialTerminal t(nullptr);
    Receive(t, "\x1b[1;31mA");
    EXPECT_EQ(t.GetBuffer()->GetChar(1, 1).FrontColor, t.GetAltColor());  // bold wins over red
    Receive(t, "\x1b[0;31mB");
    EXPECT_EQ(t.GetBuffer()->GetChar(2, 1).FrontColor, 0x0000FF);
    EXPECT_EQ(t.GetBuffer()->GetChar(2, 1).BackColor, clBlack);
    Receive(t, "\x1b[0;7mC");
    EXPECT_EQ(t.GetBuffer()->GetChar(3, 1).FrontColor, clBlack);
    EXPECT_EQ(t.GetBuffer()->GetChar(3, 1).BackColor, clWhite);
    Receive(t, "\x1b[27;4;36;44mD");
    TSerialTermChar d = t.GetBuffer()->GetChar(4, 1);
    EXPECT_EQ(d.FrontColor, 0x0080FF);  // orange
    EXPECT_EQ(d.BackColor, 0xFF0000);   // blue
    EXPECT_TRUE(d.Underline);
    Receive(t, "\x1b[mE");
    TSerialTermChar e = t.GetBuffer()->GetChar(5, 1);
    EXPECT_EQ(e.FrontColor, clWhite);
    EXPECT_FALSE(e.Underline);
    // Save caret and attributes, change both, restore both.
    Receive(t, "\x1b[33m\x1b" "7\x1b[0m\x1b[9;9HX\x1b" "8F");
    EXPECT_EQ(t.GetBuffer()->GetChar(6, 1).FrontColor, 0x00FFFF);
    EXPECT_EQ(t.GetBuffer()->GetChar(6, 1).Ch, U'F');
    Receive(t, "\x1b" "cG");  // reset
    EXPECT_EQ(t.GetBuffer()->GetChar(7, 1).FrontColor, clWhite);
}

TEST(TerminalScreen, ModesReceiveOptionsAndHandlers) {
    TSerialTerminal t(nullptr);
    Receive(t, "\x1b[?3h");
    EXPECT_EQ(t.GetColumns(), 132);
    Receive(t, "\x1b[?3l\x1b[7h\x1b[?1h");
    EXPECT_EQ(t.GetColumns(), 80);
    EXPECT_TRUE(t.GetWrapLines());
    EXPECT_TRUE(t.GetAppCursorMode());
    Receive(t, "\x1b[7l\x1b[?1l");
    EXPECT_FALSE(t.GetWrapLines());
    EXPECT_FALSE(t.GetAppCursorMode());

    t.SetAppendLF(true);
    Receive(t, "ab\rcd");
    EXPECT_EQ(Line(t, 1), "ab");
    EXPECT_EQ(Line(t, 2), "cd");
    t.SetForce7Bit(true);
    Receive(t, "\xC1");
    EXPECT_EQ(t.GetBuffer()->GetChar(3, 2).Ch, U'A');
    t.SetForce7Bit(false);
    Receive(t, "\xC1");
    EXPECT_EQ(t.GetBuffer()->GetChar(4, 2).Ch, 0xC1u);

    std::vector<std::pair<TEscapeCode, std::string>> unhandled;
    t.OnUnhandledCode = [&](TObject*, TEscapeCode c, const std::string& data) { unhandled.push_back({c, data}); };
    t.OnStrRecieved = [](TObject*, std::string& s) {
        if (s == "swap") s = "SWAP";
    };
    Receive(t, "\x1b[5z\x1bOB");
    ASSERT_EQ(unhandled.size(), 2u);
    EXPECT_EQ(unhandled[0].first, ecUnknown);
    EXPECT_EQ(unhandled[0].second, "[5z");
    EXPECT_EQ(unhandled[1].first, ecAppCursorDown);
    Receive(t, "\x1b[1;1H");
    Receive(t, "swap");
    EXPECT_EQ(Line(t, 1), "SWAP");
    // After a code the parameters are gone.
    EXPECT_EQ(t.GetEscapeCodes()->GetParams()->Count(), 0);
}

TEST(TerminalScreen, NoEmulationAndASuppliedParser) {
    TSerialTerminal t(nullptr);
    t.SetEmulation(teNone);
    Receive(t, "\x1b[2Jx");
    EXPECT_EQ(Line(t, 1), "[2Jx");  // ESC itself is not written
    TSerialTerminal u(nullptr);
    int supplied = 0;
    u.OnGetEscapeCodes = [&](TObject*, TEscapeCodes*& codes) {
        ++supplied;
        codes = new TEscapeCodesVT52;
    };
    u.SetEmulation(teNone);
    EXPECT_EQ(supplied, 1);
    Receive(u, "\x1bY#$Q");
    EXPECT_EQ(u.GetBuffer()->GetChar(5, 4).Ch, U'Q');
}

TEST(TerminalScreen, SaveAndLoadTheScreenAsText) {
    TSerialTerminal t(nullptr);
    Receive(t, "ab\x1b[1;5Hc\r\n\r\nxyz\xC1");
    TMemoryStream out;
    t.SaveToStream(out);
    std::string text(static_cast<const char*>(out.GetMemory()), size_t(out.GetSize()));
    EXPECT_EQ(text, "ab  c\r\n\r\nxyz\xC1");
    TSerialTerminal back(nullptr);
    out.SetPosition(4);  // from the stream's position on
    back.LoadFromStream(out);
    EXPECT_EQ(Line(back, 1), "c");
    EXPECT_EQ(Line(back, 3), "xyz\xC1");
    TSerialTerminal empty(nullptr);
    TMemoryStream none;
    empty.SaveToStream(none);
    EXPECT_EQ(none.GetSize(), 0);
}

struct TermRig {
    explicit TermRig(const std::string& name) : rig(name) {
        term.SetComPort(rig.port.get());
        rig.port->Open();
    }
    std::string Sent(size_t count) {
        testsupport::WaitUntil([&] { return rig.sim.Received().size() >= count; });
        std::string s = serialtest::AsText(rig.sim.Received());
        rig.sim.ClearRecord();
        return s;
    }
    serialtest::Rig rig;
    TSerialTerminal term{nullptr};
};

TEST(TerminalPort, AnswersQueriesOnThePort) {
    TermRig r("term-answers");
    ASSERT_TRUE(r.rig.started && r.rig.port->GetConnected());
    EXPECT_TRUE(r.term.GetConnected());
    r.rig.sim.Send(devsim::Bytes{27, '[', '3', ';', '7', 'H', 27, '[', '6', 'n'});
    EXPECT_EQ(r.Sent(6), "\x1b[3;7R");
    r.rig.sim.Send(devsim::Bytes{27, '[', 'c'});
    EXPECT_EQ(r.Sent(7), "\x1b[?1;2c");
    r.rig.sim.Send(devsim::Bytes{27, '[', '5', 'n'});
    EXPECT_EQ(r.Sent(4), "\x1b[0n");
    // The answers are not echoed on the screen.
    EXPECT_EQ(r.term.GetBuffer()->GetLastLine(), 0);
}

TEST(TerminalPort, HugeCursorMovesStopAtTheEdges) {
    TermRig r("term-huge");
    ASSERT_TRUE(r.rig.port->GetConnected());
    auto caretAfter = [&](const std::string& code, int x, int y) {
        const std::string s = "\x1b[5;5H" + code;
        r.rig.sim.Send(devsim::Bytes(s.begin(), s.end()));
        return testsupport::WaitUntil([&] { return r.term.GetCaretX() == x && r.term.GetCaretY() == y; });
    };
    EXPECT_TRUE(caretAfter("\x1b[2147483647B", 5, 24));
    EXPECT_TRUE(caretAfter("\x1b[-2147483648A", 5, 24));  // up by a negative count is down
    EXPECT_TRUE(caretAfter("\x1b[2147483647C", 80, 5));
    EXPECT_TRUE(caretAfter("\x1b[-2147483648D", 80, 5));
    EXPECT_TRUE(caretAfter("\x1b[2147483647A", 5, 1));
}

TEST(TerminalPort, TypedKeysEchoAndLineFeeds) {
    TermRig r("term-keys");
    ASSERT_TRUE(r.rig.port->GetConnected());
    char k = 'h';
    r.term.KeyPress(k);
    EXPECT_EQ(r.Sent(1), "h");
    EXPECT_EQ(r.term.GetBuffer()->GetLastLine(), 0);
    r.term.SetLocalEcho(true);
    r.term.SetSendLF(true);
    k = 'i';
    r.term.KeyPress(k);
    k = '\r';
    r.term.KeyPress(k);
    EXPECT_EQ(r.Sent(3), "i\r\n");
    EXPECT_EQ(Line(r.term, 1), "i");
    EXPECT_EQ(r.term.GetCaretY(), 2);

    Word key = VK_UP;
    r.term.SetLocalEcho(false);
    r.term.KeyDown(key, {});
    EXPECT_EQ(key, 0);
    EXPECT_EQ(r.Sent(3), "\x1b[A");
    r.term.WriteStr("\x1b[?1h");
    key = VK_LEFT;
    r.term.KeyDown(key, {});
    EXPECT_EQ(r.Sent(3), "\x1bOD");
    key = VK_HOME;
    r.term.KeyDown(key, {});
    EXPECT_EQ(r.Sent(3), "\x1b[H");
    // As windows keys the caret moves on the screen and nothing is sent.
    r.term.WriteStr("\x1b[?1l\x1b[5;5H");
    r.term.SetArrowKeys(akWindows);
    key = VK_RIGHT;
    r.term.KeyDown(key, {});
    EXPECT_EQ(r.term.GetCaretX(), 6);
    testsupport::Pump(50);
    EXPECT_TRUE(r.rig.sim.Received().empty());
}

TEST(TerminalPort, NothingIsSentOnAClosedPort) {
    TSerialTerminal t(nullptr);
    TSerialPort port(nullptr);
    t.SetComPort(&port);
    t.SetLocalEcho(true);
    t.SendChar(U'x');
    t.SendCode(ecCursorUp, nullptr);
    EXPECT_EQ(t.GetBuffer()->GetLastLine(), 0);
    Receive(t, "\x1b[6n");  // the answer has nowhere to go
    EXPECT_FALSE(port.GetTriggersOnRxChar());
}

}  // namespace
