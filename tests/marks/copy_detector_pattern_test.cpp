#include "marks/copy_detector_pattern.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_order.h"
#include "marks/bitmap_holder.h"

namespace zeseal::marks {
namespace {

using base::ReadLe16;
using base::ReadLe32;

constexpr std::int32_t W = kPatternWidth;
constexpr std::int32_t H = kPatternHeight;

// A canvas whose text is a stand-in: it measures every word as told, and
// either leaves the cell alone or whitens all of it.
class FakeCanvas final : public platform::PatternCanvas {
public:
    explicit FakeCanvas(platform::TextExtent word, bool whitenCells = false)
        : word_(word), whiten_(whitenCells), pixels_(std::size_t(W) * H, 0) {}

    std::int32_t Width() const override { return W; }
    std::int32_t Height() const override { return H; }
    void Rectangle(const platform::CanvasRect& r, platform::Brush brush) override {
        for (std::int32_t y = r.top; y < r.bottom; ++y) {
            for (std::int32_t x = r.left; x < r.right; ++x) {
                const bool edge = x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
                if (edge) Set(x, y, 0);
                else if (brush == platform::Brush::kWhite) Set(x, y, 255);
                else if (brush == platform::Brush::kBlack) Set(x, y, 0);
            }
        }
    }
    void SetBlackPixel(std::int32_t x, std::int32_t y) override { Set(x, y, 0); }
    bool SelectFont(const platform::CanvasFont& font) override {
        fonts.push_back(font);
        return true;
    }
    platform::TextExtent MeasureText(std::string_view text) override {
        measured.emplace_back(text);
        return word_;
    }
    void DrawWhiteText(std::string_view text, const platform::CanvasRect& clip) override {
        drawn.emplace_back(std::string(text), clip);
        if (!whiten_) return;
        for (std::int32_t y = clip.top; y < clip.bottom; ++y) {
            for (std::int32_t x = clip.left; x < clip.right; ++x) Set(x, y, 255);
        }
    }
    bool ReadIndices(std::uint8_t* const* rows) override {
        for (std::int32_t y = 0; y < H; ++y) std::copy_n(&pixels_[std::size_t(y) * W], W, rows[y]);
        return true;
    }

    std::uint8_t At(std::int32_t x, std::int32_t y) const { return pixels_[std::size_t(y) * W + x]; }

