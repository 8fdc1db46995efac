// Packets cut from a received stream: start and stop texts, fixed size, handlers, the buffer
// limit; every stream also fed split at every position and byte by byte.
#include <gtest/gtest.h>

#include "SerialTestSupport.h"
#include "serial/SerialPacket.h"

namespace {

struct Log {
    std::vector<std::string> events;  // "P:<packet>" and "D:<discarded>"
    void Attach(TSerialDataPacket& p) {
        p.OnPacket = [this](TObject*, const std::string& s) { events.push_back("P:" + s); };
        p.OnDiscard = [this](TObject*, const std::string& s) { events.push_back("D:" + s); };
    }
};

using Rules = std::function<void(TSerialDataPacket&)>;

// Feeds the stream in the given pieces; returns the events and what stays buffered.
std::pair<std::vector<std::string>, std::string> Feed(const Rules& setup, const std::vector<std::string>& pieces) {
    TSerialDataPacket p(nullptr);
    setup(p);
    Log log;
    log.Attach(p);
    for (const auto& piece : pieces) p.RxBuf(nullptr, piece.data(), int(piece.size()));
    return {log.events, p.GetBuffer()};
}

// The same outcome whether the stream comes whole, split in two anywhere, or byte by byte.
void ExpectSplitInvariant(const Rules& setup, const std::string& stream, const std::vector<std::string>& events,
                          const std::string& rest) {
    auto whole = Feed(setup, {stream});
    EXPECT_EQ(whole.first, events);
    EXPECT_EQ(whole.second, rest);
    for (size_t cut = 1; cut < stream.size(); ++cut) {
        auto two = Feed(setup, {stream.substr(0, cut), stream.substr(cut)});
        EXPECT_EQ(two.first, events) << "cut at " << cut;
        EXPECT_EQ(two.second, rest) << "cut at " << cut;
    }
    std::vector<std::string> bytes;
    for (char c : stream) bytes.emplace_back(1, c);
    auto single = Feed(setup, bytes);
    EXPECT_EQ(single.first, events);
    EXPECT_EQ(single.second, rest);
}

TEST(PacketCut, StartAndStopTexts) {
    Rules s = [](TSerialDataPacket& p) {
        p.SetStartString("$");
        p.SetStopString("*");
    };
    auto r = Feed(s, {"xx$AB*$C"});
    EXPECT_EQ(r.first, (std::vector<std::string>{"D:xx", "P:AB"}));
    EXPECT_EQ(r.second, "$C");
    ExpectSplitInvariant(s, "xx$AB*$C", {"D:xx", "P:AB"}, "$C");
    ExpectSplitInvariant(s, "$1*$22*zz$333*", {"P:1", "P:22", "D:zz", "P:333"}, "");
}

TEST(PacketCut, LongerTextsIncludeStringsAndCase) {
    Rules s = [](TSerialDataPacket& p) {
        p.SetStartString("<<");
        p.SetStopString(">>");
    };
    ExpectSplitInvariant(s, "a<<one>>b<<two>><<", {"D:a", "P:one", "D:b", "P:two"}, "<<");
    Rules inc = [](TSerialDataPacket& p) {
        p.SetStartString("<<");
        p.SetStopString(">>");
        p.SetIncludeStrings(true);
    };
    ExpectSplitInvariant(inc, "<<one>>", {"P:<<one>>"}, "");
    Rules ci = [](TSerialDataPacket& p) {
        p.SetStartString("go");
        p.SetStopString("end");
        p.SetCaseInsensitive(true);
    };
    ExpectSplitInvariant(ci, "GOdataEnD", {"P:data"}, "");
}

TEST(PacketCut, TheStopTextIsLookedForAfterTheStartText) {
    // The same mark opens and closes: the opening one is not taken as the end.
    Rules s = [](TSerialDataPacket& p) {
        p.SetStartString("#");
        p.SetStopString("#");
    };
    ExpectSplitInvariant(s, "#AB#", {"P:AB"}, "");
}

TEST(PacketCut, FixedSize) {
    Rules s = [](TSerialDataPacket& p) { p.SetSize(4); };
    auto r = Feed(s, {"ABCDEFGH"});
    EXPECT_EQ(r.first, (std::vector<std::string>{"P:ABCD", "P:EFGH"}));
    ExpectSplitInvariant(s, "ABCDEFGHIJ", {"P:ABCD", "P:EFGH"}, "IJ");
    // With a start text the size counts from the start, the start text included.
    Rules st = [](TSerialDataPacket& p) {
        p.SetStartString("S");
        p.SetSize(3);
    };
    ExpectSplitInvariant(st, "xSabSc", {"D:x", "P:ab"}, "Sc");
}

TEST(PacketCut, WithoutAStopRuleEveryBlockIsOnePacketAsItCame) {
    auto r = Feed([](TSerialDataPacket& p) { p.SetStartString("$"); }, {"ab$", "c", "de"});
    EXPECT_EQ(r.first, (std::vector<std::string>{"P:ab$", "P:c", "P:de"}));
    EXPECT_EQ(r.second, "");
}

TEST(PacketCut, TheBufferLimitDiscardsWhatGrewTooLong) {
    Rules s = [](TSerialDataPacket& p) {
        p.SetStartString("$");
        p.SetStopString("*");
        p.SetMaxBufferSize(6);
    };
    auto r = Feed(s, {"$12345", "6*"});
    EXPECT_EQ(r.first, (std::vector<std::string>{"D:$12345"}));
    EXPECT_EQ(r.second, "6*");  // no start in what followed: it waits
    // Texts that never hold a start are discarded at the limit too.
    auto n = Feed(s, {"abc", "def"});
    EXPECT_EQ(n.first, (std::vector<std::string>{"D:abcdef"}));
    // No limit.
    auto u = Feed([](TSerialDataPacket& p) { p.SetStopString("*"); p.SetMaxBufferSize(0); },
                  {std::string(5000, 'x'), "*"});
    ASSERT_EQ(u.first.size(), 1u);
    EXPECT_EQ(u.first[0].size(), 5002u);
}

TEST(PacketCut, HandlersDecideWhereAPacketStartsAndEnds) {
    Rules s = [](TSerialDataPacket& p) {
        // Starts at the first digit, ends after three characters.
        p.OnCustomStart = [](TObject*, const std::string& str, int& pos) {
            size_t at = str.find_first_of("0123456789");
            pos = at == std::string::npos ? 0 : int(at) + 1;
        };
        p.OnCustomStop = [](TObject*, const std::string& str, int& pos) {
            pos = str.size() >= 3 ? 3 : 0;
        };
    };
    ExpectSplitInvariant(s, "ab123x45", {"D:ab", "P:123", "D:x"}, "45");
}

TEST(PacketCut, WildHandlerPositionsNeitherCrashNorLoop) {
    TSerialDataPacket p(nullptr);
    Log log;
    log.Attach(p);
    p.OnCustomStart = [](TObject*, const std::string&, int& pos) { pos = 1000; };
    p.OnCustomStop = [](TObject*, const std::string&, int& pos) { pos = 1; };
    p.AddData("abc");
    // The start past the end discards all; an end at 1 in an empty buffer delivers nothing.
    EXPECT_EQ(log.events, (std::vector<std::string>{"D:abc"}));
    p.OnCustomStart = nullptr;
    p.OnCustomStop = [](TObject*, const std::string&, int& pos) { pos = 99; };
    log.events.clear();
    p.AddData("xy");
    EXPECT_EQ(log.events, (std::vector<std::string>{"P:xy"}));
}

TEST(PacketCut, ManySmallPacketsInOneBlock) {
    TSerialDataPacket p(nullptr);
    p.SetSize(1);
    p.SetMaxBufferSize(0);
    int count = 0;
    p.OnPacket = [&](TObject*, const std::string&) { ++count; };
    p.AddData(std::string(20000, 'z'));
    EXPECT_EQ(count, 20000);
}

TEST(PacketCut, ChangingARuleEmptiesTheBuffer) {
    TSerialDataPacket p(nullptr);
    Log log;
    log.Attach(p);
    p.SetStartString("$");
    p.SetStopString("*");
    p.AddData("$ab");
    EXPECT_TRUE(p.GetInPacket());
    p.SetStopString("*");  // unchanged: kept
    EXPECT_EQ(p.GetBuffer(), "$ab");
    p.SetStopString("#");
    EXPECT_EQ(log.events, (std::vector<std::string>{"D:$ab"}));
    EXPECT_FALSE(p.GetInPacket());
    p.AddData("$q");
    p.ResetBuffer();
    EXPECT_EQ(log.events.back(), "D:$q");
    EXPECT_EQ(p.GetBuffer(), "");
    // While loading a rule is stored and the buffer kept.
    p.AddData("$w");
    p.BeginLoading();
    p.SetSize(9);
    p.EndLoading();
    EXPECT_EQ(p.GetBuffer(), "$w");
}

TEST(PacketPort, PacketsFromARealPortAndThePortGoingAway) {
    serialtest::Rig rig("packet-port");
    ASSERT_TRUE(rig.started);
    TSerialDataPacket p(nullptr);
    p.SetStartString("$");
    p.SetStopString("*");
    std::vector<std::string> packets;
    p.OnPacket = [&](TObject*, const std::string& s) { packets.push_back(s); };
    p.SetComPort(rig.port.get());
    EXPECT_FALSE(rig.port->GetTriggersOnRxChar());  // the link takes the bytes
    rig.port->Open();
    ASSERT_TRUE(rig.port->GetConnected());
    rig.sim.Send(devsim::Bytes{'n', '$', 'O', 'K', '*', '$', 0xC1});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return p.GetBuffer() == "$\xC1"; }));
    EXPECT_EQ(packets, (std::vector<std::string>{"OK"}));
    rig.port.reset();
    EXPECT_EQ(p.GetComPort(), nullptr);
}

