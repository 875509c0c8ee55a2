#include "choose_command.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "support/tool_runs.h"

namespace zeseal::tool {
namespace {

struct ChooseCase {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> shown;  // each must appear in the output
};

class Choose : public ::testing::TestWithParam<ChooseCase> {
protected:
    void SetUp() override { setenv("ZESEAL_SYSTEM_DIR", ZESEAL_EXAMPLE_SYSTEM_DIR, 1); }
    void TearDown() override { unsetenv("ZESEAL_SYSTEM_DIR"); }
};

TEST_P(Choose, RunsTheExportThroughTheScriptAndShowsTheOutputs) {
    std::vector<std::string> args = {"choose", "--printers",
                                     std::string(ZESEAL_EXAMPLES_DIR) + "/printers.txt"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const testing::ToolOutcome run = testing::RunTool(args);
    EXPECT_EQ(run.status, GetParam().status) << run.out << run.err;
    for (const std::string& text : GetParam().shown) {
        EXPECT_NE((run.out + run.err).find(text), std::string::npos)
            << text << "\n" << run.out << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Choose,
    ::testing::Values(
        ChooseCase{"default_printer",
                   {"--script", "enter"},
                   0,
                   {"name:   Talvo Laser (Office)\ndriver: TALVO LASER 5100\nkind:   1101\n"
                    "model:  1202\n",
                    "iGetZePrinterList: 70000 "}},
        ChooseCase{"cancelled", {"--option", "0", "--script", "escape"}, 1,
                   {"iGetZePrinterList: 1005 "}},
        ChooseCase{"mode3_clicked", {"--mode", "3", "--script", "click 2; press 1035"}, 0,
                   {"name:   Orrin InkJet 350\n", "iGetZePrinterListChk: 0 success"}},
        ChooseCase{"mode4", {"--mode", "4", "--script", "press 1035"}, 1,
                   {"iGetZePrinterListChk: -1 no dialog for this mode"}},
        // A click on a row the list lacks must not confirm the selected default.
        ChooseCase{"missing_row", {"--script", "click 40; enter"}, 1,
                   {"zeseal: dialog script error: no row 40"}},
        ChooseCase{"bad_script", {"--script", "wiggle 3"}, 1,
                   {"unknown command 'wiggle'", "the dialog script does not parse"}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace zeseal::tool
