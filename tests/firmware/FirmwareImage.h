#pragma once
// Firmware files for the window tests, laid out by hand: "SLFW", the hardware type, the
// version, the body size, the CRC and the build in the 512-byte header, then the body.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace fwtest {

using Image = std::vector<std::uint8_t>;

inline Image MakeImage(std::uint32_t bodySize, std::uint8_t type = 0x0B, std::uint8_t version = 37) {
    Image f(512 + bodySize, 0);
    f[0] = 'S', f[1] = 'L', f[2] = 'F', f[3] = 'W';
    f[4] = type;
    f[5] = version;
    for (int i = 0; i < 4; ++i) f[8 + i] = static_cast<std::uint8_t>(bodySize >> (8 * i));
    f[12] = 0x2B, f[13] = 0x1A;  // CRC 0x1A2B
    f[20] = 0xDF, f[21] = 0x07;  // build 2015
    f[22] = 7;                   // .0007
    f[24] = 3;                   // .03
    for (std::size_t i = 25; i < 512; ++i) f[i] = static_cast<std::uint8_t>(i * 7);
    for (std::uint32_t i = 0; i < bodySize; ++i) f[512 + i] = static_cast<std::uint8_t>(i * 31 + i / 256);
    return f;
}

inline void WriteFile(const std::string& path, const Image& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace fwtest
