// A printer's queued jobs: counting those of one document, and listing them
// all to the diagnostic stream.
#pragma once

#include <cstdint>
#include <string>

namespace zeseal::printers {

// Counts the named printer's jobs whose document name contains filter (case
// sensitive; a job without a document name never matches); "ALL" counts
// every job. Returns 0 when jobs were found (for "ALL" always, even none),
// 1004 when none matched or the jobs cannot be read, 9999 when the printer
// cannot be opened or its record read. count is set only with 0 or 1004
// from a completed count.
std::int32_t CountPrinterJobs(const std::string& printerName, const std::string& filter,
                              std::int32_t& count, bool& counted);

// Writes "N jobs" and one "[id] [document]" line per job of the named
// printer to the diagnostic stream. Returns 1 when listed, 0 when the
// printer cannot be opened or its jobs read.
int ListPrinterJobs(const std::string& printerName);

}  // namespace zeseal::printers
