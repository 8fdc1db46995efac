// Whole firmware updates through the state machine: the bootloader exchange on the cable and
// the 0xD1 blocks through the local server, with rejected steps and a silent device.
#include <gtest/gtest.h>

#include "device/DeviceFrame.h"
#include "firmware/FirmwareUpdate.h"
#include "platform/rtl/Streams.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes ImageBytes(std::uint32_t bodySize, std::size_t bodyBytes) {
    Bytes f(512, 0);
    f[0] = 'S'; f[1] = 'L'; f[2] = 'F'; f[3] = 'W';
    f[4] = 0x0B;
    f[8] = bodySize & 0xFF; f[9] = (bodySize >> 8) & 0xFF; f[10] = (bodySize >> 16) & 0xFF;
    f[11] = bodySize >> 24;
    for (std::size_t i = 25; i < 512; ++i) f[i] = static_cast<std::uint8_t>(0xA0 ^ i);
    for (std::size_t i = 0; i < bodyBytes; ++i) f.push_back(static_cast<std::uint8_t>(i * 7 + i / 256));
    return f;
}

struct TRig {
    Bytes file;
    TFirmwareUpdate fw;
    explicit TRig(std::uint32_t bodySize, std::size_t bodyBytes) : TRig(ImageBytes(bodySize, bodyBytes)) {}
    explicit TRig(Bytes f) : file(std::move(f)) {
        FirmwareHeader h;
        std::copy_n(file.begin(), 512, h.Bytes.begin());
        auto s = std::make_unique<TMemoryStream>();
        s->Write(file.data(), static_cast<std::int64_t>(file.size()));
        fw.Load(h, std::move(s));
    }
    // The data a block from file offset `at` of n bytes must carry.
    Bytes Block(std::uint32_t offset, std::size_t at, std::size_t n) const {
        Bytes d = {static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(offset >> 8),
                   static_cast<std::uint8_t>(offset >> 16), static_cast<std::uint8_t>(offset >> 24),
                   static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8)};
        d.insert(d.end(), file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + n));
        return d;
    }
};

void ExpectSend(const TFwAction& a, std::uint8_t cmd, const Bytes& data) {
    EXPECT_EQ(a.Kind, TFwActionKind::Send);
    EXPECT_EQ(a.Command, cmd);
    EXPECT_EQ(a.Data, data);
}

TEST(FirmwareCommands, RequestData) {
    EXPECT_EQ(FwSizeData(2500 + 512), (Bytes{0xC4, 0x0B, 0x00, 0x00}));
    EXPECT_EQ(FwSizeData(0x12345678), (Bytes{0x78, 0x56, 0x34, 0x12}));
    FirmwareHeader h;
    for (std::size_t i = 0; i < 512; ++i) h.Bytes[i] = static_cast<std::uint8_t>(i ^ 0x5A);
    const Bytes hd = FwHeaderData(h);
    ASSERT_EQ(hd.size(), 514u);
    EXPECT_EQ(hd[0], 0x00);
    EXPECT_EQ(hd[1], 0x02);
    EXPECT_TRUE(std::equal(h.Bytes.begin(), h.Bytes.end(), hd.begin() + 2));
    const std::uint8_t three[] = {9, 8, 7};
    EXPECT_EQ(FwBlockData(0x00010800, three, 3), (Bytes{0x00, 0x08, 0x01, 0x00, 0x03, 0x00, 9, 8, 7}));
}

TEST(FirmwareCommands, BootloaderAnswer) {
    EXPECT_EQ(BootloaderVersionText(0x23), "Bootloader version: v2.3");
    EXPECT_EQ(BootloaderVersionText(0xF0), "Bootloader version: v15.0");
    EXPECT_TRUE(IsBootloaderOnly(0x21, 0));
    EXPECT_FALSE(IsBootloaderOnly(0x31, 0));
    EXPECT_FALSE(IsBootloaderOnly(0x21, 11));
    EXPECT_TRUE(IsBootloaderOnly(0x31, 250));
}

