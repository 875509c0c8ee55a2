// Helpers of the BMP fuzz targets: the pages they draw on, and the rule the
// library's result must follow.
#pragma once

#include <zeseal/zeseal_posix.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "marks/bmp_image.h"

namespace zeseal::fuzz {

// The largest picture bytes a BMP target passes on; larger inputs are not run.
inline constexpr std::size_t kMaxBmpInput = 1u << 20;

// A page kept for the whole run: one picture pixel per device pixel at the
// logo's own resolution, and one enlarged 600/72 times.
struct FuzzPage {
    HDC dc = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;

    std::vector<std::uint8_t> Read() const {
        std::vector<std::uint8_t> rgb(std::size_t(width) * std::size_t(height) * 3);
        const std::int32_t read = iZeHostPageRead(dc, rgb.data(), static_cast<std::int32_t>(rgb.size()));
        ZESEAL_FUZZ_CHECK(read == static_cast<std::int32_t>(rgb.size()));
        return rgb;
    }
};

inline const FuzzPage& PageFor(int which) {
    static FuzzPage pages[2];
    FuzzPage& page = pages[which & 1];
    if (page.dc == nullptr) {
        page.width = (which & 1) ? 96 : 64;
        page.height = page.width;
        const std::int32_t dpi = (which & 1) ? 600 : 72;
        page.dc = iZeHostPageCreate(page.width, page.height, dpi, dpi);
        ZESEAL_FUZZ_CHECK(page.dc != nullptr);
    }
    return page;
}

// Whether a picture of imageLength bytes with its rows at pixelOffset is one
// the library draws.
inline bool Drawable(const std::uint8_t* image, std::size_t imageLength, std::size_t pixelOffset) {
    marks::BmpPicture picture;
    return marks::LocateBmpPicture(image, imageLength, pixelOffset, picture);
}

// ANDing never sets a bit the page did not have; a failure leaves it alone.
inline void CheckPageAfter(const std::vector<std::uint8_t>& before,
                           const std::vector<std::uint8_t>& after, bool drawn) {
    if (!drawn) ZESEAL_FUZZ_CHECK(before == after);
    ZESEAL_FUZZ_CHECK(after.size() == before.size());
    ZESEAL_FUZZ_CHECK(OnlyClearsBits(before.data(), after.data(), after.size()));
}

}  // namespace zeseal::fuzz
