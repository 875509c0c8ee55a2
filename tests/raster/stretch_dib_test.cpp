#include "raster/stretch_dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zeseal::platform::posix {
namespace {

// Runs of equal source indices along the destination, e.g. "8,9,8,..."
std::vector<std::int64_t> Runs(std::int64_t s, std::int64_t d, raster::Axis axis) {
    std::vector<std::int64_t> runs;
    std::int64_t previous = -1;
    for (std::int64_t i = 0; i < d; ++i) {
        const std::int64_t source = raster::SourceForDestination(i, s, d, axis);
        if (source != previous) runs.push_back(0);
        ++runs.back();
        previous = source;
    }
    return runs;
}

TEST(SourceForDestination, EnlargingRepeatsPixelsInMeasuredRuns) {
    struct Case {
        std::int64_t s, d;
        std::vector<std::int64_t> firstRuns;
    };
    const Case cases[] = {
        {300, 600, {2, 2, 2, 2}},
        {72, 600, {8, 9, 8, 8, 9, 8, 8, 9}},  // 600/72 = 8.33: runs of 8 and 9
        {1, 5, {5}},
        {2, 5, {3, 2}},
        {3, 3, {1, 1, 1}},
    };
    for (const auto& c : cases) {
        for (const raster::Axis axis : {raster::Axis::Across, raster::Axis::Down}) {
            const auto runs = Runs(c.s, c.d, axis);
            ASSERT_GE(runs.size(), c.firstRuns.size());
            EXPECT_EQ(std::vector<std::int64_t>(runs.begin(), runs.begin() + c.firstRuns.size()), c.firstRuns)
                << c.s << " -> " << c.d;
            EXPECT_EQ(runs.size(), std::size_t(c.s)) << "every source pixel shows";
        }
    }
}

TEST(SourceForDestination, ShrinkingKeepsTheLastAcrossAndTheFirstDown) {
    struct Case {
        std::int64_t s, d;
        raster::Axis axis;
        std::vector<std::int64_t> sources;
    };
    const Case cases[] = {
        {600, 300, raster::Axis::Across, {1, 3, 5}},
        {600, 300, raster::Axis::Down, {0, 2, 4}},
        {3, 2, raster::Axis::Across, {1, 2}},
        {3, 2, raster::Axis::Down, {0, 2}},
        {5, 1, raster::Axis::Across, {4}},
        {5, 1, raster::Axis::Down, {0}},
    };
    for (const auto& c : cases) {
        for (std::size_t i = 0; i < c.sources.size(); ++i) {
            EXPECT_EQ(raster::SourceForDestination(std::int64_t(i), c.s, c.d, c.axis), c.sources[i])
                << c.s << " -> " << c.d << " at " << i;
        }
    }
}

TEST(SourceForDestination, ShrinkingMatchesWhereEachSourceLands) {
    // The closed forms against the definition: source s lands on
    // ceil((2s + 1) D / 2S) - 1.
    for (std::int64_t s = 2; s <= 40; ++s) {
        for (std::int64_t d = 1; d < s; ++d) {
            std::vector<std::int64_t> first(d, -1), last(d, -1);
            for (std::int64_t src = 0; src < s; ++src) {
                const std::int64_t lands = ((2 * src + 1) * d + 2 * s - 1) / (2 * s) - 1;
                if (first[lands] < 0) first[lands] = src;
                last[lands] = src;
            }
            for (std::int64_t i = 0; i < d; ++i) {
                ASSERT_EQ(raster::SourceForDestination(i, s, d, raster::Axis::Across), last[i]) << s << "->" << d;
                ASSERT_EQ(raster::SourceForDestination(i, s, d, raster::Axis::Down), first[i]) << s << "->" << d;
            }
        }
    }
}

// A bottom-up 8-bit DIB of the given top-down rows of '#' and '.'.
struct Dib {
    std::vector<std::uint8_t> info = std::vector<std::uint8_t>(40 + 1024);
    std::vector<std::uint8_t> bits;
    std::int32_t width = 0, height = 0;

