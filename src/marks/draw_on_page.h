// Places a bitmap on a printer page in physical units.
//
// Positions and sizes are given in units of 1/dpiBase inch and scaled to the
// device's resolution, so a mark keeps its printed size on any printer. x is
// measured from the printable area's left edge plus a margin of 30 units;
// x = 0 means the edge itself.
#pragma once

#include <cstddef>
#include <cstdint>

#include "seams/page_device.h"

namespace zeseal::marks {

inline constexpr std::int32_t kRasterCopy = 1;  // the picture replaces the page area
inline constexpr std::int32_t kRasterAnd = 2;   // white leaves the page, dark prints

// The device rectangle a picture of srcWidth x srcHeight lands on.
struct Placement {
    std::int32_t destX = 0;
    std::int32_t destY = 0;
    std::int32_t destWidth = 0;
    std::int32_t destHeight = 0;
};

Placement PlaceOnPage(std::int32_t devDpiX, std::int32_t devDpiY, std::int32_t clipLeft,
                      std::int32_t srcWidth, std::int32_t srcHeight, std::int32_t x, std::int32_t y,
                      std::int32_t dpiBase) noexcept;

// Returns the number of scan lines drawn, or -1 when drawing fails; a device
// that throws (out of memory while scaling) fails the drawing.
std::int32_t DrawOnPage(platform::PageDevice& page, const std::uint8_t* infoHeader,
                        const std::uint8_t* bits, std::int32_t srcWidth, std::int32_t srcHeight,
                        std::int32_t x, std::int32_t y, std::int32_t dpiBase,
                        std::int32_t rasterMode) noexcept;

// Draws a BMP file image held in memory, ANDed onto the page. The rows start
// at the fixed offset of the bit count at file offset 28 (54, 1078 or 62),
// whatever the file header says. imageLength is the number of bytes the
// image may occupy; an image whose headers, colour table or pixels would
// reach past it, or that LocateBmpPicture refuses, is not drawn. Returns
// true when drawn. Passes on what the device throws when setting its
// background mode.
bool DrawBmpImage(platform::PageDevice& page, const std::uint8_t* image, std::size_t imageLength,
                  std::int32_t x, std::int32_t y, std::int32_t dpiBase);

}  // namespace zeseal::marks
