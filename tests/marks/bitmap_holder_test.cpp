#include "marks/bitmap_holder.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/byte_order.h"

namespace zeseal::marks {
namespace {

using base::ReadLe16;
using base::ReadLe32;
using base::WriteLe32;

TEST(BitmapHolder, CreateResults) {
    BitmapHolder holder;
    EXPECT_EQ(holder.Create(16, 16, 16), BitmapHolder::kBadDepth);
    EXPECT_FALSE(holder.created());
    EXPECT_EQ(holder.Create(0, 5, 8), BitmapHolder::kBadSize);
    EXPECT_EQ(holder.Create(5, -1, 8), BitmapHolder::kBadSize);
    EXPECT_EQ(holder.Create(0x7FFFFFFF, 0x7FFFFFFF, 24), BitmapHolder::kBadSize);
    ASSERT_EQ(holder.Create(3, 2, 8), BitmapHolder::kCreated);
    holder.rows()[0][0] = 42;
    // A second Create keeps the first picture.
    EXPECT_EQ(holder.Create(9, 9, 24), BitmapHolder::kAlreadyCreated);
    EXPECT_EQ(holder.width(), 3);
    EXPECT_EQ(holder.rows()[0][0], 42);
    holder.Release();
    EXPECT_FALSE(holder.created());
    EXPECT_EQ(holder.PaletteOf(), nullptr);
}

TEST(BitmapHolder, StridesRoundRowsUpToFourBytes) {
    struct Case {
        std::int32_t width, bits, stride;
    };
    const Case cases[] = {{1, 8, 4}, {3, 8, 4}, {4, 8, 4}, {5, 8, 8}, {1, 24, 4},
                          {3, 24, 12}, {5, 24, 16}, {2528, 8, 2528}, {528, 8, 528}};
    for (const auto& c : cases) {
        BitmapHolder holder;
        ASSERT_EQ(holder.Create(c.width, 2, c.bits), 0);
        EXPECT_EQ(holder.stride(), c.stride) << c.width << "x" << c.bits;
        EXPECT_EQ(holder.pixelBytes(), std::size_t(c.stride) * 2);
    }
}

TEST(BitmapHolder, RowZeroIsTheTopRowStoredLast) {
    BitmapHolder holder;
    ASSERT_EQ(holder.Create(3, 4, 24), 0);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(holder.rows()[k], holder.pixels() + (3 - k) * 12) << k;
    }
}

TEST(BitmapHolder, HeaderAndGreyRamp) {
    BitmapHolder holder;
    ASSERT_EQ(holder.Create(7, 9, 8), 0);
    const std::uint8_t* h = holder.header();
    EXPECT_EQ(holder.headerBytes(), 1064u);
    EXPECT_EQ(ReadLe32(h), 40u);
    EXPECT_EQ(ReadLe32(h + 4), 7u);
    EXPECT_EQ(ReadLe32(h + 8), 9u);
    EXPECT_EQ(ReadLe16(h + 12), 1);
    EXPECT_EQ(ReadLe16(h + 14), 8);
    for (int offset = 16; offset < 40; offset += 4) EXPECT_EQ(ReadLe32(h + offset), 0u) << offset;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(ReadLe32(holder.PaletteOf() + 4 * i), std::uint32_t(i | i << 8 | i << 16)) << i;
    }
    BitmapHolder colour;
    ASSERT_EQ(colour.Create(2, 2, 24), 0);
    EXPECT_EQ(colour.headerBytes(), 40u);
    EXPECT_EQ(colour.PaletteOf(), nullptr);
}

TEST(BitmapHolder, GivenColourTableIsKeptAndCopied) {
    std::vector<std::uint8_t> table(1024);
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(255 - i % 256);
    BitmapHolder source;
    ASSERT_EQ(source.Create(5, 3, 8, table.data()), 0);
    source.rows()[1][4] = 77;
    BitmapHolder copy;
    ASSERT_EQ(copy.CopyFrom(source), 0);
    EXPECT_EQ(copy.width(), 5);
    EXPECT_EQ(copy.rows()[1][4], 77);
    EXPECT_TRUE(std::equal(table.begin(), table.end(), copy.PaletteOf()));
}

