#pragma once
// The controller's bootloader behind the simulated line. In bootloader mode (after a reset
// with the byte 1, or started so) the device model identifies with mode 0; this model takes
// the update: 0x10 start, 0x12 the total size (u32), 0x13 the header (u16 512 and 512 bytes),
// 0x14 body blocks (u32 offset, u16 n, n bytes; each must follow the last without a gap)
// and 0x15 finish, which accepts the image only when header and body make the announced
// size. Tests read back the stored image and make steps fail or go silent.
//
//     devsim::DeviceModel model(sim);
//     devsim::BootloaderModel boot(model);
//     ... boot.Image() after 0x15
#include <cstdint>
#include <memory>

#include "tools/devsim/DeviceModel.h"

namespace devsim {

inline constexpr std::uint8_t kCmdFwStart = 0x10;
inline constexpr std::uint8_t kCmdFwSize = 0x12;
inline constexpr std::uint8_t kCmdFwHeader = 0x13;
inline constexpr std::uint8_t kCmdFwBlock = 0x14;
inline constexpr std::uint8_t kCmdFwFinish = 0x15;
// Results of requests the bootloader cannot take (a parameter error, as the device says).
inline constexpr std::uint8_t kBootBadRequest = 2;

class BootloaderModel {
public:
    explicit BootloaderModel(DeviceModel& model);
    BootloaderModel(const BootloaderModel&) = delete;
    BootloaderModel& operator=(const BootloaderModel&) = delete;

    // The header and the body received so far (the image written after a finish).
    Bytes Image() const;
    // The image of the last accepted finish; empty before one.
    Bytes Written() const;
    std::uint32_t AnnouncedSize() const;
    int BlockCount() const;
    bool Finished() const;

    // Answers command with result instead of 0 (0 clears it).
    void SetResult(std::uint8_t command, std::uint8_t result);
    // Stops answering after this many body blocks (-1 answers all).
    void SetSilentAfterBlocks(int blocks);

private:
    struct State;
    std::shared_ptr<State> FState;
};

}  // namespace devsim
