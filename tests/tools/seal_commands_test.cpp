// "zeseal cdp" and the pattern and logo options of "zeseal draw".
#include "seal_commands.h"

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "authoring/bmp_writer.h"
#include "authoring/data_file_writer.h"
#include "catalogue/data_file_format.h"
#include "support/tool_runs.h"

namespace zeseal::tool {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class SealCommandsTest : public testing::ToolTest {
protected:
    SealCommandsTest() : ToolTest("zeseal-seal") {}
    void SetUp() override {
        setenv("ZESEAL_SYSTEM_DIR", dir().c_str(), 1);
        const authoring::ModelFileEntry entries[] = {
            {catalogue::kRecordTag, authoring::MakeModelRecord("DEFAULT", {1, 0, 0, 0, 11, 4, 0, 0})},
            {catalogue::kRecordTag, authoring::MakeModelRecord("KestrelLX-40", {1, 0, 0, 0, 12, 6, 0, 1})},
        };
        Write(catalogue::kModelFileName, authoring::BuildModelFile(entries));
        authoring::IndexedPicture logo{8, 8, 1, {{255, 255, 255}, {0, 0, 0}}, Bytes(64, 1), 72};
        Write("court_laser", authoring::EncodeIndexedBmp(logo));
        Write("logo.bmp", authoring::EncodeIndexedBmp(logo));
    }
    void TearDown() override { unsetenv("ZESEAL_SYSTEM_DIR"); }
};

TEST_F(SealCommandsTest, CdpWritesTheImageTheLibraryBuilds) {
    struct Case {
        std::vector<std::string> args;
        const char* model;
        std::int32_t kind;
    };
    const Case cases[] = {
        {{"cdp", "KestrelLX-40", "-o", Path("a.bmp")}, "KestrelLX-40", 1101},
        {{"cdp", "Kestrel LX-40", "--kind", "1102", "-o", Path("a.bmp")}, "x", 1102},
        {{"cdp", "Unlisted", "-o", Path("a.bmp")}, "Unlisted", 1101},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run(c.args), 0) << Err();
        Bytes expected(190166);
        ASSERT_EQ(iZeCopyDetectorData(c.model, expected.data(), c.kind), 0);
        expected.resize(140470);
        EXPECT_EQ(Read("a.bmp"), expected) << c.model;
        EXPECT_NE(Out().find("wrote " + Path("a.bmp") + " (140470 bytes)"), std::string::npos);
    }
}

TEST_F(SealCommandsTest, CdpWithoutAPatternWritesNothing) {
    fs::remove(Path(catalogue::kModelFileName));
    EXPECT_EQ(Run({"cdp", "KestrelLX-40", "-o", Path("b.bmp")}), 1);
    EXPECT_FALSE(fs::exists(Path("b.bmp")));
    EXPECT_NE(Out().find("4000"), std::string::npos) << Out();
    EXPECT_EQ(Run({"cdp", "-o", Path("b.bmp")}), 2);  // no model
}

TEST_F(SealCommandsTest, DrawAddsThePatternAndTheLogo) {
    const std::vector<std::vector<std::string>> ways = {
        {"--cdp", "KestrelLX-40", "--cdp-at", "10,20", "--logo", Path("logo.bmp"), "--logo-at", "5,5"},
        {"--cdp", "KestrelLX-40", "--kind", "1102", "--logo-model", "1202"},
    };
    for (const auto& way : ways) {
        std::vector<std::string> args = {"draw", "--paper", "800x600", "--dpi", "600", "-o", Path("p.png")};
        args.insert(args.end(), way.begin(), way.end());
        ASSERT_EQ(Run(args), 0) << Err();
        EXPECT_NE(Out().find("iZeCopyDetectorPrint \"KestrelLX-40\""), std::string::npos);
        EXPECT_NE(Out().find("iZeCourtLogo"), std::string::npos);
        EXPECT_TRUE(fs::exists(Path("p.png")));
        fs::remove(Path("p.png"));
    }
}

TEST_F(SealCommandsTest, DrawRefusesBadSealOptionsBeforeMakingThePage) {
    Write("broken.bmp", Bytes{'B', 'M', 1, 2, 3});
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;  // in the error stream, or "" for none
    };
    const Case cases[] = {
        {{"--logo", Path("logo.bmp"), "--logo-model", "1201"}, 2, "excludes"},
        {{"--cdp-at", "1,1"}, 2, "requires"},
        {{"--cdp", "KestrelLX-40", "--cdp-at", "1"}, 1, "1/600 inch"},
        {{"--logo-model", "1201", "--logo-at", "x,2"}, 1, "1/72 inch"},
        {{"--logo", Path("missing.bmp")}, 1, "missing.bmp"},
        {{"--logo", Path("broken.bmp")}, 1, "was not written"},
        {{"--logo-model", "1201"}, 1, "was not written"},  // no court_ink installed
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"draw", "--paper", "400x400", "-o", Path("q.png")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(Run(args), c.status) << c.args.front();
        EXPECT_NE(Err().find(c.message), std::string::npos) << Err();
        EXPECT_FALSE(fs::exists(Path("q.png")));
    }
}

}  // namespace
}  // namespace zeseal::tool
