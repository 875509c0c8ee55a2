// "zeseal draw": creates a page, draws a watermark, a water code and the
// library's dense code on it through the drawing exports, and saves it as a
// PNG.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "seal_commands.h"

namespace zeseal::tool {

// A position in 1/300 inch, as the drawing exports take it.
struct MarkPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Parses "X,Y" (integers, blanks allowed around them); unit names the
// position's unit in the message. Throws ToolError.
MarkPosition ParsePosition(std::string_view text, std::string_view unit = "1/300 inch");

struct DrawOptions {
    std::string paper = "A4";
    std::int32_t dpi = 600;
    std::string watermark;  // container text file; empty: no watermark
    MarkPosition watermarkAt;
    std::string waterCode;  // container text file; empty: no water code
    MarkPosition waterCodeAt;
    std::int32_t waterCodeBytes = 0;  // 0: the layout's full width
    std::int32_t layout = 2;
    SealDrawOptions seal;  // the copy-detection pattern and the court logo
    std::string denseCode;  // any file, encoded into the library's dense code; empty: none
    MarkPosition denseCodeAt{250, 2100};  // where the test page puts it
    std::string output;
};

// Draws the marks (watermark first, then the water code, the dense code
// (through iZeWaterCode, layout 3, byte count 0), the copy-detection pattern
// and the court logo ANDed over it) and
// saves the page. Each export's result is reported; when one fails nothing
// is saved and the status is 1.
int RunDraw(const DrawOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zeseal::tool
