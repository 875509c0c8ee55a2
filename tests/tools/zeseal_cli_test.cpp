// The zeseal tool end to end: the command lines a person types, with their
// exit statuses, messages and files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/tool_runs.h"

namespace zeseal::tool {
namespace {

namespace fs = std::filesystem;

using testing::RunTool;
using Outcome = testing::ToolOutcome;

class ZesealCli : public testing::ToolTest {
protected:
    ZesealCli() : ToolTest("zeseal-cli-test") {}
};

// A 4 x 2 grey picture: a black pixel in each corner of the top row.
std::string SmallPgm() { return std::string("P5\n4 2\n255\n") + std::string("\x00\xff\xff\x00\xff\xff\xff\xff", 8); }

TEST_F(ZesealCli, APackedPictureUnpacksThroughTheLibraryToItsMarkRaster) {
    Write("mark.pgm", SmallPgm());
    const Outcome pack = RunTool({"container", "pack", Path("mark.pgm"), "-o", Path("mark.b64")});
    ASSERT_EQ(pack.status, 0) << pack.err;

    const Outcome unpack = RunTool({"container", "unpack", Path("mark.b64"), "-o", Path("mark.bin")});
    ASSERT_EQ(unpack.status, 0) << unpack.err;
    EXPECT_NE(unpack.out.find("0"), std::string::npos);
    std::ifstream in(Path("mark.bin"), std::ios::binary);
    const std::string raster((std::istreambuf_iterator<char>(in)), {});
    // Width, height and depth as big-endian words, then the rows top first.
    EXPECT_EQ(raster, std::string("\0\0\0\4\0\0\0\2\0\0\0\x08", 12) + SmallPgm().substr(11));
}

TEST_F(ZesealCli, DrawSavesAPageWithBothMarks) {
    Write("mark.pgm", SmallPgm());
    Write("code.raw", std::string(8 * 128, '\0'));
    ASSERT_EQ(RunTool({"container", "pack", Path("mark.pgm"), "-o", Path("mark.b64")}).status, 0);
    ASSERT_EQ(RunTool({"container", "pack", "--raw", Path("code.raw"), "-o", Path("code.b64")}).status, 0);
    const Outcome draw = RunTool({"draw", "--paper", "300x200", "--dpi", "300", "--watermark",
                                 Path("mark.b64"), "--wm-at", "10,10", "--watercode", Path("code.b64"),
                                 "--wc-at", "20,40", "--wc-bytes", "1024", "-o", Path("page.png")});
    ASSERT_EQ(draw.status, 0) << draw.err;
    EXPECT_TRUE(fs::exists(Path("page.png")));
    EXPECT_GT(fs::file_size(Path("page.png")), 0u);
}

TEST_F(ZesealCli, FailuresNameTheirCauseAndWriteNothing) {
    Write("bad.b64", "!!!!");
    Write("mark.pgm", SmallPgm());
    ASSERT_EQ(RunTool({"container", "pack", Path("mark.pgm"), "-o", Path("mark.b64")}).status, 0);
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        const char* message;  // expected in stderr or stdout
    };
    const std::vector<Case> cases = {
        {"missing input", {"container", "pack", Path("none.pgm"), "-o", Path("x.b64")}, 1, "none.pgm"},
        {"text without digits", {"container", "unpack", Path("bad.b64")}, 1, "2002"},
        {"bad position", {"draw", "--watermark", Path("mark.b64"), "--wm-at", "1;2", "-o", Path("p.png")}, 1, "1;2"},
        {"unknown command", {"frobnicate"}, 2, "frobnicate"},
        {"dpi out of range", {"draw", "--dpi", "0", "-o", Path("p.png")}, 2, "dpi"},
    };
    for (const Case& c : cases) {
        const Outcome o = RunTool(c.args);
        EXPECT_EQ(o.status, c.status) << c.name;
        EXPECT_NE((o.err + o.out).find(c.message), std::string::npos) << c.name << ": " << o.err << o.out;
    }
    EXPECT_FALSE(fs::exists(Path("x.b64")));
    EXPECT_FALSE(fs::exists(Path("p.png")));
}

}  // namespace
}  // namespace zeseal::tool
