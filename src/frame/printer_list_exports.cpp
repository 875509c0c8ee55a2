// The printer-list exports: build the list, let the user choose in a dialog,
// hand the choice back. The work is in printers/printer_list_calls.cpp; the
// dialogs are shown by the platform's presenter.
#include <zeseal/zeseal.h>

#include <cerrno>

#include "frame/fault_frame.h"
#include "frame/trace_log.h"
#include "printers/printer_list_calls.h"

using namespace zeseal;

// Dialog 101's test print goes through the test-page export. The reference
// is weak so that the list exports link, and refuse the test print, in a
// library built without that export.
#pragma weak iZeTestPrinting

namespace {

std::int32_t TestPrintThroughExport(const char* printerName, const char* driverName,
                                    const char* caption, std::int32_t kind,
                                    std::int32_t orientation) {
    if (iZeTestPrinting == nullptr) return ZE_TEST_PRINT_REFUSED;
    return iZeTestPrinting(printerName, driverName, caption, kind, orientation);
}

printers::ListDialogs ThisProcessDialogs() {
    printers::ListDialogs dialogs;
    dialogs.presenter = platform::ActiveDialogPresenter();
    dialogs.testPrint = TestPrintThroughExport;
    return dialogs;
}

}  // namespace

extern "C" {

ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterList(HWND parent, char* nameOut, char* driverOut,
                                                 int32_t* kindOut, int32_t* modelOut,
                                                 int32_t option) {
    const std::int32_t result = frame::ContainExceptions(printers::kListCallFaulted, [&] {
        return printers::ChoosePrinterFromList({parent, nameOut, driverOut, kindOut, modelOut},
                                               option, ThisProcessDialogs());
    });
    if (result != printers::kListCallFaulted) return result;
    frame::TraceLog("##### iGetZePrinterList - catch - GetLastError[%u]\n", unsigned(errno));
    frame::TraceLog("##### iGetZePrinterList - End\n");
    return ZE_FAULT;
}

ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterListChk(HWND parent, char* nameOut,
                                                    char* driverOut, int32_t* kindOut,
                                                    int32_t* modelOut, int32_t mode) {
    const std::int32_t result = frame::ContainExceptions(printers::kListCallFaulted, [&] {
        return printers::ShowPrinterListDialog({parent, nameOut, driverOut, kindOut, modelOut},
                                               mode, ThisProcessDialogs());
    });
    return result == printers::kListCallFaulted ? ZE_FAULT : result;
}

}  // extern "C"
