#include "printers/printer_status.h"

#include <array>
#include <vector>

#include <zeseal/zeseal.h>

#include "frame/trace_log.h"
#include "seams/spooler.h"

namespace zeseal::printers {
namespace {

using namespace zeseal::platform;

constexpr auto kPrinterRules = std::to_array<StatusRule>({
    {kPrinterStatusError, ZE_STATUS_ERROR},
    {kPrinterStatusBusy, ZE_STATUS_BUSY},
    {kPrinterStatusDoorOpen, ZE_STATUS_DOOR_OPEN},
    {kPrinterStatusInitializing, ZE_STATUS_INITIALIZING},
    {kPrinterStatusIoActive, ZE_STATUS_IO_ACTIVE},
    {kPrinterStatusManualFeed, ZE_STATUS_MANUAL_FEED},
    {kPrinterStatusNoToner, ZE_STATUS_NO_TONER},
    {kPrinterStatusNotAvailable, ZE_STATUS_NOT_AVAILABLE},
    {kPrinterStatusOffline, ZE_STATUS_OFFLINE},
    {kPrinterStatusOutOfMemory, ZE_STATUS_OUT_OF_MEMORY},
    {kPrinterStatusOutputBinFull, ZE_STATUS_OUTPUT_BIN_FULL},
    {kPrinterStatusPaperJam, ZE_STATUS_PAPER_JAM},
    {kPrinterStatusPaperOut, ZE_STATUS_PAPER_OUT},
    {kPrinterStatusPaperProblem, ZE_STATUS_PAPER_PROBLEM},
    {kPrinterStatusPaused, ZE_STATUS_PAUSED},
    {kPrinterStatusPendingDeletion, ZE_STATUS_PENDING_DELETION},
    {kPrinterStatusPowerSave, ZE_STATUS_POWER_SAVE},
    {kPrinterStatusProcessing, ZE_STATUS_PROCESSING},
    {kPrinterStatusServerUnknown, ZE_STATUS_SERVER_UNKNOWN},
    {kPrinterStatusTonerLow, ZE_STATUS_TONER_LOW},
    {kPrinterStatusUserIntervention, ZE_STATUS_USER_INTERVENTION},
    {kPrinterStatusWaiting, ZE_STATUS_WAITING},
    {kPrinterStatusWarmingUp, ZE_STATUS_WARMING_UP},
    {kPrinterStatusPrinting, ZE_STATUS_PRINTING},
});

constexpr auto kJobRules = std::to_array<StatusRule>({
    {kJobStatusError, ZE_JOB_ERROR},
    {kJobStatusOffline, ZE_JOB_OFFLINE},
    {kJobStatusBlockedDevq, ZE_JOB_BLOCKED},
    {kJobStatusPaperOut, ZE_JOB_PAPER_OUT},
    {kJobStatusPaused, ZE_JOB_PAUSED},
    {kJobStatusRestart, ZE_JOB_RESTART},
    {kJobStatusSpooling, ZE_JOB_SPOOLING},
    {kJobStatusUserIntervention, ZE_JOB_USER_INTERVENTION},
});

// A printer's status word and its jobs. A printer set to work offline reads
// as PRINTER_STATUS_PRINTING alone, with no jobs.
struct PrinterState {
    std::uint32_t status = 0;
    std::vector<JobInfo> jobs;
};

// Reads the state of an open printer. False when its record or its jobs
// cannot be read.
bool ReadPrinterState(PrinterHandle& printer, PrinterState& state) {
    PrinterInfo info;
    if (!printer.ReadInfo(info)) return false;
    state = PrinterState{};
    if ((info.attributes & kPrinterAttributeWorkOffline) != 0) {
        state.status = kPrinterStatusPrinting;  // the attribute's bit value, read as a status word
        return true;
    }
    if (!printer.ListJobs(0, info.jobCount, state.jobs)) return false;
    state.status = info.status;
    return true;
}

}  // namespace

std::span<const StatusRule> PrinterStatusRules() { return kPrinterRules; }
std::span<const StatusRule> JobStatusRules() { return kJobRules; }

std::int32_t MatchedRuleResult(std::span<const StatusRule> rules, std::uint32_t status) noexcept {
    for (const StatusRule& rule : rules) {
        if ((status & rule.bit) != 0) return rule.result;
    }
    return 0;
}

void ReportOpenFailure(const char* operation, std::uint32_t error) noexcept {
    frame::TraceLog("%s failed: GetLastError returned %u\n", operation, static_cast<unsigned>(error));
}

std::int32_t PrinterStatusOf(const std::string& printerName) {
    std::uint32_t error = 0;
    const auto printer = ActiveSpooler().Open(printerName, PrinterAccess::kFull, error);
    if (!printer) {
        ReportOpenFailure("OpenPrinter()", error);
        return ZE_FAULT;
    }
    PrinterState state;
    if (!ReadPrinterState(*printer, state)) return ZE_OK;  // the spooler cannot tell: ready
    if (const std::int32_t code = MatchedRuleResult(kPrinterRules, state.status); code != 0) {
        return code;
    }
    for (const JobInfo& job : state.jobs) {
        if ((job.status & kJobStatusPrinting) == 0) continue;
        if (const std::int32_t code = MatchedRuleResult(kJobRules, job.status); code != 0) return code;
    }
    return ZE_OK;
}

}  // namespace zeseal::printers
