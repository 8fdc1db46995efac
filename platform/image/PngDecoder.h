#pragma once
// PNG decoding on zlib: grey, grey with alpha, RGB, RGBA and palette images of every bit
// depth the format allows (1, 2, 4, 8 and 16; 16-bit samples round to 8 bits), with
// tRNS transparency; every chunk's CRC is checked. Interlaced images are refused. Any fault
// raises EInvalidGraphic with a message saying what is wrong.
#include <cstddef>
#include <cstdint>

#include "platform/image/PixelImage.h"

TPixelImage DecodePng(const std::uint8_t* data, std::size_t size);
bool IsPngSignature(const std::uint8_t* data, std::size_t size);
