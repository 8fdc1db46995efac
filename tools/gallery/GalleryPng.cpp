#include "GalleryPng.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <vector>

#include "platform/ui/Graphics.h"

namespace {
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(std::uint8_t(v >> s));
}

void Chunk(std::ofstream& f, const char* type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> head;
    Put32(head, std::uint32_t(data.size()));
    f.write(reinterpret_cast<const char*>(head.data()), 4);
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    f.write(reinterpret_cast<const char*>(body.data()), std::streamsize(body.size()));
    std::vector<std::uint8_t> crc;
    Put32(crc, std::uint32_t(crc32(0, body.data(), uInt(body.size()))));
    f.write(reinterpret_cast<const char*>(crc.data()), 4);
}
}  // namespace

bool WriteGalleryPng(const TBitmap& bitmap, const std::string& path) {
    int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    if (w <= 0 || h <= 0) return false;
    // A bitmap with an alpha channel keeps it (RGBA, straight alpha); others are plain RGB.
    const bool alpha = bitmap.GetAlphaFormat() != afIgnored;
    std::vector<std::uint8_t> raw;
    raw.reserve(size_t(h) * (size_t(w) * (alpha ? 4 : 3) + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);  // no filter
        const std::uint8_t* row = bitmap.ScanLine(y);  // B, G, R, A; colours premultiplied
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = row + size_t(x) * 4;
            const unsigned a = alpha ? p[3] : 255;
            for (int i : {2, 1, 0}) raw.push_back(a == 0 ? 0 : std::uint8_t((p[i] * 255u + a / 2) / a));
            if (alpha) raw.push_back(std::uint8_t(a));
        }
    }
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), uLong(raw.size()), 9) != Z_OK) return false;
    packed.resize(size);
    std::ofstream f(path, std::ios::binary);
    if (!f) return false;
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    f.write(reinterpret_cast<const char*>(signature), 8);
    std::vector<std::uint8_t> ihdr;
    Put32(ihdr, std::uint32_t(w));
    Put32(ihdr, std::uint32_t(h));
    ihdr.insert(ihdr.end(), {8, std::uint8_t(alpha ? 6 : 2), 0, 0, 0});
    Chunk(f, "IHDR", ihdr);
    Chunk(f, "IDAT", packed);
    Chunk(f, "IEND", {});
    return bool(f);
}
