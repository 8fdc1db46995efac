#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <cstring>
#include <random>

#include "PngWriter.h"
#include "platform/image/PngDecoder.h"

namespace {

using pngtest::Bytes;

Bytes SaveWithQt(const QImage& img) {
    QByteArray ba;
    QBuffer buf(&ba);
    buf.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buf, "PNG"));
    return Bytes(ba.begin(), ba.end());
}

TPixelImage Decode(const Bytes& b) { return DecodePng(b.data(), b.size()); }

std::string ErrorOf(const Bytes& b) {
    try {
        Decode(b);
    } catch (const EInvalidGraphic& e) {
        return e.Message;
    }
    return "decoded";
}

// A test picture with distinct colours and alpha in every pixel.
QImage Pattern(int w, int h, QImage::Format format) {
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba((x * 37 + y * 11) & 0xFF, (x * 5 + y * 71) & 0xFF, (x * 113 + y * 3) & 0xFF,
                                     (x * 29 + y * 53) & 0xFF));
    return img.convertToFormat(format);
}

TEST(PngFromQt, RgbRgbaGreyAndPaletteMatchQtPixels) {
    for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_Grayscale8,
                             QImage::Format_Grayscale16, QImage::Format_RGBA64}) {
        QImage src = Pattern(13, 7, f);
        Bytes file = SaveWithQt(src);
        TPixelImage img = Decode(file);
        ASSERT_EQ(img.Width, 13);
        ASSERT_EQ(img.Height, 7);
        QImage ref = QImage::fromData(QByteArray(reinterpret_cast<const char*>(file.data()), file.size()))
                         .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(img.Pixel(x, y), static_cast<std::uint32_t>(ref.pixel(x, y)))
                    << "format " << f << " at " << x << "," << y;
    }
}

TEST(PngFromQt, PaletteWithTransparencyAndOneBitImages) {
    QImage indexed(9, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 128), qRgba(0, 0, 255, 0)});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) indexed.setPixel(x, y, (x + y) % 3);
    TPixelImage img = Decode(SaveWithQt(indexed));
    EXPECT_EQ(img.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(img.Pixel(1, 0), 0x8000FF00u);
    EXPECT_EQ(img.Pixel(2, 0), 0x000000FFu);
    EXPECT_EQ(img.Pixel(0, 1), 0x8000FF00u);

    QImage mono(19, 3, QImage::Format_Mono);
    mono.setColorTable({qRgb(10, 20, 30), qRgb(200, 210, 220)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 19; ++x) mono.setPixel(x, y, (x * y) % 2);
    img = Decode(SaveWithQt(mono));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 19; ++x)
            ASSERT_EQ(img.Pixel(x, y), (x * y) % 2 ? 0xFFC8D2DCu : 0xFF0A141Eu) << x << "," << y;
}

// Filters by hand: each row uses another filter, and the result must come back exactly.
Bytes FilterRows(const Bytes& pixels, size_t rowBytes, size_t bpp) {
    Bytes out;
    size_t rows = pixels.size() / rowBytes;
    for (size_t y = 0; y < rows; ++y) {
        int filter = static_cast<int>(y % 5);
        out.push_back(static_cast<std::uint8_t>(filter));
        const std::uint8_t* cur = pixels.data() + y * rowBytes;
        const std::uint8_t* prev = y ? cur - rowBytes : nullptr;
        for (size_t i = 0; i < rowBytes; ++i) {
            int a = i >= bpp ? cur[i - bpp] : 0, b = prev ? prev[i] : 0, c = (prev && i >= bpp) ? prev[i - bpp] : 0;
            int pred = 0;
            if (filter == 1) pred = a;
            if (filter == 2) pred = b;
            if (filter == 3) pred = (a + b) / 2;
            if (filter == 4) {
                int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
            }
            out.push_back(static_cast<std::uint8_t>(cur[i] - pred));
        }
    }
    return out;
}

