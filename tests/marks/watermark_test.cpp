#include "marks/watermark.h"

#include <gtest/gtest.h>

#include <vector>

#include "authoring/container_writer.h"
#include "support/test_pages.h"

namespace zeseal::marks {
namespace {

TEST(FillFromRaster, SwapsRedAndBlueAndKeepsPaddingZero) {
    BitmapHolder holder;
    ASSERT_EQ(holder.Create(2, 2, 24), 0);
    const std::uint8_t rgb[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(FillFromRaster(rgb, holder), 1);
    const std::uint8_t top[6] = {3, 2, 1, 6, 5, 4};
    const std::uint8_t bottom[6] = {9, 8, 7, 12, 11, 10};
    EXPECT_TRUE(std::equal(top, top + 6, holder.rows()[0]));
    EXPECT_TRUE(std::equal(bottom, bottom + 6, holder.rows()[1]));
    EXPECT_EQ(holder.rows()[0][6], 0);
    EXPECT_EQ(holder.rows()[0][7], 0);
    BitmapHolder empty;
    EXPECT_EQ(FillFromRaster(rgb, empty), 0);
}

TEST(DrawWatermarkRaster, RefusesHeadersThePixelsDoNotBackUp) {
    testing::OwnedPage page(40, 40, 300);
    auto device = platform::AttachPageDevice(page.dc());
    struct Case {
        const char* name;
        std::int32_t width, height, bits;
        std::size_t pixelBytes;
        bool drawn;
    };
    const Case cases[] = {
        {"exact", 2, 2, 8, 4, true},
        {"one byte short", 2, 2, 8, 3, false},
        {"24-bit short", 2, 2, 24, 11, false},
        {"16 bits", 2, 2, 16, 8, false},
        {"zero width", 0, 2, 8, 0, false},
        {"negative height", 2, -2, 8, 4, false},
        {"huge", 0x10000, 0x10000, 24, 4, false},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> pixels(c.pixelBytes, 0);
        const auto raster = authoring::MakeMarkRaster(c.width, c.height, c.bits, pixels);
        EXPECT_EQ(DrawWatermarkRaster(*device, raster.data(), static_cast<std::uint32_t>(raster.size()), 1, 1, 300),
                  c.drawn)
            << c.name;
    }
    const std::uint8_t shortHeader[8] = {0, 0, 0, 1, 0, 0, 0, 1};
    EXPECT_FALSE(DrawWatermarkRaster(*device, shortHeader, sizeof shortHeader, 1, 1, 300));
}

}  // namespace
}  // namespace zeseal::marks
