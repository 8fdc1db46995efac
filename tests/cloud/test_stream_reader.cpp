// Splitting the cloud stream into tunnelled frames and JSON replies, whatever the reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "cloud/CloudStreamReader.h"
#include "device/DeviceFrame.h"

namespace {

// A device reply frame: tag, L, 0x55, command, data, CRC.
std::string ReplyFrame(std::uint8_t command, const std::string& data) {
    std::string body;
    body += static_cast<char>(0x55);
    body += static_cast<char>(command);
    body += data;
    const std::uint16_t crc = CalcCRC16(body.data(), static_cast<std::uint16_t>(body.size()));
    std::string f = "SLMX";
    f += static_cast<char>(body.size() & 0xFF);
    f += static_cast<char>(body.size() >> 8);
    f += body;
    f += static_cast<char>(crc & 0xFF);
    f += static_cast<char>(crc >> 8);
    return f;
}

struct Recorder {
    TCloudStreamReader reader;
    std::vector<std::string> events;  // "F:<frame after tag>" or "J:<reply>" or "C:<cut reply>"
    Recorder() {
        reader.OnFrame = [this](const std::uint8_t* f, std::size_t n) {
            events.push_back("F:" + std::string(reinterpret_cast<const char*>(f), n));
        };
        reader.OnReply = [this](const std::string& text, bool cut) {
            events.push_back((cut ? "C:" : "J:") + text);
        };
    }
};

std::vector<std::string> FeedInPieces(const std::string& stream, const std::vector<std::size_t>& cuts) {
    Recorder r;
    std::size_t from = 0;
    for (std::size_t c : cuts) {
        r.reader.Feed(stream.substr(from, c - from));
        from = c;
    }
    r.reader.Feed(stream.substr(from));
    return r.events;
}

const std::string kReply1 = "{\n   \"data\" : \"ok\",\n   \"response\" : \"setout\"\n}";
const std::string kReply2 = "{\"response\":\"gnum\",\"data\":{\"name\":\"SLMX\"}}";

}  // namespace

// A frame's data may hold what looks like a whole reply: cut right after it, the frame is
// still taken whole and nothing of it is handed on as a reply.
TEST(CloudStream, FramesAndRepliesInterleavedAtEveryCut) {
    const std::string f1 = ReplyFrame(0x22, std::string("\x00{\"data\":\"ok\"}\n\r{", 17));
    const std::string f2 = ReplyFrame(0x40, "SLMX text");
    const std::string stream = "junk" + f1 + kReply1 + "\n\r" + f2 +
                               "\r\n" + kReply2 + "\n\r" + f1;
    const std::vector<std::string> expected = {"F:" + f1.substr(4), "J:" + kReply1,
                                               "F:" + f2.substr(4), "J:" + kReply2,
                                               "F:" + f1.substr(4)};
    ASSERT_EQ(FeedInPieces(stream, {}), expected);
    for (std::size_t a = 1; a < stream.size(); ++a) {
        ASSERT_EQ(FeedInPieces(stream, {a}), expected) << "cut at " << a;
        for (std::size_t b = a + 1; b < stream.size(); b += 3)
            ASSERT_EQ(FeedInPieces(stream, {a, b}), expected) << "cuts at " << a << ", " << b;
    }
    std::vector<std::size_t> every;
    for (std::size_t i = 1; i < stream.size(); ++i) every.push_back(i);
    EXPECT_EQ(FeedInPieces(stream, every), expected);
}

// One stream gives the same frames and replies however it is cut: a frame whose data holds a
// reply and a whole frame is taken whole, and a false tag (a bad CRC) over a frame is scanned
// through once its length is in.
TEST(CloudStream, OneStreamGivesTheSameEventsAtRandomCuts) {
    const std::string inner = ReplyFrame(0x28, "x");
    const std::string outer = ReplyFrame(0x22, "\x01{\"data\":\"ok\"}\n\r" + inner + "..");
    const std::string f2 = ReplyFrame(0x40, "SLMX text");
    std::string bad = ReplyFrame(0x30, "aa" + f2 + "\n\r");
    bad.back() ^= 0x01;
    const std::string stream = "junk" + outer + kReply1 + "\n\r" + bad + kReply2 + "\n\r" + outer + inner;
    const std::vector<std::string> expected = {"F:" + outer.substr(4), "J:" + kReply1, "F:" + f2.substr(4),
                                               "J:" + kReply2, "F:" + outer.substr(4), "F:" + inner.substr(4)};
    ASSERT_EQ(FeedInPieces(stream, {}), expected);
    std::mt19937 random(31);
    for (int run = 0; run < 3000; ++run) {
        std::vector<std::size_t> cuts(random() % 8 + 1);
        for (std::size_t& c : cuts) c = random() % stream.size();
        std::sort(cuts.begin(), cuts.end());
        ASSERT_EQ(FeedInPieces(stream, cuts), expected) << "run " << run;
    }
}

TEST(CloudStream, OnlyBraceLfCrEndsAReply) {
    Recorder r;
    r.reader.Feed("{\"a\":1}\r\n");
    EXPECT_TRUE(r.events.empty());
    EXPECT_TRUE(r.reader.Collecting());
    r.reader.Feed("{\"b\":2}\n\r");
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0], "J:{\"a\":1}\r\n{\"b\":2}");
    // A terminator while nothing is collected hands nothing over again.
    r.reader.Feed("}\n\r}\n\r");
    EXPECT_EQ(r.events.size(), 1u);
    EXPECT_FALSE(r.reader.Collecting());
}

TEST(CloudStream, TwoRepliesInOneRead) {
    Recorder r;
    r.reader.Feed(kReply1 + "\n\r" + kReply2 + "\n\r");
    EXPECT_EQ(r.events, (std::vector<std::string>{"J:" + kReply1, "J:" + kReply2}));
}

