// Reads a PNG file back as top-down RGB rows, for tests of printed pages.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zeseal::testing {

struct RgbImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgb;  // 3 x width bytes a row

    const std::uint8_t* At(std::int32_t x, std::int32_t y) const {
        return rgb.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    }
};

// An empty image when the file cannot be read.
inline RgbImage ReadRgbPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    RgbImage out;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return out;
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return {};
    }
    out.width = std::int32_t(image.width);
    out.height = std::int32_t(image.height);
    return out;
}

}  // namespace zeseal::testing
