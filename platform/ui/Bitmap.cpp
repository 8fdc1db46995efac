#include <QImage>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "platform/ui/Graphics.h"
#include "platform/ui/PixelOps.h"

namespace {
QImage NewImage(int w, int h) {
    QImage img(std::max(w, 0), std::max(h, 0), QImage::Format_ARGB32_Premultiplied);
    img.fill(0xFFFFFFFFu);
    return img;
}
}  // namespace

TBitmap::TBitmap() : FImage(std::make_unique<QImage>()), FCanvas(std::make_unique<TCanvas>()) {
    FCanvas->SetTarget(FImage.get());
}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TBitmap& o) {
    if (&o == this) return;
    *FImage = o.FImage->copy();
    FCanvas->SetTarget(FImage.get());
    FPixelFormat = o.FPixelFormat;
    FAlphaFormat = o.FAlphaFormat;
    FTransparent = o.FTransparent;
    FTransparentMode = o.FTransparentMode;
    FTransparentColor = o.FTransparentColor;
    Changed();
}

int TBitmap::GetWidth() const { return FImage->width(); }
int TBitmap::GetHeight() const { return FImage->height(); }
void TBitmap::SetWidth(int w) { SetSize(w, GetHeight()); }
void TBitmap::SetHeight(int h) { SetSize(GetWidth(), h); }

void TBitmap::SetSize(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == GetWidth() && h == GetHeight()) return;
    QImage img = NewImage(w, h);
    int cw = std::min(w, GetWidth()), ch = std::min(h, GetHeight());
    for (int y = 0; y < ch; ++y)
        std::memcpy(img.scanLine(y), FImage->constScanLine(y), size_t(cw) * 4);
    *FImage = std::move(img);
    FCanvas->SetTarget(FImage.get());
    Changed();
}

TCanvas* TBitmap::GetCanvas() { return FCanvas.get(); }

TColor TBitmap::GetTransparentColor() const {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (GetEmpty()) return clDefault;
    return GetPixel(0, GetHeight() - 1);
}

void TBitmap::SetTransparentColor(TColor c) {
    FTransparentColor = c;
    FTransparentMode = c == clDefault ? tmAuto : tmFixed;
}

std::uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= GetHeight()) throw std::out_of_range("Scan line index out of range");
    return FImage->scanLine(y);
}
const std::uint8_t* TBitmap::ScanLine(int y) const {
    if (y < 0 || y >= GetHeight()) throw std::out_of_range("Scan line index out of range");
    return FImage->constScanLine(y);
}

void TBitmap::LoadFromRGBA(int width, int height, const std::uint8_t* rgba) {
    QImage img(std::max(width, 0), std::max(height, 0), QImage::Format_ARGB32);
    bool alpha = false;
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const std::uint8_t* p = rgba + (size_t(y) * img.width() + x) * 4;
            row[x] = (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) |
                     (std::uint32_t(p[1]) << 8) | p[2];
            if (p[3] != 0xFF) alpha = true;
        }
    }
    *FImage = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    FCanvas->SetTarget(FImage.get());
    FPixelFormat = pf32bit;
    FAlphaFormat = alpha ? afDefined : afIgnored;
    Changed();
}

TColor TBitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return -1;
    return ui::px::ToColor(reinterpret_cast<const std::uint32_t*>(FImage->constScanLine(y))[x]);
}

void TBitmap::SetPixel(int x, int y, TColor c) {
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return;
    reinterpret_cast<std::uint32_t*>(FImage->scanLine(y))[x] = ui::px::FromColor(c);
}

QImage& TBitmap::GetImage() { return *FImage; }
const QImage& TBitmap::GetImage() const { return *FImage; }

// ---- .bmp files ------------------------------------------------------------------------

namespace {
std::uint32_t Le32(const std::string& d, size_t o) {
    return std::uint32_t(std::uint8_t(d[o])) | (std::uint32_t(std::uint8_t(d[o + 1])) << 8) |
           (std::uint32_t(std::uint8_t(d[o + 2])) << 16) | (std::uint32_t(std::uint8_t(d[o + 3])) << 24);
}
std::uint16_t Le16(const std::string& d, size_t o) {
    return std::uint16_t(std::uint8_t(d[o]) | (std::uint8_t(d[o + 1]) << 8));
}
void Put32(std::string& d, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) d.push_back(char((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& d, std::uint16_t v) {
    d.push_back(char(v & 0xFF));
    d.push_back(char(v >> 8));
}
}  // namespace

void TBitmap::LoadFromFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw std::runtime_error("Cannot open file \"" + path + "\"");
    std::string d((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    auto bad = [&] { return std::runtime_error("Bitmap image is not valid"); };
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') throw bad();
    std::uint32_t dataOff = Le32(d, 10), hdr = Le32(d, 14);
    if (hdr < 40 || 14 + size_t(hdr) > d.size()) throw bad();
    std::int32_t w = std::int32_t(Le32(d, 18)), h = std::int32_t(Le32(d, 22));
    int bpp = Le16(d, 28);
    std::uint32_t comp = Le32(d, 30), colors = Le32(d, 46);
    bool topDown = h < 0;
    if (h < 0) h = -h;
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768 || comp != 0) throw bad();
    if (bpp != 8 && bpp != 24 && bpp != 32) throw bad();
    size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
    if (dataOff > d.size() || stride * h > d.size() - dataOff) throw bad();
    std::vector<std::uint32_t> palette;
    if (bpp == 8) {
        size_t n = colors ? colors : 256;
        size_t po = 14 + hdr;
        if (n > 256 || po + n * 4 > d.size()) throw bad();
        for (size_t i = 0; i < n; ++i) palette.push_back(0xFF000000u | (Le32(d, po + i * 4) & 0xFFFFFF));
    }
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        const char* src = d.data() + dataOff + stride * size_t(topDown ? y : h - 1 - y);
        auto* row = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (bpp == 8) {
                std::uint8_t i = std::uint8_t(src[x]);
                row[x] = i < palette.size() ? palette[i] : 0xFF000000u;
            } else {
                const auto* p = reinterpret_cast<const std::uint8_t*>(src + x * (bpp / 8));
                row[x] = 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
            }
        }
    }
    *FImage = std::move(img);
    FCanvas->SetTarget(FImage.get());
    FPixelFormat = bpp == 8 ? pf8bit : bpp == 24 ? pf24bit : pf32bit;
    Changed();
}

void TBitmap::SaveToFile(const std::string& path) const {
    int w = GetWidth(), h = GetHeight();
    size_t stride = ((size_t(w) * 24 + 31) / 32) * 4;
    std::string d = "BM";
    Put32(d, std::uint32_t(54 + stride * h));
    Put32(d, 0);
    Put32(d, 54);
    Put32(d, 40);
    Put32(d, std::uint32_t(w));
    Put32(d, std::uint32_t(h));
    Put16(d, 1);
    Put16(d, 24);
    for (int i = 0; i < 6; ++i) Put32(d, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(FImage->constScanLine(y));
        size_t start = d.size();
        for (int x = 0; x < w; ++x) {
            d.push_back(char(row[x] & 0xFF));
            d.push_back(char((row[x] >> 8) & 0xFF));
            d.push_back(char((row[x] >> 16) & 0xFF));
        }
        d.append(stride - (d.size() - start), '\0');
    }
    std::ofstream f(path, std::ios::binary);
    if (!f || !f.write(d.data(), std::streamsize(d.size())))
        throw std::runtime_error("Cannot create file \"" + path + "\"");
}
