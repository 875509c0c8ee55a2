// The page reader's size checks, in both the 64-bit and the 32-bit builds:
// a raster whose rows are shorter than its width is refused before any pixel
// is read, however large the width.
#include "densecode/reader/page_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zeseal::densecode {
namespace {

TEST(ReadDenseCodeFromPageSizes, RefusesRowsShorterThanTheWidthWhateverTheWidth) {
    struct Case {
        const char* name;
        std::int32_t width;
        std::int32_t channels;
        std::size_t rowBytes;
    };
    const Case cases[] = {
        {"one byte short", 3000, 3, 8999},
        {"grey, one byte short", 3000, 1, 2999},
        // 3 x 1431655766 is 2^32 + 2: two bytes in a 32-bit size_t.
        {"3 x width wraps 32 bits", 1431655766, 3, 64},
        {"3 x width wraps 32 bits to 32 bytes", 1431655776, 3, 64},
        {"the largest width", 2147483647, 3, 1024},
        {"the largest grey width", 2147483647, 1, 1024},
    };
    std::vector<std::uint8_t> pixels(1024, 255);
    for (const Case& c : cases) {
        DensePageRaster raster;
        raster.pixels = pixels.data();
        raster.width = c.width;
        raster.height = 1;
        raster.channels = c.channels;
        raster.rowBytes = c.rowBytes;
        raster.dpiX = raster.dpiY = 600;
        EXPECT_EQ(ReadDenseCodeFromPage(raster, 0, 0).status, DenseReadStatus::kNoImage) << c.name;
    }
}

}  // namespace
}  // namespace zeseal::densecode
