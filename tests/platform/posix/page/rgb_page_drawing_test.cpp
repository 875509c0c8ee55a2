#include "platform/posix/page/rgb_page_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "seams/page_device.h"
#include "support/test_pages.h"

namespace zeseal::platform {
namespace {

using testing::OwnedPage;

constexpr std::string_view kCaptionFace = "\xB1\xC3\xBC\xAD";  // "궁서"

struct RectangleCase {
    std::int32_t penWidth;
    const char* art;  // a black 10 x 10 page after the rectangle (2, 2)-(9, 9)
};

class OutlinedRectangle : public ::testing::TestWithParam<RectangleCase> {};

TEST_P(OutlinedRectangle, CentresThePenOnTheEdgesAndFillsTheInsideWhite) {
    OwnedPage page(10, 10, 300);
    const auto device = AttachPageDevice(page.dc());
    ASSERT_NE(device, nullptr);
    // A black page first, so the white inside shows.
    device->OutlineRectangle({0, 0, 10, 10}, {40, 0});
    EXPECT_TRUE(device->OutlineRectangle({2, 2, 9, 9}, {GetParam().penWidth, 0}));
    EXPECT_EQ(page.Art(0, 0, 10, 10), GetParam().art) << "pen " << GetParam().penWidth;
}

INSTANTIATE_TEST_SUITE_P(
    PenWidths, OutlinedRectangle,
    ::testing::Values(RectangleCase{1,
                                    "##########\n"
                                    "##########\n"
                                    "##########\n"
                                    "###.....##\n"
                                    "###.....##\n"
                                    "###.....##\n"
                                    "###.....##\n"
                                    "###.....##\n"
                                    "##########\n"
                                    "##########"},
                      RectangleCase{0,  // a zero width draws one pixel, as GDI's pens do
                                    "##########\n"
                                    "##########\n"
                                    "##########\n"
                                    "###.....##\n"
                                    "###.....##\n"
                                    "###.....##\n"
                                    "###.....##\n"
                                    "###.....##\n"
                                    "##########\n"
                                    "##########"},
                      RectangleCase{3,
                                    "##########\n"
                                    "##########\n"
                                    "##########\n"
                                    "##########\n"
                                    "####...###\n"
                                    "####...###\n"
                                    "####...###\n"
                                    "##########\n"
                                    "##########\n"
                                    "##########"}));

TEST(OutlinedRectangle, UsesThePensColourAndIsClippedToThePage) {
    OwnedPage page(6, 6, 300);
    const auto device = AttachPageDevice(page.dc());
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->OutlineRectangle({-100, 1, 5, 1000}, {1, PageColour(255, 0, 0)}));
    EXPECT_EQ(page.Art(0, 0, 6, 6),
              "......\n"
              "rrrrr.\n"
              "....r.\n"
              "....r.\n"
              "....r.\n"
              "....r.");
    // Nothing is drawn for a rectangle without an inside.
    EXPECT_TRUE(device->OutlineRectangle({3, 3, 3, 5}, {2, 0}));
    EXPECT_EQ(page.InkedPixels(), 9u);
}

// A pen wider than one pixel joins the edges round, as GDI's geometric pens
// do: the outer corner pixels stay blank, the edges' own bands are whole.
TEST(OutlinedRectangle, AWidePenRoundsTheOuterCorners) {
    OwnedPage page(14, 14, 300);
    const auto device = AttachPageDevice(page.dc());
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->OutlineRectangle({4, 4, 10, 10}, {8, 0}));
    EXPECT_EQ(page.Art(0, 0, 14, 14),
              "..#########...\n"
              ".###########..\n"
              "#############.\n"
              "#############.\n"
              "#############.\n"
              "#############.\n"
              "#############.\n"
              "#############.\n"
              "#############.\n"
              "#############.\n"
              "#############.\n"
              ".###########..\n"
              "..#########...\n"
              "..............");
}

// The inked box of a page, as left, top, right, bottom (outside).
PageRect InkedBox(const OwnedPage& page, std::int32_t width, std::int32_t height) {
    const auto rgb = page.Rgb();
    PageRect box{width, height, 0, 0};
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            if (rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3] != 0) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    return box;
}

struct AlignmentCase {
    std::uint32_t alignment;
    const char* name;
};

class TextAlignment : public ::testing::TestWithParam<AlignmentCase> {};

