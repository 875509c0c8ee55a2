#include "marks/water_code.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_pages.h"

namespace zeseal::marks {
namespace {

TEST(WaterCodeShapeOf, RowsByLayoutAndWidthByByteCount) {
    struct Case {
        std::int32_t layout, byteCount, width, rows;
    };
    const Case cases[] = {
        {3, 323584, 2528, 128}, {3, 0, 2528, 128},   {1, 478144, 1928, 248}, {1, 247, 1928, 248},
        {0, 1100, 8, 128},      {2, 127, 2528, 128}, {1, 248, 1, 248},       {-5, 640, 5, 128},
    };
    for (const auto& c : cases) {
        const WaterCodeShape shape = WaterCodeShapeOf(c.layout, c.byteCount);
        EXPECT_EQ(shape.width, c.width) << "layout " << c.layout << " bytes " << c.byteCount;
        EXPECT_EQ(shape.rows, c.rows) << "layout " << c.layout;
    }
}

class DrawWaterCodeTest : public ::testing::Test {
protected:
    testing::OwnedPage page{64, 300, 300};
    std::unique_ptr<platform::PageDevice> device = platform::AttachPageDevice(page.dc());
};

TEST_F(DrawWaterCodeTest, BottomRowComesFirstAndExtraBytesAreIgnored) {
    // 1100 bytes, layout 0: 8 x 128, the last 76 bytes ignored.
    std::vector<std::uint8_t> code(1100, 255);
    code[0] = 0;          // bottom row, first column
    code[127 * 8 + 7] = 0;  // top row, last column
    std::fill(code.begin() + 1024, code.end(), 0);  // beyond the code: never drawn
    ASSERT_TRUE(DrawWaterCode(*device, code.data(), code.size(), 1, 2, 0, 300, 1100));
    EXPECT_EQ(page.Art(31, 2, 8, 1), ".......#");
    EXPECT_EQ(page.Art(31, 129, 8, 1), "#.......");
    EXPECT_EQ(page.InkedPixels(), 2u);
}

TEST_F(DrawWaterCodeTest, WidthsThatAreNotAMultipleOfFourKeepTheirRows) {
    // 5 x 128: each packed row of 5 bytes goes into a padded row of 8.
    std::vector<std::uint8_t> code(5 * 128, 255);
    for (int r = 0; r < 128; ++r) code[std::size_t(r) * 5 + std::size_t(r % 5)] = 0;
    ASSERT_TRUE(DrawWaterCode(*device, code.data(), code.size(), 1, 0, 0, 300, 5 * 128));
    // Stored row r is printed row 127 - r; its black pixel sits at column r % 5.
    EXPECT_EQ(page.Art(31, 122, 5, 6), "#....\n....#\n...#.\n..#..\n.#...\n#....");
    EXPECT_EQ(page.InkedPixels(), 128u);
}

TEST_F(DrawWaterCodeTest, RefusesWhatItCannotDrawSafely) {
    std::vector<std::uint8_t> code(1024, 0);
    EXPECT_FALSE(DrawWaterCode(*device, nullptr, 0, 1, 1, 0, 300, 1024));
    EXPECT_FALSE(DrawWaterCode(*device, code.data(), code.size(), 1, 1, 0, 300, -1024));
    // byteCount 0 asks for the full 2528 x 128 code; only 1024 bytes exist.
    EXPECT_FALSE(DrawWaterCode(*device, code.data(), code.size(), 1, 1, 3, 300, 0));
    EXPECT_EQ(page.InkedPixels(), 0u);
}

}  // namespace
}  // namespace zeseal::marks
