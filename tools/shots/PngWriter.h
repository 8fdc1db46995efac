#pragma once
// A minimal PNG writer for review pictures: 8-bit RGB, one zlib stream.
#include <string>

class TBitmap;

// False when the file cannot be written.
bool SavePng(const TBitmap& bitmap, const std::string& path);