TEST(PngByHand, AllFiveFiltersOnRgbaAndGreyAlpha) {
    const int w = 7, h = 10;
    Bytes rgba;
    for (int i = 0; i < w * h; ++i)
        for (int c = 0; c < 4; ++c) rgba.push_back(static_cast<std::uint8_t>(i * 31 + c * 67 + (i * i) % 13));
    TPixelImage img = Decode(pngtest::File(pngtest::Ihdr(w, h, 8, 6), FilterRows(rgba, w * 4, 4)));
    for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(img.Pixels[i], MakeArgb(rgba[i * 4 + 3], rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2])) << i;

    Bytes ga;
    for (int i = 0; i < w * h; ++i) {
        ga.push_back(static_cast<std::uint8_t>(i * 3));
        ga.push_back(static_cast<std::uint8_t>(255 - i));
    }
    Bytes file = pngtest::File(pngtest::Ihdr(w, h, 8, 4), FilterRows(ga, w * 2, 2));
    img = Decode(file);
    for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(img.Pixels[i], MakeArgb(255 - i, i * 3, i * 3, i * 3)) << i;
    // Qt agrees that the hand-made file means these pixels.
    QImage ref = QImage::fromData(QByteArray(reinterpret_cast<const char*>(file.data()), file.size()));
    ASSERT_FALSE(ref.isNull());
    EXPECT_EQ(static_cast<std::uint32_t>(ref.convertToFormat(QImage::Format_ARGB32).pixel(3, 2)), img.Pixel(3, 2));
}

