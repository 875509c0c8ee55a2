#include "testpage_commands.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

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
