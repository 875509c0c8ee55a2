// A stretched transfer of a device-independent bitmap onto an RGB page that
// picks source pixels as GDI does in COLORONCOLOR mode.
//
// Per axis, with S source and D destination pixels:
//  - enlarging (D >= S): destination d shows source s = ceil((2d+1)S / 2D) - 1;
//  - shrinking (D < S): source s lands on d = ceil((2s+1)D / 2S) - 1; of the
//    sources landing on one d, the last wins across and the first (the one
//    nearest the picture's top) wins down.
#pragma once

#include <cstdint>

#include "seams/page_device.h"
#include "raster/rgb_page.h"

namespace zeseal::raster {

enum class Axis { Across, Down };

// The source pixel that destination pixel d shows (0 <= d < D).
std::int64_t SourceForDestination(std::int64_t d, std::int64_t sourceCount,
                                  std::int64_t destCount, Axis axis) noexcept;

// Returns the number of scan lines transferred, or -1 for a header, depth,
// compression or size the transfer does not take, or when memory runs out.
// Clips to the page. Its scratch storage is frame heap, so a fault caught
// while it reads the caller's pixels loses nothing.
std::int32_t StretchDibOntoPage(RgbPage& page, const platform::DibTransfer& transfer);

}  // namespace zeseal::raster