TEST(BitmapHolder, SetResolution) {
    BitmapHolder holder;
    EXPECT_EQ(holder.SetResolution(600, 600, 0), BitmapHolder::kNotCreated);
    ASSERT_EQ(holder.Create(2, 2, 8), 0);
    struct Case {
        std::int32_t x, y, unit;
        std::uint32_t storedX, storedY;
    };
    const Case cases[] = {
        {600, 600, 0, 23622, 23622}, {300, 72, 0, 11811, 2835}, {1000, 2000, 1, 1000, 2000},
        {5, 5, 2, 1000, 2000},  // an unknown unit changes nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(holder.SetResolution(c.x, c.y, c.unit), 0);
        EXPECT_EQ(ReadLe32(holder.header() + 24), c.storedX) << c.x << " unit " << c.unit;
        EXPECT_EQ(ReadLe32(holder.header() + 28), c.storedY);
    }
}

TEST(BitmapHolder, WriteBmpFileLayout) {
    BitmapHolder empty;
    std::uint8_t none[4];
    EXPECT_EQ(empty.WriteBmpFile(none), BitmapHolder::kWriteNotCreated);

    struct Case {
        std::int32_t width, height, bits;
        std::uint32_t fileSize, pixelOffset;
    };
    const Case cases[] = {{528, 264, 8, 140470, 1078}, {3, 2, 24, 14 + 40 + 24, 54}, {3, 2, 8, 1078 + 8, 1078}};
    for (const auto& c : cases) {
        BitmapHolder holder;
        ASSERT_EQ(holder.Create(c.width, c.height, c.bits), 0);
        holder.pixels()[0] = 0xAB;
        std::vector<std::uint8_t> file(holder.BmpFileSize());
        ASSERT_EQ(file.size(), c.fileSize);
        EXPECT_EQ(holder.WriteBmpFile(file.data()), static_cast<std::int32_t>(c.fileSize));
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(ReadLe32(&file[2]), c.fileSize);
        EXPECT_EQ(ReadLe32(&file[6]), 0u);
        EXPECT_EQ(ReadLe32(&file[10]), c.pixelOffset);
        EXPECT_EQ(ReadLe32(&file[14]), 40u);
        EXPECT_EQ(file[c.pixelOffset], 0xAB);
    }
}

TEST(BitmapHolder, Smooth3x3) {
    BitmapHolder source;
    ASSERT_EQ(source.Create(5, 5, 8), 0);
    source.rows()[2][2] = 255;  // one white pixel on black
    BitmapHolder smoothed;
    ASSERT_EQ(smoothed.CopyFrom(source), 0);
    EXPECT_EQ(smoothed.Smooth3x3(source), 1);
    const std::uint8_t expected[5][5] = {
        {0, 0, 0, 0, 0}, {0, 16, 32, 16, 0}, {0, 32, 64, 32, 0}, {0, 16, 32, 16, 0}, {0, 0, 0, 0, 0}};
    for (int k = 0; k < 5; ++k) {
        for (int m = 0; m < 5; ++m) EXPECT_EQ(smoothed.rows()[k][m], expected[k][m]) << k << "," << m;
    }

    BitmapHolder uniform;
    ASSERT_EQ(uniform.Create(4, 4, 8), 0);
    for (int k = 0; k < 4; ++k) std::fill_n(uniform.rows()[k], 4, 200);
    BitmapHolder out;
    ASSERT_EQ(out.CopyFrom(uniform), 0);
    out.Smooth3x3(uniform);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(std::count(out.rows()[k], out.rows()[k] + 4, 200), 4);

    BitmapHolder colour;
    ASSERT_EQ(colour.Create(4, 4, 24), 0);
    EXPECT_EQ(colour.Smooth3x3(uniform), 0);
    // A source smaller than the holder is refused rather than overread.
    BitmapHolder big;
    ASSERT_EQ(big.Create(9, 9, 8), 0);
    EXPECT_EQ(big.Smooth3x3(uniform), 0);
}

TEST(BitmapExtent, ReadsBothHeaderForms) {
    std::uint8_t core[12] = {12, 0, 0, 0, 0x10, 0x02, 0x08, 0x01};
    EXPECT_EQ(BitmapExtent(core).width, 0x0210);
    EXPECT_EQ(BitmapExtent(core).height, 0x0108);
    std::uint8_t info[40] = {40};
    WriteLe32(info + 4, 528);
    WriteLe32(info + 8, static_cast<std::uint32_t>(-264));  // top-down
    EXPECT_EQ(BitmapExtent(info).width, 528);
    EXPECT_EQ(BitmapExtent(info).height, 264);
    WriteLe32(info + 8, 0x80000000u);
    EXPECT_EQ(BitmapExtent(info).height, 0);
}

}  // namespace
}  // namespace zeseal::marks