    std::vector<platform::CanvasFont> fonts;
    std::vector<std::string> measured;
    std::vector<std::pair<std::string, platform::CanvasRect>> drawn;

private:
    void Set(std::int32_t x, std::int32_t y, std::uint8_t v) {
        if (x >= 0 && y >= 0 && x < W && y < H) pixels_[std::size_t(y) * W + x] = v;
    }
    platform::TextExtent word_;
    bool whiten_;
    std::vector<std::uint8_t> pixels_;
};

CopyDetectorStyle StyleOf(std::int16_t shape, std::int16_t pitch, std::int16_t smooth = 0,
                          bool fallback = false) {
    catalogue::ModelRecord record{};
    record.dotShape = shape;
    record.dotPitch = pitch;
    record.smoothPattern = smooth;
    return MakeCopyDetectorStyle(record, fallback);
}

bool InFrame(std::int32_t x, std::int32_t y) {
    return x <= 2 || y <= 2 || x >= W - 3 || y >= H - 3;
}

TEST(CopyDetectorStyle, TheTwoVariantsDifferInTheirWordsAndFonts) {
    catalogue::ModelRecord record{};
    record.penWidth = 3;
    record.reserved1 = -1;
    record.reserved2 = 7;
    record.reserved3 = -32768;
    record.dotShape = 21;
    record.dotPitch = 4;
    record.smoothPattern = 1;
    record.supportClass = -1;
    const CopyDetectorStyle own = MakeCopyDetectorStyle(record, false);
    const CopyDetectorStyle fallback = MakeCopyDetectorStyle(record, true);
    EXPECT_STREQ(own.text, "Ostrevane");
    EXPECT_STREQ(own.altText, "\xBB\xE7\xBA\xBB");
    EXPECT_EQ(own.textFont.height, 170);
    EXPECT_EQ(own.altFont.height, 280);
    EXPECT_EQ(own.altFont.weight, 900);
    EXPECT_STREQ(fallback.text, ".");
    EXPECT_STREQ(fallback.altText, "\xBD\xC3\xB9\xFC\xBF\xEB");
    EXPECT_EQ(fallback.textFont.height, 20);
    EXPECT_EQ(fallback.altFont.height, 180);
    for (const CopyDetectorStyle& s : {own, fallback}) {
        EXPECT_EQ(s.width, 528);
        EXPECT_EQ(s.height, 264);
        EXPECT_EQ(s.textGap, 30);
        EXPECT_EQ(s.textPad, 5);
        EXPECT_EQ(s.textFont.faceName, "\xB1\xC3\xBC\xAD\xC3\xBC");
        EXPECT_EQ(s.textFont.weight, 400);
        EXPECT_EQ(s.textFont.charSet, 129);
        EXPECT_EQ(s.penWidth, 3);
        EXPECT_EQ(s.reserved1, -1);  // sign-extended
        EXPECT_EQ(s.reserved2, 7);
        EXPECT_EQ(s.reserved3, -32768);
        EXPECT_EQ(s.dotShape, 21);
        EXPECT_EQ(s.dotPitch, 4);
        EXPECT_EQ(s.smoothPattern, 1);
        EXPECT_EQ(s.supportClass, -1);
    }
}

TEST(RenderCopyDetectorPattern, AThreePixelFrameAroundAWhiteField) {
    FakeCanvas canvas({0, 0});
    ASSERT_TRUE(RenderCopyDetectorPattern(StyleOf(13, 3), canvas));
    for (std::int32_t y = 0; y < H; ++y) {
        for (std::int32_t x = 0; x < W; ++x) {
            ASSERT_EQ(canvas.At(x, y), InFrame(x, y) ? 0 : 255) << x << "," << y;
        }
    }
    ASSERT_EQ(canvas.fonts.size(), 1u);
    EXPECT_EQ(canvas.fonts[0].height, 170);
}

struct DotCase {
    std::int16_t shape;
    std::int16_t pitch;
};

class DotGrid : public ::testing::TestWithParam<DotCase> {};

TEST_P(DotGrid, DotsSitOnThePitchFromTheInnerOutline) {
    const DotCase c = GetParam();
    FakeCanvas canvas({0, 0});
    ASSERT_TRUE(RenderCopyDetectorPattern(StyleOf(c.shape, c.pitch), canvas));
    const std::int32_t across = c.shape / 10, down = c.shape % 10;
    std::set<std::pair<std::int32_t, std::int32_t>> dots;
    for (std::int32_t y = 2; y < H - 2; y += c.pitch) {
        for (std::int32_t x = 2; x < W - 2; x += c.pitch) {
            for (std::int32_t i = 0; i < down; ++i) {
                for (std::int32_t j = 0; j < across; ++j) dots.insert({x + j, y + i});
            }
        }
    }
    for (std::int32_t y = 3; y < H - 3; ++y) {
        for (std::int32_t x = 3; x < W - 3; ++x) {
            const bool black = dots.count({x, y}) != 0;
            ASSERT_EQ(canvas.At(x, y), black ? 0 : 255)
                << "shape " << c.shape << " pitch " << c.pitch << " at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryShapeAndPitch, DotGrid,
                         ::testing::Values(DotCase{11, 1}, DotCase{11, 2}, DotCase{11, 5},
                                           DotCase{12, 2}, DotCase{12, 3}, DotCase{12, 6},
                                           DotCase{21, 2}, DotCase{21, 4}, DotCase{21, 1},
                                           DotCase{22, 3}, DotCase{22, 4}, DotCase{22, 6},
                                           DotCase{22, 263}, DotCase{11, 32767}));

TEST(RenderCopyDetectorPattern, PitchOneWithTwoByTwoDotsBlackensTheWholeField) {
    FakeCanvas canvas({0, 0});
    ASSERT_TRUE(RenderCopyDetectorPattern(StyleOf(22, 1), canvas));
    for (std::int32_t y = 0; y < H; ++y) {
        for (std::int32_t x = 0; x < W; ++x) ASSERT_EQ(canvas.At(x, y), 0) << x << "," << y;
    }
}

TEST(RenderCopyDetectorPattern, OtherShapesAndPitchesBelowOneDrawNoDots) {
    const DotCase cases[] = {{13, 2}, {0, 2}, {-11, 2}, {33, 1}, {11, 0}, {22, -1}, {12, -32768}};
    for (const DotCase& c : cases) {
        FakeCanvas canvas({0, 0});
        ASSERT_TRUE(RenderCopyDetectorPattern(StyleOf(c.shape, c.pitch), canvas));
        for (std::int32_t y = 3; y < H - 3; ++y) {
            for (std::int32_t x = 3; x < W - 3; ++x) {
                ASSERT_EQ(canvas.At(x, y), 255) << c.shape << "/" << c.pitch << " at " << x << "," << y;
            }
        }
    }
}

TEST(RenderCopyDetectorPattern, WordCellsFollowTheMeasuredTextToTheRightEdge) {
    struct Case {
        platform::TextExtent word;
        std::vector<std::int32_t> lefts;
    };
    const Case cases[] = {
        {{100, 50}, {0, 130, 260, 390, 520}},
        {{498, 170}, {0}},   // one cell that ends exactly at the edge
        {{497, 170}, {0, 527}},
        {{900, 170}, {0}},
        {{0, 20}, {0, 30, 60, 90, 120, 150, 180, 210, 240, 270, 300, 330, 360, 390, 420, 450, 480, 510}},
    };
    for (const Case& c : cases) {
        FakeCanvas canvas(c.word);
        ASSERT_TRUE(RenderCopyDetectorPattern(StyleOf(11, 3), canvas));
        EXPECT_EQ(canvas.measured, std::vector<std::string>{"Ostrevane"});
        ASSERT_EQ(canvas.drawn.size(), c.lefts.size()) << c.word.width;
        for (std::size_t i = 0; i < c.lefts.size(); ++i) {
            const auto& [text, cell] = canvas.drawn[i];
            EXPECT_EQ(text, "Ostrevane");
            EXPECT_EQ(cell.left, c.lefts[i]);
            EXPECT_EQ(cell.right, c.lefts[i] + c.word.width + 30);
            EXPECT_EQ(cell.top, 45);
            EXPECT_EQ(cell.bottom, 45 + c.word.height + 5);
        }
    }
    FakeCanvas fallback({6, 20});
    ASSERT_TRUE(RenderCopyDetectorPattern(StyleOf(11, 3, 0, true), fallback));
    EXPECT_EQ(fallback.drawn.size(), 15u);  // 36-pixel cells: the 15th ends at 540
    EXPECT_EQ(fallback.drawn.front().first, ".");
}

TEST(RenderCopyDetectorPattern, TheOutermostOutlineReturnsWhereWordsCrossedIt) {
    FakeCanvas canvas({200, 100}, /*whitenCells=*/true);
    ASSERT_TRUE(RenderCopyDetectorPattern(StyleOf(22, 2), canvas));
    for (std::int32_t y = 0; y < H; ++y) {
        EXPECT_EQ(canvas.At(0, y), 0) << y;
        EXPECT_EQ(canvas.At(W - 1, y), 0) << y;
    }
    for (std::int32_t x = 0; x < W; ++x) EXPECT_EQ(canvas.At(x, 0), 0) << x;
    // Inside the outline the words knocked out frame and dots alike.
    EXPECT_EQ(canvas.At(1, 100), 255);
    EXPECT_EQ(canvas.At(2, 100), 255);
    EXPECT_EQ(canvas.At(W - 2, 100), 255);
    EXPECT_EQ(canvas.At(1, 44), 0);
    EXPECT_EQ(canvas.At(1, 150), 0);
}

TEST(RenderCopyDetectorPattern, RefusesACanvasOfAnotherSize) {
    auto canvas = platform::CreatePatternCanvas(W - 1, H);
    ASSERT_NE(canvas, nullptr);
    EXPECT_FALSE(RenderCopyDetectorPattern(StyleOf(11, 2), *canvas));
}

std::vector<std::uint8_t> Image(const CopyDetectorStyle& style) {
    std::vector<std::uint8_t> out(kPatternImageSize, 0xA5);
    EXPECT_TRUE(BuildPatternImage(style, out.data()));
    return out;
}

TEST(BuildPatternImage, WritesThe140470ByteGreyBmpAt600Dpi) {
    const auto image = Image(StyleOf(11, 2));
    EXPECT_EQ(image[0], 'B');
    EXPECT_EQ(image[1], 'M');
    struct Field {
        std::size_t at;
        std::uint32_t value;
        bool wide;
    };
    const Field fields[] = {{2, 140470, true}, {6, 0, true},   {10, 1078, true}, {14, 40, true},
                            {18, 528, true},   {22, 264, true}, {26, 1, false},   {28, 8, false},
                            {30, 0, true},     {34, 0, true},   {38, 23622, true}, {42, 23622, true},
                            {46, 0, true},     {50, 0, true}};
    for (const Field& f : fields) {
        EXPECT_EQ(f.wide ? ReadLe32(&image[f.at]) : ReadLe16(&image[f.at]), f.value) << f.at;
    }
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(image[54 + 4 * i], i);
        EXPECT_EQ(image[55 + 4 * i], i);
        EXPECT_EQ(image[56 + 4 * i], i);
        EXPECT_EQ(image[57 + 4 * i], 0);
    }
    // Rows are stored bottom-up: the top row (all frame) is the last one.
    for (std::int32_t x = 0; x < W; ++x) ASSERT_EQ(image[1078 + 263 * 528 + x], 0);
}

std::uint8_t PixelOf(const std::vector<std::uint8_t>& image, std::int32_t x, std::int32_t y) {
    return image[1078 + std::size_t(H - 1 - y) * W + std::size_t(x)];
}

TEST(BuildPatternImage, OnlySmoothPatternOneSmoothsTheThresholdedPicture) {
    for (const std::int16_t shape : {11, 22}) {
        const auto sharp = Image(StyleOf(shape, 3, 0));
        for (const std::int16_t notOne : {2, -1}) {
            EXPECT_EQ(Image(StyleOf(shape, 3, notOne)), sharp) << notOne;
        }
        for (std::size_t i = 1078; i < sharp.size(); ++i) ASSERT_TRUE(sharp[i] == 0 || sharp[i] == 255);

        const auto smooth = Image(StyleOf(shape, 3, 1));
        static constexpr int kWeight[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
        for (std::int32_t y = 0; y < H; ++y) {
            for (std::int32_t x = 0; x < W; ++x) {
                int expected = PixelOf(sharp, x, y);
                if (x >= 1 && y >= 1 && x <= W - 2 && y <= H - 2) {
                    int s = 0;
                    for (int i = -1; i <= 1; ++i) {
                        for (int j = -1; j <= 1; ++j) s += kWeight[i + 1][j + 1] * PixelOf(sharp, x + j, y + i);
                    }
                    expected = (s + 8) / 16;
                }
                ASSERT_EQ(PixelOf(smooth, x, y), expected) << shape << " at " << x << "," << y;
            }
        }
    }
    // A lone dot in white: weights 4/16 at its centre, 2/16 beside it, 1/16
    // on the diagonals; 255 - 255 * w rounded half up.
    const auto lone = Image(StyleOf(11, 200, 1));
    EXPECT_EQ(PixelOf(lone, 202, 202), 191);
    EXPECT_EQ(PixelOf(lone, 203, 202), 223);
    EXPECT_EQ(PixelOf(lone, 203, 203), 239);
}

}  // namespace
}  // namespace zeseal::marks
