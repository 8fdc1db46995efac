#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <cstdlib>
#include <fstream>

#include "PngWriter.h"
#include "platform/image/JpegDecoder.h"
#include "platform/image/Pictures.h"
#include "platform/rtl/Streams.h"
#include "support/TestSupport.h"

namespace {

using pngtest::Bytes;

Bytes SaveWithQt(const QImage& img, const char* format, int quality = -1) {
    QByteArray ba;
    QBuffer buf(&ba);
    buf.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buf, format, quality));
    return Bytes(ba.begin(), ba.end());
}

QImage Photo(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
    return img;
}

int Channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

TEST(Jpeg, ColourAndGreyPhotosMatchWhatQtDecodes) {
    for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_Grayscale8}) {
        QImage src = Photo(64, 48).convertToFormat(f);
        Bytes file = SaveWithQt(src, "JPG", 90);
        TPixelImage img = DecodeJpeg(file.data(), file.size());
        ASSERT_EQ(img.Width, 64);
        ASSERT_EQ(img.Height, 48);
        QImage ref = QImage::fromData(QByteArray(reinterpret_cast<const char*>(file.data()), file.size()))
                         .convertToFormat(QImage::Format_RGB32);
        int worst = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                std::uint32_t a = img.Pixel(x, y), b = ref.pixel(x, y);
                ASSERT_EQ(a >> 24, 0xFFu);
                for (int s : {0, 8, 16}) worst = std::max(worst, std::abs(Channel(a, s) - Channel(b, s)));
            }
        EXPECT_LE(worst, 2) << "format " << f;  // the same library underneath, up to IDCT rounding
        // And close to the original picture.
        std::uint32_t mid = img.Pixel(32, 24);
        std::uint32_t orig = src.convertToFormat(QImage::Format_RGB32).pixel(32, 24);
        for (int s : {0, 8, 16}) EXPECT_NEAR(Channel(mid, s), Channel(orig, s), 8);
    }
}

TEST(Jpeg, LibraryErrorsBecomeExceptionsNeverAnExit) {
    Bytes junk = {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'};
    try {
        DecodeJpeg(junk.data(), junk.size());
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message.rfind("Invalid JPEG image: Not a JPEG file", 0), 0u) << e.Message;
    }
    EXPECT_THROW(DecodeJpeg(nullptr, 0), EInvalidGraphic);
    // Every cut of a real file either decodes (the rest grey) or raises; the process goes on.
    Bytes file = SaveWithQt(Photo(40, 30), "JPG", 80);
    int decoded = 0;
    for (size_t n = 0; n < file.size(); n += 7) {
        try {
            TPixelImage img = DecodeJpeg(file.data(), n);
            EXPECT_EQ(img.Width, 40);
            ++decoded;
        } catch (const EInvalidGraphic&) {
        }
    }
    EXPECT_GT(decoded, 0);
    // A header that claims an absurd size is refused before memory is taken.
    Bytes big = file;
    for (size_t i = 0; i + 8 < big.size(); ++i)
        if (big[i] == 0xFF && big[i + 1] == 0xC0) {  // baseline frame header: height, width
            big[i + 5] = 0xFF;
            big[i + 6] = 0xF0;
            big[i + 7] = 0xFF;
            big[i + 8] = 0xF0;
            break;
        }
    EXPECT_THROW(DecodeJpeg(big.data(), big.size()), EInvalidGraphic);
}

TEST(Pictures, LoadFromFileAndStream) {
    std::string dir = testsupport::TempDir("pictures");
    Bytes jpg = SaveWithQt(Photo(32, 16), "JPG", 95);
    {
        std::ofstream out(dir + "/image.jpg", std::ios::binary);
        out.write(reinterpret_cast<const char*>(jpg.data()), static_cast<std::streamsize>(jpg.size()));
    }
    TJPEGImage j;
    EXPECT_TRUE(j.GetEmpty());
    j.LoadFromFile(dir + "/image.jpg");
    EXPECT_EQ(j.GetWidth(), 32);
    EXPECT_EQ(j.GetHeight(), 16);
    EXPECT_THROW(j.LoadFromFile(dir + "/missing.jpg"), EFOpenError);

    // A downloaded photo in a memory stream, read from its start.
    TMemoryStream m;
    m.WriteBuffer(jpg.data(), static_cast<std::int64_t>(jpg.size()));
    m.SetPosition(0);
    TJPEGImage k;
    k.LoadFromStream(m);
    EXPECT_EQ(k.GetWidth(), 32);

    Bytes png = pngtest::File(pngtest::Ihdr(3, 2, 8, 2), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1});
    TMemoryStream pm;
    pm.WriteBuffer(png.data(), static_cast<std::int64_t>(png.size()));
    pm.SetPosition(0);
    TPngImage p;
    p.LoadFromStream(pm);
    EXPECT_EQ(p.GetWidth(), 3);
    EXPECT_EQ(p.GetPixels().Pixel(1, 0), 0xFF040506u);
    EXPECT_EQ(p.GetPixels().ToRGBA()[4], 4);

    // A bad picture raises and keeps the previous one.
    TMemoryStream bad;
    bad.WriteBuffer("garbage", 7);
    bad.SetPosition(0);
    EXPECT_THROW(p.LoadFromStream(bad), EInvalidGraphic);
    EXPECT_EQ(p.GetWidth(), 3);
    EXPECT_THROW(k.LoadFromStream(bad), EInvalidGraphic);  // at its end: nothing left to read
    EXPECT_EQ(k.GetWidth(), 32);
}

}  // namespace

#include "platform/ui/Graphics.h"

namespace {

TEST(Pictures, AssignToBitmapKeepsPixelsAndTransparency) {
    // Red opaque, half-transparent green, fully transparent blue.
    Bytes png = pngtest::File(pngtest::Ihdr(3, 1, 8, 6), {0, 255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0});
    TPngImage p;
    p.LoadFromBytes(png.data(), png.size());
    TBitmap bmp;
    p.AssignTo(bmp);
    EXPECT_EQ(bmp.GetWidth(), 3);
    EXPECT_EQ(bmp.GetHeight(), 1);
    EXPECT_EQ(bmp.GetPixel(0, 0), 0x000000FF);  // TColor is 0x00BBGGRR
    EXPECT_EQ(bmp.GetAlphaFormat(), afDefined);

    TJPEGImage j;
    Bytes jpg = SaveWithQt(Photo(8, 8), "JPG", 95);
    j.LoadFromBytes(jpg.data(), jpg.size());
    TBitmap photo;
    j.AssignTo(photo);
    EXPECT_EQ(photo.GetWidth(), 8);
    EXPECT_EQ(photo.GetAlphaFormat(), afIgnored);
    std::uint32_t argb = j.GetPixels().Pixel(5, 3);
    TColor expected = static_cast<TColor>(((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF));
    EXPECT_EQ(photo.GetPixel(5, 3), expected);
}

}  // namespace
