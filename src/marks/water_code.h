// The water code: a dense black-and-white code of 8-bit grey pixels, stored
// bottom row first as the bitmap's own pixel store, ANDed onto the page so
// that only its dark pixels print.
#pragma once

#include <cstddef>
#include <cstdint>

#include "seams/page_device.h"

namespace zeseal::marks {

struct WaterCodeShape {
    std::int32_t width = 0;
    std::int32_t rows = 0;
};

// Layout 1 has 248 rows (1928 columns by default); any other layout 128 rows
// (2528 columns by default). The width is byteCount / rows, or the default
// when that is 0. byteCount must not be negative.
WaterCodeShape WaterCodeShapeOf(std::int32_t layout, std::int32_t byteCount) noexcept;

// Draws the code at (x, y) in 1/dpiBase inch. available is the number of
// pixel bytes that may be read; fails when the pixels are missing, byteCount
// is negative, the code needs more than available bytes, or drawing fails.
bool DrawWaterCode(platform::PageDevice& page, const std::uint8_t* pixels, std::size_t available,
                   std::int32_t x, std::int32_t y, std::int32_t layout, std::int32_t dpiBase,
                   std::int32_t byteCount) noexcept;

}  // namespace zeseal::marks
