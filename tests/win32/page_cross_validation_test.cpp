// Each mark drawn through its export on a GDI memory page must give exactly
// the pixels that the POSIX page device gives for the same drawing at the
// same size and resolution: GDI is the reference of our own page device.
#include <windows.h>

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "authoring/bmp_writer.h"
#include "authoring/container_writer.h"
#include "authoring/data_file_writer.h"
#include "catalogue/data_file_format.h"
#include "codec/mark_payload.h"
#include "marks/bmp_image.h"
#include "marks/draw_on_page.h"
#include "marks/water_code.h"
#include "marks/watermark.h"
#include "memory_page.h"
#include "raster/rgb_page.h"
#include "raster/rgb_page_rectangles.h"
#include "raster/stretch_dib.h"
#include "seams/system_directory.h"

namespace zeseal {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kPageWidth = 700;
constexpr std::int32_t kPageHeight = 320;

// The POSIX page device over a page of our own, without the handle registry.
class ReferenceDevice final : public platform::PageDevice {
public:
    ReferenceDevice(std::int32_t width, std::int32_t height, std::int32_t dpi)
        : page_(raster::MakeWhitePage(width, height, dpi, dpi)) {}
    std::int32_t DotsPerInchX() override { return page_->dpiX; }
    std::int32_t DotsPerInchY() override { return page_->dpiY; }
    std::int32_t PixelWidth() override { return page_->width; }
    std::int32_t PixelHeight() override { return page_->height; }
    platform::PageRect ClipBox() override { return {0, 0, page_->width, page_->height}; }
    bool OutlineRectangle(const platform::PageRect& rect, const platform::PagePen& pen) override {
        raster::DrawOutlinedRectangle(*page_, rect, pen);
        return true;
    }
    // Text is drawn with different rasterisers on the two sides, so it is
    // not part of this comparison.
    bool WriteText(std::int32_t, std::int32_t, std::string_view, const platform::PageFont&,
                   std::uint32_t) override {
        return false;
    }
    std::int32_t SetStretchMode(std::int32_t mode) override {
        return std::exchange(page_->stretchMode, mode);
    }
    std::int32_t SetBackgroundMode(std::int32_t mode) override {
        return std::exchange(page_->backgroundMode, mode);
    }
    std::int32_t StretchDib(const platform::DibTransfer& transfer) override {
        return raster::StretchDibOntoPage(*page_, transfer);
    }
    const Bytes& Rgb() const { return page_->rgb; }
    void FillGrey() { std::fill(page_->rgb.begin(), page_->rgb.end(), std::uint8_t{128}); }

private:
    std::shared_ptr<raster::RgbPage> page_;
};

// Both pages, GDI's and ours, at the dots per inch of a memory context.
struct PagePair {
    testing::MemoryPage gdi{kPageWidth, kPageHeight};
    ReferenceDevice ours{kPageWidth, kPageHeight, gdi.DotsPerInch()};
};

// The number of pixels that differ, and where the first one is.
std::string Differences(const Bytes& gdi, const Bytes& ours) {
    if (gdi.size() != ours.size()) return "sizes differ";
    std::size_t count = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < gdi.size(); i += 3) {
        if (gdi[i] != ours[i] || gdi[i + 1] != ours[i + 1] || gdi[i + 2] != ours[i + 2]) {
            if (count++ == 0) first = i / 3;
        }
    }
    if (count == 0) return "";
    return std::to_string(count) + " pixels differ, the first at (" +
           std::to_string(first % kPageWidth) + ", " + std::to_string(first / kPageWidth) + ")";
}

std::size_t InkedPixels(const Bytes& rgb) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) n += rgb[i] != 255 || rgb[i + 1] != 255 || rgb[i + 2] != 255;
    return n;
}

// A picture whose every pixel differs from its neighbours, so that any
// choice of a wrong source row or column shows.
Bytes PatternedRows(std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel) {
    Bytes rows(std::size_t(width) * std::size_t(height) * std::size_t(bytesPerPixel));
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>((i * 37 + i / 7) % 251);
    return rows;
}

TEST(PageCrossValidation, AMemoryContextReports96DotsPerInch) {
    const testing::MemoryPage page(8, 8);
    EXPECT_EQ(page.DotsPerInch(), 96);
}

