#include "marks/watermark.h"

#include <cstring>

#include "base/byte_order.h"
#include "marks/draw_on_page.h"

namespace zeseal::marks {
namespace {

}  // namespace

std::int32_t FillFromRaster(const std::uint8_t* pixelRows, BitmapHolder& holder) noexcept {
    if (!holder.created()) return 0;
    const std::int32_t width = holder.width();
    std::uint8_t* const* rows = holder.rows();
    if (holder.bitsPerPixel() == 8) {
        for (std::int32_t k = 0; k < holder.height(); ++k) {
            std::memcpy(rows[k], pixelRows + std::size_t(k) * std::size_t(width), std::size_t(width));
        }
        return 1;
    }
    const std::size_t rowBytes = 3 * std::size_t(width);
    for (std::int32_t k = 0; k < holder.height(); ++k) {
        const std::uint8_t* src = pixelRows + std::size_t(k) * rowBytes;
        std::uint8_t* dst = rows[k];
        for (std::int32_t m = 0; m < width; ++m) {
            dst[3 * m] = src[3 * m + 2];
            dst[3 * m + 1] = src[3 * m + 1];
            dst[3 * m + 2] = src[3 * m];
        }
    }
    return 1;
}

bool DrawWatermarkRaster(platform::PageDevice& page, const std::uint8_t* raster,
                         std::uint32_t rasterLength, std::int32_t x, std::int32_t y,
                         std::int32_t dpiBase) noexcept {
    constexpr std::int32_t kMarkRasterHeaderSize = 12;  // width, height, bits per pixel
    if (rasterLength < kMarkRasterHeaderSize) return false;
    const std::int32_t width = static_cast<std::int32_t>(base::ReadBe32(raster));
    const std::int32_t height = static_cast<std::int32_t>(base::ReadBe32(raster + 4));
    const std::int32_t bitsPerPixel = static_cast<std::int32_t>(base::ReadBe32(raster + 8));
    if (bitsPerPixel != 8 && bitsPerPixel != 24) return false;
    if (width < 1 || height < 1) return false;
    // The header must not ask for more pixels than the container delivered.
    const std::uint64_t needed = std::uint64_t(width) * std::uint64_t(height) * (bitsPerPixel / 8);
    if (needed > rasterLength - kMarkRasterHeaderSize) return false;

    BitmapHolder holder;
    if (holder.Create(width, height, bitsPerPixel) != BitmapHolder::kCreated) return false;
    FillFromRaster(raster + kMarkRasterHeaderSize, holder);  // answers 1: the holder exists
    return DrawOnPage(page, holder.header(), holder.pixels(), width, height, x, y, dpiBase,
                      kRasterCopy) != -1;
}

}  // namespace zeseal::marks
