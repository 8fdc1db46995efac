// Firmware headers laid out byte by byte, checked and shown.
#include <gtest/gtest.h>

#include <fstream>

#include "firmware/FirmwareHeader.h"
#include "platform/rtl/Streams.h"
#include "support/TestSupport.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

// A whole file: header fields at their offsets, the rest of the header a ramp (it is sent
// to the device as it stands), then the body.
Bytes HandFile(std::uint8_t type, std::uint8_t version, std::uint32_t bodySize, std::uint32_t crc,
               std::uint16_t b1, std::uint16_t b2, std::uint8_t b3, std::size_t bodyBytes) {
    Bytes f(512);
    f[0] = 'S'; f[1] = 'L'; f[2] = 'F'; f[3] = 'W';
    f[4] = type;
    f[5] = version;
    f[6] = 0xEE; f[7] = 0xEE;
    f[8] = bodySize & 0xFF; f[9] = (bodySize >> 8) & 0xFF; f[10] = (bodySize >> 16) & 0xFF; f[11] = bodySize >> 24;
    f[12] = crc & 0xFF; f[13] = (crc >> 8) & 0xFF; f[14] = (crc >> 16) & 0xFF; f[15] = crc >> 24;
    f[16] = 0xDD; f[17] = 0xDD; f[18] = 0xDD; f[19] = 0xDD;
    f[20] = b1 & 0xFF; f[21] = b1 >> 8;
    f[22] = b2 & 0xFF; f[23] = b2 >> 8;
    f[24] = b3;
    for (std::size_t i = 25; i < 512; ++i) f[i] = static_cast<std::uint8_t>(i);
    for (std::size_t i = 0; i < bodyBytes; ++i) f.push_back(static_cast<std::uint8_t>(i * 3));
    return f;
}

TFirmwareCheck Check(const Bytes& f, std::uint8_t deviceType, bool bootloaderOnly,
                     FirmwareHeader& h) {
    return CheckFirmwareHeader(f.data(), f.size(), f.size(), deviceType, bootloaderOnly, h);
}

TEST(FirmwareHeader, FieldsAndLabels) {
    const Bytes f = HandFile(0x8B, 37, 2048, 0x1A2B, 2015, 7, 3, 2048);
    FirmwareHeader h;
    ASSERT_EQ(Check(f, 0x8B, false, h), TFirmwareCheck::Accepted);
    EXPECT_EQ(h.HardwareType(), 0x8B);
    EXPECT_EQ(h.Version(), 37);
    EXPECT_EQ(h.BodySize(), 2048u);
    EXPECT_EQ(h.Crc(), 0x1A2Bu);
    EXPECT_TRUE(std::equal(h.Bytes.begin(), h.Bytes.end(), f.begin()));

    const TFirmwareLabels l = FirmwareLabelsFor(h, 15000);
    EXPECT_EQ(l.Version, "Firmware version: 37");
    EXPECT_EQ(l.Hardware, "Hardware version: Ключ \"Бранник IP\" DIN");
    EXPECT_EQ(l.Size, "Firmware size: 2560 byte(s)");
    EXPECT_EQ(l.Crc, "Firmware CRC: 0x1A2B");
    EXPECT_EQ(l.Build, "Firmware build: 2015.0007.03");
    EXPECT_EQ(FirmwareLabelsFor(h, 650).Hardware, "Hardware version: Ключ \"Бранник\" DAZU 650");
}

TEST(FirmwareHeader, CrcDigits) {
    FirmwareHeader h;
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0x1A2B, "Firmware CRC: 0x1A2B"}, {0x9AB07, "Firmware CRC: 0x9AB07"},
        {0x2F, "Firmware CRC: 0x002F"}, {0xFFFFFFFF, "Firmware CRC: 0xFFFFFFFF"}};
    for (const auto& [crc, text] : cases) {
        ASSERT_EQ(Check(HandFile(11, 1, 1, crc, 1, 2, 3, 1), 11, false, h), TFirmwareCheck::Accepted);
        EXPECT_EQ(FirmwareLabelsFor(h, 15000).Crc, text);
    }
}