TEST(PngByHand, LowBitDepthsAndColourKeys) {
    // 2-bit grey: samples 0..3 scale to 0, 85, 170, 255; a row of 5 pixels is 2 bytes.
    Bytes rows = {0, 0b00011011, 0b01000000};
    TPixelImage img = Decode(pngtest::File(pngtest::Ihdr(5, 1, 2, 0), rows));
    EXPECT_EQ(img.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(img.Pixel(1, 0), 0xFF555555u);
    EXPECT_EQ(img.Pixel(2, 0), 0xFFAAAAAAu);
    EXPECT_EQ(img.Pixel(3, 0), 0xFFFFFFFFu);
    EXPECT_EQ(img.Pixel(4, 0), 0xFF555555u);
    // 4-bit palette with a short tRNS table: entries past it stay opaque.
    Bytes plte = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    Bytes pal = {0, 0x01, 0x20};
    img = Decode(pngtest::File(pngtest::Ihdr(3, 1, 4, 3), pal, {pngtest::Chunk("PLTE", plte), pngtest::Chunk("tRNS", {0x40})}));
    EXPECT_EQ(img.Pixel(0, 0), 0x40010203u);
    EXPECT_EQ(img.Pixel(1, 0), 0xFF040506u);
    EXPECT_EQ(img.Pixel(2, 0), 0xFF070809u);
    // An index past the palette shows black instead of reading outside it.
    Bytes bad = {0, 0xF0};
    img = Decode(pngtest::File(pngtest::Ihdr(1, 1, 4, 3), bad, {pngtest::Chunk("PLTE", plte)}));
    EXPECT_EQ(img.Pixel(0, 0), 0xFF000000u);
    // RGB with a colour key: that colour becomes transparent.
    Bytes rgb = {0, 10, 20, 30, 40, 50, 60};
    img = Decode(pngtest::File(pngtest::Ihdr(2, 1, 8, 2), rgb, {pngtest::Chunk("tRNS", {0, 40, 0, 50, 0, 60})}));
    EXPECT_EQ(img.Pixel(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(img.Pixel(1, 0), 0x0028323Cu);
}

TEST(PngFaults, SignatureHeaderAndChunksAreChecked) {
    Bytes good = pngtest::File(pngtest::Ihdr(2, 2, 8, 0), {0, 1, 2, 0, 3, 4});
    ASSERT_EQ(ErrorOf(good), "decoded");
    Bytes sig = good;
    sig[1] = 'Q';
    EXPECT_EQ(ErrorOf(sig), "Invalid PNG image: no PNG signature");
    EXPECT_EQ(ErrorOf({}), "Invalid PNG image: no PNG signature");
    Bytes crc = good;
    crc[8 + 8 + 5] ^= 0x01;  // a byte of IHDR's data
    EXPECT_EQ(ErrorOf(crc), "Invalid PNG image: CRC error in chunk IHDR");
    Bytes crcData = good;
    crcData[crcData.size() - 12 - 6] ^= 0x40;  // inside IDAT
    EXPECT_EQ(ErrorOf(crcData), "Invalid PNG image: CRC error in chunk IDAT");
    EXPECT_EQ(ErrorOf(pngtest::File(pngtest::Ihdr(2, 2, 8, 0, 1), {0, 1, 2, 0, 3, 4})),
              "Invalid PNG image: interlaced images are not supported");
    EXPECT_EQ(ErrorOf(pngtest::File(pngtest::Ihdr(0, 2, 8, 0), {})), "Invalid PNG image: zero width or height");
    EXPECT_EQ(ErrorOf(pngtest::File(pngtest::Ihdr(100000, 100000, 8, 6), {0})), "Invalid PNG image: image too large");
    EXPECT_EQ(ErrorOf(pngtest::File(pngtest::Ihdr(2, 2, 3, 2), {})),
              "Invalid PNG image: unsupported colour type or bit depth");
    EXPECT_EQ(ErrorOf(pngtest::File(pngtest::Ihdr(2, 2, 8, 3), {0, 0, 0, 0, 0, 0})),
              "Invalid PNG image: palette image without a palette");
    EXPECT_EQ(ErrorOf(pngtest::File(pngtest::Ihdr(2, 2, 8, 0), {0, 1, 2, 0, 3, 4}, {pngtest::Chunk("XYZW", {1})})),
              "Invalid PNG image: unknown critical chunk XYZW");
    EXPECT_EQ(ErrorOf(pngtest::File(pngtest::Ihdr(2, 2, 8, 0), {0, 1, 2, 0, 3, 4}, {pngtest::Chunk("tEXt", {'a', 0, 'b'})})),
              "decoded");  // ancillary chunks are skipped
    EXPECT_EQ(ErrorOf(pngtest::File(pngtest::Ihdr(2, 2, 8, 0), {0, 1, 2})), "Invalid PNG image: image data ends early");
    EXPECT_EQ(ErrorOf(pngtest::File(pngtest::Ihdr(2, 2, 8, 0), {0, 1, 2, 7, 3, 4})), "Invalid PNG image: unknown row filter 7");
    Bytes noHeader = pngtest::Signature();
    Bytes end = pngtest::Chunk("IEND", {});
    noHeader.insert(noHeader.end(), end.begin(), end.end());
    EXPECT_EQ(ErrorOf(noHeader), "Invalid PNG image: first chunk is not IHDR");
    Bytes garbage = pngtest::Signature();
    Bytes idat = pngtest::Chunk("IDAT", {1, 2, 3, 4, 5});
    Bytes hdr = pngtest::Ihdr(2, 2, 8, 0);
    garbage.insert(garbage.end(), hdr.begin(), hdr.end());
    garbage.insert(garbage.end(), idat.begin(), idat.end());
    garbage.insert(garbage.end(), end.begin(), end.end());
    EXPECT_EQ(ErrorOf(garbage).rfind("Invalid PNG image: corrupt image data", 0), 0u) << ErrorOf(garbage);
}

TEST(PngFaults, EveryTruncationIsAnErrorNeverACrash) {
    Bytes file = SaveWithQt(Pattern(20, 20, QImage::Format_ARGB32));
    for (size_t n = 0; n < file.size(); ++n) {
        Bytes cut(file.begin(), file.begin() + static_cast<long>(n));
        ASSERT_THROW(Decode(cut), EInvalidGraphic) << "length " << n;
    }
    EXPECT_EQ(ErrorOf(Bytes(file.begin(), file.end() - 12)), "Invalid PNG image: file ends before the image end chunk");
}

TEST(PngFaults, DamagedDataWithValidCrcsNeverCrashes) {
    // Corrupt the compressed stream and recompute the CRC, so the decoder gets past the
    // chunk check into inflation and filtering.
    Bytes raw;
    for (int y = 0; y < 16; ++y) {
        raw.push_back(static_cast<std::uint8_t>(y % 5));
        for (int i = 0; i < 16 * 3; ++i) raw.push_back(static_cast<std::uint8_t>(i * y));
    }
    Bytes compressed = pngtest::Deflate(raw);
    std::mt19937 rng(12345);
    int decoded = 0, refused = 0;
    for (int round = 0; round < 400; ++round) {
        Bytes c = compressed;
        for (int k = 0; k < 3; ++k) c[rng() % c.size()] ^= static_cast<std::uint8_t>(1 + rng() % 255);
        Bytes f = pngtest::Signature();
        for (const Bytes& part : {pngtest::Ihdr(16, 16, 8, 2), pngtest::Chunk("IDAT", c), pngtest::Chunk("IEND", {})})
            f.insert(f.end(), part.begin(), part.end());
        try {
            TPixelImage img = Decode(f);
            EXPECT_EQ(img.Pixels.size(), 256u);
            ++decoded;
        } catch (const EInvalidGraphic&) {
            ++refused;
        }
    }
    EXPECT_EQ(decoded + refused, 400);
    EXPECT_GT(refused, 0);
}

}  // namespace
