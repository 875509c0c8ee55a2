#include "platform/posix/dialogs/scripted_presenter.h"

#include <memory>
#include <string>
#include <utility>

#include "frame/diagnostics.h"

namespace zeseal::platform::posix {
namespace {

std::unique_ptr<ScriptedPresenter>& TheScript() {
    static std::unique_ptr<ScriptedPresenter> script;
    return script;
}

const char* WarningName(dialogs::Warning warning) {
    return warning == dialogs::Warning::kUnsupportedChoice ? "W1" : "W2";
}

}  // namespace

ScriptedPresenter::ScriptedPresenter(std::vector<dialogs::ScriptCommand> commands)
    : commands_(std::move(commands)) {}

void ScriptedPresenter::Note(std::string line) {
    if (frame::DiagnosticsEnabled()) frame::DiagnosticText("dialog script: " + line + "\n");
    transcript_.push_back(std::move(line));
}

std::int32_t ScriptedPresenter::Run(dialogs::PrinterDialog& dialog, HWND) {
    using Action = dialogs::ScriptCommand::Action;
    Note("open " + std::to_string(static_cast<std::int32_t>(dialog.Kind())));
    while (!dialog.Ended() && next_ < commands_.size()) {
        const dialogs::ScriptCommand command = commands_[next_++];
        // A row the dialog does not have is a mistake in the script, never a
        // quiet answer with the row already selected.
        const bool namesRow = command.action == Action::kClick || command.action == Action::kSelect;
        const std::size_t rows = dialog.Rows().size();
        if (namesRow && (command.value < 1 || static_cast<std::size_t>(command.value) > rows)) {
            Note("error: no row " + std::to_string(command.value) + " (the dialog has " +
                 std::to_string(rows) + ")");
            return dialogs::kDialogNotCreated;
        }
        dialogs::CommandOutcome outcome;
        switch (command.action) {
            case Action::kClick: dialog.ClickRow(command.value - 1); break;
            case Action::kSelect: dialog.SelectRow(command.value - 1); break;
            case Action::kUp: dialog.SelectRow(dialog.CurrentRow() - 1); break;
            case Action::kDown: dialog.SelectRow(dialog.CurrentRow() + 1); break;
            case Action::kPress: outcome = dialog.Command(command.value); break;
            case Action::kEnter: outcome = dialog.Command(dialogs::kCommandOk); break;
        }
        if (outcome.warning != dialogs::Warning::kNone) {
            Note(std::string("warning ") + WarningName(outcome.warning));
        }
    }
    if (!dialog.Ended()) {
        Note("unfinished");
        return dialogs::kDialogNotCreated;
    }
    Note("end " + std::to_string(dialog.EndValue()));
    return dialog.EndValue();
}

std::int32_t SetDialogScript(const char* script) {
    if (script == nullptr || *script == '\0') {
        TheScript().reset();
        return 0;
    }
    dialogs::ScriptParse parse = dialogs::ParseDialogScript(script);
    if (!parse.error.empty()) {
        frame::DiagnosticText("dialog script refused: " + parse.error + "\n");
        return -1;
    }
    TheScript() = std::make_unique<ScriptedPresenter>(std::move(parse.commands));
    return 0;
}

ScriptedPresenter* ActiveScript() noexcept { return TheScript().get(); }

}  // namespace zeseal::platform::posix