TEST_P(TextAlignment, PlacesTheLineOnItsReferencePoint) {
    constexpr std::int32_t kWidth = 800, kHeight = 300, kX = 400, kY = 150, kCell = 60;
    OwnedPage page(kWidth, kHeight, 300);
    const auto device = AttachPageDevice(page.dc());
    ASSERT_NE(device, nullptr);
    PageFont font;
    font.faceName = kCaptionFace;
    font.height = kCell;
    ASSERT_TRUE(device->WriteText(kX, kY, "Ostrevane", font, GetParam().alignment));
    const PageRect ink = InkedBox(page, kWidth, kHeight);
    ASSERT_LT(ink.left, ink.right) << "nothing was written";
    const std::uint32_t horizontal = GetParam().alignment & kAlignCenter;
    const std::uint32_t vertical = GetParam().alignment & kAlignBaseline;
    if (horizontal == kAlignCenter) {
        EXPECT_NEAR((ink.left + ink.right) / 2, kX, 4);
    } else if (horizontal == kAlignRight) {
        EXPECT_LE(ink.right, kX + 1);
        EXPECT_GT(ink.right, kX - 8);
    } else {
        EXPECT_GE(ink.left, kX - 1);
        EXPECT_LT(ink.left, kX + 8);
    }
    if (vertical == kAlignTop) {
        EXPECT_GE(ink.top, kY);
        EXPECT_LE(ink.bottom, kY + kCell);
    } else if (vertical == kAlignBottom) {
        EXPECT_LE(ink.bottom, kY);
        EXPECT_GE(ink.top, kY - kCell);
    } else {  // the baseline: capitals stand on it, nothing hangs far below
        EXPECT_LT(ink.top, kY);
        EXPECT_LE(ink.bottom, kY + 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Flags, TextAlignment,
    ::testing::Values(AlignmentCase{kAlignCenter | kAlignTop, "CentreTop"},
                      AlignmentCase{kAlignLeft | kAlignTop, "LeftTop"},
                      AlignmentCase{kAlignRight | kAlignBottom, "RightBottom"},
                      AlignmentCase{kAlignLeft | kAlignBaseline, "LeftBaseline"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextLine, AnOpaqueBackgroundWhitensTheCellAndATransparentOneKeepsThePage) {
    constexpr std::int32_t kWidth = 400, kHeight = 120;
    for (const std::int32_t background : {kBackgroundOpaque, kBackgroundTransparent}) {
        OwnedPage page(kWidth, kHeight, 300);
        const auto device = AttachPageDevice(page.dc());
        ASSERT_NE(device, nullptr);
        device->OutlineRectangle({0, 0, kWidth, kHeight}, {1000, 0});
        device->SetBackgroundMode(background);
        PageFont font;
        font.faceName = kCaptionFace;
        font.height = 50;
        ASSERT_TRUE(device->WriteText(20, 30, "Ostrevane", font, kAlignLeft | kAlignTop));
        const std::size_t white = std::size_t(kWidth) * kHeight - page.InkedPixels();
        if (background == kBackgroundOpaque) {
            EXPECT_GT(white, 1000u);
        } else {
            EXPECT_EQ(white, 0u);
        }
    }
}

TEST(TextLine, KoreanTextInksAndTextOffThePageIsClipped) {
    OwnedPage page(300, 100, 300);
    const auto device = AttachPageDevice(page.dc());
    ASSERT_NE(device, nullptr);
    PageFont font;
    font.faceName = kCaptionFace;
    font.height = 40;
    // "등기" in code page 949.
    EXPECT_TRUE(device->WriteText(150, 20, "\xB5\xEE\xB1\xE2", font, kAlignCenter | kAlignTop));
    const std::size_t korean = page.InkedPixels();
    EXPECT_GT(korean, 100u);
    EXPECT_TRUE(device->WriteText(-5000, -5000, "Ostrevane", font, kAlignLeft | kAlignTop));
    EXPECT_TRUE(device->WriteText(290, 95, "Ostrevane", font, kAlignLeft | kAlignTop));
    EXPECT_GE(page.InkedPixels(), korean);
    EXPECT_FALSE(device->WriteText(0, 0, "Ostrevane", PageFont{kCaptionFace, 0}, kAlignLeft));
}

}  // namespace
}  // namespace zeseal::platform
