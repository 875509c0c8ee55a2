// The POSIX pattern canvas: rectangles, pixels, and text from FreeType in
// the faces fontconfig finds.
#include "seams/pattern_canvas.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/posix/text/cp949_text.h"
#include "platform/posix/text/font_lookup.h"

namespace zeseal::platform {
namespace {

constexpr std::string_view kGungseo = "\xB1\xC3\xBC\xAD\xC3\xBC";  // "궁서체"

std::vector<std::uint8_t> Pixels(PatternCanvas& canvas) {
    std::vector<std::uint8_t> pixels(std::size_t(canvas.Width()) * std::size_t(canvas.Height()));
    std::vector<std::uint8_t*> rows;
    for (std::int32_t y = 0; y < canvas.Height(); ++y) rows.push_back(&pixels[std::size_t(y) * canvas.Width()]);
    EXPECT_TRUE(canvas.ReadIndices(rows.data()));
    return pixels;
}

std::string Art(PatternCanvas& canvas) {
    const auto pixels = Pixels(canvas);
    std::string art;
    for (std::int32_t y = 0; y < canvas.Height(); ++y) {
        if (y != 0) art += '\n';
        for (std::int32_t x = 0; x < canvas.Width(); ++x) art += pixels[std::size_t(y) * canvas.Width() + x] == 0 ? '#' : '.';
    }
    return art;
}

TEST(PosixPatternCanvas, RectanglesHaveAOnePixelOutlineInsideTheirEdges) {
    auto canvas = CreatePatternCanvas(8, 6);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(Art(*canvas), "########\n########\n########\n########\n########\n########");
    canvas->Rectangle({0, 0, 8, 6}, Brush::kWhite);
    canvas->Rectangle({2, 1, 6, 4}, Brush::kHollow);
    canvas->SetBlackPixel(3, 2);
    for (const auto& [x, y] : {std::pair{-1, 0}, {8, 0}, {0, 6}, {0, -1}}) canvas->SetBlackPixel(x, y);
    canvas->Rectangle({-5, -5, -1, -1}, Brush::kBlack);  // wholly outside
    EXPECT_EQ(Art(*canvas), "########\n#.####.#\n#.##.#.#\n#.####.#\n#......#\n########");
    EXPECT_EQ(CreatePatternCanvas(0, 5), nullptr);
    EXPECT_EQ(CreatePatternCanvas(5, -1), nullptr);
}

TEST(PosixPatternCanvas, TheKoreanBrushFaceIsStoodInForByNanumMyeongjo) {
    EXPECT_EQ(posix::FamilyForFace(kGungseo), "NanumMyeongjo");
    const posix::FontFile file = posix::FindFontFile(kGungseo, 400, false);
    EXPECT_EQ(file.family, "NanumMyeongjo");
    EXPECT_NE(file.path.find("NanumMyeongjo"), std::string::npos) << file.path;
    // A face the system lacks falls back to one that still writes Korean.
    const posix::FontFile other = posix::FindFontFile("NoSuchFaceAnywhere", 400, false);
    EXPECT_FALSE(other.path.empty());
}

TEST(PosixPatternCanvas, APositiveHeightIsTheCellHeight) {
    auto canvas = CreatePatternCanvas(600, 300);
    for (const std::int32_t height : {170, 20, 280, 7}) {
        ASSERT_TRUE(canvas->SelectFont({kGungseo, height, 400})) << height;
        EXPECT_EQ(canvas->MeasureText("Ostrevane").height, height);
        EXPECT_EQ(canvas->MeasureText(".").height, height);
    }
    // A negative height is the em: the cell is taller than it.
    ASSERT_TRUE(canvas->SelectFont({kGungseo, -100, 400}));
    EXPECT_GT(canvas->MeasureText("O").height, 100);
    EXPECT_FALSE(canvas->SelectFont({kGungseo, 0, 400}));
}

TEST(PosixPatternCanvas, WidthsAreTheSumOfTheGlyphAdvances) {
    auto canvas = CreatePatternCanvas(600, 300);
    ASSERT_TRUE(canvas->SelectFont({kGungseo, 170, 400}));
    std::int32_t sum = 0;
    for (const char c : std::string_view("Ostrevane")) sum += canvas->MeasureText(std::string_view(&c, 1)).width;
    EXPECT_EQ(canvas->MeasureText("Ostrevane").width, sum);
    EXPECT_GT(sum, 528);  // one word fills the pattern's row
    ASSERT_TRUE(canvas->SelectFont({kGungseo, 20, 400}));
    const std::int32_t dot = canvas->MeasureText(".").width;
    EXPECT_GT(dot, 0);
    EXPECT_EQ(canvas->MeasureText("...").width, 3 * dot);
    EXPECT_EQ(canvas->MeasureText("").width, 0);
    // Korean text in code page 949 is measured by its own glyphs.
    EXPECT_GT(canvas->MeasureText("\xBB\xE7\xBA\xBB").width, 2 * dot);
    // Bold is wider.
    const std::int32_t regular = canvas->MeasureText("Ostrevane").width;
    ASSERT_TRUE(canvas->SelectFont({kGungseo, 20, 900}));
    EXPECT_GT(canvas->MeasureText("Ostrevane").width, regular);
}

TEST(PosixPatternCanvas, TextIsWhiteAndStaysInsideItsClip) {
    auto canvas = CreatePatternCanvas(300, 120);
    ASSERT_TRUE(canvas->SelectFont({kGungseo, 80, 400}));
    canvas->DrawWhiteText("Ostrevane", {10, 20, 60, 100});
    const auto pixels = Pixels(*canvas);
    std::size_t white = 0;
    for (std::int32_t y = 0; y < 120; ++y) {
        for (std::int32_t x = 0; x < 300; ++x) {
            if (pixels[std::size_t(y) * 300 + x] == 0) continue;
            ++white;
            ASSERT_TRUE(x >= 10 && x < 60 && y >= 20 && y < 100) << x << "," << y;
            ASSERT_EQ(pixels[std::size_t(y) * 300 + x], 255);
        }
    }
    EXPECT_GT(white, 100u);
    // A clip off the canvas draws nothing and does not fault.
    auto other = CreatePatternCanvas(50, 50);
    ASSERT_TRUE(other->SelectFont({kGungseo, 80, 400}));
    other->DrawWhiteText("Ostrevane", {-400, -400, -10, -10});
    other->DrawWhiteText("Ostrevane", {60, 60, 500, 500});
    for (const std::uint8_t p : Pixels(*other)) ASSERT_EQ(p, 0);
}

TEST(Cp949Text, DecodesKoreanAndMarksBytesThatDoNotDecode) {
    EXPECT_EQ(posix::DecodeCp949(kGungseo), U"\uAD81\uC11C\uCCB4");
    EXPECT_EQ(posix::DecodeCp949("a.\x7F"), U"a.\x7F");
    EXPECT_EQ(posix::DecodeCp949("\xB1"), U"\uFFFD");       // a lead byte alone
    EXPECT_EQ(posix::DecodeCp949("\xFF" "a"), U"\uFFFD" "a");
    EXPECT_EQ(posix::Cp949ToUtf8(kGungseo), "\xEA\xB6\x81\xEC\x84\x9C\xEC\xB2\xB4");
}

}  // namespace
}  // namespace zeseal::platform
