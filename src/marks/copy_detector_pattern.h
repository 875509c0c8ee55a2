// Renders the copy-detection pattern and turns it into its BMP file image.
//
// The pattern is a black frame around a white field, a grid of black dots
// whose shape and spacing come from the printer model's record, and a row of
// white words that knock the dots out, with the outermost outline restored.
#pragma once

#include <cstdint>

#include "marks/copy_detector_style.h"
#include "seams/pattern_canvas.h"

namespace zeseal::marks {

// The BMP file image of a pattern: 1078 header bytes and 264 rows of 528.
inline constexpr std::int32_t kPatternImageSize = 140470;
inline constexpr std::int32_t kPatternDpi = 600;

// Draws the pattern of style onto canvas, which must be style.width x
// style.height and start all black. Returns false when the canvas has
// another size or the word's font cannot be had.
bool RenderCopyDetectorPattern(const CopyDetectorStyle& style, platform::PatternCanvas& canvas);

// Renders the pattern on a new canvas and writes its 8-bit grey BMP file
// image (kPatternImageSize bytes at 600 dpi) into out: thresholded so that
// only black stays 0 and everything else is 255, then smoothed when
// style.smoothPattern is 1. Returns false, leaving out untouched, when
// rendering fails.
bool BuildPatternImage(const CopyDetectorStyle& style, std::uint8_t* out) noexcept;

}  // namespace zeseal::marks
