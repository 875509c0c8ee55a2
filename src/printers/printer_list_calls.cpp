#include "printers/printer_list_calls.h"

#include <string>
#include <vector>

#include "catalogue/model_lookup.h"
#include "dialogs/dialog_state.h"
#include "frame/caller_buffers.h"
#include "frame/caller_text.h"
#include "platform/spooler.h"
#include "printers/port_rules.h"
#include "printers/printer_list_builder.h"
#include "printers/printer_list_state.h"

namespace zeseal::printers {
namespace {

constexpr std::int32_t kListEmpty = ZE_NO_LOCAL_PRINTER;
constexpr std::int32_t kListBuilt = 0;

bool HoldsShareSeparator(const char* text) {
    return std::string_view(text).find("\\\\") != std::string_view::npos;
}

// Builds PrinterList afresh. kListEmpty when it holds no printer.
std::int32_t BuildTheList() {
    PrinterListState& state = ThePrinterListState();
    ReleasePrinterList();
    const std::size_t localPrinters = CountLocalPrinters();
    if (!AllocatePrinterList(localPrinters + 1)) return kListCallFaulted;
    if (localPrinters > 0) {
        state.printerCount = BuildPrinterList(state.printerList.get(), state.printerListCapacity);
    }
    if (state.printerCount <= 0) return kListEmpty;
    state.moduleInstance = platform::ThisModuleHandle();
    return kListBuilt;
}

// Hands SelectedPrinter to the caller. Returns false when a pointer faulted.
bool StoreChosenPrinter(const ListCallArguments& call) {
    const PrinterRecord& chosen = ThePrinterListState().selectedPrinter;
    const bool shared = HoldsShareSeparator(chosen.name) || HoldsShareSeparator(chosen.port);
    return frame::StoreCallerBuffer(call.nameOut, kNameBufferSize, chosen.name) &&
           frame::StoreCallerBuffer(call.driverOut, kNameBufferSize, chosen.driver) &&
           frame::StoreCallerValue(call.kindOut, shared ? ZE_KIND_NETWORK : ZE_KIND_LOCAL) &&
           frame::StoreCallerValue(call.modelOut, chosen.modelCode);
}

// The final check of a choice: the first local printer with the driver now
// in driverOut that passes the port rules settles it. Upper-cases driverOut
// in place when a printer has that driver.
std::int32_t FinalCheck(const ListCallArguments& call, std::int32_t result) {
    std::string driver;
    if (!frame::ReadCallerBuffer(call.driverOut, kNameBufferSize, driver)) return kListCallFaulted;
    std::vector<platform::LocalPrinter> printers;
    if (!platform::ActiveSpooler().ListLocalPrinters(printers)) printers.clear();

    bool ok = true;
    bool matched = false;
    for (platform::LocalPrinter& printer : printers) {
        std::string lowerDriver = printer.driver;
        std::string lowerOut = driver;
        for (char& c : lowerDriver) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        for (char& c : lowerOut) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        if (lowerDriver != lowerOut) continue;
        matched = true;
        ok = CheckPrinterSupport(driver, printer.port) != 0;
        if (ok) {
            if (printer.port.find(',') != std::string::npos) {
                result = ZE_CHOSEN_PRINTER_UNABLE;
                ok = false;
            }
            break;
        }
    }
    if (matched && !frame::StoreCallerBuffer(call.driverOut, kNameBufferSize, driver)) {
        return kListCallFaulted;
    }
    return ok ? result : ZE_CHOSEN_PRINTER_UNABLE;
}

void ForgetDialogResources() noexcept {
    ThePrinterListState().moduleInstance = nullptr;
    ReleasePrinterList();
}

}  // namespace

std::int32_t LookupIssueModel(const char* driver) noexcept {
    char name[kNameBufferSize] = {};
    CopyToField(name, CutLongName(driver != nullptr ? driver : ""));
    catalogue::NormalizeModelName(name);
    switch (catalogue::LookupCourtPrinter(name)) {
        case catalogue::kCourtListMissing: return ZE_COURT_LIST_UNREADABLE;
        case catalogue::kCourtPrinterFound: return ZE_COURT_LIST_REGISTERED;
        default: return ZE_COURT_LIST_UNKNOWN;
    }
}

std::int32_t ChoosePrinterFromList(const ListCallArguments& call, std::int32_t option,
                                   const ListDialogs& dialogs) {
    PrinterListState& state = ThePrinterListState();
    std::int32_t result = BuildTheList();
    if (result == kListBuilt) {
        state.listDialogOption = option;
        if (!frame::EmptyCallerBuffer(call.nameOut, kNameBufferSize) ||
            !frame::EmptyCallerBuffer(call.driverOut, kNameBufferSize)) {
            result = kListCallFaulted;
        } else {
            dialogs::PrinterDialog dialog(dialogs::DialogKind::kChoosePrinter, dialogs.testPrint);
            const std::int32_t ended = platform::RunDialog(dialogs.presenter, dialog, call.parent);
            if (ended == dialogs::kChoosePrinterConfirmed) {
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
        auto run = [&](dialogs::DialogKind kind) {
            dialogs::PrinterDialog dialog(kind, dialogs.testPrint);
            return platform::RunDialog(dialogs.presenter, dialog, call.parent);
        };
        switch (mode) {
            case 1:
                run(dialogs::DialogKind::kShowList);
                result = ZE_OK;
                break;
            case 2:
                result = run(dialogs::DialogKind::kContinueList) == dialogs::kContinueButton
                             ? ZE_OK
                             : ZE_DIALOG_NOT_CONFIRMED;
                break;
            case 3:
                if (run(dialogs::DialogKind::kSelectPrinter) == dialogs::kSelectContinueButton) {
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
    dialogs::TheDialogState().printerImageList = nullptr;
    ForgetDialogResources();
    return result;
}

}  // namespace zeseal::printers
