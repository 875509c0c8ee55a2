#include "platform/posix/spooler/spooler_flag_names.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "base/ascii_case.h"
#include "seams/spooler.h"

namespace zeseal::platform::posix {
namespace {

constexpr auto kPrinterStatus = std::to_array<FlagName>({
    {kPrinterStatusPaused, "PRINTER_STATUS_PAUSED"},
    {kPrinterStatusError, "PRINTER_STATUS_ERROR"},
    {kPrinterStatusPendingDeletion, "PRINTER_STATUS_PENDING_DELETION"},
    {kPrinterStatusPaperJam, "PRINTER_STATUS_PAPER_JAM"},
    {kPrinterStatusPaperOut, "PRINTER_STATUS_PAPER_OUT"},
    {kPrinterStatusManualFeed, "PRINTER_STATUS_MANUAL_FEED"},
    {kPrinterStatusPaperProblem, "PRINTER_STATUS_PAPER_PROBLEM"},
    {kPrinterStatusOffline, "PRINTER_STATUS_OFFLINE"},
    {kPrinterStatusIoActive, "PRINTER_STATUS_IO_ACTIVE"},
    {kPrinterStatusBusy, "PRINTER_STATUS_BUSY"},
    {kPrinterStatusPrinting, "PRINTER_STATUS_PRINTING"},
    {kPrinterStatusOutputBinFull, "PRINTER_STATUS_OUTPUT_BIN_FULL"},
    {kPrinterStatusNotAvailable, "PRINTER_STATUS_NOT_AVAILABLE"},
    {kPrinterStatusWaiting, "PRINTER_STATUS_WAITING"},
    {kPrinterStatusProcessing, "PRINTER_STATUS_PROCESSING"},
    {kPrinterStatusInitializing, "PRINTER_STATUS_INITIALIZING"},
    {kPrinterStatusWarmingUp, "PRINTER_STATUS_WARMING_UP"},
    {kPrinterStatusTonerLow, "PRINTER_STATUS_TONER_LOW"},
    {kPrinterStatusNoToner, "PRINTER_STATUS_NO_TONER"},
    {kPrinterStatusPagePunt, "PRINTER_STATUS_PAGE_PUNT"},
    {kPrinterStatusUserIntervention, "PRINTER_STATUS_USER_INTERVENTION"},
    {kPrinterStatusOutOfMemory, "PRINTER_STATUS_OUT_OF_MEMORY"},
    {kPrinterStatusDoorOpen, "PRINTER_STATUS_DOOR_OPEN"},
    {kPrinterStatusServerUnknown, "PRINTER_STATUS_SERVER_UNKNOWN"},
    {kPrinterStatusPowerSave, "PRINTER_STATUS_POWER_SAVE"},
});

constexpr auto kPrinterAttributes = std::to_array<FlagName>({
    {kPrinterAttributeQueued, "PRINTER_ATTRIBUTE_QUEUED"},
    {kPrinterAttributeDirect, "PRINTER_ATTRIBUTE_DIRECT"},
    {kPrinterAttributeDefault, "PRINTER_ATTRIBUTE_DEFAULT"},
    {kPrinterAttributeShared, "PRINTER_ATTRIBUTE_SHARED"},
    {kPrinterAttributeNetwork, "PRINTER_ATTRIBUTE_NETWORK"},
    {kPrinterAttributeHidden, "PRINTER_ATTRIBUTE_HIDDEN"},
    {kPrinterAttributeLocal, "PRINTER_ATTRIBUTE_LOCAL"},
    {kPrinterAttributeEnableDevq, "PRINTER_ATTRIBUTE_ENABLE_DEVQ"},
    {kPrinterAttributeKeepPrintedJobs, "PRINTER_ATTRIBUTE_KEEPPRINTEDJOBS"},
    {kPrinterAttributeDoCompleteFirst, "PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST"},
    {kPrinterAttributeWorkOffline, "PRINTER_ATTRIBUTE_WORK_OFFLINE"},
    {kPrinterAttributeEnableBidi, "PRINTER_ATTRIBUTE_ENABLE_BIDI"},
    {kPrinterAttributeRawOnly, "PRINTER_ATTRIBUTE_RAW_ONLY"},
    {kPrinterAttributePublished, "PRINTER_ATTRIBUTE_PUBLISHED"},
});

constexpr auto kJobStatus = std::to_array<FlagName>({
    {kJobStatusPaused, "JOB_STATUS_PAUSED"},
    {kJobStatusError, "JOB_STATUS_ERROR"},
    {kJobStatusDeleting, "JOB_STATUS_DELETING"},
    {kJobStatusSpooling, "JOB_STATUS_SPOOLING"},
    {kJobStatusPrinting, "JOB_STATUS_PRINTING"},
    {kJobStatusOffline, "JOB_STATUS_OFFLINE"},
    {kJobStatusPaperOut, "JOB_STATUS_PAPEROUT"},
    {kJobStatusPrinted, "JOB_STATUS_PRINTED"},
    {kJobStatusDeleted, "JOB_STATUS_DELETED"},
    {kJobStatusBlockedDevq, "JOB_STATUS_BLOCKED_DEVQ"},
    {kJobStatusUserIntervention, "JOB_STATUS_USER_INTERVENTION"},
    {kJobStatusRestart, "JOB_STATUS_RESTART"},
    {kJobStatusComplete, "JOB_STATUS_COMPLETE"},
    {kJobStatusRetained, "JOB_STATUS_RETAINED"},
});

using base::SameIgnoringCase;

std::optional<std::uint32_t> ParseNumber(std::string_view word) {
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        word.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (word.empty() || error != std::errc{} || end != word.data() + word.size()) return std::nullopt;
    return value;
}

}  // namespace

std::span<const FlagName> PrinterStatusNames() { return kPrinterStatus; }
std::span<const FlagName> PrinterAttributeNames() { return kPrinterAttributes; }
std::span<const FlagName> JobStatusNames() { return kJobStatus; }

std::optional<std::uint32_t> ParseFlags(std::string_view text, std::span<const FlagName> names,
                                        std::string& unknown) {
    std::uint32_t flags = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '|' || c == ' ' || c == '\t') {
            ++at;
            continue;
        }
        const std::size_t end = text.find_first_of("| \t", at);
        const std::string_view word = text.substr(at, end == std::string_view::npos ? text.npos : end - at);
        at = end == std::string_view::npos ? text.size() : end;
        if (SameIgnoringCase(word, "none")) continue;
        if (const auto number = ParseNumber(word)) {
            flags |= *number;
            continue;
        }
        bool known = false;
        for (const FlagName& entry : names) {
            if (SameIgnoringCase(word, entry.name)) {
                flags |= entry.bit;
                known = true;
                break;
            }
        }
        if (!known) {
            unknown = std::string(word);
            return std::nullopt;
        }
    }
    return flags;
}

std::string FormatFlags(std::uint32_t flags, std::span<const FlagName> names) {
    std::string text;
    std::uint32_t rest = flags;
    for (const FlagName& entry : names) {
        if ((flags & entry.bit) == 0) continue;
        if (!text.empty()) text += " | ";
        text += entry.name;
        rest &= ~entry.bit;
    }
    if (rest != 0) {
        char number[16];
        std::snprintf(number, sizeof number, "0x%X", static_cast<unsigned>(rest));
        if (!text.empty()) text += " | ";
        text += number;
    }
    return text.empty() ? "0" : text;
}

}  // namespace zeseal::platform::posix
