#pragma once
// The firmware update as a state machine: it keeps the open image, says which request goes
// out next for each reply, and runs the per-block watchdog on the one-second tick. The
// window only carries its requests to the device and shows what it reports.
//
// On the cable the bootloader gets 0x10 start, 0x12 total size, 0x13 header, 0x14 body
// blocks of up to 1024 bytes and 0x15 finish, each step started by the reply to the one
// before. Through the local configuration server the whole file, header included, goes as
// 0xD1 blocks of up to 512 bytes with no start or finish.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "firmware/FirmwareHeader.h"

class TStream;

inline constexpr std::uint32_t kCableBlockSize = 1024;
inline constexpr std::uint32_t kRemoteBlockSize = 512;
// Watchdog seconds per block: the device on the local server answers over GPRS.
inline constexpr int kCableBlockSeconds = 5;
inline constexpr int kRemoteBlockSeconds = 20;
// 10 ms ticks the link to the device on the local server must stay quiet behind an
// acknowledgement before the next block goes: the 0xD1 acknowledgement names no block, so a
// copy of it arriving on its heels is seen as one only while no other block is in flight.
inline constexpr int kRemoteAckQuietTicks = 5;

inline constexpr int kMsgFirmwareDone = 9;
inline constexpr int kMsgFirmwareTimedOut = 10;
inline constexpr int kMsgFirmwareNotOpen = 54;
inline constexpr int kMsgFirmwareSent = 55;

// Request data of the bootloader commands.
std::vector<std::uint8_t> FwSizeData(std::uint32_t totalSize);          // 0x12: u32 LE
std::vector<std::uint8_t> FwHeaderData(const FirmwareHeader& header);   // 0x13: 00 02, 512 bytes
// 0x14 and 0xD1: u32 LE offset, u16 LE n, n bytes.
std::vector<std::uint8_t> FwBlockData(std::uint32_t offset, const std::uint8_t* bytes,
                                      std::uint16_t n);

// "Bootloader version: v2.3" for the version byte 0x23.
std::string BootloaderVersionText(std::uint8_t version);
// Bootloaders that take an image of any hardware type.
bool IsBootloaderOnly(std::uint8_t version, std::uint8_t type);

// Where the device is when the update is asked for.
enum class TFwRoute {
    CableWorking,     // application running: restart it into its bootloader first
    CableBootloader,  // bootloader identified: start at once
    ConfServer,       // dialled in to the local configuration server: 0xD1 blocks
};

enum class TFwActionKind {
    None,
    Send,                   // send Command with Data
    RestartIntoBootloader,  // ResetDevice(1); the bootloader's identify starts the update
    Finished,   // cable: message 9, normal restart, port closed; remote: wait panel closed with
                // message 9, then message 55. The file is closed already.
    Rejected,   // Prefix and the result text of Result; nothing more is sent
    TimedOut,   // message 10 and what was sent; the update and the busy transfer are over
    NoFile,     // message 54; nothing is open
    ReadFailed, // the file ended before its announced size: message 13 and what was sent; the
                // file is closed
};

struct TFwAction {
    TFwActionKind Kind = TFwActionKind::None;
    std::uint8_t Command = 0;
    std::vector<std::uint8_t> Data;
    std::uint8_t Result = 0;
    std::string Prefix;  // "0x14 " for a rejected bootloader step, empty for 0xD1
};

class TFirmwareUpdate {
public:
    // Keeps an accepted image and its open file; anything open before is closed. Offset 0.
    void Load(const FirmwareHeader& header, std::unique_ptr<TStream> file);
    // Closes the file and ends the update (CloseFirmwareFile).
    void Close();

    // The program button: the update is now active.
    TFwAction Program(TFwRoute route);
    // A reply to one of the update's commands with its result byte (d0). A refused 0xD1
    // block is told whenever its answer comes, even after the update was over.
    TFwAction OnReply(std::uint8_t command, std::uint8_t result);
    // The one-second tick.
    TFwAction Tick();
    // The 10 ms tick: the next 0xD1 block goes once the link is quiet behind the last
    // acknowledgement, and after the last block the update is over.
    TFwAction QuietTick();
    // Ticks to the one on which QuietTick, or Tick, acts; 0 none.
    unsigned QuietDue() const { return FQuiet > 0 ? static_cast<unsigned>(FQuiet) : 0; }
    unsigned WatchdogDue() const { return FActive && FTimeout > 0 ? static_cast<unsigned>(FTimeout) : 0; }
    // Bytes arrived on the link: the quiet behind an acknowledgement starts again.
    void Heard();
    // The update ends at once, its image kept, as the watchdog ends it.
    void Abandon();

    bool IsOpen() const { return FFile != nullptr; }
    bool Active() const { return FActive; }
    // The update goes on by itself: the device restarts into its bootloader to take it, or
    // blocks are on their way. Not after a refused step on the cable, which waits for the
    // bootloader's next identification.
    bool Running() const { return FActive && (FRemote || FStep != TStep::Stalled); }
    // Bytes are on their way to the device: a lost link cuts the update short. On the cable
    // not while the device restarts into its bootloader (it leaves the bus on purpose), nor
    // after a refused step (the next identification, or the watchdog, ends that).
    bool Transferring() const {
        return FActive && (FRemote || (FStep != TStep::AwaitBootloader && FStep != TStep::Stalled));
    }
    int TimeoutSeconds() const { return FTimeout; }
    // Bytes sent so far: of the body on the cable, of the whole file through the server.
    std::uint32_t Offset() const { return FOffset; }
    // Of those, the bytes whose blocks the device has acknowledged.
    std::uint32_t Confirmed() const { return FConfirmed; }
    // What Offset() counts up to.
    std::uint32_t Whole() const;
    std::uint32_t BodySize() const { return FHeader.BodySize(); }
    const FirmwareHeader& Header() const { return FHeader; }
    // Progress bar value, 0..100.
    int Percent() const;

private:
    enum class TStep { Idle, AwaitBootloader, Start, Size, HeaderSent, Block, Finish, Remote, Stalled };

    TFwAction SendBlock();
    TFwAction SendRemoteBlock();
    TFwAction OnRemoteReply(std::uint8_t result);
    TFwAction Send(std::uint8_t command, std::vector<std::uint8_t> data, TStep next);
    TFwAction Fail(TFwActionKind kind);
    std::uint16_t ReadAt(std::uint64_t position, std::uint8_t* buf, std::uint32_t max);

    FirmwareHeader FHeader;
    std::unique_ptr<TStream> FFile;
    bool FActive = false;
    bool FRemote = false;
    int FTimeout = 0;
    std::uint32_t FOffset = 0;
    std::uint32_t FConfirmed = 0;
    TStep FStep = TStep::Idle;
    bool FAwaited = false;  // a 0xD1 block is in flight, its acknowledgement not yet come
    int FQuiet = 0;         // 10 ms ticks of quiet still wanted before the next 0xD1 block
};

// What an update that ends unfinished leaves: the bytes of whole the device confirmed. After
// message 10 or 13, and for a link lost under it (asking to update again once the device is
// back).
std::string FirmwareConfirmedText(std::uint32_t confirmed, std::uint32_t whole);
std::string FirmwareCutText(std::uint32_t confirmed, std::uint32_t whole);
