// Paper sizes for the page the draw command creates: named sheets measured
// in tenths of a millimetre, or an explicit "WxH" size in device pixels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zeseal::tool {

// The limits of a host page: sides and resolution.
inline constexpr std::int32_t kMaxPageSide = 20000;
inline constexpr std::int32_t kMaxPageDpi = 9600;

struct Paper {
    std::string name;              // as the table spells it, or "WxH"
    std::int32_t widthTenthMm = 0;  // a named sheet, portrait
    std::int32_t heightTenthMm = 0;
    std::int32_t widthPx = 0;  // an explicit size (then the fields above are 0)
    std::int32_t heightPx = 0;
};

struct PagePixels {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Parses "A4", "letter" (names ignore case) or "2480x3508". Throws ToolError
// naming the accepted forms.
Paper ParsePaper(std::string_view text);

// The page size in device pixels at dpi: a named sheet rounded to the
// nearest pixel, an explicit size as given. Throws ToolError when dpi is
// outside 1..9600 or a side falls outside 1..20000 pixels.
PagePixels PageSizeAt(const Paper& paper, std::int32_t dpi);

// "A4 (210 x 297 mm), A5 (...), ..." for help texts.
std::string PaperNames();

}  // namespace zeseal::tool
