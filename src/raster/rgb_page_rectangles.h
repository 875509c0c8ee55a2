// Rectangles on an RgbPage as GDI draws them: a solid fill, and the outline
// of a solid pen around a white inside.
#pragma once

#include <cstdint>

#include "seams/page_device.h"
#include "raster/rgb_page.h"

namespace zeseal::raster {

// Fills rect (right and bottom outside) with the COLORREF colour, clipped to
// the page.
void FillRgbRectangle(RgbPage& page, const platform::PageRect& rect, std::uint32_t colour);

// Fills the rectangle from (left, top) to (right, bottom), both outside,
// white, then draws its outline: a band of pen.width pixels centred on the
// columns left and right - 1 and the rows top and bottom - 1. A rectangle
// with no inside (right <= left or bottom <= top) draws nothing.
void DrawOutlinedRectangle(RgbPage& page, const platform::PageRect& rect, const platform::PagePen& pen);

}  // namespace zeseal::raster
