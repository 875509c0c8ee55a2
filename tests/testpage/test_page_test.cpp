#include "testpage/test_page.h"

#include <zeseal/zeseal.h>
#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "authoring/data_file_writer.h"
#include "catalogue/data_file_format.h"
#include "seams/page_device.h"
#include "seams/spooler.h"
#include "support/png_file.h"
#include "support/temp_printers_file.h"
#include "support/temp_system_directory.h"
#include "support/test_pages.h"
#include "densecode/reader/page_reader.h"

namespace zeseal::testpage {
namespace {

using testing::OwnedPage;
using testing::ReadRgbPng;
using testing::RgbImage;
using testing::TempPrintersFile;
using testing::TempSystemDirectory;

constexpr std::int32_t kDpi = 300;
constexpr std::int32_t kShortSide = 2480;  // A4 at 300 dpi
constexpr std::int32_t kLongSide = 3508;
constexpr const char* kModel = "TalvoLaser5100";
// The caption dialog 101 passes: "Ostrevane 등기사항증명서 발급 출력 테스트".
constexpr const char* kCaption =
    "Ostrevane \xB5\xEE\xB1\xE2\xBB\xE7\xC7\xD7\xC1\xF5\xB8\xED\xBC\xAD \xB9\xDF\xB1\xDE "
    "\xC3\xE2\xB7\xC2 \xC5\xD7\xBD\xBA\xC6\xAE";

std::string PrintersText(const std::string& attributes, const std::string& extra = "") {
    return "output = printed\n"
           "[printer Office]\nport = USB001\ndriver = Talvo Laser 5100\n"
           "attributes = " + attributes + "\nresolution = " + std::to_string(kDpi) + "\n" + extra;
}

// The pages printed into the output folder, by name.
std::vector<std::filesystem::path> PrintedPages(const TempPrintersFile& file) {
    std::vector<std::filesystem::path> pages;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(file.folder() / "printed", error)) {
        if (entry.path().extension() == ".png") pages.push_back(entry.path());
    }
    std::sort(pages.begin(), pages.end());
    return pages;
}

std::uint32_t Attributes() {
    std::uint32_t error = 0;
    auto printer = platform::ActiveSpooler().Open("Office", platform::PrinterAccess::kUse, error);
    platform::PrinterInfo info;
    EXPECT_TRUE(printer && printer->ReadInfo(info));
    return info.attributes;
}

class TestPageTest : public ::testing::Test {
protected:
    TestPageTest() {
        using authoring::MakeModelRecord;
        const authoring::ModelSettings own{1, 0, 0, 0, 22, 5, 0, 1};
        const authoring::ModelSettings network{1, 0, 0, 0, 21, 3, 2, 0};
        const std::vector<authoring::ModelFileEntry> entries{
            {catalogue::kRecordTag, MakeModelRecord(kModel, own)},
            {catalogue::kRecordTag, MakeModelRecord("NETWORKPRINTER", network)}};
        dir_.Write(catalogue::kModelFileName, authoring::BuildModelFile(entries));
    }

    // The pattern iZeCopyDetectorPrint draws for kind at the test page's
    // place, ANDed over the frame (which it meets at low resolutions) on a
    // white page of the same size.
    static std::vector<std::uint8_t> ExpectedPattern(std::int32_t width, std::int32_t height,
                                                     std::int32_t kind) {
        OwnedPage page(width, height, kDpi);
        const auto device = platform::AttachPageDevice(page.dc());
        EXPECT_TRUE(device && device->OutlineRectangle({200, 200, width - 200, height - 200},
                                                       {kDpi / 10, platform::PageColour(0, 0, 255)}));
        EXPECT_EQ(iZeCopyDetectorPrint(page.dc(), kModel, kPatternX, kPatternY, kind, 3), ZE_OK);
        return page.Rgb();
    }

    struct PatternCheck {
        std::size_t ink = 0;         // dark pixels the pattern should leave
        std::size_t mismatches = 0;  // pixels that differ from the expected ones
    };
    // Compares the pattern's area (at the test page's place, in 1/600 inch,
    // on a 300 dpi page) with what the pattern alone draws there.
    static PatternCheck CheckPattern(const RgbImage& page, std::int32_t kind) {
        const auto expected = ExpectedPattern(page.width, page.height, kind);
        PatternCheck check;
        for (std::int32_t y = kPatternY / 2; y < kPatternY / 2 + 200; ++y) {
            for (std::int32_t x = kPatternX / 2; x < kPatternX / 2 + 340; ++x) {
                const std::uint8_t* want =
                    expected.data() + (std::size_t(y) * std::size_t(page.width) + std::size_t(x)) * 3;
                check.ink += want[0] == 0 ? 1 : 0;
                check.mismatches += std::equal(want, want + 3, page.At(x, y)) ? 0 : 1;
            }
        }
        return check;
    }

