#include "printers/printer_list_builder.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "printers/printer_jobs.h"
#include "frame/trace_log.h"
#include "frame/diagnostics.h"
#include "seams/spooler.h"
#include "printers/model_code.h"
#include "printers/port_rules.h"
#include "printers/support_texts.h"

namespace zeseal::printers {
namespace {

bool IsPrinterConnection(const platform::LocalPrinter& printer) {
    return printer.name.find("\\\\") != std::string::npos ||
           printer.port.find("\\\\") != std::string::npos;
}

// Classifies one printer into a cleared record.
void Classify(const platform::LocalPrinter& printer, PrinterRecord& record) {
    record = PrinterRecord{};
    CopyToField(record.name, printer.name);
    CopyToField(record.driver, printer.driver);
    std::string port = printer.port;
    base::UpperCaseInPlace(port);
    CopyToField(record.port, port);
    frame::TraceLog("1");

    bool accept = true;
    if (port.find("LPT") != std::string::npos && port.find(':') == std::string::npos) {
        accept = false;
        CopyToField(record.supportText, kRefusedPortText);
    }
    if (HasAddressForm(port)) accept = true;
    if (accept && port.find(',') != std::string::npos) {
        accept = false;
        CopyToField(record.supportText, kMultiPortText);
    }
    frame::TraceLog("2");
    if (accept) {
        switch (LookupModelCode(printer.driver)) {
            case kModelClass0: record.modelCode = kModelCodeClass0; break;
            case kModelClass1: record.modelCode = kModelCodeClass1; break;
            default:
                accept = false;
                record.modelCode = 0;
                record.modelState = -1;
                CopyToField(record.supportText, kUnregisteredText);
                break;
        }
    }
    frame::TraceLog("3");
    record.support = accept ? 1 : 0;
    if (accept) CopyToField(record.supportText, kSupportedText);
}

}  // namespace

std::size_t CountLocalPrinters() noexcept {
    try {
        std::vector<platform::LocalPrinter> printers;
        if (!platform::ActiveSpooler().ListLocalPrinters(printers)) return 0;
        return printers.size();
    } catch (...) {
        return 0;
    }
}

std::int32_t BuildPrinterList(PrinterRecord* records, std::size_t capacity) noexcept {
    std::int32_t written = 0;
    try {
        std::vector<platform::LocalPrinter> printers;
        if (!platform::ActiveSpooler().ListLocalPrinters(printers) || printers.empty()) return 0;
        for (const platform::LocalPrinter& printer : printers) {
            if (IsPrinterConnection(printer)) continue;
            if (records == nullptr || std::size_t(written) >= capacity) break;
            PrinterRecord& record = records[written];
            Classify(printer, record);
            // Only lists the jobs to the diagnostic stream; the record is the same either way.
            ListPrinterJobs(printer.name);
            frame::TraceLog("Model [%s] ", record.driver);
            frame::TraceLog("Port [%s] ", record.port);
            frame::TraceLog("Support [%s]", record.supportText);
            frame::TraceLog("Support [%d]", record.support);
            ++written;
        }
        return written;
    } catch (...) {
        frame::TraceLog("BuildPrinterList catch - GetLastError[%d]\n",
                        static_cast<int>(frame::LastSystemError()));
        return -1;
    }
}

}  // namespace zeseal::printers
