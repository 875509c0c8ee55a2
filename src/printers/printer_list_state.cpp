#include "printers/printer_list_state.h"

#include <new>

namespace zeseal::printers {

PrinterListState& ThePrinterListState() noexcept {
    static PrinterListState state;
    return state;
}

bool AllocatePrinterList(std::size_t capacity) noexcept {
    PrinterListState& state = ThePrinterListState();
    ReleasePrinterList();
    state.printerList.reset(new (std::nothrow) PrinterRecord[capacity]());
    if (!state.printerList) return false;
    state.printerListCapacity = capacity;
    return true;
}

void ReleasePrinterList() noexcept {
    PrinterListState& state = ThePrinterListState();
    state.printerList.reset();
    state.printerListCapacity = 0;
    state.printerCount = 0;
}

}  // namespace zeseal::printers
