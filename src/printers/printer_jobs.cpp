#include "printers/printer_jobs.h"

#include <cstdio>
#include <vector>

#include <zeseal/zeseal.h>

#include "printers/printer_status.h"
#include "frame/trace_log.h"
#include "frame/diagnostics.h"
#include "seams/spooler.h"

namespace zeseal::printers {
namespace {

using namespace zeseal::platform;

// "작업 목록 조회" (job list query), in code page 949.
constexpr const char* kJobQueryTrace =
    "##### iGetZePrinterJob - \xC0\xDB\xBE\xF7 \xB8\xF1\xB7\xCF \xC1\xB6\xC8\xB8 [%s]\n";


}  // namespace

std::int32_t CountPrinterJobs(const std::string& printerName, const std::string& filter,
                              std::int32_t& count, bool& counted) {
    counted = false;
    std::int32_t result = ZE_NO_MATCHING_JOB;
    std::uint32_t error = 0;
    const auto printer = ActiveSpooler().Open(printerName, PrinterAccess::kFull, error);
    if (!printer) {
        frame::TraceLog("##### iGetZePrinterJob - OpenPrinter - [%s] [%s]\n", printerName.c_str(),
                        filter.c_str());
        ReportOpenFailure("OpenPrinter", error);
        return ZE_FAULT;
    }
    frame::TraceLog(kJobQueryTrace, printerName.c_str());

    PrinterInfo info;
    if (!printer->ReadInfo(info)) {
        frame::TraceLog("##### iGetZePrinterJob - GetPrinter\n");
        return ZE_FAULT;
    }
    std::vector<JobInfo> jobs;
    if (!printer->ListJobs(0, info.jobCount, jobs)) return ZE_NO_MATCHING_JOB;

    std::int32_t matching = 0;
    if (filter == "ALL") {
        matching = static_cast<std::int32_t>(jobs.size());
        result = ZE_OK;
    } else {
        for (const JobInfo& job : jobs) {
            if (job.document && job.document->find(filter) != std::string::npos) {
                ++matching;
                result = ZE_OK;
            }
        }
    }
    count = matching;
    counted = true;
    return result;
}

int ListPrinterJobs(const std::string& printerName) {
    std::uint32_t error = 0;
    const auto printer = ActiveSpooler().Open(printerName, PrinterAccess::kUse, error);
    if (!printer) return 0;
    std::vector<JobInfo> jobs;
    if (!printer->ListJobs(0, kAllJobs, jobs)) return 0;
    if (!frame::DiagnosticsEnabled()) return 1;
    char line[1024];
    std::snprintf(line, sizeof line, "%d jobs\n", static_cast<int>(jobs.size()));
    frame::DiagnosticText(line);
    for (const JobInfo& job : jobs) {
        std::snprintf(line, sizeof line, "[%d] [%s]\n", static_cast<int>(job.id),
                      job.document ? job.document->c_str() : "");
        frame::DiagnosticText(line);
    }
    return 1;
}

}  // namespace zeseal::printers
