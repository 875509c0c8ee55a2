#include "platform/posix/page/rgb_page_drawing.h"

#include <algorithm>
#include <vector>

#include "platform/posix/text/cp949_text.h"
#include "platform/posix/text/font_lookup.h"
#include "platform/posix/text/freetype_line.h"
#include "raster/rgb_page_rectangles.h"

namespace zeseal::platform::posix {
namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kHorizontalFlags = kAlignCenter;  // TA_LEFT, TA_RIGHT or TA_CENTER
constexpr std::uint32_t kVerticalFlags = kAlignBaseline;  // TA_TOP, TA_BOTTOM or TA_BASELINE

PageRect ClampedRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    auto clamp = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {clamp(left), clamp(top), clamp(right), clamp(bottom)};
}

}  // namespace

bool DrawTextLine(raster::RgbPage& page, std::int32_t x, std::int32_t y, std::string_view text,
                  const PageFont& font, std::uint32_t alignment) {
    const FontFile file = FindFontFile(font.faceName, font.weight, font.italic);
    if (file.path.empty()) return false;
    const auto line =
        FreeTypeLine::Load(file.path, file.index, font.height, font.weight >= 600 && !file.bold);
    if (!line) return false;
    const std::u32string characters = DecodeCp949(text);
    const std::int64_t width = line->Advance(characters);
    const LineMetrics metrics = line->Metrics();
    const std::int64_t cell = std::int64_t{metrics.ascent} + metrics.descent;

    std::int64_t left = x;
    if ((alignment & kHorizontalFlags) == kAlignCenter) {
        left = x - width / 2;
    } else if ((alignment & kHorizontalFlags) == kAlignRight) {
        left = x - width;
    }
    std::int64_t top = y;
    if ((alignment & kVerticalFlags) == kAlignBaseline) {
        top = y - metrics.ascent;
    } else if ((alignment & kVerticalFlags) == kAlignBottom) {
        top = y - cell;
    }
    if (page.backgroundMode == kBackgroundOpaque) {
        raster::FillRgbRectangle(page, ClampedRect(left, top, left + width, top + cell), kWhite);
    }

    // The glyphs are rasterised into a mask over the part of the page they
    // may touch (the cell, widened for overhanging glyphs), then inked.
    const std::int64_t margin = std::max<std::int64_t>(cell / 2, 1);
    const std::int64_t maskLeft = std::max<std::int64_t>(left - margin, 0);
    const std::int64_t maskTop = std::max<std::int64_t>(top - margin, 0);
    const std::int64_t maskRight = std::min<std::int64_t>(left + width + margin, page.width);
    const std::int64_t maskBottom = std::min<std::int64_t>(top + cell + margin, page.height);
    if (maskLeft >= maskRight || maskTop >= maskBottom) return true;
    const auto maskWidth = static_cast<std::int32_t>(maskRight - maskLeft);
    const auto maskHeight = static_cast<std::int32_t>(maskBottom - maskTop);
    std::vector<std::uint8_t> mask(std::size_t(maskWidth) * std::size_t(maskHeight), 0);
    line->Draw(characters, static_cast<std::int32_t>(left - maskLeft),
               static_cast<std::int32_t>(top - maskTop), {0, 0, maskWidth, maskHeight},
               {mask.data(), maskWidth, maskHeight}, 1);
    for (std::int32_t row = 0; row < maskHeight; ++row) {
        const std::uint8_t* inked = mask.data() + std::size_t(row) * std::size_t(maskWidth);
        std::uint8_t* pixel = page.Row(static_cast<std::int32_t>(maskTop) + row) + std::size_t(maskLeft) * 3;
        for (std::int32_t col = 0; col < maskWidth; ++col, pixel += 3) {
            if (inked[col] != 0) std::fill_n(pixel, 3, std::uint8_t{0});
        }
    }
    return true;
}

}  // namespace zeseal::platform::posix
