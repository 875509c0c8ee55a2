#include "densecode/reader/page_reader.h"

#include <gtest/gtest.h>

#include <random>

#include "densecode/dense_code_test_support.h"
#include "marks/water_code.h"
#include "support/test_pages.h"
#include "densecode/encoder.h"

namespace zeseal::densecode {
namespace {

using testing::RandomInput;

struct PageCase {
    std::int32_t dpi;
    std::int32_t x;
    std::int32_t y;
    double noise;  // share of page pixels inverted after drawing
};

// A page just large enough for the code at (x, y), with the code drawn on
// it by DrawWaterCode as the test page draws it (layout 3, byte count 0).
struct DrawnPage {
    std::int32_t width;
    std::int32_t height;
    std::vector<std::uint8_t> rgb;
};

DrawnPage DrawOnNewPage(const std::vector<std::uint8_t>& input, const PageCase& c) {
    const std::int32_t width = (c.x + 30) * c.dpi / 300 + 2528 * c.dpi / 300 + 16;
    const std::int32_t height = c.y * c.dpi / 300 + 128 * c.dpi / 300 + 16;
    zeseal::testing::OwnedPage page(width, height, c.dpi);
    auto device = platform::AttachPageDevice(page.dc());
    const frame::HeapBlock image = EncodeDenseCode(input.data());
    EXPECT_TRUE(marks::DrawWaterCode(*device, image.data(), image.size(), c.x, c.y, 3, 300, 0));
    DrawnPage drawn{width, height, page.Rgb()};
    if (c.noise > 0) {
        std::mt19937 random(unsigned(c.dpi));
        std::bernoulli_distribution flip(c.noise);
        for (std::size_t i = 0; i < drawn.rgb.size(); i += 3) {
            if (flip(random)) {
                const std::uint8_t v = drawn.rgb[i] < 128 ? 255 : 0;
                drawn.rgb[i] = drawn.rgb[i + 1] = drawn.rgb[i + 2] = v;
            }
        }
    }
    return drawn;
}

DensePageRaster RasterOf(const DrawnPage& page, std::int32_t dpi) {
    DensePageRaster raster;
    raster.pixels = page.rgb.data();
    raster.width = page.width;
    raster.height = page.height;
    raster.channels = 3;
    raster.rowBytes = std::size_t(page.width) * 3;
    raster.dpiX = raster.dpiY = dpi;
    return raster;
}

class DensePageRead : public ::testing::TestWithParam<PageCase> {};

TEST_P(DensePageRead, RestoresTheInputFromTheDrawnPage) {
    const PageCase c = GetParam();
    const auto input = RandomInput(unsigned(c.dpi + c.x));
    const DrawnPage page = DrawOnNewPage(input, c);
    const DenseCodeReading reading = ReadDenseCodeFromPage(RasterOf(page, c.dpi), c.x, c.y);
    ASSERT_TRUE(reading.ok()) << DescribeDenseReadStatus(reading.status);
    EXPECT_EQ(reading.bytes, input);
    if (c.noise == 0) EXPECT_EQ(reading.TotalCorrected(), 0);
    else EXPECT_GT(reading.TotalCorrected(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Resolutions, DensePageRead,
    ::testing::Values(PageCase{300, 250, 100, 0}, PageCase{600, 250, 100, 0},
                      PageCase{1200, 20, 30, 0}, PageCase{600, 0, 0, 0},
                      PageCase{450, 17, 9, 0}, PageCase{600, 250, 100, 0.03},
                      PageCase{1200, 20, 30, 0.08}),
    [](const ::testing::TestParamInfo<PageCase>& info) {
        return std::to_string(info.param.dpi) + "dpi_at_" + std::to_string(info.param.x) + "_" +
               std::to_string(info.param.y) + (info.param.noise > 0 ? "_noisy" : "");
    });

TEST(ReadDenseCodeFromPage, UsesUnsureCellsAsErasures) {
    // At 600 dpi a cell sample is 2 x 2 page pixels; 3% noise makes many of
    // them half dark, which the decoder gets as erasures.
    const PageCase c{600, 250, 100, 0.03};
    const DrawnPage page = DrawOnNewPage(RandomInput(1), c);
    const DenseCodeReading reading = ReadDenseCodeFromPage(RasterOf(page, c.dpi), c.x, c.y);
    ASSERT_TRUE(reading.ok());
    std::int32_t erasures = 0;
    for (const std::int32_t e : reading.erasures) erasures += e;
    EXPECT_GT(erasures, 0);
}

TEST(ReadDenseCodeFromPage, RefusesWhatItCannotRead) {
    const PageCase c{600, 250, 100, 0};
    const DrawnPage page = DrawOnNewPage(RandomInput(2), c);
    DensePageRaster raster = RasterOf(page, c.dpi);
    // No part of the code on the page.
    EXPECT_EQ(ReadDenseCodeFromPage(raster, 2900, 100).status, DenseReadStatus::kOutsidePage);
    EXPECT_EQ(ReadDenseCodeFromPage(raster, 250, 240).status, DenseReadStatus::kOutsidePage);
    EXPECT_EQ(ReadDenseCodeFromPage(raster, -2600, 100).status, DenseReadStatus::kOutsidePage);
    EXPECT_EQ(ReadDenseCodeFromPage(raster, 250, -140).status, DenseReadStatus::kOutsidePage);
    // Off by a few pixels: found nothing readable.
    EXPECT_EQ(ReadDenseCodeFromPage(raster, 240, 95).status, DenseReadStatus::kUncorrectable);
    raster.dpiX = raster.dpiY = 200;
    EXPECT_EQ(ReadDenseCodeFromPage(raster, 0, 0).status, DenseReadStatus::kResolutionTooLow);
    raster.dpiX = raster.dpiY = 600;
    raster.rowBytes = 3 * std::size_t(page.width) - 1;
    EXPECT_EQ(ReadDenseCodeFromPage(raster, 250, 100).status, DenseReadStatus::kNoImage);
    raster.rowBytes = 3 * std::size_t(page.width);
    raster.pixels = nullptr;
    EXPECT_EQ(ReadDenseCodeFromPage(raster, 250, 100).status, DenseReadStatus::kNoImage);
}

TEST(ReadDenseCodeFromPage, ReadsACodeCutOffByThePageEdge) {
    // The raster keeps only the left part of each row, as a page narrower
    // than the code's reach does; the lost cells become erasures.
    const PageCase c{600, 250, 100, 0};
    const auto input = RandomInput(4);
    const DrawnPage page = DrawOnNewPage(input, c);
    DensePageRaster raster = RasterOf(page, c.dpi);
    for (const auto& [lostBands, readable] : {std::pair{2, true}, {3, true}, {5, false}}) {
        raster.width = page.width - 16 - 2 * kDenseWindowWidth * lostBands;
        const DenseCodeReading reading = ReadDenseCodeFromPage(raster, c.x, c.y);
        EXPECT_EQ(reading.ok(), readable) << lostBands << " bands lost";
        if (readable) {
            EXPECT_EQ(reading.bytes, input);
            EXPECT_GT(reading.erasures[0], 0);
        }
    }
}

TEST(ReadDenseCodeFromPage, ReadsAGreyRaster) {
    const PageCase c{300, 250, 100, 0};
    const auto input = RandomInput(3);
    const DrawnPage page = DrawOnNewPage(input, c);
    std::vector<std::uint8_t> grey(page.rgb.size() / 3);
    for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = page.rgb[3 * i + 1];
    DensePageRaster raster = RasterOf(page, c.dpi);
    raster.pixels = grey.data();
    raster.channels = 1;
    raster.rowBytes = std::size_t(page.width);
    const DenseCodeReading reading = ReadDenseCodeFromPage(raster, c.x, c.y);
    ASSERT_TRUE(reading.ok());
    EXPECT_EQ(reading.bytes, input);
}

}  // namespace
}  // namespace zeseal::densecode
