#pragma once
// The firmware image: a 512-byte header beginning "SLFW", then the body the bootloader
// writes. The header is checked before anything is sent and kept whole, since the device
// gets all 512 bytes of it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class TStream;

inline constexpr std::size_t kFirmwareHeaderSize = 512;
// The total size goes to the bootloader as a u32, so the body must leave room for the header.
inline constexpr std::uint32_t kMaxFirmwareBodySize = 0xFFFFFFFFu - kFirmwareHeaderSize;

struct FirmwareHeader {
    std::array<std::uint8_t, kFirmwareHeaderSize> Bytes{};

    std::uint8_t HardwareType() const { return Bytes[4]; }
    std::uint8_t Version() const { return Bytes[5]; }
    std::uint32_t BodySize() const { return U32(8); }
    std::uint32_t Crc() const { return U32(12); }
    std::uint16_t BuildPart1() const { return U16(20); }
    std::uint16_t BuildPart2() const { return U16(22); }
    std::uint8_t BuildPart3() const { return Bytes[24]; }

private:
    std::uint32_t U32(std::size_t k) const {
        return static_cast<std::uint32_t>(Bytes[k]) | (static_cast<std::uint32_t>(Bytes[k + 1]) << 8) |
               (static_cast<std::uint32_t>(Bytes[k + 2]) << 16) |
               (static_cast<std::uint32_t>(Bytes[k + 3]) << 24);
    }
    std::uint16_t U16(std::size_t k) const {
        return static_cast<std::uint16_t>(Bytes[k] | (Bytes[k + 1] << 8));
    }
};

enum class TFirmwareCheck {
    Accepted,
    NotFirmware,    // no "SLFW", a file shorter than its header, an empty body or one the
                    // file does not hold: numbered message 13
    WrongHardware,  // built for another device type: numbered message 12
};
inline constexpr int kMsgFirmwareWrongHardware = 12;
inline constexpr int kMsgFirmwareNotFirmware = 13;

// Numbered message of a failed check, 0 for an accepted file.
int FirmwareCheckMessage(TFirmwareCheck check);

// Checks the first bytes of a file of fileSize bytes. The hardware type must match the
// connected device's in its low four bits, unless the bootloader accepts any image.
TFirmwareCheck CheckFirmwareHeader(const std::uint8_t* bytes, std::size_t available,
                                   std::uint64_t fileSize, std::uint8_t deviceType,
                                   bool bootloaderOnly, FirmwareHeader& header);
// The same on an open file; leaves the position at 0.
TFirmwareCheck CheckFirmwareFile(TStream& file, std::uint8_t deviceType, bool bootloaderOnly,
                                 FirmwareHeader& header);

// The firmware page's labels for an accepted header.
struct TFirmwareLabels {
    std::string Version;   // "Firmware version: 37"
    std::string Hardware;  // "Hardware version: " and the model name
    std::string Size;      // "Firmware size: 2560 byte(s)", the header included
    std::string Crc;       // "Firmware CRC: 0x002F", at least four digits
    std::string Build;     // "Firmware build: 2015.0007.03"
};
TFirmwareLabels FirmwareLabelsFor(const FirmwareHeader& header, std::uint16_t deviceCapacity);

// Opens a file read-only and checks it. A rejected file is closed at once, so the image
// kept from an earlier open stays the one that is flashed.
struct TOpenedFirmware {
    bool Opened = false;  // false: the file could not be opened, nothing is to change
    TFirmwareCheck Check = TFirmwareCheck::NotFirmware;
    FirmwareHeader Header;
    std::unique_ptr<TStream> File;  // set only for an accepted file, at position 0
};
TOpenedFirmware OpenFirmwareFile(const std::string& path, std::uint8_t deviceType,
                                 bool bootloaderOnly);
