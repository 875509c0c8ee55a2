// The GDI drawing calls of the test page done on an RgbPage: a rectangle
// outlined by a solid pen and one line of text in a named face.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/page_device.h"
#include "platform/posix/rgb_page.h"

namespace zeseal::platform::posix {

// Fills rect (right and bottom outside) with the COLORREF colour, clipped to
// the page.
void FillRgbRectangle(RgbPage& page, const PageRect& rect, std::uint32_t colour);

// Fills the rectangle from (left, top) to (right, bottom), both outside,
// white, then draws its outline: a band of pen.width pixels centred on the
// columns left and right - 1 and the rows top and bottom - 1. A rectangle
// with no inside (right <= left or bottom <= top) draws nothing.
void DrawOutlinedRectangle(RgbPage& page, const PageRect& rect, const PagePen& pen);

// Writes text (code page 949) in black with its reference point at (x, y),
// as TextOut does for the alignment flags; with an opaque background the
// text's cell is filled white first. False when no face can be had for the
// font.
bool DrawTextLine(RgbPage& page, std::int32_t x, std::int32_t y, std::string_view text,
                  const PageFont& font, std::uint32_t alignment);

}  // namespace zeseal::platform::posix
