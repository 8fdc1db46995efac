// Each reply case reads only what its frame holds.
#include <gtest/gtest.h>

#include "device/DeviceType.h"
#include "device/ReplyDecode.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

TDeviceReply Reply(std::uint8_t cmd, const Bytes& data) {
    return TDeviceReply{cmd, data.data(), data.size()};
}

TEST(ReplyDecode, Identify) {
    const Bytes working = {1, 5, 0, 0, 0x8B, 0};
    auto r = DecodeIdentifyReply(Reply(0x00, working));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Mode, kIdentifyWorking);
    EXPECT_EQ(r->DeviceType, 0x8B);
    EXPECT_EQ(r->Capacity, 15000);
    EXPECT_TRUE(IsAcceptedDeviceType(r->DeviceType));

    const Bytes boot = {0, 7, 0, 0, 0x0B, 16};
    r = DecodeIdentifyReply(Reply(0x00, boot));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Mode, kIdentifyBootloader);
    EXPECT_EQ(r->BootloaderVersion, 7);
    EXPECT_EQ(r->Capacity, 650);

    // No data, or data short of d5: dropped, never read as bootloader mode.
    for (std::size_t n = 0; n < 6; ++n) {
        const Bytes cut(working.begin(), working.begin() + static_cast<long>(n));
        EXPECT_FALSE(DecodeIdentifyReply(Reply(0x00, cut))) << n;
    }
}

TEST(ReplyDecode, Password) {
    auto r = DecodePasswordReply(Reply(0x25, Bytes{3, 16, 0}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->AccessLevel, 16);
    EXPECT_EQ(PasswordKindForVerdict(r->Verdict), TPasswordKind::Wrong);
    EXPECT_EQ(PasswordKindForVerdict(0), TPasswordKind::Accepted);
    EXPECT_EQ(PasswordKindForVerdict(4), TPasswordKind::Ask);
    EXPECT_FALSE(PasswordKindForVerdict(1));
    EXPECT_FALSE(DecodePasswordReply(Reply(0x25, Bytes{0, 32})));
}

TEST(ReplyDecode, ResultByte) {
    EXPECT_EQ(DecodeResultByte(Reply(0xFF, Bytes{7})), 7);
    EXPECT_FALSE(DecodeResultByte(Reply(0xFF, Bytes{})));
    EXPECT_FALSE(ErrorReplyIsShown(254));
    EXPECT_TRUE(ErrorReplyIsShown(255));
}

TEST(ReplyDecode, ConfigRead) {
    // Announces 600, holds 520: only 512 are taken.
    Bytes data = {0, 0, 0x58, 0x02};
    data.resize(4 + 520, 0x11);
    auto r = DecodeConfigReadReply(Reply(0x20, data));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->RecordSize, 512u);
    EXPECT_EQ(r->Record, data.data() + 4);

    // Announces 100, holds 50: only what arrived.
    data = {0, 0, 100, 0};
    data.resize(4 + 50, 0x22);
    r = DecodeConfigReadReply(Reply(0x20, data));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->RecordSize, 50u);

    r = DecodeConfigReadReply(Reply(0x20, Bytes{0, 1}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Detail, 1);
    EXPECT_EQ(r->RecordSize, 0u);

    r = DecodeConfigReadReply(Reply(0x20, Bytes{3}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Result, 3);

    EXPECT_FALSE(DecodeConfigReadReply(Reply(0x20, Bytes{})));
    EXPECT_FALSE(DecodeConfigReadReply(Reply(0x20, Bytes{0})));
    EXPECT_FALSE(DecodeConfigReadReply(Reply(0x20, Bytes{0, 0, 5})));
}

TEST(ReplyDecode, ConfigWrite) {
    EXPECT_EQ(DecodeConfigWriteReply(Reply(0x21, Bytes{0, 0}))->Outcome, TConfigWriteOutcome::Written);
    EXPECT_EQ(DecodeConfigWriteReply(Reply(0x21, Bytes{5}))->Outcome, TConfigWriteOutcome::Written);
    EXPECT_EQ(DecodeConfigWriteReply(Reply(0x21, Bytes{3}))->Outcome, TConfigWriteOutcome::DeviceError);
    auto r = DecodeConfigWriteReply(Reply(0x21, Bytes{0, 2}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Outcome, TConfigWriteOutcome::UnexpectedDetail);
    EXPECT_EQ(r->Detail, 2);
    EXPECT_FALSE(DecodeConfigWriteReply(Reply(0x21, Bytes{0})));
    EXPECT_FALSE(DecodeConfigWriteReply(Reply(0x21, Bytes{})));
}

TEST(ReplyDecode, Status) {
    Bytes data = {0, 0x58, 0x02};  // announces 600
    data.resize(3 + 600, 0x33);
    auto r = DecodeStatusReply(Reply(0x22, data));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->RecordSize, 513u);

    r = DecodeStatusReply(Reply(0x22, Bytes{0, 0, 0}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->RecordSize, 0u);

    r = DecodeStatusReply(Reply(0x22, Bytes{1}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Result, 1);

    EXPECT_FALSE(DecodeStatusReply(Reply(0x22, Bytes{0, 10})));
}

TEST(DeviceType, Texts) {
    EXPECT_EQ(TypeDeviceToString(0x0B, 15000), "Ключ \"Бранник IP\" DAZU");
    EXPECT_EQ(TypeDeviceToString(0x8B, 15000), "Ключ \"Бранник IP\" DIN");
    EXPECT_EQ(TypeDeviceToString(0x8B, 650), "Ключ \"Бранник\" DAZU 650");
    EXPECT_FALSE(IsAcceptedDeviceType(0x0A));
    EXPECT_FALSE(IsAcceptedDeviceType(0x0C));
    EXPECT_TRUE(IsAcceptedDeviceType(0x8B));
}

}  // namespace
