#pragma once
// Writes a bitmap as an 8-bit RGB PNG file; false when the file cannot be written.
#include <string>

class TBitmap;

bool WriteGalleryPng(const TBitmap& bitmap, const std::string& path);
