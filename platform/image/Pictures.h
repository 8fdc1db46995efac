#pragma once
// The picture classes of the class library: TPngImage and TJPEGImage load a file or a stream
// and hand their pixels to a bitmap. A file that cannot be read raises EFOpenError; a picture
// that cannot be decoded raises EInvalidGraphic and leaves the previous picture in place.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/image/PixelImage.h"
#include "platform/rtl/Classes.h"

class TStream;
class TBitmap;

class TDecodedImage : public TObject {
public:
    void LoadFromFile(const std::string& path);
    // Reads from the stream's position to its end.
    void LoadFromStream(TStream& stream);
    void LoadFromBytes(const std::uint8_t* data, std::size_t size);

    int GetWidth() const { return FImage.Width; }
    int GetHeight() const { return FImage.Height; }
    bool GetEmpty() const { return FImage.Empty(); }
    const TPixelImage& GetPixels() const { return FImage; }
    // Gives the bitmap the picture's size and pixels (transparency kept).
    void AssignTo(TBitmap& bitmap) const;

protected:
    virtual TPixelImage Decode(const std::uint8_t* data, std::size_t size) const = 0;

private:
    TPixelImage FImage;
};

class TPngImage : public TDecodedImage {
protected:
    TPixelImage Decode(const std::uint8_t* data, std::size_t size) const override;
};

class TJPEGImage : public TDecodedImage {
protected:
    TPixelImage Decode(const std::uint8_t* data, std::size_t size) const override;
};
