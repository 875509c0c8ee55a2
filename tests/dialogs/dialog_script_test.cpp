#include "dialogs/dialog_script.h"

#include <gtest/gtest.h>

#include <string>

namespace zeseal::dialogs {
namespace {

using Action = ScriptCommand::Action;

// The commands written back in one compact form.
std::string Spelled(const ScriptParse& parse) {
    std::string text;
    for (const ScriptCommand& command : parse.commands) {
        static const char* const kNames[] = {"click", "select", "up", "down", "press", "enter"};
        text += kNames[static_cast<int>(command.action)];
        if (command.action == Action::kClick || command.action == Action::kSelect ||
            command.action == Action::kPress) {
            text += ' ';
            text += std::to_string(command.value);
        }
        text += ";";
    }
    return text;
}

struct ScriptCase {
    const char* script;
    const char* commands;  // spelled, or nullptr when refused
    const char* error = "";
};

class Script : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(Script, ParsesOrNamesTheFault) {
    const ScriptParse parse = ParseDialogScript(GetParam().script);
    if (GetParam().commands == nullptr) {
        EXPECT_TRUE(parse.commands.empty());
        EXPECT_NE(parse.error.find(GetParam().error), std::string::npos) << parse.error;
    } else {
        EXPECT_EQ(parse.error, "");
        EXPECT_EQ(Spelled(parse), GetParam().commands);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Script,
    ::testing::Values(
        ScriptCase{"click 2; press 1035", "click 2;press 1035;"},
        ScriptCase{"  select 3 ;;\n down\tup ", nullptr, "'down' takes no argument"},
        ScriptCase{"select 3\n  down\n up\n", "select 3;down;up;"},
        ScriptCase{"escape; close; enter", "press 2;press 2;enter;"},
        ScriptCase{"# a comment; press 9\npress 1 # the print button", "press 1;"},
        ScriptCase{"", ""},
        ScriptCase{"click", nullptr, "'click' needs a number"},
        ScriptCase{"click 0", nullptr, "rows are numbered from 1"},
        ScriptCase{"press 1x", nullptr, "needs a number"},
        ScriptCase{"press 99999999999", nullptr, "needs a number"},
        ScriptCase{"press 1\nwiggle", nullptr, "line 2: unknown command 'wiggle'"}));

}  // namespace
}  // namespace zeseal::dialogs
