// Shows the printer-list dialogs to a person at a terminal: the title, the
// texts, the rows with their verdicts and the default mark, and the buttons.
// A row is chosen by its number and a button by its key; the dialogs' code
// page 949 texts are converted to UTF-8 for display only.
#pragma once

#include <cstdint>
#include <cstdio>

#include "dialogs/dialog_presenter.h"

namespace zeseal::platform::posix {

class TerminalPresenter final : public dialogs::DialogPresenter {
public:
    TerminalPresenter(std::FILE* in, std::FILE* out) : in_(in), out_(out) {}

    // Ends with the dialog's end value, or -1 when the input ends first.
    std::int32_t Run(dialogs::PrinterDialog& dialog, HWND owner) override;

private:
    void Show(const dialogs::PrinterDialog& dialog);

    std::FILE* in_;
    std::FILE* out_;
};

}  // namespace zeseal::platform::posix
