#include "marks/water_code.h"

#include <cstring>

#include "marks/bitmap_holder.h"
#include "marks/draw_on_page.h"

namespace zeseal::marks {

WaterCodeShape WaterCodeShapeOf(std::int32_t layout, std::int32_t byteCount) noexcept {
    const std::int32_t rows = layout == 1 ? 248 : 128;
    std::int32_t width = byteCount / rows;
    if (width == 0) width = layout == 1 ? 1928 : 2528;
    return {width, rows};
}

bool DrawWaterCode(platform::PageDevice& page, const std::uint8_t* pixels, std::size_t available,
                   std::int32_t x, std::int32_t y, std::int32_t layout, std::int32_t dpiBase,
                   std::int32_t byteCount) noexcept {
    if (pixels == nullptr || byteCount < 0) return false;
    const WaterCodeShape shape = WaterCodeShapeOf(layout, byteCount);
    const std::size_t codeBytes = std::size_t(shape.width) * std::size_t(shape.rows);
    if (codeBytes > available) return false;

    BitmapHolder holder;
    if (holder.Create(shape.width, shape.rows, 8) != BitmapHolder::kCreated) return false;
    if (holder.stride() == shape.width) {
        std::memcpy(holder.pixels(), pixels, codeBytes);
    } else {
        // Rows of a width that is not a multiple of 4 are padded in the
        // bitmap; the code's rows are packed, bottom row first.
        for (std::int32_t r = 0; r < shape.rows; ++r) {
            std::memcpy(holder.pixels() + std::size_t(r) * std::size_t(holder.stride()),
                        pixels + std::size_t(r) * std::size_t(shape.width), std::size_t(shape.width));
        }
    }
    return DrawOnPage(page, holder.header(), holder.pixels(), shape.width, shape.rows, x, y,
                      dpiBase, kRasterAnd) != -1;
}

}  // namespace zeseal::marks
