#include "platform/image/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg must not return from this; the jump leaves only plain data behind.
void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void QuietMessage(j_common_ptr) {}

struct RawResult {
    int width = 0, height = 0, components = 0;
    bool cmyk = false;
    bool adobeInverted = false;
};

// Only plain data lives in this frame, so the jump out of libjpeg skips no destructor.
// `pixels` belongs to the caller; it is resized before any row is read.
bool DecodeRaw(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* pixels, RawResult* out,
               ErrorManager* err) {
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&err->pub);
    err->pub.error_exit = ErrorExit;
    err->pub.output_message = QuietMessage;
    err->message[0] = '\0';
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
        cinfo.out_color_space = JCS_CMYK;
        out->cmyk = true;
        out->adobeInverted = cinfo.saw_Adobe_marker;
    } else {
        cinfo.out_color_space = JCS_RGB;
    }
    jpeg_calc_output_dimensions(&cinfo);
    if (cinfo.output_width == 0 || cinfo.output_height == 0 || cinfo.output_width > static_cast<unsigned>(kMaxImageSide) ||
        cinfo.output_height > static_cast<unsigned>(kMaxImageSide) ||
        static_cast<std::int64_t>(cinfo.output_width) * cinfo.output_height > kMaxImagePixels) {
        std::snprintf(err->message, sizeof err->message, "image too large (%ux%u)", cinfo.output_width,
                      cinfo.output_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    out->width = static_cast<int>(cinfo.output_width);
    out->height = static_cast<int>(cinfo.output_height);
    out->components = cinfo.output_components;
    std::size_t stride = static_cast<std::size_t>(out->width) * out->components;
    pixels->assign(stride * out->height, 0x80);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels->data() + stride * cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

TPixelImage DecodeJpeg(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || data == nullptr) throw EInvalidGraphic("Invalid JPEG image: empty file");
    ErrorManager err{};
    RawResult raw;
    std::vector<std::uint8_t> pixels;
    if (!DecodeRaw(data, size, &pixels, &raw, &err)) throw EInvalidGraphic(std::string("Invalid JPEG image: ") + err.message);
    TPixelImage img;
    img.Width = raw.width;
    img.Height = raw.height;
    img.Pixels.resize(static_cast<std::size_t>(raw.width) * raw.height);
    for (std::size_t i = 0; i < img.Pixels.size(); ++i) {
        const std::uint8_t* p = pixels.data() + i * raw.components;
        if (raw.cmyk) {
            // Adobe writes CMYK inverted; plain CMYK counts ink, so invert it here.
            int c = p[0], m = p[1], y = p[2], k = p[3];
            if (!raw.adobeInverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
            img.Pixels[i] = MakeArgb(0xFF, static_cast<std::uint8_t>(c * k / 255), static_cast<std::uint8_t>(m * k / 255),
                                     static_cast<std::uint8_t>(y * k / 255));
        } else if (raw.components == 3) {
            img.Pixels[i] = MakeArgb(0xFF, p[0], p[1], p[2]);
        } else {
            img.Pixels[i] = MakeArgb(0xFF, p[0], p[0], p[0]);
        }
    }
    return img;
}
