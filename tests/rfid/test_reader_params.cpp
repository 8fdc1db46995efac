// Requests and replies of the device's own readers' parameters.
#include <gtest/gtest.h>

#include "rfid/ReaderParams.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

TDeviceReply ReplyOf(std::uint8_t cmd, const Bytes& data) {
    TDeviceReply r;
    r.Command = cmd;
    r.Data = data.data();
    r.Size = data.size();
    return r;
}

TEST(ReaderParams, RequestData) {
    EXPECT_EQ(ReaderParamSetData(2, 1, 20), (Bytes{0x02, 0x05, 0x14}));
    EXPECT_EQ(ReaderParamGetData(2, 1), (Bytes{0x02, 0x05}));
    const std::uint8_t codes[] = {0x03, 0x05, 0x07, 0x3F, 0x0A};
    for (int i = 0; i < 5; ++i) EXPECT_EQ((*ReaderParamGetData(0, i))[1], codes[i]);
    EXPECT_STREQ(kReaderParams[3].Item, "РЧ диапазон");
    // The low 8 bits of the edits' integers.
    EXPECT_EQ(ReaderParamGetData(255, 0), (Bytes{0xFF, 0x03}));
    EXPECT_EQ(ReaderParamSetData(300, 4, 258), (Bytes{0x2C, 0x0A, 0x02}));
    EXPECT_EQ(ReaderParamSetData(-1, 2, 0), (Bytes{0xFF, 0x07, 0x00}));
    // No parameter selected: nothing to send.
    EXPECT_FALSE(ReaderParamGetData(1, -1));
    EXPECT_FALSE(ReaderParamSetData(1, 5, 0));
}

TEST(ReaderParams, Replies) {
    const Bytes get = {0x05, 0x17};
    EXPECT_EQ(DecodeReaderParamGetReply(ReplyOf(0x50, get)), 23);
    const Bytes shortGet = {0x05};
    EXPECT_FALSE(DecodeReaderParamGetReply(ReplyOf(0x50, shortGet)));
    EXPECT_FALSE(DecodeReaderParamGetReply(ReplyOf(0x50, {})));

    const Bytes notSet = {0x00}, set = {0x01}, setOther = {0x80, 0x00};
    EXPECT_EQ(DecodeReaderParamSetReply(ReplyOf(0x51, notSet)), false);
    EXPECT_EQ(DecodeReaderParamSetReply(ReplyOf(0x51, set)), true);
    EXPECT_EQ(DecodeReaderParamSetReply(ReplyOf(0x51, setOther)), true);
    EXPECT_FALSE(DecodeReaderParamSetReply(ReplyOf(0x51, {})));
}
}  // namespace