TEST(CloudStream, FrameBytesNeverReachTheCollector) {
    Recorder r;
    r.reader.Feed("{\"a\":");
    r.reader.Feed(ReplyFrame(0x29, "}\n\r{x"));
    r.reader.Feed("1}\n\r");
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0].substr(0, 2), "F:");
    EXPECT_EQ(r.events[1], "J:{\"a\":1}");
}

TEST(CloudStream, FalseTagsHoldNothingBack) {
    // Inside a reply: "SLMX" then a quote and LF read as a length of 2594 bytes; the
    // terminator that follows shows it was text.
    Recorder r;
    r.reader.Feed("{\"n\":\"SLMX\"\n}\n\r");
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0], "J:{\"n\":\"SLMX\"\n}");
    EXPECT_EQ(r.reader.Held(), 0u);

    // A bad CRC: the bytes are scanned as ordinary bytes once the frame is complete.
    std::string bad = ReplyFrame(0x22, "abc");
    bad[bad.size() - 1] ^= 0x01;
    Recorder r2;
    r2.reader.Feed(bad + kReply1 + "\n\r");
    EXPECT_EQ(r2.events, (std::vector<std::string>{"J:" + kReply1}));

    // A length beyond any device frame, or too short for marker and command.
    Recorder r3;
    r3.reader.Feed(std::string("SLMX\xFF\x0F", 6) + kReply1 + "\n\r" + std::string("SLMX\x01\x00", 6) +
                   kReply1 + "\n\r");
    EXPECT_EQ(r3.events, (std::vector<std::string>{"J:" + kReply1, "J:" + kReply1}));

    // A request frame (marker 0xAA) is not a reply.
    std::vector<std::uint8_t> req = BuildRequestFrame(0x22, {0});
    Recorder r4;
    r4.reader.Feed(std::string(req.begin(), req.end()) + kReply1 + "\n\r");
    EXPECT_EQ(r4.events, (std::vector<std::string>{"J:" + kReply1}));
}

// A tag whose length promises 4 KB that never come: the reply after it is read once the
// clock has given the frame up, or the connection has ended; a frames-only reader keeps
// waiting for a frame.
TEST(CloudStream, ACutTagHoldsTheReplyAfterItUntilTheClockGivesItUp) {
    const std::string cut = std::string("SLMX\xF8\x0F\x55\x22", 8) + "abc";
    Recorder r;
    r.reader.Feed(cut);
    r.reader.Feed(kReply1 + "\n\r");
    for (std::size_t t = 1; t < kStreamHeldTicks; ++t) r.reader.Tick();
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(r.reader.Held(), cut.size() + kReply1.size() + 2);
    r.reader.Tick();
    EXPECT_EQ(r.events, (std::vector<std::string>{"J:" + kReply1}));
    EXPECT_EQ(r.reader.Held(), 0u);
    // The connection's end leaves nothing to wait for.
    Recorder ended;
    ended.reader.Feed(cut + kReply1 + "\n\r");
    ended.reader.EndOfStream();
    EXPECT_EQ(ended.events, (std::vector<std::string>{"J:" + kReply1}));

    TCloudStreamReader frames;
    frames.Feed(cut + kReply1 + "\n\r");
    EXPECT_EQ(frames.Held(), cut.size() + kReply1.size() + 2);
}

TEST(CloudStream, ATagPrefixAtTheEndWaitsForTheNextRead) {
    Recorder r;
    const std::string f = ReplyFrame(0x22, "x");
    r.reader.Feed(f.substr(0, 3));
    EXPECT_EQ(r.reader.Held(), 3u);
    EXPECT_EQ(r.reader.Wanted(), 4u);  // to the marker after its length
    r.reader.Feed(f.substr(3, 4));
    EXPECT_EQ(r.reader.Wanted(), f.size() - 7);  // to the frame's end
    r.reader.Feed(f.substr(7));
    EXPECT_EQ(r.events, (std::vector<std::string>{"F:" + f.substr(4)}));
    EXPECT_EQ(r.reader.Held(), 0u);
    EXPECT_EQ(r.reader.Wanted(), 1u);
}

TEST(CloudStream, OverlongReplyIsHandedOverCutAndTheNextIsWhole) {
    Recorder r;
    std::string big = "{\"response\":\"gnum\",\"data\":\"" + std::string(9000, 'x') + "\"}";
    r.reader.Feed(big + "\n\r" + kReply1 + "\n\r");
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0], "C:" + big.substr(0, kJsonCollectorSize));
    EXPECT_EQ(r.events[1], "J:" + kReply1);
}

TEST(CloudStream, HandlersMayResetOrFeedTheReader) {
    Recorder r;
    int replies = 0;
    r.reader.OnReply = [&](const std::string&, bool) {
        ++replies;
        r.reader.Reset();
        if (replies == 1) r.reader.Feed("{\"again\":1}\n\r");
    };
    r.reader.Feed(kReply1 + "\n\r");
    EXPECT_EQ(replies, 2);
    EXPECT_FALSE(r.reader.Collecting());
}

TEST(CloudStream, ResetDropsAHalfReply) {
    Recorder r;
    r.reader.Feed("{\"a\":");
    r.reader.Reset();
    r.reader.Feed("1}\n\r");
    EXPECT_TRUE(r.events.empty());
}

TEST(CloudStream, ReceivedBlockTextStopsAtNul) {
    const std::uint8_t block[] = {'O', 'K', 0xC4, 0xE0, 0, 'x'};
    EXPECT_EQ(ReceivedBlockText(block, sizeof block), "OKДа");
    EXPECT_EQ(ReceivedBlockText(nullptr, 3), "");
}
