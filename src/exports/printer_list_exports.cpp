// The printer-list exports: build the list, let the user choose in a dialog,
// hand the choice back. The work is in printers/printer_list_calls.cpp; the
// dialogs are shown by the platform's presenter.
#include <zeseal/zeseal.h>


#include "frame/fault_frame.h"
#include "frame/trace_log.h"
#include "frame/diagnostics.h"
#include "dialogs/printer_list_calls.h"

using namespace zeseal;

namespace {

// Dialog 101's test print goes through the test-page export.
dialogs::ListDialogs ThisProcessDialogs() {
    dialogs::ListDialogs dialogs;
    dialogs.presenter = dialogs::ActiveDialogPresenter();
    dialogs.testPrint = iZeTestPrinting;
    return dialogs;
}

}  // namespace

extern "C" {

ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterList(HWND parent, char* nameOut, char* driverOut,
                                                 int32_t* kindOut, int32_t* modelOut,
                                                 int32_t option) {
    const std::int32_t result = frame::ContainExceptions(dialogs::kListCallFaulted, [&] {
        return dialogs::ChoosePrinterFromList({parent, nameOut, driverOut, kindOut, modelOut},
                                               option, ThisProcessDialogs());
    });
    if (result != dialogs::kListCallFaulted) return result;
    frame::TraceLog("##### iGetZePrinterList - catch - GetLastError[%u]\n",
                    unsigned(frame::LastSystemError()));
    frame::TraceLog("##### iGetZePrinterList - End\n");
    return ZE_FAULT;
}

ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterListChk(HWND parent, char* nameOut,
                                                    char* driverOut, int32_t* kindOut,
                                                    int32_t* modelOut, int32_t mode) {
    const std::int32_t result = frame::ContainExceptions(dialogs::kListCallFaulted, [&] {
        return dialogs::ShowPrinterListDialog({parent, nameOut, driverOut, kindOut, modelOut},
                                               mode, ThisProcessDialogs());
    });
    return result == dialogs::kListCallFaulted ? ZE_FAULT : result;
}

}  // extern "C"
