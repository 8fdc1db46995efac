#include "platform/ui/FontTables.h"

#include <cmath>

namespace {

unsigned U16(std::string_view d, size_t off) {
    return (static_cast<unsigned char>(d[off]) << 8) | static_cast<unsigned char>(d[off + 1]);
}
int S16(std::string_view d, size_t off) { return static_cast<std::int16_t>(U16(d, off)); }
std::uint32_t U32(std::string_view d, size_t off) {
    return (std::uint32_t(U16(d, off)) << 16) | U16(d, off + 2);
}

std::string_view FindTable(std::string_view data, size_t dirOffset, const char* tag) {
    if (data.size() < dirOffset + 12) return {};
    unsigned count = U16(data, dirOffset + 4);
    for (unsigned i = 0; i < count; ++i) {
        size_t rec = dirOffset + 12 + 16 * size_t(i);
        if (rec + 16 > data.size()) return {};
        if (data.substr(rec, 4) != std::string_view(tag, 4)) continue;
        std::uint32_t off = U32(data, rec + 8), len = U32(data, rec + 12);
        if (off > data.size() || len > data.size() - off) return {};
        return data.substr(off, len);
    }
    return {};
}

int RoundHalfUp(double v) { return static_cast<int>(std::floor(v + 0.5)); }

}  // namespace

std::optional<TFontFileMetrics> ParseFontTables(std::string_view head, std::string_view hhea,
                                                std::string_view os2) {
    if (head.size() < 54 || hhea.size() < 36 || os2.size() < 78) return std::nullopt;
    TFontFileMetrics m;
    m.unitsPerEm = static_cast<int>(U16(head, 18));
    m.xMin = S16(head, 36);
    m.xMax = S16(head, 40);
    m.hheaAscender = S16(hhea, 4);
    m.hheaDescender = S16(hhea, 6);
    m.hheaLineGap = S16(hhea, 8);
    m.xAvgCharWidth = S16(os2, 2);
    m.typoAscender = S16(os2, 68);
    m.typoDescender = S16(os2, 70);
    m.typoLineGap = S16(os2, 72);
    m.winAscent = static_cast<int>(U16(os2, 74));
    m.winDescent = static_cast<int>(U16(os2, 76));
    if (m.unitsPerEm <= 0) return std::nullopt;
    return m;
}

std::optional<TFontFileMetrics> ParseFontFileMetrics(std::string_view data) {
    if (data.size() < 12) return std::nullopt;
    size_t dir = 0;
    if (data.substr(0, 4) == "ttcf") {
        if (data.size() < 16) return std::nullopt;
        dir = U32(data, 12);
    }
    return ParseFontTables(FindTable(data, dir, "head"), FindTable(data, dir, "hhea"),
                           FindTable(data, dir, "OS/2"));
}

TGdiFontSize GdiScale(const TFontFileMetrics& m, int height) {
    TGdiFontSize s;
    int cellUnits = m.winAscent + m.winDescent;
    if (height == 0) height = -11;  // the default font's height
    if (cellUnits <= 0 || m.unitsPerEm <= 0) return s;
    if (height < 0) {
        s.emPixels = -height;
        double scale = double(s.emPixels) / m.unitsPerEm;
        s.ascent = RoundHalfUp(m.winAscent * scale);
        s.descent = RoundHalfUp(m.winDescent * scale);
    } else {
        // A cell height: the em follows from the cell, and the cell is exactly what was asked.
        s.emPixels = RoundHalfUp(double(height) * m.unitsPerEm / cellUnits);
        s.ascent = RoundHalfUp(double(height) * m.winAscent / cellUnits);
        s.descent = height - s.ascent;
    }
    double scale = double(s.emPixels) / m.unitsPerEm;
    s.internalLeading = s.ascent + s.descent - s.emPixels;
    s.aveCharWidth = RoundHalfUp(m.xAvgCharWidth * scale);
    s.maxCharWidth = RoundHalfUp((m.xMax - m.xMin) * scale);
    return s;
}