TEST(CableUpdate, WholeTransfer) {
    TRig r(2500, 2500);
    EXPECT_EQ(r.fw.Program(TFwRoute::CableWorking).Kind, TFwActionKind::RestartIntoBootloader);
    EXPECT_TRUE(r.fw.Active());
    EXPECT_EQ(r.fw.Tick().Kind, TFwActionKind::None);  // no watchdog while the device restarts
    // The bootloader's identify starts it again.
    ExpectSend(r.fw.Program(TFwRoute::CableBootloader), CmdFwStart, {});
    ExpectSend(r.fw.OnReply(CmdFwStart, 0), CmdFwSize, {0xC4, 0x0B, 0x00, 0x00});
    ExpectSend(r.fw.OnReply(CmdFwSize, 0), CmdFwHeader, FwHeaderData(r.fw.Header()));
    EXPECT_EQ(r.fw.TimeoutSeconds(), 0);

    const std::pair<std::uint32_t, std::size_t> blocks[] = {{0, 1024}, {1024, 1024}, {2048, 452}};
    const int percents[] = {40, 81, 100};
    std::uint8_t reply = CmdFwHeader;
    for (int i = 0; i < 3; ++i) {
        const auto [offset, n] = blocks[i];
        ExpectSend(r.fw.OnReply(reply, 0), CmdFwBlock, r.Block(offset, 512 + offset, n));
        EXPECT_EQ(r.fw.Offset(), offset + n);
        EXPECT_EQ(r.fw.Percent(), percents[i]);
        EXPECT_EQ(r.fw.TimeoutSeconds(), 5);
        // Four quiet seconds are allowed per block.
        for (int t = 0; t < 4; ++t) EXPECT_EQ(r.fw.Tick().Kind, TFwActionKind::None);
        reply = CmdFwBlock;
    }
    ExpectSend(r.fw.OnReply(CmdFwBlock, 0), CmdFwFinish, {});
    EXPECT_EQ(r.fw.OnReply(CmdFwFinish, 0).Kind, TFwActionKind::Finished);
    EXPECT_FALSE(r.fw.Active());
    EXPECT_FALSE(r.fw.IsOpen());
    EXPECT_EQ(r.fw.TimeoutSeconds(), 0);
    EXPECT_EQ(r.fw.OnReply(CmdFwFinish, 0).Kind, TFwActionKind::None);
}

TEST(CableUpdate, SilentDeviceTimesOut) {
    TRig r(3000, 3000);
    r.fw.Program(TFwRoute::CableBootloader);
    r.fw.OnReply(CmdFwStart, 0);
    r.fw.OnReply(CmdFwSize, 0);
    r.fw.OnReply(CmdFwHeader, 0);
    for (int t = 0; t < 4; ++t) EXPECT_EQ(r.fw.Tick().Kind, TFwActionKind::None);
    EXPECT_EQ(r.fw.Tick().Kind, TFwActionKind::TimedOut);
    EXPECT_FALSE(r.fw.Active());
    EXPECT_TRUE(r.fw.IsOpen());  // the file stays open
    EXPECT_EQ(r.fw.Tick().Kind, TFwActionKind::None);
    // A reply after the watchdog starts nothing.
    EXPECT_EQ(r.fw.OnReply(CmdFwBlock, 0).Kind, TFwActionKind::None);
}

TEST(CableUpdate, RejectedSteps) {
    TRig r(3000, 3000);
    r.fw.Program(TFwRoute::CableBootloader);
    r.fw.OnReply(CmdFwStart, 0);
    r.fw.OnReply(CmdFwSize, 0);
    r.fw.OnReply(CmdFwHeader, 0);
    const TFwAction no = r.fw.OnReply(CmdFwBlock, 5);
    EXPECT_EQ(no.Kind, TFwActionKind::Rejected);
    EXPECT_EQ(no.Prefix, "0x14 ");
    EXPECT_EQ(no.Result, 5);
    EXPECT_EQ(r.fw.OnReply(CmdFwBlock, 0).Kind, TFwActionKind::None);  // nothing more is sent
    for (int t = 0; t < 4; ++t) r.fw.Tick();
    EXPECT_EQ(r.fw.Tick().Kind, TFwActionKind::TimedOut);

    // Rejected before the first block: no watchdog, the update waits for the next
    // bootloader identify, which starts it again from the beginning.
    TRig q(3000, 3000);
    q.fw.Program(TFwRoute::CableBootloader);
    const TFwAction size = q.fw.OnReply(CmdFwStart, 0x11);
    EXPECT_EQ(size.Kind, TFwActionKind::Rejected);
    EXPECT_EQ(size.Prefix, "0x10 ");
    for (int t = 0; t < 30; ++t) EXPECT_EQ(q.fw.Tick().Kind, TFwActionKind::None);
    EXPECT_TRUE(q.fw.Active());
    ExpectSend(q.fw.Program(TFwRoute::CableBootloader), CmdFwStart, {});
}

