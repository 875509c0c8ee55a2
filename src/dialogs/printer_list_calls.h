// What the two printer-list exports do: build the list, run a dialog on it,
// hand the chosen printer to the caller and, for the choosing export, check
// the choice against the printers and the court printer list.
#pragma once

#include <climits>
#include <cstdint>

#include <zeseal/zeseal.h>

#include "dialogs/printer_dialog.h"
#include "dialogs/dialog_presenter.h"

namespace zeseal::dialogs {

// The caller's arguments: the dialog's owner and the output pointers. The
// name buffers hold 260 bytes each.
struct ListCallArguments {
    HWND parent = nullptr;
    char* nameOut = nullptr;
    char* driverOut = nullptr;
    std::int32_t* kindOut = nullptr;
    std::int32_t* modelOut = nullptr;
};

// How the dialogs are shown and what dialog 101's test print calls.
struct ListDialogs {
    DialogPresenter* presenter = nullptr;
    TestPrintFunction testPrint;
};

// Returned when a caller pointer faulted or memory ran out; the exports
// report it as their fault code.
inline constexpr std::int32_t kListCallFaulted = INT32_MIN;

// The choosing export: dialog 101, then the final check.
std::int32_t ChoosePrinterFromList(const ListCallArguments& call, std::int32_t option,
                                   const ListDialogs& dialogs);

// The showing export: dialog 103, 102 or 116 by mode (1, 2, 3).
std::int32_t ShowPrinterListDialog(const ListCallArguments& call, std::int32_t mode,
                                   const ListDialogs& dialogs);

// The court printer list's answer for a driver: 70000 listed, 80000 not,
// 60004 the list cannot be opened.
std::int32_t LookupIssueModel(const char* driver) noexcept;

}  // namespace zeseal::dialogs
