// Helpers shared by the tests: owned pages and Base64 containers.
#pragma once

#include <zeseal/zeseal_posix.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "authoring/container_writer.h"

namespace zeseal::testing {

// A white page that is destroyed with the object.
class OwnedPage {
public:
    OwnedPage(std::int32_t width, std::int32_t height, std::int32_t dpi)
        : width_(width), height_(height), dc_(iZeHostPageCreate(width, height, dpi, dpi)) {}
    ~OwnedPage() {
        if (dc_ != nullptr) iZeHostPageDestroy(dc_);
    }
    OwnedPage(const OwnedPage&) = delete;
    OwnedPage& operator=(const OwnedPage&) = delete;

    HDC dc() const { return dc_; }
    std::vector<std::uint8_t> Rgb() const {
        std::vector<std::uint8_t> rgb(std::size_t(width_) * std::size_t(height_) * 3);
        iZeHostPageRead(dc_, rgb.data(), static_cast<std::int32_t>(rgb.size()));
        return rgb;
    }
    // One character per pixel of the rectangle: '#' black, '.' white, 'r'
    // red, '?' anything else. Rows are joined with '\n'.
    std::string Art(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) const {
        const auto rgb = Rgb();
        std::string art;
        for (std::int32_t row = y; row < y + h; ++row) {
            if (row != y) art += '\n';
            for (std::int32_t col = x; col < x + w; ++col) {
                const std::uint8_t* p = &rgb[(std::size_t(row) * std::size_t(width_) + std::size_t(col)) * 3];
                if (p[0] == 0 && p[1] == 0 && p[2] == 0) art += '#';
                else if (p[0] == 255 && p[1] == 255 && p[2] == 255) art += '.';
                else if (p[0] == 255 && p[1] == 0 && p[2] == 0) art += 'r';
                else art += '?';
            }
        }
        return art;
    }
    // The number of pixels that are not white.
    std::size_t InkedPixels() const {
        const auto rgb = Rgb();
        std::size_t n = 0;
        for (std::size_t i = 0; i < rgb.size(); i += 3) {
            if (rgb[i] != 255 || rgb[i + 1] != 255 || rgb[i + 2] != 255) ++n;
        }
        return n;
    }

private:
    std::int32_t width_;
    std::int32_t height_;
    HDC dc_;
};

// Base64 text of a container that carries picture.
inline std::string ContainerText(std::span<const std::uint8_t> picture, std::size_t maxShare = 44999) {
    const auto container = authoring::PackContainer(picture, maxShare);
    return authoring::EncodeBase64(container);
}

// Buffers sized as the mark exports ask: work for the decoded text, raster
// for the picture.
struct MarkBuffers {
    explicit MarkBuffers(const std::string& text, std::size_t rasterSize)
        : work(text.size() / 4 * 3 + 3), raster(rasterSize) {}
    std::vector<std::uint8_t> work;
    std::vector<std::uint8_t> raster;
};

}  // namespace zeseal::testing
