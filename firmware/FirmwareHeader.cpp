#include "firmware/FirmwareHeader.h"

#include <algorithm>
#include <cstring>

#include "device/DeviceType.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"

int FirmwareCheckMessage(TFirmwareCheck check) {
    switch (check) {
        case TFirmwareCheck::Accepted: return 0;
        case TFirmwareCheck::NotFirmware: return kMsgFirmwareNotFirmware;
        case TFirmwareCheck::WrongHardware: return kMsgFirmwareWrongHardware;
    }
    return kMsgFirmwareNotFirmware;
}

TFirmwareCheck CheckFirmwareHeader(const std::uint8_t* bytes, std::size_t available,
                                   std::uint64_t fileSize, std::uint8_t deviceType,
                                   bool bootloaderOnly, FirmwareHeader& header) {
    if (bytes == nullptr || available < kFirmwareHeaderSize || fileSize < kFirmwareHeaderSize)
        return TFirmwareCheck::NotFirmware;
    if (std::memcmp(bytes, "SLFW", 4) != 0) return TFirmwareCheck::NotFirmware;
    FirmwareHeader h;
    std::copy_n(bytes, kFirmwareHeaderSize, h.Bytes.begin());
    if (!bootloaderOnly && (h.HardwareType() & 0x0F) != (deviceType & 0x0F))
        return TFirmwareCheck::WrongHardware;
    // A body the file does not hold would be sent as empty blocks that never advance; an
    // empty one would leave the device with no firmware.
    if (h.BodySize() == 0 || h.BodySize() > kMaxFirmwareBodySize ||
        fileSize - kFirmwareHeaderSize < static_cast<std::uint64_t>(h.BodySize()))
        return TFirmwareCheck::NotFirmware;
    header = h;
    return TFirmwareCheck::Accepted;
}

TFirmwareCheck CheckFirmwareFile(TStream& file, std::uint8_t deviceType, bool bootloaderOnly,
                                 FirmwareHeader& header) {
    std::array<std::uint8_t, kFirmwareHeaderSize> buf{};
    file.SetPosition(0);
    std::size_t got = 0;
    while (got < buf.size()) {
        const std::int64_t n = file.Read(buf.data() + got, static_cast<std::int64_t>(buf.size() - got));
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    const std::int64_t size = file.GetSize();
    file.SetPosition(0);
    return CheckFirmwareHeader(buf.data(), got, size < 0 ? 0 : static_cast<std::uint64_t>(size),
                               deviceType, bootloaderOnly, header);
}

TFirmwareLabels FirmwareLabelsFor(const FirmwareHeader& header, std::uint16_t deviceCapacity) {
    TFirmwareLabels l;
    l.Version = Format("Firmware version: %d", header.Version());
    l.Hardware = "Hardware version: " + TypeDeviceToString(header.HardwareType(), deviceCapacity);
    // 64 bits: a body near 4 GiB must not wrap to a small or negative size.
    l.Size = Format("Firmware size: %d byte(s)",
                    static_cast<std::uint64_t>(header.BodySize()) + kFirmwareHeaderSize);
    l.Crc = Format("Firmware CRC: 0x%.4X", header.Crc());
    l.Build = Format("Firmware build: %.4d.%.4d.%.2d", header.BuildPart1(), header.BuildPart2(),
                     header.BuildPart3());
    return l;
}

TOpenedFirmware OpenFirmwareFile(const std::string& path, std::uint8_t deviceType,
                                 bool bootloaderOnly) {
    TOpenedFirmware r;
    std::unique_ptr<TStream> file;
    try {
        file = std::make_unique<TFileStream>(path, fmOpenRead | fmShareDenyNone);
    } catch (const Exception&) {
        return r;
    }
    r.Opened = true;
    try {
        r.Check = CheckFirmwareFile(*file, deviceType, bootloaderOnly, r.Header);
    } catch (const Exception&) {
        r.Check = TFirmwareCheck::NotFirmware;  // a folder, or a file that cannot be read
    }
    if (r.Check == TFirmwareCheck::Accepted) r.File = std::move(file);
    return r;
}
