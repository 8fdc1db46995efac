#include "platform/image/Pictures.h"

#include "platform/image/JpegDecoder.h"
#include "platform/image/PngDecoder.h"
#include "platform/rtl/Streams.h"

void TDecodedImage::LoadFromFile(const std::string& path) {
    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TDecodedImage::LoadFromStream(TStream& stream) {
    std::int64_t left = stream.GetSize() - stream.GetPosition();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(left > 0 ? left : 0));
    bytes.resize(static_cast<std::size_t>(stream.Read(bytes.data(), static_cast<std::int64_t>(bytes.size()))));
    LoadFromBytes(bytes.data(), bytes.size());
}

void TDecodedImage::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
    FImage = Decode(data, size);
}

TPixelImage TPngImage::Decode(const std::uint8_t* data, std::size_t size) const { return DecodePng(data, size); }

TPixelImage TJPEGImage::Decode(const std::uint8_t* data, std::size_t size) const { return DecodeJpeg(data, size); }
