#include "platform/image/Pictures.h"
#include "platform/ui/Graphics.h"

void TDecodedImage::AssignTo(TBitmap& bitmap) const {
    std::vector<std::uint8_t> rgba = GetPixels().ToRGBA();
    bitmap.LoadFromRGBA(GetWidth(), GetHeight(), rgba.data());
}
