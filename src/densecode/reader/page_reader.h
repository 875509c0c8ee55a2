// Reading a dense code from a printed page's raster, where DrawWaterCode put
// it at a known position: the code's place on the page follows from that
// position and the page's resolution, exactly as the drawing computed it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "densecode/reader/reader.h"

namespace zeseal::densecode {

// A page raster, top row first: 1 byte per pixel (grey) or 3 (red, green,
// blue). rowBytes is the distance between rows.
struct DensePageRaster {
    const std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t channels = 3;
    std::size_t rowBytes = 0;
    std::int32_t dpiX = 0;
    std::int32_t dpiY = 0;
    std::int32_t clipLeft = 0;  // the printable area's left edge, where x = 0 puts the code
};

// Samples the code drawn at (x, y) in 1/300 inch (the position given to the
// drawing) and decodes it. Each code pixel covers a block of page pixels at
// 300 dots per inch and above; a cell is black when at least three quarters
// of its block is dark, white when at most a quarter is, and unsure (an
// erasure for the decoder) in between; so is a cell beyond the page's
// edges, so a code cut off by the page can still be read when enough of it
// is left. Refuses a page below 300 dots per inch (kResolutionTooLow), a
// raster that is missing or whose rows are shorter than its width
// (kNoImage), and a position at which no part of the code is on the page
// (kOutsidePage). pixels must hold height rows of rowBytes bytes.
DenseCodeReading ReadDenseCodeFromPage(const DensePageRaster& page, std::int32_t x, std::int32_t y);

}  // namespace zeseal::densecode
