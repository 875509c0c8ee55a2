// The dialogs' own process-wide state: the default printer's row and the row
// last clicked in dialog 116. Both survive between dialogs; unlocked, one
// dialog at a time per process.
#pragma once

#include <cstdint>

namespace zeseal::dialogs {

struct DialogState {
    std::int32_t defaultPrinterRow = 0;
    std::int32_t clickedPrinterRow = -1;
    // The list dialogs' printer pictures, owned by the list control of the
    // presenter that made them; the list exports forget them (never free).
    const void* printerImageList = nullptr;
};

DialogState& TheDialogState() noexcept;

}  // namespace zeseal::dialogs
