// The GDI pattern canvas: its rectangles, pixels and text as the pattern's
// steps rely on them, read back through GetDIBits.
#include "seams/pattern_canvas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zeseal::platform {
namespace {

// The canvas as text, one character per pixel: '#' black, '.' anything else.
std::string Art(PatternCanvas& canvas) {
    const int w = canvas.Width(), h = canvas.Height();
    std::vector<std::vector<std::uint8_t>> rows(h, std::vector<std::uint8_t>(w, 7));
    std::vector<std::uint8_t*> pointers;
    for (auto& row : rows) pointers.push_back(row.data());
    EXPECT_TRUE(canvas.ReadIndices(pointers.data()));
    std::string art;
    for (int y = 0; y < h; ++y) {
        if (y != 0) art += '\n';
        for (int x = 0; x < w; ++x) art += rows[y][x] == 0 ? '#' : '.';
    }
    return art;
}

TEST(GdiPatternCanvas, RectanglesOutlineTheirOutermostPixelsAndFillByBrush) {
    struct Case {
        const char* name;
        Brush brush;
        const char* art;
    };
    const Case cases[] = {
        {"white", Brush::kWhite, "######\n#....#\n#....#\n######\n######"},
        {"black", Brush::kBlack, "######\n######\n######\n######\n######"},
        {"hollow over white", Brush::kHollow, "######\n#....#\n#....#\n######\n######"},
    };
    for (const Case& c : cases) {
        auto canvas = CreatePatternCanvas(6, 5);
        ASSERT_NE(canvas, nullptr);
        EXPECT_EQ(Art(*canvas), "######\n######\n######\n######\n######") << "starts black";
        if (c.brush == Brush::kHollow) canvas->Rectangle({0, 0, 6, 4}, Brush::kWhite);
        canvas->Rectangle({0, 0, 6, 4}, c.brush);
        EXPECT_EQ(Art(*canvas), c.art) << c.name;
    }
}

TEST(GdiPatternCanvas, PixelsOutsideTheCanvasAreIgnored) {
    auto canvas = CreatePatternCanvas(4, 3);
    ASSERT_NE(canvas, nullptr);
    canvas->Rectangle({-1, -1, 5, 4}, Brush::kWhite);
    for (const auto& [x, y] : {std::pair{1, 1}, {3, 2}, {-1, 0}, {4, 0}, {0, 3}}) canvas->SetBlackPixel(x, y);
    EXPECT_EQ(Art(*canvas), "....\n.#..\n...#");
}

TEST(GdiPatternCanvas, TextIsMeasuredAndDrawnWhiteInsideItsCell) {
    auto canvas = CreatePatternCanvas(200, 60);
    ASSERT_NE(canvas, nullptr);
    // The face may be missing: GDI then substitutes one of the character set.
    ASSERT_TRUE(canvas->SelectFont({"\xB1\xC3\xBC\xAD\xC3\xBC", 40, 400, false, 129}));
    const TextExtent extent = canvas->MeasureText("Ostrevane");
    EXPECT_GT(extent.width, 0);
    EXPECT_GT(extent.height, 0);
    canvas->DrawWhiteText("Ostrevane", {0, 10, 60, 30});
    const std::string art = Art(*canvas);
    std::size_t white = 0, whiteOutside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (art[std::size_t(y) * 201 + std::size_t(x)] != '.') continue;
            ++white;
            if (x >= 60 || y < 10 || y >= 30) ++whiteOutside;
        }
    }
    EXPECT_GT(white, 0u);
    EXPECT_EQ(whiteOutside, 0u) << "clipped to the cell";
}

TEST(GdiPatternCanvas, RefusesSizesOutOfRange) {
    EXPECT_EQ(CreatePatternCanvas(0, 10), nullptr);
    EXPECT_EQ(CreatePatternCanvas(10, -1), nullptr);
    EXPECT_EQ(CreatePatternCanvas(20001, 10), nullptr);
}

}  // namespace
}  // namespace zeseal::platform
