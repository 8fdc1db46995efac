// Request bytes, reply checks and result texts against frames worked out by hand.
#include <gtest/gtest.h>

#include "device/DeviceFrame.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

TEST(DeviceFrame, CrcOfKnownInputs) {
    const std::uint8_t id[] = {0xAA, 0x00};
    EXPECT_EQ(CalcCRC16(id, 2), 0x107F);
    EXPECT_EQ(CalcCRC16(id, 0), 0xFFFF);
    // The classic MODBUS check value of "123456789".
    EXPECT_EQ(CalcCRC16("123456789", 9), 0x4B37);
}

// The CRC of any stretch, taken from the registers of a stream fed in pieces, is the CRC
// computed over that stretch alone.
TEST(DeviceFrame, CrcOfAStretchOfAStream) {
    TCrcTrail trail;
    const std::string head = "xx123456789";
    trail.Append(reinterpret_cast<const std::uint8_t*>(head.data()), head.size());
    EXPECT_EQ(trail.Crc(2, 11), 0x4B37);
    EXPECT_EQ(trail.Crc(5, 5), 0xFFFF);
    Bytes bytes(head.begin(), head.end());
    for (int i = 0; i < 700; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 131 + (i >> 3)));
    trail.Append(bytes.data() + head.size(), bytes.size() - head.size());
    for (std::size_t from : {0u, 1u, 7u, 300u})
        for (std::size_t to : {from + 1, from + 255, from + 256, from + 257, bytes.size()})
            ASSERT_EQ(trail.Crc(from, to), CalcCRC16(bytes.data() + from, static_cast<std::uint16_t>(to - from)))
                << from << ".." << to;
    trail.DropFront(2);
    EXPECT_EQ(trail.Crc(0, 9), 0x4B37);
}

TEST(DeviceFrame, RequestBytes) {
    EXPECT_EQ(BuildRequestFrame(CmdIdentify, nullptr, 0),
              (Bytes{0x53, 0x4C, 0x4D, 0x58, 0x02, 0x00, 0xAA, 0x00, 0x7F, 0x10}));
    EXPECT_EQ(BuildRequestFrame(CmdPassword, PasswordRequestData(1234)),
              (Bytes{0x53, 0x4C, 0x4D, 0x58, 0x04, 0x00, 0xAA, 0x25, 0xD2, 0x04, 0x6D, 0x54}));
    EXPECT_EQ(BuildRequestFrame(CmdReadStatus, Bytes{0}),
              (Bytes{0x53, 0x4C, 0x4D, 0x58, 0x03, 0x00, 0xAA, 0x22, 0x00, 0x49, 0x40}));
}

TEST(DeviceFrame, SpareByteAfterSizesThatAreMultiplesOf8) {
    // 6 data bytes: a 16-byte frame goes out as 17.
    EXPECT_EQ(BuildRequestFrame(0x2E, Bytes{1, 2, 3, 4, 5, 6}),
              (Bytes{0x53, 0x4C, 0x4D, 0x58, 0x08, 0x00, 0xAA, 0x2E, 1, 2, 3, 4, 5, 6, 0xBE, 0xC8, 0x00}));
    // 14 data bytes: 24 + 1.
    Bytes data14;
    for (int i = 1; i <= 14; ++i) data14.push_back(static_cast<std::uint8_t>(i));
    const Bytes f = BuildRequestFrame(0x2E, data14);
    ASSERT_EQ(f.size(), 25u);
    EXPECT_EQ(f[4], 0x10);
    EXPECT_EQ(f[22], 0xD4);
    EXPECT_EQ(f[23], 0xF9);
    EXPECT_EQ(f[24], 0x00);
    // The configuration write: 515 bytes, 525 on the wire, no spare byte.
    EXPECT_EQ(BuildRequestFrame(CmdWriteConfig, Bytes(515, 0)).size(), 525u);
}

