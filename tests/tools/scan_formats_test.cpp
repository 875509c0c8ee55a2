// The scan readers for TIFF and JPEG: a small grey picture written with
// libtiff or libjpeg comes back with its size, resolution and pixels.
#include "scan_formats.h"

#include <gtest/gtest.h>

#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/grey_jpeg.h"

namespace zeseal::tool {
namespace {

constexpr int kWidth = 37;
constexpr int kHeight = 23;

std::uint8_t Level(int x, int y) { return static_cast<std::uint8_t>(x * 6 + y * 3); }

std::vector<std::uint8_t> TiffBytes(int dpi) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "zeseal-scan-formats-test.tif";
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    EXPECT_NE(tiff, nullptr);
    if (tiff == nullptr) return {};
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 8);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, float(dpi));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, float(dpi));
    std::vector<std::uint8_t> row(kWidth);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) row[std::size_t(x)] = Level(x, y);
        TIFFWriteScanline(tiff, row.data(), std::uint32_t(y), 0);
    }
    TIFFClose(tiff);
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return bytes;
}

std::vector<std::uint8_t> JpegBytes(int dpi) {
    std::vector<std::uint8_t> grey(std::size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) grey[std::size_t(y) * kWidth + std::size_t(x)] = Level(x, y);
    }
    return testing::GreyJpeg(grey, kWidth, kHeight, 100, dpi);
}

TEST(ScanFormats, ReadsGreyTiffAndJpegWithTheirResolution) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool tiff;
        int dpi;
        int tolerance;  // JPEG is lossy even at quality 100
    };
    const Case cases[] = {
        {"tiff", TiffBytes(600), true, 600, 0},
        {"jpeg", JpegBytes(300), false, 300, 4},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.bytes.empty()) << c.name;
        EXPECT_EQ(LooksLikeTiff(c.bytes), c.tiff) << c.name;
        EXPECT_EQ(LooksLikeJpeg(c.bytes), !c.tiff) << c.name;
        const Image image = c.tiff ? DecodeTiff(c.bytes, c.name) : DecodeJpeg(c.bytes, c.name);
        EXPECT_EQ(image.width, kWidth) << c.name;
        EXPECT_EQ(image.height, kHeight) << c.name;
        EXPECT_EQ(image.dpi, c.dpi) << c.name;
        // Grey, or grey spelt out as red, green and blue.
        ASSERT_TRUE(image.channels == 1 || image.channels == 3) << c.name;
        const auto channels = std::size_t(image.channels);
        ASSERT_EQ(image.pixels.size(), std::size_t(kWidth) * kHeight * channels) << c.name;
        for (const auto& [x, y] : {std::pair{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {17, 11}, {kWidth - 1, kHeight - 1}}) {
            for (std::size_t k = 0; k < channels; ++k) {
                const int got = image.pixels[(std::size_t(y) * kWidth + std::size_t(x)) * channels + k];
                EXPECT_NEAR(got, Level(x, y), c.tolerance) << c.name << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace zeseal::tool
