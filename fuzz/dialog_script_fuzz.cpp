// The dialog script, from arbitrary bytes.
//
// The input is the script's text. Checked:
//  - parsing either gives commands and no error, or an error and no command;
//  - every row is numbered from 1;
//  - the commands written back one per line parse to the same commands.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "dialogs/dialog_script.h"

namespace {

using namespace zeseal::dialogs;
using Action = ScriptCommand::Action;

std::string Spelled(const ScriptParse& parse) {
    static const char* const kWords[] = {"click", "select", "up", "down", "press", "enter"};
    std::string text;
    for (const ScriptCommand& command : parse.commands) {
        text += kWords[static_cast<int>(command.action)];
        if (command.action == Action::kClick || command.action == Action::kSelect ||
            command.action == Action::kPress) {
            text += ' ';
            text += std::to_string(command.value);
        }
        text += "\n";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    const ScriptParse parse = ParseDialogScript(script);
    if (!parse.error.empty()) {
        ZESEAL_FUZZ_CHECK(parse.commands.empty());
        return 0;
    }
    for (const ScriptCommand& command : parse.commands) {
        if (command.action == Action::kClick || command.action == Action::kSelect) {
            ZESEAL_FUZZ_CHECK(command.value >= 1);
        }
    }
    const ScriptParse again = ParseDialogScript(Spelled(parse));
    ZESEAL_FUZZ_CHECK(again.error.empty());
    ZESEAL_FUZZ_CHECK(Spelled(again) == Spelled(parse));
    return 0;
}
