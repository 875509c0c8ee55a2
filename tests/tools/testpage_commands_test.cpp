#include "testpage_commands.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "densecode/encoder.h"
#include "densecode/reader/scan_reader.h"
#include "support/dense_code_scans.h"
#include "support/png_file.h"
#include "support/temp_printers_file.h"
#include "support/tool_runs.h"
#include "densecode/reader/page_reader.h"
#include "testpage/test_page.h"

namespace zeseal::tool {
namespace {

namespace fs = std::filesystem;

// Two printers at 300 dpi in a printers file of their own, printing into
// the "printed" folder beside it, with the example installation's data
// files. The file is chosen with --printers only: the tool and the library
// share the choice.
class TestPageCommandsTest : public testing::ToolTest {
protected:
    TestPageCommandsTest() : ToolTest("zeseal-testpage-tool") {}
    void SetUp() override {
        setenv("ZESEAL_SYSTEM_DIR", ZESEAL_EXAMPLE_SYSTEM_DIR, 1);
        unsetenv("ZESEAL_PRINTERS");
    }
    void TearDown() override { unsetenv("ZESEAL_SYSTEM_DIR"); }
    std::string Printers() const { return printers_.path().string(); }

    const testing::TempPrintersFile printers_{
        "default = Office\noutput = printed\n"
        "[printer Office]\nport = USB001\ndriver = Talvo Laser 5100\n"
        "attributes = PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_LOCAL\nresolution = 300\n"
        "[printer Refusing]\nport = USB002\ndriver = Talvo Laser 5100\n"
        "attributes = PRINTER_ATTRIBUTE_DIRECT\nfail = start-document\n",
        testing::PrintersFileChoice::kLeftToTheTest};
};

TEST_F(TestPageCommandsTest, TestpageNamesAPageWhoseDenseCodeReadsBack) {
    ASSERT_EQ(Run({"testpage", "Office", "--printers", Printers()}), 0) << Out() << Err();
    // The last line is the page's file.
    std::string text = Out(), last;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) last = line;
    ASSERT_TRUE(fs::exists(last)) << text;
    EXPECT_EQ(fs::path(last).parent_path().filename(), "printed");

    const testing::RgbImage page = testing::ReadRgbPng(last);
    ASSERT_EQ(page.width, 3508);  // landscape A4 at 300 dpi
    densecode::DensePageRaster raster;
    raster.pixels = page.rgb.data();
    raster.width = page.width;
    raster.height = page.height;
    raster.rowBytes = std::size_t(page.width) * 3;
    raster.dpiX = raster.dpiY = 300;
    const auto reading =
        densecode::ReadDenseCodeFromPage(raster, testpage::kDenseCodeX, testpage::kDenseCodeY);
    ASSERT_TRUE(reading.ok());
    EXPECT_EQ(std::string(reading.bytes.begin(),
                          reading.bytes.begin() + std::ptrdiff_t(testpage::kDenseCodeText.size())),
              testpage::kDenseCodeText);
}

// The page as printed, in grey (top row first).
std::vector<std::uint8_t> Grey(const testing::RgbImage& page) {
    std::vector<std::uint8_t> grey(std::size_t(page.width) * std::size_t(page.height));
    for (std::size_t i = 0; i < grey.size(); ++i) {
        const std::uint8_t* p = page.rgb.data() + 3 * i;
        grey[i] = static_cast<std::uint8_t>((299 * p[0] + 587 * p[1] + 114 * p[2]) / 1000);
    }
    return grey;
}

void WritePgm(const fs::path& path, const densecode::testing::Scan& scan) {
    std::ofstream file(path, std::ios::binary);
    file << "P5\n" << scan.width << " " << scan.height << "\n255\n";
    file.write(reinterpret_cast<const char*>(scan.grey.data()), std::streamsize(scan.grey.size()));
}

// The page the virtual printer wrote, printed on paper and scanned back at
// 300 dpi, slightly turned, blurred, noisy and JPEG-compressed, passes
// "densecode verify"; the same page with another text's code drawn over the
// test page's is refused.
TEST_F(TestPageCommandsTest, AScannedTestPagePassesVerifyAndAnotherTextDoesNot) {
    ASSERT_EQ(Run({"testpage", "Office", "--printers", Printers()}), 0) << Out() << Err();
    std::string text = Out(), last;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) last = line;
    const testing::RgbImage printed = testing::ReadRgbPng(last);
    ASSERT_GT(printed.width, 0) << last;
    const std::vector<std::uint8_t> page = Grey(printed);

