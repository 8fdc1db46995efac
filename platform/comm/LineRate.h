#pragma once
// The line rate of a tty descriptor in bit/s, any rate (termios2), set and read back.
// Kept apart because the kernel's termios2 header clashes with <termios.h>.
#include <cstdint>

namespace comm {

bool SetLineRate(int fd, std::uint32_t rate);
bool GetLineRate(int fd, std::uint32_t& rate);

}  // namespace comm
