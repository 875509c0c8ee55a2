// Shows the printer-list dialogs to a script instead of a person (see
// dialog_script.h), and keeps a transcript of what happened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dialog_presenter.h"
#include "dialogs/dialog_script.h"

namespace zeseal::platform::posix {

class ScriptedPresenter final : public dialogs::DialogPresenter {
public:
    explicit ScriptedPresenter(std::vector<dialogs::ScriptCommand> commands);

    std::int32_t Run(dialogs::PrinterDialog& dialog, HWND owner) override;

    // One line per event: "open 116", "warning W1", "end 1035", "unfinished".
    const std::vector<std::string>& Transcript() const noexcept { return transcript_; }
    bool Exhausted() const noexcept { return next_ >= commands_.size(); }

private:
    void Note(std::string line);

    std::vector<dialogs::ScriptCommand> commands_;
    std::size_t next_ = 0;
    std::vector<std::string> transcript_;
};

// Sets the process's dialog script: 0 when it parses (NULL or "" removes
// it), -1 when it does not (the script is then unchanged and the reason goes
// to the diagnostic stream).
std::int32_t SetDialogScript(const char* script);

// The process's scripted presenter, nullptr when no script is set.
ScriptedPresenter* ActiveScript() noexcept;

}  // namespace zeseal::platform::posix
