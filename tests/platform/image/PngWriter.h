#pragma once
// A minimal PNG writer for tests: builds files chunk by chunk with zlib, so that the decoder
// meets colour types, depths, filters and faults that common tools do not produce.
#include <cstdint>
#include <string>
#include <vector>
#include <zlib.h>

namespace pngtest {

using Bytes = std::vector<std::uint8_t>;

inline void Put32(Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}

inline Bytes Chunk(const std::string& type, const Bytes& data) {
    Bytes c;
    Put32(c, static_cast<std::uint32_t>(data.size()));
    c.insert(c.end(), type.begin(), type.end());
    c.insert(c.end(), data.begin(), data.end());
    uLong crc = crc32(0L, c.data() + 4, static_cast<uInt>(4 + data.size()));
    Put32(c, static_cast<std::uint32_t>(crc));
    return c;
}

inline Bytes Signature() { return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}; }

inline Bytes Ihdr(std::uint32_t w, std::uint32_t h, int depth, int colorType, int interlace = 0) {
    Bytes d;
    Put32(d, w);
    Put32(d, h);
    d.push_back(static_cast<std::uint8_t>(depth));
    d.push_back(static_cast<std::uint8_t>(colorType));
    d.push_back(0);
    d.push_back(0);
    d.push_back(static_cast<std::uint8_t>(interlace));
    return Chunk("IHDR", d);
}

inline Bytes Deflate(const Bytes& raw) {
    uLongf len = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(len);
    compress2(out.data(), &len, raw.data(), static_cast<uLong>(raw.size()), 9);
    out.resize(len);
    return out;
}

// Rows already filtered (each starting with its filter byte) into a whole file.
inline Bytes File(const Bytes& ihdr, const Bytes& filteredRows, const std::vector<Bytes>& extra = {}) {
    Bytes f = Signature();
    f.insert(f.end(), ihdr.begin(), ihdr.end());
    for (const Bytes& e : extra) f.insert(f.end(), e.begin(), e.end());
    Bytes idat = Chunk("IDAT", Deflate(filteredRows));
    f.insert(f.end(), idat.begin(), idat.end());
    Bytes end = Chunk("IEND", {});
    f.insert(f.end(), end.begin(), end.end());
    return f;
}

}  // namespace pngtest