TEST(CableUpdate, RetryStartsFromTheFirstByte) {
    TRig r(3000, 3000);
    r.fw.Program(TFwRoute::CableBootloader);
    r.fw.OnReply(CmdFwStart, 0);
    r.fw.OnReply(CmdFwSize, 0);
    r.fw.OnReply(CmdFwHeader, 0);
    r.fw.OnReply(CmdFwBlock, 0);
    EXPECT_EQ(r.fw.Offset(), 2048u);
    r.fw.OnReply(CmdFwBlock, 3);
    // The device restarts into its bootloader before the watchdog ends the update.
    ExpectSend(r.fw.Program(TFwRoute::CableBootloader), CmdFwStart, {});
    EXPECT_EQ(r.fw.Offset(), 0u);
    r.fw.OnReply(CmdFwStart, 0);
    r.fw.OnReply(CmdFwSize, 0);
    ExpectSend(r.fw.OnReply(CmdFwHeader, 0), CmdFwBlock, r.Block(0, 512, 1024));
}

TEST(CableUpdate, OutOfStepRepliesAreIgnored) {
    TRig r(3000, 3000);
    EXPECT_EQ(r.fw.OnReply(CmdFwStart, 0).Kind, TFwActionKind::None);  // not asked for
    r.fw.Program(TFwRoute::CableBootloader);
    EXPECT_EQ(r.fw.OnReply(CmdFwHeader, 0).Kind, TFwActionKind::None);
    EXPECT_EQ(r.fw.OnReply(CmdRemoteFwBlock, 0).Kind, TFwActionKind::None);
    r.fw.OnReply(CmdFwStart, 0);
    r.fw.OnReply(CmdFwSize, 0);
    r.fw.OnReply(CmdFwHeader, 0);
    // A repeated header reply would send the block at the current offset a second time.
    EXPECT_EQ(r.fw.OnReply(CmdFwHeader, 0).Kind, TFwActionKind::None);
    EXPECT_EQ(r.fw.Offset(), 1024u);
}

TEST(CableUpdate, FileCutShortEndsTheUpdate) {
    // The header says 3000 bytes but the file holds 1500: the second block reads 476, the
    // third nothing, which ends the update instead of looping on empty blocks.
    TRig r(3000, 1500);
    r.fw.Program(TFwRoute::CableBootloader);
    r.fw.OnReply(CmdFwStart, 0);
    r.fw.OnReply(CmdFwSize, 0);
    r.fw.OnReply(CmdFwHeader, 0);
    ExpectSend(r.fw.OnReply(CmdFwBlock, 0), CmdFwBlock, r.Block(1024, 1536, 476));
    EXPECT_EQ(r.fw.OnReply(CmdFwBlock, 0).Kind, TFwActionKind::ReadFailed);
    EXPECT_FALSE(r.fw.Active());
    EXPECT_FALSE(r.fw.IsOpen());
}

TEST(CableUpdate, BytesAfterTheBodyAreNotSent) {
    TRig r(1030, 1100);
    r.fw.Program(TFwRoute::CableBootloader);
    r.fw.OnReply(CmdFwStart, 0);
    r.fw.OnReply(CmdFwSize, 0);
    r.fw.OnReply(CmdFwHeader, 0);
    ExpectSend(r.fw.OnReply(CmdFwBlock, 0), CmdFwBlock, r.Block(1024, 1536, 6));
    ExpectSend(r.fw.OnReply(CmdFwBlock, 0), CmdFwFinish, {});
}

