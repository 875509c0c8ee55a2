// The printer exports: status and jobs, settings, the default-printer and
// any-printer queries, and the port query. Each copies the caller's strings
// first, asks the printer code, and stores its outputs last.
#include <zeseal/zeseal.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "printers/printer_jobs.h"
#include "printers/printer_status.h"
#include "frame/caller_text.h"
#include "frame/fault_frame.h"
#include "frame/trace_log.h"
#include "frame/diagnostics.h"
#include "printers/printer_queries.h"
#include "printers/printer_settings.h"

using namespace zeseal;

namespace {

// Tells a caught fault apart from every result, so it can be traced.
constexpr std::int32_t kCaughtFault = INT32_MIN;

}  // namespace

extern "C" {

ZESEAL_API int32_t ZESEAL_CALL iZePrinterStatus(const char* printerName) {
    return frame::Guarded(ZE_FAULT, [&] {
        std::string name;
        if (!frame::CopyCallerText(printerName, name)) return ZE_FAULT;
        return printers::PrinterStatusOf(name);
    });
}

ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterJob(const char* printerName,
                                                const char* documentFilter, int32_t* count) {
    const std::int32_t result = frame::Guarded(kCaughtFault, [&] {
        std::string name;
        std::string filter;
        if (!frame::CopyCallerText(printerName, name) ||
            !frame::CopyCallerText(documentFilter, filter)) {
            return kCaughtFault;
        }
        std::int32_t jobs = 0;
        bool counted = false;
        const std::int32_t answer = printers::CountPrinterJobs(name, filter, jobs, counted);
        if (counted && !frame::StoreCallerValue(count, jobs)) return kCaughtFault;
        return answer;
    });
    if (result != kCaughtFault) return result;
    frame::TraceLog("##### iGetZePrinterJob - catch - GetLastError[%u]\n",
                    unsigned(frame::LastSystemError()));
    frame::TraceLog("##### iGetZePrinterJob - End\n");
    return ZE_FAULT;
}

ZESEAL_API int32_t ZESEAL_CALL iZePrinterSet(const char* printerName, int32_t mode) {
    return frame::Guarded(ZE_SETTINGS_FAILED, [&] {
        std::string name;
        if (!frame::CopyCallerText(printerName, name)) return ZE_SETTINGS_FAILED;
        return printers::ApplyPrinterSettings(name, mode);
    });
}

ZESEAL_API int32_t ZESEAL_CALL iGetZeDefaultPrinter(void) {
    return frame::Guarded(ZE_NO_ABLE_PRINTER, [] { return printers::CheckDefaultPrinter(); });
}

ZESEAL_API int32_t ZESEAL_CALL iGetZePrinter(void) {
    const std::int32_t result = frame::Guarded(kCaughtFault, [] { return printers::CheckAnyPrinter(); });
    if (result != kCaughtFault) return result;
    frame::TraceLog("iGetZePrinter trt catch!!!");
    return ZE_NO_ABLE_PRINTER;
}

ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterPort(const char* printerName, char* portOut,
                                                 int32_t portOutSize) {
    return frame::ContainExceptions(ZE_OK, [&]() -> std::int32_t {
        if (printerName == nullptr) return ZE_OK;
        const auto port = printers::FindPrinterPort(printerName);
        if (!port) return ZE_OK;
        const std::size_t needed = port->size() + 1;
        if (needed > std::size_t(INT32_MAX)) return INT32_MAX;
        if (portOut == nullptr || port->size() >= std::size_t(std::max(portOutSize, 0))) {
            return static_cast<std::int32_t>(needed);
        }
        std::memcpy(portOut, port->c_str(), needed);
        return ZE_OK;
    });
}

}  // extern "C"
