#pragma once
// Writes a bitmap as an 8-bit PNG file, RGBA when it has an alpha channel and RGB otherwise;
// false when the file cannot be written.
#include <string>

class TBitmap;

bool WriteGalleryPng(const TBitmap& bitmap, const std::string& path);
