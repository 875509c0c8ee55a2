#include "platform/posix/page/png_writer.h"

#include <png.h>

#include <csetjmp>

#include "platform/posix/files/atomic_file.h"

namespace zeseal::platform::posix {
namespace {

std::uint32_t PixelsPerMetre(std::int32_t dpi) {
    return static_cast<std::uint32_t>(dpi * 39.3700787 + 0.5);
}

bool WritePng(std::FILE* file, std::int32_t width, std::int32_t height, const std::uint8_t* rgb,
              std::int32_t dpiX, std::int32_t dpiY, PngCompression compression) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    if (compression == PngCompression::kFast) {
        png_set_compression_level(png, 1);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    } else {
        png_set_compression_level(png, 6);
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, PixelsPerMetre(dpiX), PixelsPerMetre(dpiY), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (std::int32_t y = 0; y < height; ++y) {
        png_write_row(png, rgb + std::size_t(y) * std::size_t(width) * 3);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool SaveRgbPng(const std::string& path, std::int32_t width, std::int32_t height,
                const std::uint8_t* rgb, std::int32_t dpiX, std::int32_t dpiY,
                PngCompression compression) {
    return WriteFileAtomically(path, [&](std::FILE* file) {
        return WritePng(file, width, height, rgb, dpiX, dpiY, compression);
    });
}

}  // namespace zeseal::platform::posix
