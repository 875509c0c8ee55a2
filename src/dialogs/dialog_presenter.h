// The seam between the printer-list dialogs' logic and whatever shows them:
// Windows dialogs, a terminal, or a script for tests and unattended hosts.
#pragma once

#include <cstdint>

#include <zeseal/zeseal.h>

#include "dialogs/printer_dialog.h"

namespace zeseal::dialogs {

class DialogPresenter {
public:
    virtual ~DialogPresenter() = default;
    // Shows the dialog modally, owned by owner, and feeds it the user's
    // actions until it ends; shows each warning the dialog gives. Returns the
    // dialog's end value, or kDialogNotCreated when it could not be
    // shown or was left without ending.
    virtual std::int32_t Run(PrinterDialog& dialog, HWND owner) = 0;
};

// The presenter this process shows its dialogs with; nullptr when there is
// none (every dialog then counts as not created).
DialogPresenter* ActiveDialogPresenter() noexcept;

// Runs a dialog on a presenter; kDialogNotCreated without one.
inline std::int32_t RunDialog(DialogPresenter* presenter, PrinterDialog& dialog,
                              HWND owner) {
    return presenter != nullptr ? presenter->Run(dialog, owner) : kDialogNotCreated;
}

// The handle of the module the dialogs take their resources from.
const void* ThisModuleHandle() noexcept;

}  // namespace zeseal::dialogs