    // Another text's code, drawn over the test page's where the printer put it.
    namespace dc = densecode;
    const dc::GreyView view{page.data(), printed.width, printed.height, std::size_t(printed.width)};
    dc::DenseScanOptions at300;
    at300.dpi = 300;
    const dc::DenseScanReading found = dc::ReadDenseCodeFromScan(view, at300);
    ASSERT_TRUE(found.reading.ok());
    const dc::PointD corner = found.map.Apply(0, 0);
    std::vector<std::uint8_t> message(dc::kDenseInputBytes, 0);
    std::copy(testpage::kDenseCodeText.begin(), testpage::kDenseCodeText.end(), message.begin());
    message[10] ^= 0x20;
    const frame::HeapBlock code = dc::EncodeDenseCode(message.data());
    ASSERT_TRUE(code);
    std::vector<std::uint8_t> other = page;
    const long left = std::lround(corner.x), top = std::lround(corner.y);
    for (int y = 0; y < dc::kDenseCodeHeight; ++y) {
        for (int x = 0; x < dc::kDenseCodeWidth; ++x) {
            if (left + x < 0 || left + x >= printed.width || top + y >= printed.height) continue;
            other[std::size_t(top + y) * std::size_t(printed.width) + std::size_t(left + x)] =
                code.data()[std::size_t(dc::kDenseCodeHeight - 1 - y) * dc::kDenseCodeWidth + std::size_t(x)];
        }
    }

    dc::testing::ScanDamage damage;
    damage.dpi = 300;
    damage.angleDegrees = 1.5;
    damage.blurSigma = 0.7;
    damage.noiseSigma = 6;
    damage.jpegQuality = 85;
    damage.seed = 12;
    struct Case {
        const char* name;
        const std::vector<std::uint8_t>& page;
        int status;
        const char* said;
    };
    const Case cases[] = {
        {"test-page", page, 0, "the code matches the test page"},
        {"other-text", other, 1, "not the test page's code"},
    };
    for (const Case& c : cases) {
        const fs::path scan = dir() / (std::string(c.name) + ".pgm");
        WritePgm(scan, dc::testing::ScanPrintedPage(c.page, printed.width, printed.height, 300, damage));
        EXPECT_EQ(Run({"densecode", "verify", scan.string(), "--dpi", "300"}), c.status) << c.name << Out() << Err();
        EXPECT_NE((Out() + Err()).find(c.said), std::string::npos) << c.name << Out() << Err();
    }
}

TEST_F(TestPageCommandsTest, FailuresAreToldInWords) {
    struct Case {
        std::vector<std::string> args;
        const char* said;
    };
    const std::vector<Case> cases{
        {{"testpage", "Refusing", "--kind", "1102"}, "no page was printed"},
        {{"testpage", "Nobody"}, "1006"},
        {{"testpage", "Office", "--caption", "\xFF\xFE"}, "code page 949"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--printers", Printers()});
        EXPECT_EQ(Run(args), 1) << c.said;
        EXPECT_NE((Out() + Err()).find(c.said), std::string::npos)
            << Out() << Err();
    }
}

TEST_F(TestPageCommandsTest, DemoListsPrintsAndRendersTheCertificatePage) {
    const fs::path page = dir() / "page.png";
    ASSERT_EQ(Run({"demo", "--printers", Printers(), "--examples", ZESEAL_EXAMPLES_DIR, "-o",
                   page.string()}),
              0)
        << Out() << Err();
    EXPECT_NE(Out().find("Refusing"), std::string::npos);
    EXPECT_NE(Out().find("test page on 'Office': 0"), std::string::npos);
    // The unattended choice takes the default printer's row.
    EXPECT_NE(Out().find("(the default row, then print) ==\nname:   Office\n"),
              std::string::npos)
        << Out();
    EXPECT_TRUE(fs::exists(page));
    EXPECT_FALSE(fs::is_empty(printers_.folder() / "printed"));
}

}  // namespace
}  // namespace zeseal::tool