TEST(PageCrossValidation, Watermarks) {
    struct Case {
        const char* name;
        std::int32_t width, height, bits, x, y;
    };
    const Case cases[] = {
        {"24-bit", 301, 117, 24, 13, 7},
        {"8-bit", 255, 64, 8, 0, 40},
        {"wider than the page", 2400, 50, 24, 100, 300},
    };
    for (const Case& c : cases) {
        const Bytes raster =
            authoring::MakeMarkRaster(c.width, c.height, c.bits, PatternedRows(c.width, c.height, c.bits / 8));
        const std::string text = authoring::EncodeBase64(authoring::PackContainer(raster, 44999));
        Bytes work(text.size()), decoded(raster.size() + 16);
        const auto length = static_cast<std::int32_t>(text.size());
        PagePair pages;
        ASSERT_EQ(iZeWaterMark(pages.gdi.dc(), text.c_str(), work.data(), decoded.data(), length, 0, 0, c.x, c.y),
                  ZE_OK)
            << c.name;
        std::uint32_t pictureLength = 0;
        ASSERT_EQ(codec::DecodeMarkPayload(ZE_WATERMARK_FAILED, text.c_str(), work.data(), decoded.data(), length,
                                           &pictureLength),
                  0);
        ASSERT_TRUE(marks::DrawWatermarkRaster(pages.ours, decoded.data(), pictureLength, c.x, c.y, 300));
        EXPECT_GT(InkedPixels(pages.ours.Rgb()), 0u) << c.name;
        EXPECT_EQ(Differences(pages.gdi.Rgb(), pages.ours.Rgb()), "") << c.name;
    }
}

TEST(PageCrossValidation, WaterCodes) {
    struct Case {
        std::int32_t layout, width, rows, x, y;
    };
    const Case cases[] = {{0, 8, 128, 5, 3}, {1, 1928, 248, 0, 0}, {3, 2528, 128, 31, 17}};
    for (const Case& c : cases) {
        Bytes code(std::size_t(c.width) * std::size_t(c.rows));
        for (std::size_t i = 0; i < code.size(); ++i) code[i] = ((i * 7) % 3 == 0 || (i / 5) % 4 == 1) ? 0 : 255;
        const std::string text = authoring::EncodeBase64(authoring::PackContainer(code, 44999));
        Bytes work(text.size()), decoded(code.size());
        const auto length = static_cast<std::int32_t>(text.size());
        const auto byteCount = static_cast<std::int32_t>(code.size());
        PagePair pages;
        ASSERT_EQ(iZeWaterCode(pages.gdi.dc(), text.c_str(), work.data(), decoded.data(), length, 0, byteCount,
                               c.x, c.y, c.layout),
                  ZE_OK)
            << "layout " << c.layout;
        ASSERT_TRUE(marks::DrawWaterCode(pages.ours, decoded.data(), decoded.size(), c.x, c.y, c.layout, 300,
                                         byteCount));
        EXPECT_GT(InkedPixels(pages.ours.Rgb()), 0u);
        EXPECT_EQ(Differences(pages.gdi.Rgb(), pages.ours.Rgb()), "") << "layout " << c.layout;
    }
}

TEST(PageCrossValidation, CourtLogos) {
    struct Case {
        const char* name;
        std::int32_t width, height, bits, x, y;
    };
    const Case cases[] = {{"8-bit", 150, 90, 8, 10, 20}, {"1-bit", 97, 61, 1, 300, 100}};
    for (const Case& c : cases) {
        authoring::IndexedPicture picture;
        picture.width = c.width;
        picture.height = c.height;
        picture.bitsPerPixel = c.bits;
        const int colours = c.bits == 8 ? 256 : 2;
        for (int i = 0; i < colours; ++i) {
            picture.palette.push_back({std::uint8_t(i * 255 / (colours - 1)), std::uint8_t(i * 7),
                                       std::uint8_t(255 - i * 255 / (colours - 1))});
        }
        for (std::int32_t i = 0; i < c.width * c.height; ++i) {
            picture.indices.push_back(std::uint8_t((i * 13 + i / c.width) % colours));
        }
        const Bytes image = authoring::EncodeIndexedBmp(picture);
        PagePair pages;
        ASSERT_EQ(iZeCourtLogo(pages.gdi.dc(), image.data(), static_cast<std::int32_t>(image.size()), 0, 0, c.x,
                               c.y),
                  ZE_OK)
            << c.name;
        ASSERT_TRUE(marks::DrawBmpImage(pages.ours, image.data(), image.size(), c.x, c.y, 72));
        EXPECT_GT(InkedPixels(pages.ours.Rgb()), 0u) << c.name;
        EXPECT_EQ(Differences(pages.gdi.Rgb(), pages.ours.Rgb()), "") << c.name;
    }
}

