// One line of text rasterised with FreeType into a one-byte-per-pixel
// raster, without anti-aliasing (as a draft-quality Windows font prints).
//
// A positive height is the character cell height, as on Windows: the face
// is scaled so that its Windows ascent plus descent (the OS/2 usWinAscent
// and usWinDescent, or the face's ascender and descender without them)
// spans height pixels. A negative height is the em height.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zeseal::platform::posix {

struct LineMetrics {
    std::int32_t ascent = 0;   // pixels above the baseline
    std::int32_t descent = 0;  // pixels below it
};

struct Raster {
    std::uint8_t* pixels = nullptr;  // top row first
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct ClipBox {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;  // right, bottom outside
};

class FreeTypeLine {
public:
    // Loads face index of the file at path for the given height. Returns
    // nullptr when the file cannot be loaded or sized.
    static std::unique_ptr<FreeTypeLine> Load(const std::string& path, int index,
                                              std::int32_t height, bool embolden);
    ~FreeTypeLine();
    FreeTypeLine(const FreeTypeLine&) = delete;
    FreeTypeLine& operator=(const FreeTypeLine&) = delete;

    LineMetrics Metrics() const { return metrics_; }
    // The sum of the glyphs' advances, in pixels.
    std::int32_t Advance(const std::u32string& text);
    // Sets to value every raster pixel a glyph covers, with the cell's top
    // left at (left, top), inside clip.
    void Draw(const std::u32string& text, std::int32_t left, std::int32_t top, const ClipBox& clip,
              Raster raster, std::uint8_t value);

private:
    struct Handles;
    explicit FreeTypeLine(std::unique_ptr<Handles> handles);
    std::unique_ptr<Handles> handles_;
    LineMetrics metrics_;
    long emboldenStrength_ = 0;  // 26.6 pixels, 0 for none
};

}  // namespace zeseal::platform::posix
