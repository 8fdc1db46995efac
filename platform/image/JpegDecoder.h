#pragma once
// JPEG decoding on libjpeg. Errors of the library raise EInvalidGraphic with its message (the
// library never ends the process); its warnings, such as data that ends early, leave the
// rest of the picture grey, as viewers show it. Grey, colour and CMYK pictures are read.
#include <cstddef>
#include <cstdint>

#include "platform/image/PixelImage.h"

TPixelImage DecodeJpeg(const std::uint8_t* data, std::size_t size);
