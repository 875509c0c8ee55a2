// CopyDetectorStyle: everything the copy-detection pattern is rendered
// from, built afresh for every image from a printer model's record.
#pragma once

#include <cstdint>

#include "catalogue/model_record.h"
#include "seams/pattern_canvas.h"

namespace zeseal::marks {

inline constexpr std::int32_t kPatternWidth = 528;
inline constexpr std::int32_t kPatternHeight = 264;
inline constexpr std::int32_t kPatternTextSize = 256;

struct CopyDetectorStyle {
    std::int32_t width = kPatternWidth;
    std::int32_t height = kPatternHeight;
    std::int32_t textGap = 30;  // added across to each word cell
    std::int32_t textPad = 5;   // added down to each word cell
    char text[kPatternTextSize] = {};     // the word drawn, code page 949
    char altText[kPatternTextSize] = {};  // a second word, carried but not drawn
    platform::CanvasFont textFont;
    platform::CanvasFont altFont;  // carried but never selected
    // The record's settings, sign-extended; only dotPitch, dotShape and
    // smoothPattern change the picture.
    std::int32_t reserved1 = 0;
    std::int32_t dotPitch = 0;
    std::int32_t penWidth = 0;
    std::int32_t dotShape = 0;
    std::int32_t reserved2 = 0;
    std::int32_t reserved3 = 0;
    std::int32_t smoothPattern = 0;
    std::int32_t supportClass = 0;
};

// The style for a model's own record (useFallback false: the word
// "Ostrevane" in a 170-pixel cell) or for the "DEFAULT" record that stands
// in for a model without one (useFallback true: "." in a 20-pixel cell).
CopyDetectorStyle MakeCopyDetectorStyle(const catalogue::ModelRecord& record, bool useFallback) noexcept;

}  // namespace zeseal::marks
