// The pattern canvas of the POSIX build: a plain one-byte-per-pixel raster
// (0 black, 255 white) with text from FreeType and faces from fontconfig.
#include <algorithm>
#include <string>
#include <vector>

#include "seams/pattern_canvas.h"
#include "platform/posix/text/cp949_text.h"
#include "platform/posix/text/font_lookup.h"
#include "platform/posix/text/freetype_line.h"

namespace zeseal::platform {
namespace {

constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kWhite = 255;

class RasterCanvas final : public PatternCanvas {
public:
    RasterCanvas(std::int32_t width, std::int32_t height)
        : width_(width), height_(height), pixels_(std::size_t(width) * std::size_t(height), kBlack) {}

    std::int32_t Width() const override { return width_; }
    std::int32_t Height() const override { return height_; }

    void Rectangle(const CanvasRect& r, Brush brush) override {
        if (r.right - r.left < 1 || r.bottom - r.top < 1) return;
        if (brush != Brush::kHollow) {
            Fill({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1},
                 brush == Brush::kBlack ? kBlack : kWhite);
        }
        Fill({r.left, r.top, r.right, r.top + 1}, kBlack);
        Fill({r.left, r.bottom - 1, r.right, r.bottom}, kBlack);
        Fill({r.left, r.top, r.left + 1, r.bottom}, kBlack);
        Fill({r.right - 1, r.top, r.right, r.bottom}, kBlack);
    }

    void SetBlackPixel(std::int32_t x, std::int32_t y) override {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[Index(x, y)] = kBlack;
    }

    bool SelectFont(const CanvasFont& font) override {
        line_.reset();
        const posix::FontFile file = posix::FindFontFile(font.faceName, font.weight, font.italic);
        if (file.path.empty()) return false;
        line_ = posix::FreeTypeLine::Load(file.path, file.index, font.height,
                                          font.weight >= 600 && !file.bold);
        return line_ != nullptr;
    }

    TextExtent MeasureText(std::string_view text) override {
        if (!line_) return {};
        const posix::LineMetrics m = line_->Metrics();
        return {line_->Advance(posix::DecodeCp949(text)), m.ascent + m.descent};
    }

    void DrawWhiteText(std::string_view text, const CanvasRect& clip) override {
        if (!line_) return;
        line_->Draw(posix::DecodeCp949(text), clip.left, clip.top,
                    {clip.left, clip.top, clip.right, clip.bottom},
                    {pixels_.data(), width_, height_}, kWhite);
    }

    bool ReadIndices(std::uint8_t* const* rows) override {
        for (std::int32_t y = 0; y < height_; ++y) {
            std::copy_n(pixels_.data() + Index(0, y), width_, rows[y]);
        }
        return true;
    }

private:
    std::size_t Index(std::int32_t x, std::int32_t y) const {
        return std::size_t(y) * std::size_t(width_) + std::size_t(x);
    }
    void Fill(CanvasRect r, std::uint8_t value) {
        r.left = std::max(r.left, 0);
        r.top = std::max(r.top, 0);
        r.right = std::min(r.right, width_);
        r.bottom = std::min(r.bottom, height_);
        if (r.left >= r.right || r.top >= r.bottom) return;
        for (std::int32_t y = r.top; y < r.bottom; ++y) {
            std::fill(pixels_.begin() + std::ptrdiff_t(Index(r.left, y)),
                      pixels_.begin() + std::ptrdiff_t(Index(r.right, y)), value);
        }
    }

    std::int32_t width_;
    std::int32_t height_;
    std::vector<std::uint8_t> pixels_;
    std::unique_ptr<posix::FreeTypeLine> line_;
};

}  // namespace

std::unique_ptr<PatternCanvas> CreatePatternCanvas(std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1 || width > 20000 || height > 20000) return nullptr;
    return std::make_unique<RasterCanvas>(width, height);
}

}  // namespace zeseal::platform
