#include "scan_formats.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include <jpeglib.h>
#include <tiffio.h>

#include "tool_error.h"

namespace zeseal::tool {
namespace {

// libtiff reads the file from memory through these.
struct TiffSource {
    std::span<const std::uint8_t> bytes;
    toff_t at = 0;
};

tsize_t TiffRead(thandle_t handle, tdata_t buffer, tsize_t size) {
    auto* source = static_cast<TiffSource*>(handle);
    if (size < 0 || source->at >= source->bytes.size()) return 0;
    const auto n = std::min<std::uint64_t>(std::uint64_t(size), source->bytes.size() - source->at);
    std::memcpy(buffer, source->bytes.data() + source->at, std::size_t(n));
    source->at += n;
    return tsize_t(n);
}
tsize_t TiffWrite(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t TiffSeek(thandle_t handle, toff_t offset, int whence) {
    auto* source = static_cast<TiffSource*>(handle);
    std::uint64_t base = whence == SEEK_CUR ? source->at : whence == SEEK_END ? source->bytes.size() : 0;
    source->at = base + offset;
    return source->at;
}
int TiffClose(thandle_t) { return 0; }
toff_t TiffSize(thandle_t handle) { return static_cast<TiffSource*>(handle)->bytes.size(); }
int TiffMap(thandle_t, tdata_t*, toff_t*) { return 0; }
void TiffUnmap(thandle_t, tdata_t, toff_t) {}

std::int32_t Dpi(double value, int unit) {
    // Unit 2 is the inch, 3 the centimetre.
    if (!(value > 0) || value > 100000) return 0;
    if (unit == 3) value *= 2.54;
    return unit == 2 || unit == 3 ? static_cast<std::int32_t>(value + 0.5) : 0;
}

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

void JpegFails(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->back, 1);
}

void JpegQuiet(j_common_ptr, int) {}

}  // namespace

bool LooksLikeTiff(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 4 && ((bytes[0] == 'I' && bytes[1] == 'I' && bytes[2] == 42 && bytes[3] == 0) ||
                                 (bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && bytes[3] == 42));
}

bool LooksLikeJpeg(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

Image DecodeTiff(std::span<const std::uint8_t> bytes, std::string_view name) {
    const std::string where(name);
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TiffSource source{bytes};
    TIFF* tiff = TIFFClientOpen(where.c_str(), "rm", &source, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize,
                                TiffMap, TiffUnmap);
    if (tiff == nullptr) throw ToolError(where + ": not a TIFF file libtiff can read");
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    try {
        CheckImageSize(width, height, 4, name);
    } catch (...) {
        TIFFClose(tiff);
        throw;
    }
    float xres = 0;
    std::uint16_t unit = 2;
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &xres);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    std::vector<std::uint32_t> rgba(std::size_t(width) * height);
    const int ok = TIFFReadRGBAImageOriented(tiff, width, height, rgba.data(), ORIENTATION_TOPLEFT, 0);
    TIFFClose(tiff);
    if (!ok) throw ToolError(where + ": the TIFF picture cannot be decoded");
    Image image;
    image.width = std::int32_t(width);
    image.height = std::int32_t(height);
    image.channels = 3;
    image.dpi = Dpi(xres, unit);
    image.pixels.resize(rgba.size() * 3);
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        image.pixels[3 * i] = std::uint8_t(TIFFGetR(rgba[i]));
        image.pixels[3 * i + 1] = std::uint8_t(TIFFGetG(rgba[i]));
        image.pixels[3 * i + 2] = std::uint8_t(TIFFGetB(rgba[i]));
    }
    return image;
}

Image DecodeJpeg(std::span<const std::uint8_t> bytes, std::string_view name) {
    const std::string where(name);
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegFails;
    errors.manager.emit_message = JpegQuiet;
    // Filled only before the jump back can happen, and read after it.
    Image image;
    if (setjmp(errors.back) != 0) {
        jpeg_destroy_decompress(&info);
        throw ToolError(where + ": the JPEG picture cannot be decoded (" + errors.message + ")");
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    const int channels = info.num_components == 1 ? 1 : 3;
    bool fits = info.image_width >= 1 && info.image_height >= 1 && info.image_width <= std::uint32_t(kMaxImageSide) &&
                info.image_height <= std::uint32_t(kMaxImageSide) &&
                std::uint64_t(info.image_width) * info.image_height * std::uint64_t(channels) <= kMaxPictureBytes;
    if (!fits) {
        const std::uint32_t w = info.image_width, h = info.image_height;
        jpeg_destroy_decompress(&info);
        CheckImageSize(w, h, channels, name);
        throw ToolError(where + ": the JPEG picture is too large");
    }
    jpeg_start_decompress(&info);
    image.width = std::int32_t(info.output_width);
    image.height = std::int32_t(info.output_height);
    image.channels = channels;
    image.dpi = info.density_unit == 1 ? Dpi(info.X_density, 2) : info.density_unit == 2 ? Dpi(info.X_density, 3) : 0;
    image.pixels.resize(image.RowBytes() * std::size_t(image.height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.pixels.data() + std::size_t(info.output_scanline) * image.RowBytes();
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

}  // namespace zeseal::tool
