#pragma once
// The figures of a TrueType/OpenType font file that GDI text metrics are built from.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TFontFileMetrics {
    int unitsPerEm = 0;
    int winAscent = 0;   // OS/2 usWinAscent
    int winDescent = 0;  // OS/2 usWinDescent
    int typoAscender = 0, typoDescender = 0, typoLineGap = 0;
    int hheaAscender = 0, hheaDescender = 0, hheaLineGap = 0;
    int xAvgCharWidth = 0;
    int xMin = 0, xMax = 0;  // head bounding box
};

// Reads the head, hhea and OS/2 tables of a font file held in memory (the first font of a
// collection). Empty when the data is not a font or a table is missing or short.
std::optional<TFontFileMetrics> ParseFontFileMetrics(std::string_view data);
// The same from separately fetched tables (any of them may be empty).
std::optional<TFontFileMetrics> ParseFontTables(std::string_view head, std::string_view hhea,
                                                std::string_view os2);

// GDI's scaling of those figures: height < 0 asks for an em of -height pixels, height > 0 for
// a cell (ascent + descent) of height pixels.
struct TGdiFontSize {
    int emPixels = 0;
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
};
TGdiFontSize GdiScale(const TFontFileMetrics& m, int height);
