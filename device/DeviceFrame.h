#pragma once
// The device frame: "SLMX", u16 length, marker, command, data, CRC-16/MODBUS.
// Requests are built here; replies are verified here before any case looks at them.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One byte per request and reply kind; the same code names a request and its reply.
enum DeviceCommandCode : std::uint8_t {
    CmdIdentify = 0x00,
    CmdReset = 0x04,
    CmdFwStart = 0x10,
    CmdFwSize = 0x12,
    CmdFwHeader = 0x13,
    CmdFwBlock = 0x14,
    CmdFwFinish = 0x15,
    CmdReadConfig = 0x20,
    CmdWriteConfig = 0x21,
    CmdReadStatus = 0x22,
    CmdPassword = 0x25,
    CmdSetOutput = 0x26,
    CmdAutoRegistration = 0x27,
    CmdDefragment = 0x28,
    CmdDiagnosticReport = 0x29,
    CmdAddNumbers = 0x2A,
    CmdDeleteNumbers = 0x2B,
    CmdReadNumbers = 0x2C,
    CmdWriteNumbers = 0x2D,
    CmdReadEventLog = 0x2E,
    CmdFactoryReset = 0x2F,
    CmdCameraPhoto = 0x30,
    CmdServerPhoto = 0x33,
    CmdTransparentPort = 0x34,
    CmdEventPhoto = 0x35,
    CmdSimNumber = 0x40,
    CmdEventNotice = 0x40,
    CmdReaderParamGet = 0x50,
    CmdReaderParamSet = 0x51,
    CmdSafeCityTest = 0x5F,
    CmdSafeCityStatus = 0x62,
    CmdRemoteFwBlock = 0xD1,
    CmdErrorReply = 0xFF,
};

inline constexpr char kFrameTag[4] = {'S', 'L', 'M', 'X'};
inline constexpr std::uint8_t kRequestMarker = 0xAA;
inline constexpr std::uint8_t kReplyMarker = 0x55;
// The length field counts marker, command and data in 16 bits.
inline constexpr std::size_t kMaxFrameData = 65533;
// The longest frame (tag to CRC) a device sends: the cable's receive buffer holds no more.
inline constexpr std::size_t kMaxDeviceFrame = 4096;

// The frame size (tag to CRC) that a reply's length field promises, or 0 when no device
// frame has that length (too short for marker and command, or longer than any).
inline std::size_t PlausibleFrameSize(std::uint8_t low, std::uint8_t high) {
    const std::size_t L = static_cast<std::size_t>(low | (high << 8));
    const std::size_t size = 4 + 2 + L + 2;
    return L >= 2 && size <= kMaxDeviceFrame ? size : 0;
}

// CRC-16/MODBUS: initial 0xFFFF, reflected polynomial 0xA001, no final XOR.
std::uint16_t CalcCRC16(const void* data, std::uint16_t len);

// The CRC of any stretch of a stream at a fixed cost, so that a reader trying many
// overlapping candidate frames pays for each byte once: the CRC register is kept after
// every byte appended, and the CRC of a stretch follows from the registers at its ends.
class TCrcTrail {
public:
    void Append(const std::uint8_t* data, std::size_t n);
    // The first n bytes are no longer asked for; offsets count from the byte after them.
    void DropFront(std::size_t n);
    void Clear();
    // CalcCRC16 of the bytes [from, to) appended; to - from below 65536.
    std::uint16_t Crc(std::size_t from, std::size_t to) const;

private:
    std::vector<std::uint16_t> FRegisters{0xFFFF};  // the register after k bytes
};

// The whole request as it goes on the wire, the spare byte included when the frame's size
// is a multiple of 8. Empty when the data does not fit a frame (more than 65533 bytes).
std::vector<std::uint8_t> BuildRequestFrame(std::uint8_t code, const std::uint8_t* data,
                                            std::size_t n);
inline std::vector<std::uint8_t> BuildRequestFrame(std::uint8_t code,
                                                   const std::vector<std::uint8_t>& data) {
    return BuildRequestFrame(code, data.data(), data.size());
}

// A reply that passed the length, CRC and marker checks. Data points into the caller's
// buffer and holds exactly the frame's data bytes (d0, d1, ...).
struct TDeviceReply {
    std::uint8_t Command = 0;
    const std::uint8_t* Data = nullptr;
    std::size_t Size = 0;

    // Byte k of the data; only for k < Size.
    std::uint8_t d(std::size_t k) const { return Data[k]; }
    std::uint16_t U16(std::size_t k) const {
        return static_cast<std::uint16_t>(Data[k] | (Data[k + 1] << 8));
    }
};

// frame points at the length field (the byte after the tag); available counts the received
// bytes from there. Never reads past available. False for a frame to drop silently: too
// short for its length field, no room for marker and command, bad CRC, or not a reply.
bool VerifyReplyFrame(const std::uint8_t* frame, std::size_t available, TDeviceReply& reply);

// Message number of the language file for a device result code, or -1 when the code has
// none (then the text is "Error: " and the code).
int ErrorCodeMessageNumber(std::uint8_t code);
// The user text of a device result code; getMessage returns message n of the language file.
std::string ErrorCodeToText(std::uint8_t code, const std::function<std::string(int)>& getMessage);

// Data of the common requests.
std::vector<std::uint8_t> PasswordRequestData(std::uint16_t password);
