// One line of text in a named face on an RgbPage, as TextOut draws it.
#pragma once

#include <cstdint>
#include <string_view>

#include "seams/page_device.h"
#include "raster/rgb_page.h"

namespace zeseal::platform::posix {

// Writes text (code page 949) in black with its reference point at (x, y),
// as TextOut does for the alignment flags; with an opaque background the
// text's cell is filled white first. False when no face can be had for the
// font.
bool DrawTextLine(raster::RgbPage& page, std::int32_t x, std::int32_t y, std::string_view text,
                  const PageFont& font, std::uint32_t alignment);

}  // namespace zeseal::platform::posix
