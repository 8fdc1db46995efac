#pragma once
// The line's modes and rate in bit/s (any rate, through termios2), set in one call and read
// back. Kept apart because the kernel's termios2 header clashes with <termios.h>. Setting
// goes straight to the kernel: a line that forces part of the format (a pty keeps eight
// bits without parity) takes the rest, where the C library's tcsetattr would call the whole
// call failed.
#include <cstdint>

namespace comm {

struct TLineModes {
    std::uint32_t iflag = 0, oflag = 0, cflag = 0, lflag = 0;
    std::uint8_t cc[32] = {};  // indexed as <termios.h>'s VMIN, VSTART, ...
};

bool SetLineModes(int fd, const TLineModes& modes, std::uint32_t rate);
bool GetLineRate(int fd, std::uint32_t& rate);

}  // namespace comm
