#include "dialogs/dialog_script.h"

#include <charconv>
#include <initializer_list>
#include <string>
#include <string_view>

#include "dialogs/dialog_ids.h"

namespace zeseal::dialogs {
namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseNumber(std::string_view text, std::int32_t& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Text joined by appending, never by inserting in front of a temporary:
// GCC 12 warns wrongly (-Wrestrict) about the inlined insert at -O3.
std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) text.append(part);
    return text;
}

// Parses one command; an error text when it is not one.
std::string ParseCommand(std::string_view text, std::vector<ScriptCommand>& commands) {
    using Action = ScriptCommand::Action;
    const auto blank = text.find_first_of(" \t");
    const std::string_view word = text.substr(0, blank);
    const std::string_view argument =
        blank == std::string_view::npos ? std::string_view() : Trim(text.substr(blank));
    const bool hasArgument = !argument.empty();

    if (word == "up" || word == "down" || word == "escape" || word == "close" ||
        word == "enter") {
        if (hasArgument) return Joined({"'", word, "' takes no argument"});
        if (word == "up") commands.push_back({Action::kUp});
        if (word == "down") commands.push_back({Action::kDown});
        if (word == "escape" || word == "close") {
            commands.push_back({Action::kPress, kCommandCancel});
        }
        if (word == "enter") commands.push_back({Action::kEnter});
        return {};
    }
    if (word == "click" || word == "select" || word == "press") {
        std::int32_t value = 0;
        if (!ParseNumber(argument, value)) {
            return Joined({"'", word, "' needs a number, got '", argument, "'"});
        }
        if (word != "press" && value < 1) return "rows are numbered from 1";
        const Action action = word == "click"    ? Action::kClick
                              : word == "select" ? Action::kSelect
                                                 : Action::kPress;
        commands.push_back({action, value});
        return {};
    }
    return Joined({"unknown command '", word, "'"});
}

}  // namespace

ScriptParse ParseDialogScript(std::string_view script) {
    ScriptParse parse;
    std::size_t lineNumber = 1;
    std::size_t start = 0;
    while (start <= script.size()) {
        std::size_t end = script.find_first_of(";\n#", start);
        if (end == std::string_view::npos) end = script.size();
        const std::string_view command = Trim(script.substr(start, end - start));
        if (!command.empty()) {
            const std::string error = ParseCommand(command, parse.commands);
            if (!error.empty()) {
                parse.commands.clear();
                parse.error = Joined({"line ", std::to_string(lineNumber), ": ", error});
                return parse;
            }
        }
        if (end < script.size() && script[end] == '#') {
            end = script.find('\n', end);
            if (end == std::string_view::npos) end = script.size();
        }
        if (end < script.size() && script[end] == '\n') ++lineNumber;
        start = end + 1;
    }
    return parse;
}

}  // namespace zeseal::dialogs