TEST(CableUpdate, EmptyBody) {
    TRig r(0, 0);
    r.fw.Program(TFwRoute::CableBootloader);
    ExpectSend(r.fw.OnReply(CmdFwStart, 0), CmdFwSize, {0x00, 0x02, 0x00, 0x00});
    r.fw.OnReply(CmdFwSize, 0);
    ExpectSend(r.fw.OnReply(CmdFwHeader, 0), CmdFwBlock, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(r.fw.Percent(), 100);
    ExpectSend(r.fw.OnReply(CmdFwBlock, 0), CmdFwFinish, {});
}

// A 0xD1 block acknowledged: what goes once the link has been quiet behind it.
TFwAction Acknowledged(TFirmwareUpdate& fw) {
    EXPECT_EQ(fw.OnReply(CmdRemoteFwBlock, 0).Kind, TFwActionKind::None);
    for (int t = 1; t < kRemoteAckQuietTicks; ++t) EXPECT_EQ(fw.QuietTick().Kind, TFwActionKind::None);
    return fw.QuietTick();
}

TEST(RemoteUpdate, WholeTransfer) {
    TRig r(788, 788);  // 1300 bytes in all
    ExpectSend(r.fw.Program(TFwRoute::ConfServer), CmdRemoteFwBlock, r.Block(0, 0, 512));
    EXPECT_EQ(r.fw.TimeoutSeconds(), 20);
    EXPECT_EQ(r.fw.Percent(), 39);
    for (int t = 0; t < 19; ++t) EXPECT_EQ(r.fw.Tick().Kind, TFwActionKind::None);
    ExpectSend(Acknowledged(r.fw), CmdRemoteFwBlock, r.Block(512, 512, 512));
    EXPECT_EQ(r.fw.Percent(), 78);
    ExpectSend(Acknowledged(r.fw), CmdRemoteFwBlock, r.Block(1024, 1024, 276));
    EXPECT_EQ(r.fw.Percent(), 100);
    EXPECT_EQ(r.fw.OnReply(CmdFwBlock, 0).Kind, TFwActionKind::None);
    EXPECT_EQ(Acknowledged(r.fw).Kind, TFwActionKind::Finished);
    EXPECT_FALSE(r.fw.Active());
    EXPECT_FALSE(r.fw.IsOpen());
}

// The acknowledgement names no block: a copy of one is not taken for the next block's, so
// one block at most is ever in flight; a refusal is told even after the update was over.
TEST(RemoteUpdate, ACopiedAcknowledgementMovesNothingOn) {
    TRig r(788, 788);
    r.fw.Program(TFwRoute::ConfServer);
    EXPECT_EQ(r.fw.OnReply(CmdRemoteFwBlock, 0).Kind, TFwActionKind::None);
    for (int t = 0; t < 3; ++t) EXPECT_EQ(r.fw.QuietTick().Kind, TFwActionKind::None);
    EXPECT_EQ(r.fw.OnReply(CmdRemoteFwBlock, 0).Kind, TFwActionKind::None);  // the copy
    r.fw.Heard();
    for (int t = 1; t < kRemoteAckQuietTicks; ++t) EXPECT_EQ(r.fw.QuietTick().Kind, TFwActionKind::None);
    ExpectSend(r.fw.QuietTick(), CmdRemoteFwBlock, r.Block(512, 512, 512));
    EXPECT_EQ(r.fw.QuietTick().Kind, TFwActionKind::None);
    ExpectSend(Acknowledged(r.fw), CmdRemoteFwBlock, r.Block(1024, 1024, 276));
    EXPECT_EQ(Acknowledged(r.fw).Kind, TFwActionKind::Finished);
    const TFwAction late = r.fw.OnReply(CmdRemoteFwBlock, 3);
    EXPECT_EQ(late.Kind, TFwActionKind::Rejected);
    EXPECT_EQ(late.Result, 3);
}

TEST(RemoteUpdate, RejectedBlockThenWatchdog) {
    TRig r(788, 788);
    r.fw.Program(TFwRoute::ConfServer);
    const TFwAction no = r.fw.OnReply(CmdRemoteFwBlock, 7);
    EXPECT_EQ(no.Kind, TFwActionKind::Rejected);
    EXPECT_EQ(no.Prefix, "");
    EXPECT_EQ(no.Result, 7);
    for (int t = 0; t < 19; ++t) EXPECT_EQ(r.fw.Tick().Kind, TFwActionKind::None);
    EXPECT_EQ(r.fw.Tick().Kind, TFwActionKind::TimedOut);
    // The acknowledgement that arrives after the watchdog sends nothing.
    EXPECT_EQ(r.fw.OnReply(CmdRemoteFwBlock, 0).Kind, TFwActionKind::None);
}

TEST(RemoteUpdate, NoFileAndShortFile) {
    TFirmwareUpdate none;
    EXPECT_EQ(none.Program(TFwRoute::ConfServer).Kind, TFwActionKind::NoFile);
    EXPECT_FALSE(none.Active());
    EXPECT_EQ(none.Program(TFwRoute::CableBootloader).Kind, TFwActionKind::NoFile);

    TRig r(788, 300);  // 812 bytes where 1300 are announced
    r.fw.Program(TFwRoute::ConfServer);
    ExpectSend(Acknowledged(r.fw), CmdRemoteFwBlock, r.Block(512, 512, 300));
    EXPECT_EQ(Acknowledged(r.fw).Kind, TFwActionKind::ReadFailed);
    EXPECT_EQ(r.fw.Offset(), 812u);
    EXPECT_EQ(r.fw.Whole(), 1300u);
    EXPECT_FALSE(r.fw.IsOpen());

    // Closing the file mid-transfer: the late acknowledgement finds the update over.
    TRig c(788, 788);
    c.fw.Program(TFwRoute::ConfServer);
    c.fw.Close();
    EXPECT_EQ(c.fw.OnReply(CmdRemoteFwBlock, 0).Kind, TFwActionKind::None);
}
}  // namespace
