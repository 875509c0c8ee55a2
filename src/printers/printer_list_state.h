// The process-wide printer-list state, in one place: the list the dialogs
// show, its length, the chosen printer, the module the dialogs load their
// resources from, and the list dialog's option. Unlocked: callers must not
// run two list operations at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "printers/printer_record.h"

namespace zeseal::printers {

struct PrinterListState {
    std::unique_ptr<PrinterRecord[]> printerList;  // none outside a list call
    std::size_t printerListCapacity = 0;           // records the list has room for
    std::int32_t printerCount = 0;
    PrinterRecord selectedPrinter = {};
    const void* moduleInstance = nullptr;
    std::int32_t listDialogOption = 0;
};

PrinterListState& ThePrinterListState() noexcept;

// Replaces the list with a cleared one of room for capacity records and sets
// the count to 0. False when memory runs out (the list is then none).
bool AllocatePrinterList(std::size_t capacity) noexcept;

// Releases the list, if any, and sets the count to 0.
void ReleasePrinterList() noexcept;

}  // namespace zeseal::printers