TEST(FirmwareHeader, HardwareTypeLowFourBits) {
    FirmwareHeader h;
    EXPECT_EQ(Check(HandFile(0x1B, 1, 4, 0, 0, 0, 0, 4), 0x8B, false, h), TFirmwareCheck::Accepted);
    EXPECT_EQ(Check(HandFile(0x0B, 1, 4, 0, 0, 0, 0, 4), 0x0B, false, h), TFirmwareCheck::Accepted);
    EXPECT_EQ(Check(HandFile(0x8A, 1, 4, 0, 0, 0, 0, 4), 0x8B, false, h), TFirmwareCheck::WrongHardware);
    // The bootloader that takes any image.
    EXPECT_EQ(Check(HandFile(0x8A, 1, 4, 0, 0, 0, 0, 4), 0x8B, true, h), TFirmwareCheck::Accepted);
    EXPECT_EQ(FirmwareCheckMessage(TFirmwareCheck::WrongHardware), 12);
    EXPECT_EQ(FirmwareCheckMessage(TFirmwareCheck::NotFirmware), 13);
    EXPECT_EQ(FirmwareCheckMessage(TFirmwareCheck::Accepted), 0);
}

TEST(FirmwareHeader, NotFirmware) {
    FirmwareHeader kept;
    kept.Bytes[0] = 0x42;
    Bytes f = HandFile(11, 1, 16, 0, 0, 0, 0, 16);
    for (int i = 0; i < 4; ++i) {
        Bytes bad = f;
        bad[static_cast<std::size_t>(i)] ^= 0x20;  // "sLFW", "SlFW", ...
        EXPECT_EQ(Check(bad, 11, true, kept), TFirmwareCheck::NotFirmware) << i;
    }
    // Shorter than its header: never compared beyond what was read.
    for (std::size_t n : {0u, 4u, 511u})
        EXPECT_EQ(CheckFirmwareHeader(f.data(), n, n, 11, false, kept), TFirmwareCheck::NotFirmware);
    // A body the file does not hold.
    EXPECT_EQ(Check(Bytes(f.begin(), f.end() - 1), 11, false, kept), TFirmwareCheck::NotFirmware);
    EXPECT_EQ(Check(Bytes(f.begin(), f.begin() + 512), 11, false, kept), TFirmwareCheck::NotFirmware);
    // A body size whose total would not fit the bootloader's u32 (and would overflow it).
    EXPECT_EQ(CheckFirmwareHeader(HandFile(11, 1, 0xFFFFFFFF, 0, 0, 0, 0, 0).data(), 512,
                                  0x200000000ull, 11, false, kept),
              TFirmwareCheck::NotFirmware);
    EXPECT_EQ(kept.Bytes[0], 0x42);  // a rejected file changes nothing kept
    // Extra bytes after the body are allowed; only the body is sent.
    EXPECT_EQ(Check(HandFile(11, 1, 16, 0, 0, 0, 0, 40), 11, false, kept), TFirmwareCheck::Accepted);
}

TEST(FirmwareHeader, LargestBodyShowsItsTrueSize) {
    FirmwareHeader h;
    const Bytes f = HandFile(11, 1, kMaxFirmwareBodySize, 0, 0, 0, 0, 0);
    ASSERT_EQ(CheckFirmwareHeader(f.data(), 512, 0xFFFFFFFFull, 11, false, h), TFirmwareCheck::Accepted);
    EXPECT_EQ(FirmwareLabelsFor(h, 15000).Size, "Firmware size: 4294967295 byte(s)");
}

TEST(FirmwareHeader, OpenFromDisk) {
    const std::string dir = testsupport::TempDir("fw-open");
    const Bytes f = HandFile(0x0B, 9, 100, 0, 0, 0, 0, 100);
    {
        std::ofstream out(dir + "/fw.bin", std::ios::binary);
        out.write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
        std::ofstream other(dir + "/other.bin", std::ios::binary);
        other << "not a firmware file";
    }
    TOpenedFirmware ok = OpenFirmwareFile(dir + "/fw.bin", 0x8B, false);
    EXPECT_TRUE(ok.Opened);
    ASSERT_EQ(ok.Check, TFirmwareCheck::Accepted);
    ASSERT_TRUE(ok.File);
    EXPECT_EQ(ok.File->GetPosition(), 0);
    EXPECT_EQ(ok.File->GetSize(), 612);
    EXPECT_EQ(ok.Header.Version(), 9);

    TOpenedFirmware bad = OpenFirmwareFile(dir + "/other.bin", 0x8B, false);
    EXPECT_TRUE(bad.Opened);
    EXPECT_EQ(bad.Check, TFirmwareCheck::NotFirmware);
    EXPECT_FALSE(bad.File);

    EXPECT_FALSE(OpenFirmwareFile(dir + "/absent.bin", 0x8B, false).Opened);
    const TOpenedFirmware folder = OpenFirmwareFile(dir, 0x8B, false);
    EXPECT_FALSE(folder.File);
}
}  // namespace
