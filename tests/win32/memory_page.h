// A white 24-bit DIB section selected into a memory device context: a page
// at the 96 dots per inch that a memory context reports, with its pixels
// readable as top-down RGB rows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace zeseal::testing {

class MemoryPage {
public:
    MemoryPage(std::int32_t width, std::int32_t height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, WHITENESS);
        GdiFlush();
    }
    ~MemoryPage() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    MemoryPage(const MemoryPage&) = delete;
    MemoryPage& operator=(const MemoryPage&) = delete;

    HDC dc() const { return dc_; }
    std::int32_t DotsPerInch() const { return GetDeviceCaps(dc_, LOGPIXELSX); }

    // Top-down rows of red, green, blue.
    std::vector<std::uint8_t> Rgb() const {
        GdiFlush();
        const std::size_t stride = (std::size_t(width_) * 3 + 3) & ~std::size_t{3};
        std::vector<std::uint8_t> rgb(std::size_t(width_) * std::size_t(height_) * 3);
        const auto* source = static_cast<const std::uint8_t*>(bits_);
        for (std::int32_t y = 0; y < height_; ++y) {
            for (std::int32_t x = 0; x < width_; ++x) {
                const std::uint8_t* p = source + stride * std::size_t(y) + std::size_t(x) * 3;
                std::uint8_t* q = &rgb[(std::size_t(y) * std::size_t(width_) + std::size_t(x)) * 3];
                q[0] = p[2];
                q[1] = p[1];
                q[2] = p[0];
            }
        }
        return rgb;
    }

private:
    std::int32_t width_;
    std::int32_t height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace zeseal::testing
