#include "raster/rgb_page_rectangles.h"

#include <algorithm>
#include <vector>

namespace zeseal::raster {
namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

struct Span {
    std::int64_t begin;
    std::int64_t end;  // outside
};

// The pen's band across one edge line.
Span BandAround(std::int64_t line, std::int32_t penWidth) {
    const std::int64_t width = std::max(penWidth, 1);
    const std::int64_t begin = line - width / 2;
    return {begin, begin + width};
}

platform::PageRect ToRect(Span x, Span y) {
    auto clamp = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {clamp(x.begin), clamp(y.begin), clamp(x.end), clamp(y.end)};
}

// One row of a corner disc: dy from the corner, columns [begin, end).
struct DiscRow {
    std::int64_t dy, begin, end;
};

// The disc a wide pen puts on each corner of the outline: the elliptic
// region GDI makes from (-(w / 2), -(w / 2)) to ((w + 1) / 2 + 1,
// (w + 1) / 2 + 1), row by row, laid out by the midpoint walk GDI's
// elliptic regions use.
std::vector<DiscRow> CornerDisc(std::int64_t penWidth) {
    std::int64_t left = -(penWidth / 2), top = left;
    std::int64_t right = (penWidth + 1) / 2 + 1, bottom = right;
    // The region covers the inside of its rectangle only.
    --right;
    --bottom;
    const std::int64_t width = right - left;
    const std::int64_t height = bottom - top;
    std::vector<DiscRow> rows;
    if (width < 2 || height < 2) {
        for (std::int64_t y = top; y < bottom; ++y) rows.push_back({y, left, right});
        return rows;
    }
    struct Columns {
        std::int64_t left = 0, right = 0;
    };
    std::vector<Columns> half(static_cast<std::size_t>(height) + 1);
    const std::int64_t a = width - 1;
    const std::int64_t b = height - 1;
    const std::int64_t aSquared8 = 8 * a * a;
    const std::int64_t bSquared8 = 8 * b * b;
    std::int64_t dx = 4 * b * b * (1 - a);
    std::int64_t dy = 4 * a * a * (1 + b % 2);
    std::int64_t error = dx + dy + a * a * (b % 2);
    std::int64_t x = 0;
    std::int64_t y = height / 2;
    half[static_cast<std::size_t>(y)] = {left, right};
    while (x <= width / 2) {
        const std::int64_t doubled = 2 * error;
        if (doubled >= dx) {
            ++x;
            dx += bSquared8;
            error += dx;
        }
        if (doubled <= dy) {
            ++y;
            dy += aSquared8;
            error += dy;
            if (y <= height) half[static_cast<std::size_t>(y)] = {left + x, right - x};
        }
    }
    for (std::int64_t i = 0; i < height / 2; ++i) {
        const Columns& mirrored = half[static_cast<std::size_t>(b - i)];
        rows.push_back({top + i, mirrored.left, mirrored.right});
    }
    for (std::int64_t i = height / 2; i < height; ++i) {
        const Columns& lower = half[static_cast<std::size_t>(i)];
        rows.push_back({bottom - height + i, lower.left, lower.right});
    }
    return rows;
}

}  // namespace

void FillRgbRectangle(RgbPage& page, const platform::PageRect& rect, std::uint32_t colour) {
    const std::int32_t left = std::max(rect.left, 0);
    const std::int32_t top = std::max(rect.top, 0);
    const std::int32_t right = std::min(rect.right, page.width);
    const std::int32_t bottom = std::min(rect.bottom, page.height);
    if (left >= right || top >= bottom) return;
    const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(colour & 0xFF),
                                 static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                                 static_cast<std::uint8_t>((colour >> 16) & 0xFF)};
    for (std::int32_t y = top; y < bottom; ++y) {
        std::uint8_t* pixel = page.Row(y) + std::size_t(left) * 3;
        for (std::int32_t x = left; x < right; ++x, pixel += 3) std::copy_n(rgb, 3, pixel);
    }
}

void DrawOutlinedRectangle(RgbPage& page, const platform::PageRect& rect, const platform::PagePen& pen) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    FillRgbRectangle(page, rect, kWhite);
    const Span leftBand = BandAround(rect.left, pen.width);
    const Span rightBand = BandAround(std::int64_t{rect.right} - 1, pen.width);
    const Span topBand = BandAround(rect.top, pen.width);
    const Span bottomBand = BandAround(std::int64_t{rect.bottom} - 1, pen.width);
    // A one-pixel pen's edges meet in square corners. A wide pen's edges run
    // from corner point to corner point, and a disc on each corner point
    // joins them round.
    const bool wide = pen.width > 1;
    const Span across = wide ? Span{rect.left, rect.right} : Span{leftBand.begin, rightBand.end};
    const Span down = wide ? Span{rect.top, rect.bottom} : Span{topBand.begin, bottomBand.end};
    FillRgbRectangle(page, ToRect(across, topBand), pen.colour);
    FillRgbRectangle(page, ToRect(across, bottomBand), pen.colour);
    FillRgbRectangle(page, ToRect(leftBand, down), pen.colour);
    FillRgbRectangle(page, ToRect(rightBand, down), pen.colour);
    if (!wide) return;
    const std::vector<DiscRow> disc = CornerDisc(pen.width);
    const std::int64_t cornersX[] = {rect.left, std::int64_t{rect.right} - 1};
    const std::int64_t cornersY[] = {rect.top, std::int64_t{rect.bottom} - 1};
    for (const std::int64_t cornerY : cornersY) {
        for (const std::int64_t cornerX : cornersX) {
            for (const DiscRow& row : disc) {
                const std::int64_t y = cornerY + row.dy;
                FillRgbRectangle(page, ToRect({cornerX + row.begin, cornerX + row.end}, {y, y + 1}),
                                 pen.colour);
            }
        }
    }
}

}  // namespace zeseal::raster