// The supported-model file in the Windows system directory, for as long as
// the test runs.
class InstalledModelFile {
public:
    explicit InstalledModelFile(const authoring::ModelSettings& settings)
        : path_(platform::SystemFilePath(catalogue::kModelFileName)) {
        const std::vector<authoring::ModelFileEntry> entries = {
            {catalogue::kRecordTag, authoring::MakeModelRecord("WINELASER", settings)},
            {catalogue::kRecordTag, authoring::MakeModelRecord("DEFAULT", settings)},
        };
        const Bytes file = authoring::BuildModelFile(entries);
        HANDLE h = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ok_ = h != INVALID_HANDLE_VALUE &&
              WriteFile(h, file.data(), static_cast<DWORD>(file.size()), &written, nullptr) &&
              written == file.size();
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    ~InstalledModelFile() { DeleteFileA(path_.c_str()); }
    InstalledModelFile(const InstalledModelFile&) = delete;
    InstalledModelFile& operator=(const InstalledModelFile&) = delete;
    bool ok() const { return ok_; }

private:
    std::string path_;
    bool ok_ = false;
};

// Dot shape 11 every 4 pixels, no smoothing.
constexpr authoring::ModelSettings kDotsEvery4{1, 0, 0, 0, 11, 4, 2, 0};

TEST(PageCrossValidation, CopyDetectionImages) {
    const InstalledModelFile models(kDotsEvery4);
    ASSERT_TRUE(models.ok());
    Bytes image(190166);
    ASSERT_EQ(iZeCopyDetectorData("Wine Laser", image.data(), 1101), ZE_OK);
    const std::uint32_t size = marks::StatedFileSize(image.data());
    ASSERT_EQ(size, 140470u);
    const std::pair<std::int32_t, std::int32_t> positions[] = {{0, 0}, {333, 47}, {3000, 500}};
    for (const auto& [x, y] : positions) {
        PagePair pages;
        ASSERT_EQ(iZeCopyDetector(pages.gdi.dc(), 0, image.data(), x, y, 0, 0), ZE_OK);
        ASSERT_TRUE(marks::DrawBmpImage(pages.ours, image.data(), size, x, y, 600));
        EXPECT_GT(InkedPixels(pages.ours.Rgb()), 0u);
        EXPECT_EQ(Differences(pages.gdi.Rgb(), pages.ours.Rgb()), "") << x << ", " << y;
        // Built and drawn in one call, the same pixels again.
        testing::MemoryPage printed(kPageWidth, kPageHeight);
        ASSERT_EQ(iZeCopyDetectorPrint(printed.dc(), "Wine Laser", x, y, 1101, 0), ZE_OK);
        EXPECT_EQ(Differences(printed.Rgb(), pages.gdi.Rgb()), "") << x << ", " << y;
    }
}

// The pattern ANDed over a coloured watermark, and a water code ANDed over
// both: the raster operations on what is already on the page.
TEST(PageCrossValidation, MarksAndedOverEachOther) {
    const InstalledModelFile models(kDotsEvery4);
    ASSERT_TRUE(models.ok());
    const Bytes raster = authoring::MakeMarkRaster(611, 300, 24, PatternedRows(611, 300, 3));
    const std::string mark = authoring::EncodeBase64(authoring::PackContainer(raster, 44999));
    Bytes code(8 * 128);
    for (std::size_t i = 0; i < code.size(); ++i) code[i] = i % 3 == 0 ? 0 : 255;
    const std::string codeText = authoring::EncodeBase64(authoring::PackContainer(code, 44999));
    Bytes image(190166);
    ASSERT_EQ(iZeCopyDetectorData("Wine Laser", image.data(), 1101), ZE_OK);

    PagePair pages;
    Bytes work(mark.size()), decoded(raster.size() + 16);
    const auto markLength = static_cast<std::int32_t>(mark.size());
    ASSERT_EQ(iZeWaterMark(pages.gdi.dc(), mark.c_str(), work.data(), decoded.data(), markLength, 0, 0, 3, 4),
              ZE_OK);
    ASSERT_EQ(iZeCopyDetector(pages.gdi.dc(), 0, image.data(), 101, 77, 0, 0), ZE_OK);
    Bytes codeWork(codeText.size()), codeDecoded(code.size());
    const auto codeLength = static_cast<std::int32_t>(codeText.size());
    ASSERT_EQ(iZeWaterCode(pages.gdi.dc(), codeText.c_str(), codeWork.data(), codeDecoded.data(), codeLength, 0,
                           static_cast<std::int32_t>(code.size()), 120, 90, 0),
              ZE_OK);

    std::uint32_t pictureLength = 0;
    ASSERT_EQ(codec::DecodeMarkPayload(ZE_WATERMARK_FAILED, mark.c_str(), work.data(), decoded.data(), markLength,
                                       &pictureLength),
              0);
    ASSERT_TRUE(marks::DrawWatermarkRaster(pages.ours, decoded.data(), pictureLength, 3, 4, 300));
    ASSERT_TRUE(marks::DrawBmpImage(pages.ours, image.data(), marks::StatedFileSize(image.data()), 101, 77, 600));
    ASSERT_TRUE(marks::DrawWaterCode(pages.ours, codeDecoded.data(), codeDecoded.size(), 120, 90, 0, 300,
                                     static_cast<std::int32_t>(code.size())));
    EXPECT_EQ(Differences(pages.gdi.Rgb(), pages.ours.Rgb()), "");
}

// Above the words (which start at row 45) the GDI canvas gives exactly the
// frame and the dot grid.
TEST(PageCrossValidation, TheGdiCanvasDrawsTheFrameAndTheDotGrid) {
    const InstalledModelFile models(kDotsEvery4);
    ASSERT_TRUE(models.ok());
    Bytes image(190166);
    ASSERT_EQ(iZeCopyDetectorData("Wine Laser", image.data(), 1101), ZE_OK);
    constexpr int kWidth = 528, kHeight = 264;
    int wrong = 0;
    for (int y = 0; y < 45; ++y) {
        const std::uint8_t* row = image.data() + 1078 + std::size_t(kHeight - 1 - y) * kWidth;
        for (int x = 0; x < kWidth; ++x) {
            const bool frame = x < 3 || x >= kWidth - 3 || y < 3;
            const bool dot = (x - 2) % 4 == 0 && (y - 2) % 4 == 0 && x >= 2 && x < kWidth - 2 && y >= 2;
            const std::uint8_t expected = frame || dot ? 0 : 255;
            if (row[x] != expected) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
    // Below the words the field is white with dots again; somewhere the words
    // have knocked out dots, so the image is not the bare grid.
    std::size_t white = 0;
    for (std::size_t i = 1078; i < image.size() && i < 140470; ++i) white += image[i] == 255;
    EXPECT_GT(white, 100000u);
}

}  // namespace
}  // namespace zeseal

namespace zeseal {
namespace {

struct OutlineCase {
    platform::PageRect rect;
    std::int32_t penWidth;
};

// The test page's frame: a solid pen around a white inside, GDI's Rectangle
// on the memory page against the POSIX device, for thin and wide pens and
// rectangles reaching past the page.
TEST(PageCrossValidation, OutlinedRectangles) {
    const OutlineCase cases[] = {
        {{10, 10, 200, 100}, 0},  {{10, 10, 200, 100}, 1},  {{30, 40, 91, 77}, 2},
        {{30, 40, 91, 77}, 3},    {{50, 20, 400, 300}, 4},  {{50, 20, 400, 300}, 7},
        {{60, 60, 260, 200}, 10}, {{-20, -5, 120, 90}, 5},  {{600, 250, 760, 400}, 6},
        {{5, 5, kPageWidth - 5, kPageHeight - 5}, 12},
    };
    for (const OutlineCase& c : cases) {
        SCOPED_TRACE("rectangle (" + std::to_string(c.rect.left) + ", " + std::to_string(c.rect.top) +
                     ", " + std::to_string(c.rect.right) + ", " + std::to_string(c.rect.bottom) +
                     "), pen " + std::to_string(c.penWidth));
        PagePair pages;
        // A grey page shows the white inside too.
        pages.ours.FillGrey();
        HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
        const RECT whole = {0, 0, kPageWidth, kPageHeight};
        FillRect(pages.gdi.dc(), &whole, grey);
        DeleteObject(grey);

        const platform::PagePen pen{c.penWidth, RGB(0, 0, 255)};
        const auto gdi = platform::AttachPageDevice(pages.gdi.dc());
        ASSERT_NE(gdi, nullptr);
        ASSERT_TRUE(gdi->OutlineRectangle(c.rect, pen));
        ASSERT_TRUE(pages.ours.OutlineRectangle(c.rect, pen));
        EXPECT_EQ(Differences(pages.gdi.Rgb(), pages.ours.Rgb()), "");
    }
}

}  // namespace
}  // namespace zeseal