    Dib(std::vector<std::string> rows, int bitCount = 8) {
        height = static_cast<std::int32_t>(rows.size());
        width = static_cast<std::int32_t>(rows[0].size());
        const std::int32_t stride = (width * bitCount + 31) / 32 * 4;
        bits.assign(std::size_t(stride) * std::size_t(height), 0);
        info[0] = 40;
        info[4] = static_cast<std::uint8_t>(width);
        info[8] = static_cast<std::uint8_t>(height);
        info[12] = 1;
        info[14] = static_cast<std::uint8_t>(bitCount);
        // Palette: 0 black, 1 white (and the grey ramp beyond for 8 bits).
        for (int i = 0; i < 256; ++i) info[40 + 4 * i] = info[41 + 4 * i] = info[42 + 4 * i] = static_cast<std::uint8_t>(i);
        info[40 + 4] = info[41 + 4] = info[42 + 4] = 255;
        for (std::int32_t r = 0; r < height; ++r) {
            std::uint8_t* row = bits.data() + std::size_t(height - 1 - r) * std::size_t(stride);
            for (std::int32_t c = 0; c < width; ++c) {
                const int v = rows[r][c] == '#' ? 0 : 1;
                if (bitCount == 8) row[c] = static_cast<std::uint8_t>(v);
                if (bitCount == 4) row[c / 2] |= static_cast<std::uint8_t>(v << ((c % 2) ? 0 : 4));
                if (bitCount == 1) row[c / 8] |= static_cast<std::uint8_t>(v << (7 - c % 8));
            }
        }
    }
};

std::string Art(const raster::RgbPage& page) {
    std::string art;
    for (std::int32_t y = 0; y < page.height; ++y) {
        if (y != 0) art += '\n';
        for (std::int32_t x = 0; x < page.width; ++x) art += page.Row(y)[3 * x] == 0 ? '#' : '.';
    }
    return art;
}

TEST(StretchDibOntoPage, PicksPixelsForEachDepthAndClipsToThePage) {
    for (const int bits : {1, 4, 8}) {
        Dib dib({"#.", ".#"}, bits);
        auto page = raster::MakeWhitePage(5, 5, 300, 300);
        DibTransfer t;
        t.destX = -1;  // the first column falls off the page
        t.destY = 1;
        t.destWidth = 4;
        t.destHeight = 6;  // the last rows fall off the page
        t.srcWidth = 2;
        t.srcHeight = 2;
        t.bits = dib.bits.data();
        t.info = dib.info.data();
        t.rop = kRopSourceCopy;
        EXPECT_EQ(raster::StretchDibOntoPage(*page, t), 2) << bits;
        EXPECT_EQ(Art(*page),
                  ".....\n"
                  "#....\n"
                  "#....\n"
                  "#....\n"
                  ".##..")
            << bits;
    }
}

TEST(StretchDibOntoPage, AndKeepsInkAndRefusesWhatItCannotTake) {
    Dib dib({"#.", ".."});
    auto page = raster::MakeWhitePage(2, 2, 300, 300);
    for (int x = 0; x < 2; ++x) page->Row(1)[3 * x] = page->Row(1)[3 * x + 1] = page->Row(1)[3 * x + 2] = 0;
    DibTransfer t;
    t.destWidth = 2;
    t.destHeight = 2;
    t.srcWidth = 2;
    t.srcHeight = 2;
    t.bits = dib.bits.data();
    t.info = dib.info.data();
    t.rop = kRopSourceAnd;
    EXPECT_EQ(raster::StretchDibOntoPage(*page, t), 2);
    EXPECT_EQ(Art(*page), "#.\n##");

    DibTransfer bad = t;
    bad.srcWidth = 3;  // wider than the picture
    EXPECT_EQ(raster::StretchDibOntoPage(*page, bad), -1);
    bad = t;
    bad.rop = 0x00EE0086;  // SRCPAINT is not offered
    EXPECT_EQ(raster::StretchDibOntoPage(*page, bad), -1);
    bad = t;
    bad.bits = nullptr;
    EXPECT_EQ(raster::StretchDibOntoPage(*page, bad), -1);
    Dib rle({"#."});
    rle.info[16] = 1;  // compressed
    bad = t;
    bad.info = rle.info.data();
    EXPECT_EQ(raster::StretchDibOntoPage(*page, bad), -1);
    bad = t;
    bad.destX = 10;  // entirely off the page: nothing to do, not a failure
    EXPECT_EQ(raster::StretchDibOntoPage(*page, bad), 2);
}

TEST(StretchDibOntoPage, TwentyFourBitPixelsAreBlueGreenRed) {
    std::vector<std::uint8_t> info(40);
    info[0] = 40;
    info[4] = 1;
    info[8] = 1;
    info[12] = 1;
    info[14] = 24;
    const std::uint8_t bits[4] = {0x10, 0x20, 0x30, 0};
    auto page = raster::MakeWhitePage(1, 1, 300, 300);
    DibTransfer t;
    t.destWidth = t.destHeight = t.srcWidth = t.srcHeight = 1;
    t.bits = bits;
    t.info = info.data();
    ASSERT_EQ(raster::StretchDibOntoPage(*page, t), 1);
    EXPECT_EQ(page->rgb, (std::vector<std::uint8_t>{0x30, 0x20, 0x10}));
}

TEST(StretchDibOntoPage, CoreHeadersCarryThreeByteColoursAndSixteenBitSizes) {
    // 12-byte header: width 3, height 2, 1 plane, 4 bits; 16 entries of
    // (blue, green, red); rows bottom-up.
    std::vector<std::uint8_t> info(12 + 16 * 3, 0);
    info[0] = 12;
    info[4] = 3;
    info[6] = 2;
    info[8] = 1;
    info[10] = 4;
    const std::uint8_t entry1[3] = {0x01, 0x02, 0x03}, entry2[3] = {0x0A, 0x0B, 0x0C};
    std::copy(entry1, entry1 + 3, info.begin() + 12 + 3);
    std::copy(entry2, entry2 + 3, info.begin() + 12 + 6);
    const std::uint8_t bits[8] = {0x12, 0x00, 0, 0,   // bottom row: 1, 2, 0
                                  0x21, 0x10, 0, 0};  // top row: 2, 1, 1
    auto page = raster::MakeWhitePage(3, 2, 300, 300);
    DibTransfer t;
    t.destWidth = t.srcWidth = 3;
    t.destHeight = t.srcHeight = 2;
    t.bits = bits;
    t.info = info.data();
    ASSERT_EQ(raster::StretchDibOntoPage(*page, t), 2);
    EXPECT_EQ(page->rgb, (std::vector<std::uint8_t>{0x0C, 0x0B, 0x0A, 0x03, 0x02, 0x01, 0x03, 0x02, 0x01,
                                                    0x03, 0x02, 0x01, 0x0C, 0x0B, 0x0A, 0, 0, 0}));
    info[10] = 16;  // no such core depth
    EXPECT_EQ(raster::StretchDibOntoPage(*page, t), -1);
}

}  // namespace
}  // namespace zeseal::platform::posix