TEST(DeviceFrame, OversizedDataIsRefused) {
    Bytes big(kMaxFrameData + 1, 0);
    EXPECT_TRUE(BuildRequestFrame(0x2A, big).empty());
    big.pop_back();
    const Bytes f = BuildRequestFrame(0x2A, big);
    ASSERT_EQ(f.size(), kMaxFrameData + 10);
    EXPECT_EQ(f[4], 0xFF);
    EXPECT_EQ(f[5], 0xFF);
}

TEST(DeviceFrame, VerifiesReplies) {
    // Identify reply, working mode, DIN model, handed over from the length field.
    const Bytes ok = {0x08, 0x00, 0x55, 0x00, 0x01, 0x05, 0x00, 0x00, 0x8B, 0x00, 0x2E, 0x29};
    TDeviceReply r;
    ASSERT_TRUE(VerifyReplyFrame(ok.data(), ok.size(), r));
    EXPECT_EQ(r.Command, 0x00);
    ASSERT_EQ(r.Size, 6u);
    EXPECT_EQ(r.d(4), 0x8B);
    EXPECT_EQ(r.Data, ok.data() + 4);

    // Trailing bytes after the CRC are fine.
    Bytes longer = ok;
    longer.push_back(0x77);
    EXPECT_TRUE(VerifyReplyFrame(longer.data(), longer.size(), r));

    // A frame cut short is dropped without reading past what arrived.
    for (std::size_t n = 0; n < ok.size(); ++n) {
        Bytes cut(ok.begin(), ok.begin() + static_cast<long>(n));
        EXPECT_FALSE(VerifyReplyFrame(cut.data(), cut.size(), r)) << n;
    }

    Bytes badCrc = ok;
    badCrc[11] ^= 1;
    EXPECT_FALSE(VerifyReplyFrame(badCrc.data(), badCrc.size(), r));

    // An echoed request with a good CRC.
    const Bytes echo = {0x08, 0x00, 0xAA, 0x00, 0x01, 0x05, 0x00, 0x00, 0x8B, 0x00, 0x61, 0x2D};
    EXPECT_FALSE(VerifyReplyFrame(echo.data(), echo.size(), r));

    // Length 1 holds no command byte; length 0 is nothing at all.
    const std::uint8_t l1[] = {0x01, 0x00, 0x55, 0x00, 0x00};
    const std::uint16_t c1 = CalcCRC16(l1 + 2, 1);
    const std::uint8_t l1ok[] = {0x01, 0x00, 0x55, static_cast<std::uint8_t>(c1), static_cast<std::uint8_t>(c1 >> 8)};
    EXPECT_FALSE(VerifyReplyFrame(l1ok, sizeof l1ok, r));
    const std::uint8_t l0[] = {0x00, 0x00, 0xFF, 0xFF};
    EXPECT_FALSE(VerifyReplyFrame(l0, sizeof l0, r));

    // An identify reply without data is valid as a frame; its case decides.
    const Bytes empty = {0x02, 0x00, 0x55, 0x00, 0x3E, 0xE0};
    ASSERT_TRUE(VerifyReplyFrame(empty.data(), empty.size(), r));
    EXPECT_EQ(r.Size, 0u);
}

TEST(DeviceFrame, ResultCodesToMessages) {
    const int expected[12] = {18, 24, 27, 28, 29, 30, 31, 66, 65, 67, 68, 69};
    for (int code = 0; code < 12; ++code)
        EXPECT_EQ(ErrorCodeMessageNumber(static_cast<std::uint8_t>(code)), expected[code]) << code;
    EXPECT_EQ(ErrorCodeMessageNumber(254), 51);
    EXPECT_EQ(ErrorCodeMessageNumber(255), 33);
    for (int code = 12; code < 254; ++code)
        EXPECT_EQ(ErrorCodeMessageNumber(static_cast<std::uint8_t>(code)), -1) << code;

    auto msg = [](int n) { return "msg" + std::to_string(n); };
    EXPECT_EQ(ErrorCodeToText(7, msg), "msg66");
    EXPECT_EQ(ErrorCodeToText(254, msg), "msg51");
    EXPECT_EQ(ErrorCodeToText(12, msg), "Error: 12");
    EXPECT_EQ(ErrorCodeToText(253, msg), "Error: 253");
}

}  // namespace
