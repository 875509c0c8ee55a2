// The man page and the bash completion against the tool's own help: every
// command and every long option the help shows must appear in both, so that
// neither falls behind when the tool gains something.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/tool_runs.h"

namespace zeseal::tool {
namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The man page with roff's escaped hyphens as plain ones.
std::string ManPage() {
    std::string page = FileText(std::string(ZESEAL_SOURCE_DIR) + "/docs/zeseal.1");
    std::string plain;
    for (std::size_t i = 0; i < page.size(); ++i) {
        if (page[i] == '\\' && i + 1 < page.size() && page[i + 1] == '-') continue;
        plain += page[i];
    }
    return plain;
}

// The help of the tool, of every command and of every grouped command.
std::string AllHelp() {
    std::string help = testing::RunTool({"--help-all"}).out;
    for (const std::vector<std::string>& command :
         std::vector<std::vector<std::string>>{{"container", "pack"},
                                               {"container", "unpack"},
                                               {"catalogue", "build"},
                                               {"catalogue", "list"},
                                               {"courtlist", "build"},
                                               {"courtlist", "list"},
                                               {"densecode", "encode"},
                                               {"densecode", "decode"},
                                               {"densecode", "verify"}}) {
        std::vector<std::string> args = command;
        args.push_back("--help");
        help += testing::RunTool(args).out;
    }
    return help;
}

std::set<std::string> Matches(const std::string& text, const std::regex& pattern) {
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
        found.insert((*it)[1].str());
    }
    return found;
}

TEST(ToolDocs, ManPageAndCompletionNameEveryCommandAndOption) {
    const std::string help = AllHelp();
    const std::set<std::string> commands = Matches(help, std::regex(R"((?:^|\n)([a-z]+)\n  )"));
    const std::set<std::string> options = Matches(help, std::regex(R"((?:^|[ ,])(--[a-z][a-z-]*))"));
    ASSERT_GE(commands.size(), 15u) << help;
    ASSERT_GE(options.size(), 30u) << help;

    const std::string man = ManPage();
    const std::string completion = FileText(std::string(ZESEAL_SOURCE_DIR) + "/tools/zeseal/completion/zeseal.bash");
    ASSERT_FALSE(man.empty());
    ASSERT_FALSE(completion.empty());
    for (const std::string& command : commands) {
        EXPECT_NE(man.find(command), std::string::npos) << "the man page lacks the command " << command;
        EXPECT_NE(completion.find(command), std::string::npos) << "the completion lacks the command " << command;
    }
    for (const std::string& option : options) {
        EXPECT_NE(man.find(option), std::string::npos) << "the man page lacks " << option;
        EXPECT_NE(completion.find(option), std::string::npos) << "the completion lacks " << option;
    }
}

}  // namespace
}  // namespace zeseal::tool
