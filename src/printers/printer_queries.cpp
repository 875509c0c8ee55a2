#include "printers/printer_queries.h"

#include <vector>

#include <zeseal/zeseal.h>

#include "base/ascii_case.h"
#include "base/name_cut.h"
#include "catalogue/model_lookup.h"
#include "catalogue/model_name.h"
#include "seams/spooler.h"
#include "printers/default_printer.h"
#include "printers/model_code.h"
#include "printers/port_rules.h"
#include "printers/printer_record.h"

namespace zeseal::printers {
namespace {

using platform::LocalPrinter;

std::vector<LocalPrinter> LocalPrinters() {
    std::vector<LocalPrinter> printers;
    if (!platform::ActiveSpooler().ListLocalPrinters(printers)) printers.clear();
    return printers;
}

// Passes the port rules and has a registered driver, whatever its class.
bool AbleToIssue(LocalPrinter& printer) {
    if (CheckPrinterSupport(printer.driver, printer.port) == 0) return false;
    char model[base::kNameBufferSize];
    NormalizedModelName(printer.driver, model);
    return catalogue::LookupSupportedModel(model) == catalogue::kModelFound;
}

std::string NormalizedName(std::string_view name) {
    char buffer[base::kNameBufferSize];
    CopyToField(buffer, base::CutLongName(name));
    catalogue::NormalizeModelName(buffer);
    return buffer;
}

}  // namespace

std::int32_t CheckDefaultPrinter() {
    std::vector<LocalPrinter> printers = LocalPrinters();
    if (printers.empty()) return ZE_NO_LOCAL_PRINTER;
    char defaultName[base::kNameBufferSize] = {};
    // With no default printer the name stays empty and matches no printer.
    ReadDefaultPrinterName(defaultName, sizeof defaultName);
    for (LocalPrinter& printer : printers) {
        if (!base::SameIgnoringCase(printer.name, defaultName)) continue;
        return AbleToIssue(printer) ? ZE_OK : ZE_NO_ABLE_PRINTER;
    }
    return ZE_NO_ABLE_PRINTER;
}

std::int32_t CheckAnyPrinter() {
    std::vector<LocalPrinter> printers = LocalPrinters();
    if (printers.empty()) return ZE_NO_LOCAL_PRINTER;
    for (LocalPrinter& printer : printers) {
        if (AbleToIssue(printer)) return ZE_OK;
    }
    return ZE_NO_ABLE_PRINTER;
}

std::optional<std::string> FindPrinterPort(std::string_view printerName) {
    const std::vector<LocalPrinter> printers = LocalPrinters();
    for (const LocalPrinter& printer : printers) {
        if (printer.name == printerName) return printer.port;
    }
    const std::string wanted = NormalizedName(printerName);
    for (const LocalPrinter& printer : printers) {
        if (base::SameIgnoringCase(NormalizedName(printer.name), wanted)) return printer.port;
    }
    return std::nullopt;
}

}  // namespace zeseal::printers
