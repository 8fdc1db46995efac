#include "platform/image/PngDecoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <zlib.h>

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

[[noreturn]] void Fail(const std::string& why) { throw EInvalidGraphic("Invalid PNG image: " + why); }

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

struct Header {
    std::uint32_t width = 0, height = 0;
    int depth = 0, colorType = 0;
    int channels = 0;
};

int ChannelsOf(int colorType) {
    switch (colorType) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    case 6: return 4;
    default: return 0;
    }
}

bool DepthAllowed(int colorType, int depth) {
    switch (colorType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

std::uint8_t Paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    if (pb <= pc) return static_cast<std::uint8_t>(b);
    return static_cast<std::uint8_t>(c);
}

// Inflates the image data into exactly `expected` bytes; extra data after them is ignored.
// The buffer grows with what really comes out, so a forged header costs no memory.
std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& compressed, std::size_t expected) {
    std::vector<std::uint8_t> out;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) Fail("cannot start decompression");
    zs.next_in = const_cast<Bytef*>(compressed.data());
    zs.avail_in = static_cast<uInt>(compressed.size());
    std::size_t produced = 0;
    int rc = Z_OK;
    while (produced < expected) {
        std::size_t step = std::min<std::size_t>(expected - produced, 1 << 20);
        out.resize(produced + step);
        zs.next_out = out.data() + produced;
        zs.avail_out = static_cast<uInt>(step);
        rc = inflate(&zs, Z_NO_FLUSH);
        produced += step - zs.avail_out;
        if (rc != Z_OK) break;
        if (zs.avail_in == 0 && zs.avail_out != 0) break;
    }
    const char* msg = zs.msg;
    inflateEnd(&zs);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
        Fail(std::string("corrupt image data (") + (msg ? msg : "zlib error") + ")");
    if (produced < expected) Fail("image data ends early");
    return out;
}

}  // namespace

