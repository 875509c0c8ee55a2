#include "dialogs/printer_list_calls.h"

#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "base/name_cut.h"
#include "catalogue/model_lookup.h"
#include "catalogue/model_name.h"
#include "catalogue/court_list.h"
#include "dialogs/dialog_state.h"
#include "frame/caller_buffers.h"
#include "frame/caller_text.h"
#include "seams/spooler.h"
#include "printers/port_rules.h"
#include "printers/printer_list_builder.h"
#include "printers/printer_list_state.h"

namespace zeseal::dialogs {
namespace {

constexpr std::int32_t kListEmpty = ZE_NO_LOCAL_PRINTER;
constexpr std::int32_t kListBuilt = 0;

bool HoldsShareSeparator(const char* text) {
    return std::string_view(text).find("\\\\") != std::string_view::npos;
}

// Builds PrinterList afresh. kListEmpty when it holds no printer.
std::int32_t BuildTheList() {
    printers::PrinterListState& state = printers::ThePrinterListState();
    printers::ReleasePrinterList();
    const std::size_t localPrinters = printers::CountLocalPrinters();
    if (!printers::AllocatePrinterList(localPrinters + 1)) return kListCallFaulted;
    if (localPrinters > 0) {
        state.printerCount = printers::BuildPrinterList(state.printerList.get(), state.printerListCapacity);
    }
    if (state.printerCount <= 0) return kListEmpty;
    state.moduleInstance = ThisModuleHandle();
    return kListBuilt;
}

// Hands SelectedPrinter to the caller. Returns false when a pointer faulted.
bool StoreChosenPrinter(const ListCallArguments& call) {
    const printers::PrinterRecord& chosen = printers::ThePrinterListState().selectedPrinter;
    const bool shared = HoldsShareSeparator(chosen.name) || HoldsShareSeparator(chosen.port);
    return frame::StoreCallerBuffer(call.nameOut, base::kNameBufferSize, chosen.name) &&
           frame::StoreCallerBuffer(call.driverOut, base::kNameBufferSize, chosen.driver) &&
           frame::StoreCallerValue(call.kindOut, shared ? ZE_KIND_NETWORK : ZE_KIND_LOCAL) &&
           frame::StoreCallerValue(call.modelOut, chosen.modelCode);
}

// The final check of a choice: the first local printer with the driver now
// in driverOut that passes the port rules settles it. Upper-cases driverOut
// in place when a printer has that driver.
std::int32_t FinalCheck(const ListCallArguments& call, std::int32_t result) {
    std::string driver;
    if (!frame::ReadCallerBuffer(call.driverOut, base::kNameBufferSize, driver)) return kListCallFaulted;
    std::vector<platform::LocalPrinter> printers;
    if (!platform::ActiveSpooler().ListLocalPrinters(printers)) printers.clear();

    bool ok = true;
    bool matched = false;
    for (platform::LocalPrinter& printer : printers) {
        if (!base::SameIgnoringCase(printer.driver, driver)) continue;
        matched = true;
        ok = printers::CheckPrinterSupport(driver, printer.port) != 0;
        if (ok) {
            if (printer.port.find(',') != std::string::npos) {
                result = ZE_CHOSEN_PRINTER_UNABLE;
                ok = false;
            }
            break;
        }
    }
    if (matched && !frame::StoreCallerBuffer(call.driverOut, base::kNameBufferSize, driver)) {
        return kListCallFaulted;
    }
    return ok ? result : ZE_CHOSEN_PRINTER_UNABLE;
}

void ForgetDialogResources() noexcept {
    printers::ThePrinterListState().moduleInstance = nullptr;
    printers::ReleasePrinterList();
}

}  // namespace

std::int32_t LookupIssueModel(const char* driver) noexcept {
    char name[base::kNameBufferSize] = {};
    printers::CopyToField(name, base::CutLongName(driver != nullptr ? driver : ""));
    catalogue::NormalizeModelName(name);
    switch (catalogue::LookupCourtPrinter(name)) {
        case catalogue::kCourtListMissing: return ZE_COURT_LIST_UNREADABLE;
        case catalogue::kCourtPrinterFound: return ZE_COURT_LIST_REGISTERED;
        default: return ZE_COURT_LIST_UNKNOWN;
    }
}

std::int32_t ChoosePrinterFromList(const ListCallArguments& call, std::int32_t option,
                                   const ListDialogs& dialogs) {
    printers::PrinterListState& state = printers::ThePrinterListState();
    std::int32_t result = BuildTheList();
    if (result == kListBuilt) {
        state.listDialogOption = option;
        if (!frame::EmptyCallerBuffer(call.nameOut, base::kNameBufferSize) ||
            !frame::EmptyCallerBuffer(call.driverOut, base::kNameBufferSize)) {
            result = kListCallFaulted;
        } else {
            PrinterDialog dialog(DialogKind::kChoosePrinter, dialogs.testPrint);
            const std::int32_t ended = RunDialog(dialogs.presenter, dialog, call.parent);
            if (ended == kChoosePrinterConfirmed) {
                result = StoreChosenPrinter(call) ? LookupIssueModel(state.selectedPrinter.driver)
                                                  : kListCallFaulted;
            } else {
                result = ZE_DIALOG_NOT_CONFIRMED;
            }
        }
    }
    state.selectedPrinter.name[0] = '\0';
    state.selectedPrinter.driver[0] = '\0';
    ForgetDialogResources();
    if (result == kListCallFaulted) return result;
    return FinalCheck(call, result);
}

std::int32_t ShowPrinterListDialog(const ListCallArguments& call, std::int32_t mode,
                                   const ListDialogs& dialogs) {
    std::int32_t result = BuildTheList();
    if (result == kListBuilt) {
        auto run = [&](DialogKind kind) {
            PrinterDialog dialog(kind, dialogs.testPrint);
            return RunDialog(dialogs.presenter, dialog, call.parent);
        };
        switch (mode) {
            case 1:
                run(DialogKind::kShowList);
                result = ZE_OK;
                break;
            case 2:
                result = run(DialogKind::kContinueList) == kContinueButton
                             ? ZE_OK
                             : ZE_DIALOG_NOT_CONFIRMED;
                break;
            case 3:
                if (run(DialogKind::kSelectPrinter) == kSelectContinueButton) {
                    result = StoreChosenPrinter(call) ? ZE_OK : kListCallFaulted;
                } else {
                    result = ZE_DIALOG_NOT_CONFIRMED;
                }
                break;
            default:
                result = -1;
                break;
        }
    }
    TheDialogState().printerImageList = nullptr;
    ForgetDialogResources();
    return result;
}

}  // namespace zeseal::dialogs