    TempSystemDirectory dir_;
};

TEST_F(TestPageTest, LandscapePageCarriesFrameCaptionReadableCodeAndPatternInPlace) {
    TempPrintersFile file(PrintersText("PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_LOCAL"));
    // Dialog 101 passes orientation 3, which is landscape.
    ASSERT_EQ(iZeTestPrinting("Office", kModel, kCaption, ZE_KIND_LOCAL, 3), ZE_OK);
    // The local printer was set to direct printing, and the change lasts.
    EXPECT_EQ(Attributes(), platform::kPrinterAttributeDirect | platform::kPrinterAttributeLocal);

    const auto pages = PrintedPages(file);
    ASSERT_EQ(pages.size(), 1u);
    const RgbImage page = ReadRgbPng(pages[0].string());
    ASSERT_EQ(page.width, kLongSide);
    ASSERT_EQ(page.height, kShortSide);

    // The frame: a blue band of dpi / 10 pixels centred on x = 200.
    const std::uint8_t* frame = page.At(200, page.height / 2);
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[1], 0);
    EXPECT_EQ(frame[2], 255);
    EXPECT_EQ(page.At(200 - kDpi / 20 - 1, page.height / 2)[0], 255);

    // The caption: ink below its top-centred reference point.
    std::size_t captionInk = 0;
    const std::int32_t cell = kDpi * 30 / 72;
    for (std::int32_t y = page.height / 2 - 200; y < page.height / 2 - 200 + cell; ++y) {
        for (std::int32_t x = page.width / 2 - 1000; x < page.width / 2 + 600; ++x) {
            captionInk += page.At(x, y)[0] == 0 ? 1 : 0;
        }
    }
    EXPECT_GT(captionInk, 1000u);

    // The dense code reads back to the test text, zero-filled.
    densecode::DensePageRaster raster;
    raster.pixels = page.rgb.data();
    raster.width = page.width;
    raster.height = page.height;
    raster.rowBytes = std::size_t(page.width) * 3;
    raster.dpiX = raster.dpiY = kDpi;
    const densecode::DenseCodeReading reading = densecode::ReadDenseCodeFromPage(raster, kDenseCodeX, kDenseCodeY);
    ASSERT_TRUE(reading.ok()) << int(reading.status);
    EXPECT_EQ(reading.FailedCodewords(), 0);
    ASSERT_GE(reading.bytes.size(), kDenseCodeText.size() + 1);
    EXPECT_EQ(std::string(reading.bytes.begin(), reading.bytes.begin() + kDenseCodeText.size()),
              kDenseCodeText);
    EXPECT_EQ(reading.bytes[kDenseCodeText.size()], 0);

    // The pattern: exactly where iZeCopyDetectorPrint puts it, its whole
    // area matching pixel for pixel.
    const PatternCheck pattern = CheckPattern(page, ZE_KIND_LOCAL);
    EXPECT_GT(pattern.ink, 1000u);
    EXPECT_EQ(pattern.mismatches, 0u);
}

struct KindCase {
    const char* name;
    std::int32_t kind;
    std::int32_t orientation;
    std::uint32_t attributesAfter;  // from QUEUED | LOCAL
    bool landscape;
};

