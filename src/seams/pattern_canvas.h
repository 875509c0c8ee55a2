// A small raster for the copy-detection pattern: black and white rectangles,
// single pixels, and one line of text in a named face, read back as 8-bit
// colour indices. The pattern's steps are written once against it; GDI
// backs it on Windows, a plain raster with FreeType on POSIX.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace zeseal::platform {

// Rectangles as GDI takes them: right and bottom are outside.
struct CanvasRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

enum class Brush { kBlack, kWhite, kHollow };

// A font as the pattern describes it. faceName and the texts drawn with it
// are in code page 949. A positive height is the character cell height
// (ascent plus descent) in pixels; a negative one the em height.
struct CanvasFont {
    std::string_view faceName;
    std::int32_t height = 0;
    std::int32_t weight = 400;  // 400 normal, 700 bold, up to 1000
    bool italic = false;
    std::int32_t charSet = 129;  // HANGEUL_CHARSET
};

struct TextExtent {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

class PatternCanvas {
public:
    virtual ~PatternCanvas() = default;

    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;

    // A rectangle with a one-pixel black outline on its outermost columns
    // and rows, its inside filled by brush (a hollow brush leaves it).
    virtual void Rectangle(const CanvasRect& rect, Brush brush) = 0;
    // Sets one pixel black; outside the canvas nothing happens.
    virtual void SetBlackPixel(std::int32_t x, std::int32_t y) = 0;

    // Chooses the font of the text calls below. Returns false when no face
    // can be had for it.
    virtual bool SelectFont(const CanvasFont& font) = 0;
    // The size of text drawn as one line in the selected font.
    virtual TextExtent MeasureText(std::string_view text) = 0;
    // Draws text as one line in white, its cell's top-left corner at the
    // rectangle's, clipped to the rectangle; the background stays as it is.
    virtual void DrawWhiteText(std::string_view text, const CanvasRect& clip) = 0;

    // Copies the canvas into rows[0] (the top row) to rows[Height() - 1],
    // Width() bytes each: 0 for black, any other value for other colours.
    virtual bool ReadIndices(std::uint8_t* const* rows) = 0;
};

// A canvas of width x height, all black. Returns nullptr when it cannot be
// made.
std::unique_ptr<PatternCanvas> CreatePatternCanvas(std::int32_t width, std::int32_t height);

}  // namespace zeseal::platform