TEST(PacketPort, PacketFreedByItsOwnPacketHandler) {
    serialtest::Rig rig("packet-free");
    ASSERT_TRUE(rig.started);
    auto* p = new TSerialDataPacket(nullptr);
    p->SetStartString("$");
    p->SetStopString("*");
    std::vector<std::string> packets;
    p->OnPacket = [&](TObject*, const std::string& s) {
        packets.push_back(s);
        delete p;  // more packets wait in the same block
        p = nullptr;
    };
    p->SetComPort(rig.port.get());
    rig.port->Open();
    rig.sim.Send(devsim::Bytes{'$', 'A', '*', '$', 'B', '*', '$', 'C'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !packets.empty(); }));
    EXPECT_EQ(packets, std::vector<std::string>{"A"});
    // The port goes on without the packet's link.
    EXPECT_TRUE(rig.port->GetTriggersOnRxChar());
    int announced = 0;
    rig.port->OnRxChar = [&](TObject*, int) { ++announced; };
    rig.sim.Send({'z'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return announced > 0; }));
}

TEST(PacketPort, MovingToAnotherPortRegistersTheLinkThere) {
    TSerialPort a(nullptr), b(nullptr);
    TSerialDataPacket p(nullptr);
    p.SetComPort(&a);
    EXPECT_FALSE(a.GetTriggersOnRxChar());
    p.SetComPort(&b);
    EXPECT_TRUE(a.GetTriggersOnRxChar());
    EXPECT_FALSE(b.GetTriggersOnRxChar());
    p.SetComPort(nullptr);
    EXPECT_TRUE(b.GetTriggersOnRxChar());
}

}  // namespace
