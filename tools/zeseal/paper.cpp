#include "paper.h"

#include <charconv>

#include "printers/paper_sizes.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

// A run of decimal digits and nothing else, within 1..kMaxPageSide.
bool ParseSide(std::string_view text, std::int32_t& value) {
    if (text.empty() || text.size() > 9) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

// Tenths of a millimetre at dpi, rounded to the nearest pixel.
std::int64_t TenthMmToPixels(std::int32_t tenthMm, std::int32_t dpi) {
    return (std::int64_t{tenthMm} * dpi * 2 + 254) / (2 * 254);
}

}  // namespace

std::string PaperNames() {
    std::string names;
    for (const printers::PaperSize& size : printers::kPaperSizes) {
        if (!names.empty()) names += ", ";
        names += std::string(size.name) + " (" + std::string(size.measure) + ")";
    }
    return names;
}

Paper ParsePaper(std::string_view text) {
    if (const printers::PaperSize* size = printers::FindPaperSize(text)) {
        return Paper{std::string(size->name), size->widthTenthMm, size->heightTenthMm, 0, 0};
    }
    const std::size_t x = text.find_first_of("xX");
    if (x != std::string_view::npos) {
        Paper paper;
        if (ParseSide(text.substr(0, x), paper.widthPx) &&
            ParseSide(text.substr(x + 1), paper.heightPx)) {
            if (paper.widthPx < 1 || paper.heightPx < 1 || paper.widthPx > kMaxPageSide ||
                paper.heightPx > kMaxPageSide) {
                throw ToolError("paper '" + std::string(text) + "': each side must be 1 to " +
                                std::to_string(kMaxPageSide) + " pixels");
            }
            paper.name = std::to_string(paper.widthPx) + "x" + std::to_string(paper.heightPx);
            return paper;
        }
    }
    throw ToolError("unknown paper '" + std::string(text) + "': use one of " + PaperNames() +
                    ", or WIDTHxHEIGHT in pixels such as 2480x3508");
}

PagePixels PageSizeAt(const Paper& paper, std::int32_t dpi) {
    if (dpi < 1 || dpi > kMaxPageDpi) {
        throw ToolError("resolution " + std::to_string(dpi) + " dpi is outside 1 to " +
                        std::to_string(kMaxPageDpi));
    }
    if (paper.widthPx != 0) return {paper.widthPx, paper.heightPx};
    const std::int64_t width = TenthMmToPixels(paper.widthTenthMm, dpi);
    const std::int64_t height = TenthMmToPixels(paper.heightTenthMm, dpi);
    if (width < 1 || height < 1 || width > kMaxPageSide || height > kMaxPageSide) {
        throw ToolError(paper.name + " at " + std::to_string(dpi) + " dpi is " +
                        std::to_string(width) + "x" + std::to_string(height) +
                        " pixels; a page side must be 1 to " + std::to_string(kMaxPageSide) +
                        " pixels, so choose a lower resolution");
    }
    return {static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
}

}  // namespace zeseal::tool