bool IsPngSignature(const std::uint8_t* data, std::size_t size) {
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

TPixelImage DecodePng(const std::uint8_t* data, std::size_t size) {
    if (!IsPngSignature(data, size)) Fail("no PNG signature");
    Header h;
    bool haveHeader = false, haveEnd = false, haveData = false;
    std::array<std::uint32_t, 256> palette{};
    int paletteSize = 0;
    std::array<std::uint8_t, 256> paletteAlpha;
    paletteAlpha.fill(0xFF);
    bool haveKey = false;
    std::uint16_t keyR = 0, keyG = 0, keyB = 0;  // grey uses keyR
    std::vector<std::uint8_t> compressed;

    std::size_t pos = 8;
    while (!haveEnd) {
        if (size - pos < 12) Fail("file ends before the image end chunk");
        std::uint32_t length = Be32(data + pos);
        if (length > 0x7FFFFFFFu) Fail("chunk length out of range");
        const std::uint8_t* type = data + pos + 4;
        if (size - pos - 12 < length) Fail("file ends inside a chunk");
        const std::uint8_t* body = type + 4;
        std::uint32_t storedCrc = Be32(body + length);
        uLong crc = crc32(0L, type, 4 + length);
        std::string name(reinterpret_cast<const char*>(type), 4);
        for (char& c : name)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) c = '?';
        if (crc != storedCrc) Fail("CRC error in chunk " + name);
        pos += 12 + length;

        if (!haveHeader && name != "IHDR") Fail("first chunk is not IHDR");
        if (name == "IHDR") {
            if (haveHeader) Fail("second IHDR chunk");
            if (length != 13) Fail("IHDR chunk has the wrong size");
            h.width = Be32(body);
            h.height = Be32(body + 4);
            h.depth = body[8];
            h.colorType = body[9];
            if (h.width == 0 || h.height == 0) Fail("zero width or height");
            if (h.width > static_cast<std::uint32_t>(kMaxImageSide) || h.height > static_cast<std::uint32_t>(kMaxImageSide) ||
                static_cast<std::int64_t>(h.width) * h.height > kMaxImagePixels)
                Fail("image too large");
            if (!DepthAllowed(h.colorType, h.depth)) Fail("unsupported colour type or bit depth");
            if (body[10] != 0 || body[11] != 0) Fail("unknown compression or filter method");
            if (body[12] == 1) Fail("interlaced images are not supported");
            if (body[12] != 0) Fail("unknown interlace method");
            h.channels = ChannelsOf(h.colorType);
            haveHeader = true;
        } else if (name == "PLTE") {
            if (haveData) Fail("palette after image data");
            if (length % 3 != 0 || length == 0 || length > 768) Fail("palette has the wrong size");
            paletteSize = static_cast<int>(length / 3);
            for (int i = 0; i < paletteSize; ++i)
                palette[i] = MakeArgb(0xFF, body[3 * i], body[3 * i + 1], body[3 * i + 2]);
        } else if (name == "tRNS") {
            if (h.colorType == 3) {
                if (length > 256) Fail("transparency table too long");
                for (std::uint32_t i = 0; i < length; ++i) paletteAlpha[i] = body[i];
            } else if (h.colorType == 0 && length == 2) {
                haveKey = true;
                keyR = static_cast<std::uint16_t>((body[0] << 8) | body[1]);
            } else if (h.colorType == 2 && length == 6) {
                haveKey = true;
                keyR = static_cast<std::uint16_t>((body[0] << 8) | body[1]);
                keyG = static_cast<std::uint16_t>((body[2] << 8) | body[3]);
                keyB = static_cast<std::uint16_t>((body[4] << 8) | body[5]);
            }
            // Any other transparency chunk is ignored, as decoders commonly do.
        } else if (name == "IDAT") {
            haveData = true;
            compressed.insert(compressed.end(), body, body + length);
        } else if (name == "IEND") {
            haveEnd = true;
        } else if (name[0] >= 'A' && name[0] <= 'Z') {
            Fail("unknown critical chunk " + name);
        }
    }
    if (!haveData) Fail("no image data");
    if (h.colorType == 3 && paletteSize == 0) Fail("palette image without a palette");

    const std::size_t bitsPerPixel = static_cast<std::size_t>(h.channels) * h.depth;
    const std::size_t rowBytes = (bitsPerPixel * h.width + 7) / 8;
    const std::size_t bpp = std::max<std::size_t>(1, bitsPerPixel / 8);
    std::vector<std::uint8_t> raw = Inflate(compressed, (rowBytes + 1) * h.height);

    // Undo the row filters in place.
    std::vector<std::uint8_t> prevZero(rowBytes, 0);
    for (std::uint32_t y = 0; y < h.height; ++y) {
        std::uint8_t* line = raw.data() + y * (rowBytes + 1);
        std::uint8_t filter = line[0];
        std::uint8_t* cur = line + 1;
        const std::uint8_t* prev = y == 0 ? prevZero.data() : raw.data() + (y - 1) * (rowBytes + 1) + 1;
        switch (filter) {
        case 0: break;
        case 1:
            for (std::size_t i = bpp; i < rowBytes; ++i) cur[i] = static_cast<std::uint8_t>(cur[i] + cur[i - bpp]);
            break;
        case 2:
            for (std::size_t i = 0; i < rowBytes; ++i) cur[i] = static_cast<std::uint8_t>(cur[i] + prev[i]);
            break;
        case 3:
            for (std::size_t i = 0; i < rowBytes; ++i) {
                int left = i >= bpp ? cur[i - bpp] : 0;
                cur[i] = static_cast<std::uint8_t>(cur[i] + ((left + prev[i]) >> 1));
            }
            break;
        case 4:
            for (std::size_t i = 0; i < rowBytes; ++i) {
                int left = i >= bpp ? cur[i - bpp] : 0;
                int upLeft = i >= bpp ? prev[i - bpp] : 0;
                cur[i] = static_cast<std::uint8_t>(cur[i] + Paeth(left, prev[i], upLeft));
            }
            break;
        default:
            Fail("unknown row filter " + std::to_string(filter));
        }
    }

    TPixelImage img;
    img.Width = static_cast<int>(h.width);
    img.Height = static_cast<int>(h.height);
    img.Pixels.resize(static_cast<std::size_t>(h.width) * h.height);
    const int maxSample = (1 << h.depth) - 1;
    for (std::uint32_t y = 0; y < h.height; ++y) {
        const std::uint8_t* row = raw.data() + y * (rowBytes + 1) + 1;
        std::uint32_t* out = img.Pixels.data() + static_cast<std::size_t>(y) * h.width;
        // Sample n of the row at the image's depth; 16-bit samples as their full value.
        auto sample = [&](std::size_t n) -> int {
            if (h.depth == 8) return row[n];
            if (h.depth == 16) return (row[2 * n] << 8) | row[2 * n + 1];
            std::size_t bit = n * h.depth;
            int shift = 8 - h.depth - static_cast<int>(bit % 8);
            return (row[bit / 8] >> shift) & maxSample;
        };
        auto to8 = [&](int v) -> std::uint8_t {
            if (h.depth == 16) return static_cast<std::uint8_t>((v * 255 + 32767) / 65535);
            return static_cast<std::uint8_t>(v * 255 / maxSample);
        };
        for (std::uint32_t x = 0; x < h.width; ++x) {
            std::size_t n = static_cast<std::size_t>(x) * h.channels;
            switch (h.colorType) {
            case 0: {
                int g = sample(n);
                std::uint8_t g8 = to8(g);
                out[x] = MakeArgb(haveKey && g == keyR ? 0 : 0xFF, g8, g8, g8);
                break;
            }
            case 2: {
                int r = sample(n), g = sample(n + 1), b = sample(n + 2);
                bool clear = haveKey && r == keyR && g == keyG && b == keyB;
                out[x] = MakeArgb(clear ? 0 : 0xFF, to8(r), to8(g), to8(b));
                break;
            }
            case 3: {
                int i = sample(n);
                // An index past the palette shows as opaque black rather than failing.
                out[x] = i < paletteSize ? (palette[i] & 0x00FFFFFFu) | (std::uint32_t{paletteAlpha[i]} << 24)
                                         : 0xFF000000u;
                break;
            }
            case 4: {
                std::uint8_t g8 = to8(sample(n));
                out[x] = MakeArgb(to8(sample(n + 1)), g8, g8, g8);
                break;
            }
            case 6:
                out[x] = MakeArgb(to8(sample(n + 3)), to8(sample(n)), to8(sample(n + 1)), to8(sample(n + 2)));
                break;
            }
        }
    }
    return img;
}