class KindsAndOrientations : public TestPageTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(KindsAndOrientations, SetLocalPrintersOnlyAndTurnThePageForLandscape) {
    TempPrintersFile file(PrintersText("PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_LOCAL"));
    ASSERT_EQ(iZeTestPrinting("Office", kModel, "caption", GetParam().kind, GetParam().orientation),
              ZE_OK);
    EXPECT_EQ(Attributes(), GetParam().attributesAfter);
    const auto pages = PrintedPages(file);
    ASSERT_EQ(pages.size(), 1u);
    const RgbImage page = ReadRgbPng(pages[0].string());
    EXPECT_EQ(page.width, GetParam().landscape ? kLongSide : kShortSide);
    // The pattern is the one of the kind handed on: a network printer gets
    // the network fallback pattern, whatever the detector name.
    if (GetParam().landscape) {
        const PatternCheck pattern = CheckPattern(page, GetParam().kind);
        EXPECT_GT(pattern.ink, 1000u);
        EXPECT_EQ(pattern.mismatches, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KindsAndOrientations,
    ::testing::Values(
        // Mode 2 is direct printing: QUEUED cleared, LOCAL kept.
        KindCase{"LocalLandscape", ZE_KIND_LOCAL, 2, 0x42, true},
        // Orientation 0 passes on unchanged: mode 0 keeps the printer queued.
        KindCase{"LocalZeroQueuedPortrait", ZE_KIND_LOCAL, 0, 0x41, false},
        KindCase{"LocalPortrait", ZE_KIND_LOCAL, 1, 0x42, false},
        // A network printer is never set.
        KindCase{"NetworkLandscape", ZE_KIND_NETWORK, 7, 0x41, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TestPageTest, FailedSettingsOfALocalPrinterRefuseThePageAndPrintNothing) {
    TempPrintersFile file(PrintersText("PRINTER_ATTRIBUTE_QUEUED", "fail = write-info\n"));
    EXPECT_EQ(iZeTestPrinting("Office", kModel, "caption", ZE_KIND_LOCAL, 2), ZE_TEST_PRINT_REFUSED);
    EXPECT_EQ(iZeTestPrinting("Nobody", kModel, "caption", ZE_KIND_LOCAL, 2), ZE_TEST_PRINT_REFUSED);
    EXPECT_TRUE(PrintedPages(file).empty());
}

TEST_F(TestPageTest, WhatTheSpoolerRefusesEndsTheCallWithZeroAndNoPage) {
    struct Case {
        const char* printer;
        const char* extra;
    };
    for (const Case& c : {Case{"Nobody", ""}, Case{"Office", "fail = start-document\n"},
                          Case{"Office", "fail = driver\n"}}) {
        TempPrintersFile file(PrintersText("PRINTER_ATTRIBUTE_DIRECT", c.extra));
        EXPECT_EQ(iZeTestPrinting(c.printer, kModel, "caption", ZE_KIND_NETWORK, 2), ZE_OK) << c.extra;
        EXPECT_TRUE(PrintedPages(file).empty()) << c.extra;
    }
}

TEST_F(TestPageTest, MissingStringsAreTakenAsEmpty) {
    TempPrintersFile file(PrintersText("PRINTER_ATTRIBUTE_DIRECT"));
    EXPECT_EQ(iZeTestPrinting(nullptr, nullptr, nullptr, ZE_KIND_LOCAL, 2), ZE_TEST_PRINT_REFUSED);
    EXPECT_EQ(iZeTestPrinting("Office", nullptr, nullptr, ZE_KIND_NETWORK, 2), ZE_OK);
    EXPECT_EQ(PrintedPages(file).size(), 1u);
}

TEST_F(TestPageTest, TwoPagesInARowAreIdentical) {
    TempPrintersFile file(PrintersText("PRINTER_ATTRIBUTE_DIRECT"));
    ASSERT_EQ(iZeTestPrinting("Office", kModel, kCaption, ZE_KIND_LOCAL, 2), ZE_OK);
    ASSERT_EQ(iZeTestPrinting("Office", kModel, kCaption, ZE_KIND_LOCAL, 2), ZE_OK);
    const auto pages = PrintedPages(file);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(ReadRgbPng(pages[0].string()).rgb, ReadRgbPng(pages[1].string()).rgb);
}

TEST(KeptArgument, KeepsShortTextsWholeAndCutsLongOnesTo258) {
    struct Case {
        std::size_t length;
        std::size_t kept;
    };
    for (const Case c : {Case{0, 0}, Case{258, 258}, Case{259, 259}, Case{260, 258}, Case{300, 258}}) {
        EXPECT_EQ(KeptArgument(std::string(c.length, 'n')).size(), c.kept) << c.length;
    }
}

TEST(ClampOrientation, TakesEveryValueAboveOneAsLandscape) {
    struct Case {
        std::int32_t given;
        std::int32_t taken;
    };
    for (const Case c : {Case{1, 1}, Case{2, 2}, Case{3, 2}, Case{INT32_MAX, 2}, Case{0, 0},
                         Case{-4, -4}}) {
        EXPECT_EQ(ClampOrientation(c.given), c.taken) << c.given;
    }
}

TEST(TestPageTexts, AreTheirCodePage949Bytes) {
    EXPECT_EQ(kDenseCodeText.size(), 44u);
    EXPECT_EQ(kTestDocumentName.size(), 45u);
}

}  // namespace
}  // namespace zeseal::testpage
