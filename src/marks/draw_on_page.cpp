#include "marks/draw_on_page.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "marks/bitmap_holder.h"
#include "marks/bmp_image.h"

namespace zeseal::marks {
namespace {

// trunc(v + 0.5): non-negative values round half up, negative ones move one
// step toward zero. Every coordinate passes through this on its way out.
// Positions past the device's coordinate range saturate at its ends, which
// lie off every page: such a mark is placed, and nothing of it shows.
std::int32_t HandOver(double v) noexcept {
    constexpr auto kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr auto kHighest = std::numeric_limits<std::int32_t>::max();
    const double rounded = std::trunc(v + 0.5);
    if (!(rounded >= double(kLowest))) return kLowest;  // NaN included
    if (rounded > double(kHighest)) return kHighest;
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

Placement PlaceOnPage(std::int32_t devDpiX, std::int32_t devDpiY, std::int32_t clipLeft,
                      std::int32_t srcWidth, std::int32_t srcHeight, std::int32_t x, std::int32_t y,
                      std::int32_t dpiBase) noexcept {
    const double sx = double(devDpiX) / double(dpiBase);
    const double sy = double(devDpiY) / double(dpiBase);
    const double destX = x != 0 ? std::trunc((double(x) + 30.0) * sx + 0.5) : double(clipLeft);
    const double destY = std::trunc(double(y) * sy + 0.5);
    const double destWidth = std::trunc(double(srcWidth) * sx);
    const double destHeight = std::trunc(double(srcHeight) * sy);
    return {HandOver(destX), HandOver(destY), HandOver(destWidth), HandOver(destHeight)};
}

namespace {

// DrawOnPage without its guard.
std::int32_t Draw(platform::PageDevice& page, const std::uint8_t* infoHeader,
                  const std::uint8_t* bits, std::int32_t srcWidth, std::int32_t srcHeight,
                  std::int32_t x, std::int32_t y, std::int32_t dpiBase, std::int32_t rasterMode) {
    const std::int32_t devX = page.DotsPerInchX();
    const std::int32_t devY = page.DotsPerInchY();
    // COLORONCOLOR drops the rows and columns it leaves out when shrinking.
    // The OR-merging mode would erase fine black dots on printers below the
    // mark's own resolution. The previous mode is not needed, nor restored.
    page.SetStretchMode(platform::kStretchColorOnColor);
    const platform::PageRect clip = page.ClipBox();

    const Placement at = PlaceOnPage(devX, devY, clip.left, srcWidth, srcHeight, x, y, dpiBase);
    platform::DibTransfer t;
    t.destX = at.destX;
    t.destY = at.destY;
    t.destWidth = at.destWidth;
    t.destHeight = at.destHeight;
    t.srcX = 0;
    t.srcY = 0;
    t.srcWidth = srcWidth;
    t.srcHeight = srcHeight;
    t.bits = bits;
    t.info = infoHeader;
    t.rop = rasterMode == kRasterCopy ? platform::kRopSourceCopy : platform::kRopSourceAnd;
    return page.StretchDib(t);
}

}  // namespace

std::int32_t DrawOnPage(platform::PageDevice& page, const std::uint8_t* infoHeader,
                        const std::uint8_t* bits, std::int32_t srcWidth, std::int32_t srcHeight,
                        std::int32_t x, std::int32_t y, std::int32_t dpiBase,
                        std::int32_t rasterMode) noexcept {
    if (dpiBase <= 0) return -1;
    // The device may allocate while drawing (scaling tables, scan lines);
    // running out of memory fails this drawing, never the host process.
    try {
        return Draw(page, infoHeader, bits, srcWidth, srcHeight, x, y, dpiBase, rasterMode);
    } catch (...) {
        return -1;
    }
}

bool DrawBmpImage(platform::PageDevice& page, const std::uint8_t* image, std::size_t imageLength,
                  std::int32_t x, std::int32_t y, std::int32_t dpiBase) {
    // Set for what follows; the previous mode is not needed, nor restored.
    page.SetBackgroundMode(platform::kBackgroundTransparent);
    if (image == nullptr || imageLength < 30) return false;
    // The pixels start at a fixed offset by depth; the file header's own
    // pixel offset is not consulted.
    BmpPicture picture;
    if (!LocateBmpPicture(image, imageLength, FixedPixelOffset(image), picture)) return false;
    return DrawOnPage(page, picture.info, picture.bits, picture.width, picture.height, x, y,
                      dpiBase, kRasterAnd) != -1;
}

}  // namespace zeseal::marks
