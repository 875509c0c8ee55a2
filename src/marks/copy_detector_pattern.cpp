#include "marks/copy_detector_pattern.h"

#include "marks/bitmap_holder.h"

namespace zeseal::marks {
namespace {

// The top of the row of word cells.
constexpr std::int32_t kWordsTop = 45;

// The pixels of one dot at (x, y): the shape's tens digit is its width, its
// units digit its height; shapes other than 11, 12, 21 and 22 draw nothing.
void DrawDot(platform::PatternCanvas& canvas, std::int32_t shape, std::int32_t x, std::int32_t y) {
    switch (shape) {
    case 11: canvas.SetBlackPixel(x, y); break;
    case 12:
        canvas.SetBlackPixel(x, y);
        canvas.SetBlackPixel(x, y + 1);
        break;
    case 21:
        canvas.SetBlackPixel(x, y);
        canvas.SetBlackPixel(x + 1, y);
        break;
    case 22:
        canvas.SetBlackPixel(x, y);
        canvas.SetBlackPixel(x + 1, y);
        canvas.SetBlackPixel(x, y + 1);
        canvas.SetBlackPixel(x + 1, y + 1);
        break;
    default: break;
    }
}

void DrawDotGrid(platform::PatternCanvas& canvas, const CopyDetectorStyle& s) {
    // A pitch below 1 would never advance: such a record draws no dots.
    const std::int32_t pitch = s.dotPitch;
    if (pitch < 1) return;
    if (s.dotShape != 11 && s.dotShape != 12 && s.dotShape != 21 && s.dotShape != 22) return;
    for (std::int32_t y = 2; y < s.height - 2; y += pitch) {
        for (std::int32_t x = 2; x < s.width - 2; x += pitch) DrawDot(canvas, s.dotShape, x, y);
    }
}

// Word cells side by side from the left edge, each as wide as the measured
// word plus the gap, until one reaches the right edge.
void DrawWords(platform::PatternCanvas& canvas, const CopyDetectorStyle& s) {
    const platform::TextExtent word = canvas.MeasureText(s.text);
    const std::int32_t cellWidth = word.width + s.textGap;
    if (cellWidth < 1) return;
    for (std::int32_t left = 0;;) {
        const platform::CanvasRect cell{left, kWordsTop, left + cellWidth,
                                        kWordsTop + word.height + s.textPad};
        canvas.DrawWhiteText(s.text, cell);
        if (cell.right >= s.width) break;
        left = cell.right;
    }
}

}  // namespace

bool RenderCopyDetectorPattern(const CopyDetectorStyle& s, platform::PatternCanvas& canvas) {
    if (canvas.Width() != s.width || canvas.Height() != s.height) return false;
    if (!canvas.SelectFont(s.textFont)) return false;
    // All black, then a white field inside a one-pixel outline at 2: a black
    // frame three pixels wide.
    canvas.Rectangle({0, 0, s.width, s.height}, platform::Brush::kBlack);
    canvas.Rectangle({2, 2, s.width - 2, s.height - 2}, platform::Brush::kWhite);
    DrawDotGrid(canvas, s);
    DrawWords(canvas, s);
    // The glyphs may have crossed the edge: the outermost outline returns.
    canvas.Rectangle({0, 0, s.width, s.height}, platform::Brush::kHollow);
    return true;
}

bool BuildPatternImage(const CopyDetectorStyle& style, std::uint8_t* out) noexcept {
    try {
        if (style.width != kPatternWidth || style.height != kPatternHeight) return false;
        const auto canvas = platform::CreatePatternCanvas(style.width, style.height);
        if (!canvas || !RenderCopyDetectorPattern(style, *canvas)) return false;

        // No colour table given: the grey ramp, entry i = (i, i, i, 0).
        BitmapHolder image;
        if (image.Create(style.width, style.height, 8) != BitmapHolder::kCreated) return false;
        if (!canvas->ReadIndices(image.rows())) return false;
        image.SetResolution(kPatternDpi, kPatternDpi, 0);  // answers 0 once the holder exists

        // Only black keeps index 0.
        for (std::size_t i = 0; i < image.pixelBytes(); ++i) {
            if (image.pixels()[i] != 0) image.pixels()[i] = 255;
        }
        if (style.smoothPattern == 1) {
            BitmapHolder smoothed;
            if (smoothed.CopyFrom(image) != 0) return false;
            // Neither can fail now: both holders exist, are 8-bit and have one shape.
            smoothed.Smooth3x3(image);
            image.CopyFrom(smoothed);
        }
        return image.WriteBmpFile(out) == kPatternImageSize;
    } catch (...) {
        return false;
    }
}

}  // namespace zeseal::marks
