#include "marks/draw_on_page.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "base/byte_order.h"
#include "marks/bitmap_holder.h"
#include "raster/rgb_page.h"
#include "support/test_pages.h"

namespace zeseal::marks {
namespace {

using base::WriteLe32;

TEST(PlaceOnPage, ScalesFromTheBaseToTheDevice) {
    struct Case {
        const char* name;
        std::int32_t dpi, clipLeft, srcW, srcH, x, y, base;
        Placement at;
    };
    const Case cases[] = {
        {"600 dpi doubles a 300-unit picture", 600, 0, 10, 20, 100, 200, 300, {260, 400, 20, 40}},
        {"x 0 is the clip box's left edge", 600, 17, 10, 20, 0, 200, 300, {17, 400, 20, 40}},
        {"test page code", 600, 0, 2528, 128, 250, 2100, 300, {560, 4200, 5056, 256}},
        {"copy-detection pattern at its own base", 600, 0, 528, 264, 10, 10, 600, {40, 10, 528, 264}},
        {"sizes are truncated, not rounded", 72, 0, 101, 7, 1, 1, 300, {7, 0, 24, 1}},
        {"positions round half up", 150, 0, 4, 4, 1, 1, 300, {16, 1, 2, 2}},
        {"negative positions move toward zero twice", 300, 0, 1, 1, -40, -3, 300, {-8, -1, 1, 1}},
        {"court logo base", 600, 0, 72, 36, 72, 72, 72, {850, 600, 600, 300}},
    };
    for (const auto& c : cases) {
        const Placement at = PlaceOnPage(c.dpi, c.dpi, c.clipLeft, c.srcW, c.srcH, c.x, c.y, c.base);
        EXPECT_EQ(at.destX, c.at.destX) << c.name;
        EXPECT_EQ(at.destY, c.at.destY) << c.name;
        EXPECT_EQ(at.destWidth, c.at.destWidth) << c.name;
        EXPECT_EQ(at.destHeight, c.at.destHeight) << c.name;
    }
}

TEST(PlaceOnPage, PositionsPastTheDeviceRangeSaturate) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    struct Case {
        const char* name;
        std::int32_t dpi, srcW, x, y, base;
        Placement at;
    };
    const Case cases[] = {
        {"largest x doubled", 600, 1, kMax, 0, 300, {kMax, 0, 2, 2}},
        {"y of 2^30 doubled", 600, 1, 1, 1 << 30, 300, {62, kMax, 2, 2}},
        {"smallest x doubled", 600, 1, kMin, 0, 300, {kMin, 0, 2, 2}},
        {"smallest y doubled", 600, 1, 1, kMin, 300, {62, kMin, 2, 2}},
        {"largest width doubled", 600, kMax, 1, 1, 300, {62, 2, kMax, 2}},
        {"the last x that fits", 300, 1, kMax - 30, 0, 300, {kMax, 0, 1, 1}},
        {"one past it", 300, 1, kMax - 29, 0, 300, {kMax, 0, 1, 1}},
        {"smallest y unscaled moves toward zero twice", 300, 1, 1, kMin, 300, {31, kMin + 2, 1, 1}},
        {"a huge device resolution", kMax, 1, 1, 1, 1, {kMax, kMax, kMax, kMax}},
    };
    for (const auto& c : cases) {
        const Placement at = PlaceOnPage(c.dpi, c.dpi, 0, c.srcW, 1, c.x, c.y, c.base);
        EXPECT_EQ(at.destX, c.at.destX) << c.name;
        EXPECT_EQ(at.destY, c.at.destY) << c.name;
        EXPECT_EQ(at.destWidth, c.at.destWidth) << c.name;
        EXPECT_EQ(at.destHeight, c.at.destHeight) << c.name;
    }
}

TEST(DrawOnPage, UsesColorOnColorAndReportsTheTransfer) {
    testing::OwnedPage page(100, 100, 600);
    auto device = platform::AttachPageDevice(page.dc());
    ASSERT_NE(device, nullptr);
    BitmapHolder holder;
    ASSERT_EQ(holder.Create(4, 2, 8), 0);
    EXPECT_EQ(DrawOnPage(*device, holder.header(), holder.pixels(), 4, 2, 1, 1, 300, kRasterAnd), 2);
    EXPECT_EQ(raster::PageRegistry::Instance().Find(page.dc())->stretchMode,
              platform::kStretchColorOnColor);
    // A transfer the device cannot take reports -1.
    std::uint8_t badHeader[40] = {40};
    EXPECT_EQ(DrawOnPage(*device, badHeader, holder.pixels(), 4, 2, 1, 1, 300, kRasterAnd), -1);
}

TEST(DrawOnPage, CopyReplacesWhileAndKeepsWhatIsPrinted) {
    // A 2 x 1 picture: black, white.
    BitmapHolder holder;
    ASSERT_EQ(holder.Create(2, 1, 8), 0);
    holder.rows()[0][0] = 0;
    holder.rows()[0][1] = 255;
    testing::OwnedPage page(70, 2, 300);
    auto device = platform::AttachPageDevice(page.dc());
    // Ink the area first with a black 2 x 2 copy at x = 10 (device 40).
    BitmapHolder ink;
    ASSERT_EQ(ink.Create(2, 2, 8), 0);
    ASSERT_NE(DrawOnPage(*device, ink.header(), ink.pixels(), 2, 2, 10, 0, 300, kRasterCopy), -1);
    ASSERT_NE(DrawOnPage(*device, holder.header(), holder.pixels(), 2, 1, 10, 0, 300, kRasterAnd), -1);
    ASSERT_NE(DrawOnPage(*device, holder.header(), holder.pixels(), 2, 1, 10, 1, 300, kRasterCopy), -1);
    EXPECT_EQ(page.Art(39, 0, 4, 2), ".##.\n.#..");
}

std::vector<std::uint8_t> BmpFile(std::int32_t width, std::int32_t height, std::int32_t bits) {
    BitmapHolder holder;
    EXPECT_EQ(holder.Create(width, height, bits), 0);
    std::vector<std::uint8_t> file(holder.BmpFileSize());
    holder.WriteBmpFile(file.data());
    return file;
}

TEST(DrawBmpImage, DrawsWholeImagesAndRefusesShortOnes) {
    testing::OwnedPage page(200, 200, 72);
    auto device = platform::AttachPageDevice(page.dc());
    for (const std::int32_t bits : {8, 24}) {
        auto file = BmpFile(3, 3, bits);  // all black
        EXPECT_TRUE(DrawBmpImage(*device, file.data(), file.size(), 1, 1, 72)) << bits;
        EXPECT_FALSE(DrawBmpImage(*device, file.data(), file.size() - 1, 1, 1, 72)) << bits;
        EXPECT_FALSE(DrawBmpImage(*device, file.data(), 20, 1, 1, 72)) << bits;
    }
    EXPECT_EQ(page.Art(30, 1, 5, 1), ".###.");
    EXPECT_EQ(raster::PageRegistry::Instance().Find(page.dc())->backgroundMode,
              platform::kBackgroundTransparent);

    auto huge = BmpFile(3, 3, 8);
    WriteLe32(&huge[14 + 4], 100000);  // a width the bytes do not hold
    EXPECT_FALSE(DrawBmpImage(*device, huge.data(), huge.size(), 1, 1, 72));
}

}  // namespace
}  // namespace zeseal::marks
