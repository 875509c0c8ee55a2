// The watermark: a MarkRaster picture copied over the page area it covers.
//
// MarkRaster: width, height and bits per pixel (8 or 24) as big-endian 32-bit
// words, then the rows top first without padding: one grey level per pixel,
// or red, green, blue.
#pragma once

#include <cstdint>

#include "marks/bitmap_holder.h"
#include "seams/page_device.h"

namespace zeseal::marks {

// Fills the holder's rows from MarkRaster pixel rows; 24-bit pixels turn from
// red, green, blue into the bitmap's blue, green, red. Returns 1 when the
// holder is created, 0 otherwise.
std::int32_t FillFromRaster(const std::uint8_t* pixelRows, BitmapHolder& holder) noexcept;

// Draws a MarkRaster of rasterLength bytes at (x, y) in 1/dpiBase inch.
// Fails for a depth other than 8 or 24, a size below 1, a header asking for
// more pixel bytes than rasterLength holds, or a failed transfer.
bool DrawWatermarkRaster(platform::PageDevice& page, const std::uint8_t* raster,
                         std::uint32_t rasterLength, std::int32_t x, std::int32_t y,
                         std::int32_t dpiBase) noexcept;

}  // namespace zeseal::marks
