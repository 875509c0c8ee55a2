#include "platform/posix/cups/cups_mappings.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "base/ascii_case.h"
#include "seams/spooler.h"

namespace zeseal::platform::posix {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Undoes %XX escapes; a malformed escape is kept as it is.
std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The parts of SCHEME://[USER@]HOST[:PORT][/PATH] that name the place.
struct Authority {
    std::string host;
    std::string path;  // without the leading '/'
};

Authority SplitAfterScheme(std::string_view rest) {
    const std::size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    const std::string_view path = slash == std::string_view::npos ? "" : rest.substr(slash + 1);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::string_view host = authority;
    if (StartsWith(host, "[")) {
        host = host.substr(0, host.find(']') == std::string_view::npos ? host.size() : host.find(']') + 1);
    } else if (const std::size_t colon = host.find(':'); colon != std::string_view::npos) {
        host = host.substr(0, colon);
    }
    std::string_view bare = path.substr(0, path.find_first_of("?#"));
    return {PercentDecoded(host), PercentDecoded(bare)};
}

// The number at the end of a device path ("/dev/lp0" -> 0), or -1.
int TrailingNumber(std::string_view path) {
    std::size_t start = path.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(path[start - 1])) != 0) --start;
    if (start == path.size() || path.size() - start > 4) return -1;
    int value = 0;
    for (std::size_t i = start; i < path.size(); ++i) value = value * 10 + (path[i] - '0');
    return value;
}

std::string NumberedPort(const char* prefix, std::string_view path) {
    const int number = TrailingNumber(path);
    return std::string(prefix) + std::to_string(number < 0 ? 1 : number + 1) + ":";
}

std::string_view WithoutSuffix(std::string_view reason) {
    for (std::string_view suffix : {"-error", "-warning", "-report"}) {
        if (reason.size() > suffix.size() && reason.substr(reason.size() - suffix.size()) == suffix) {
            return reason.substr(0, reason.size() - suffix.size());
        }
    }
    return reason;
}

std::uint32_t BitsOfReasons(std::span<const ReasonBits> table, std::span<const std::string> reasons) {
    std::uint32_t bits = 0;
    for (const std::string& reason : reasons) {
        const std::string_view bare = WithoutSuffix(reason);
        for (const ReasonBits& entry : table) {
            if (reason == entry.keyword || bare == entry.keyword) bits |= entry.bits;
        }
    }
    return bits;
}

constexpr auto kPrinterReasons = std::to_array<ReasonBits>({
    {"paused", kPrinterStatusPaused},
    {"media-empty", kPrinterStatusPaperOut},
    {"media-needed", kPrinterStatusPaperOut},
    {"media-jam", kPrinterStatusPaperJam},
    {"media-low", kPrinterStatusPaperProblem},
    {"input-tray-missing", kPrinterStatusPaperProblem},
    {"toner-empty", kPrinterStatusNoToner},
    {"marker-supply-empty", kPrinterStatusNoToner},
    {"toner-low", kPrinterStatusTonerLow},
    {"marker-supply-low", kPrinterStatusTonerLow},
    {"door-open", kPrinterStatusDoorOpen},
    {"cover-open", kPrinterStatusDoorOpen},
    {"interlock-open", kPrinterStatusDoorOpen},
    {"offline", kPrinterStatusOffline},
    {"shutdown", kPrinterStatusOffline},
    {"timed-out", kPrinterStatusNotAvailable},
    {"connecting-to-device", kPrinterStatusInitializing},
    {"output-area-full", kPrinterStatusOutputBinFull},
    {"output-tray-missing", kPrinterStatusOutputBinFull},
    {"spool-area-full", kPrinterStatusOutOfMemory},
    {"moving-to-paused", kPrinterStatusPaused},
    {"deactivated", kPrinterStatusNotAvailable},
    {"manual-feed", kPrinterStatusManualFeed},
    {"warming-up", kPrinterStatusWarmingUp},
    {"power-save", kPrinterStatusPowerSave},
    {"sleep", kPrinterStatusPowerSave},
    {"other", kPrinterStatusError},
    {"cups-missing-filter", kPrinterStatusError},
    {"cups-insecure-filter", kPrinterStatusError},
});

constexpr auto kJobReasons = std::to_array<ReasonBits>({
    {"job-hold-until-specified", kJobStatusPaused},
    {"job-held-for-review", kJobStatusPaused},
    {"job-incoming", kJobStatusSpooling},
    {"job-data-insufficient", kJobStatusSpooling},
    {"job-printing", kJobStatusPrinting},
    {"job-transforming", kJobStatusPrinting},
    {"printer-stopped", kJobStatusBlockedDevq},
    {"printer-stopped-partly", kJobStatusBlockedDevq},
    {"job-canceled-by-user", kJobStatusDeleting},
    {"job-canceled-by-operator", kJobStatusDeleting},
    {"aborted-by-system", kJobStatusError},
    {"document-format-error", kJobStatusError},
    {"document-unprintable-error", kJobStatusError},
    {"unsupported-document-format", kJobStatusError},
    {"resources-are-not-ready", kJobStatusUserIntervention},
    {"job-restartable", kJobStatusRestart},
    {"job-completed-successfully", kJobStatusPrinted},
});

}  // namespace

std::string PortFromDeviceUri(std::string_view uri) {
    const std::size_t colon = uri.find(':');
    if (colon == std::string_view::npos) return std::string(uri);
    const std::string scheme = base::LowerCased(uri.substr(0, colon));
    std::string_view rest = uri.substr(colon + 1);
    const bool hierarchical = StartsWith(rest, "//");
    if (hierarchical) rest.remove_prefix(2);

    if (scheme == "parallel") return NumberedPort("LPT", rest);
    if (scheme == "serial") return NumberedPort("COM", rest.substr(0, rest.find('?')));
    if (scheme == "usb") return "USB001";
    if (scheme == "file") return "FILE:";
    if (!hierarchical) return std::string(uri);

    const Authority place = SplitAfterScheme(rest);
    if (scheme == "socket" || scheme == "lpd") return place.host;
    if (scheme == "ipp" || scheme == "ipps" || scheme == "http" || scheme == "https") {
        for (std::string_view queues : {"printers/", "classes/"}) {
            if (StartsWith(place.path, queues) && place.path.size() > queues.size()) {
                return "\\\\" + place.host + "\\" + place.path.substr(queues.size());
            }
        }
        return place.host;
    }
    if (scheme == "dnssd") {
        const std::string& name = place.host;
        return "\\\\" + name.substr(0, name.find("._"));
    }
    if (scheme == "smb") {
        std::string port = "\\\\" + place.host;
        if (!place.path.empty()) port += "\\" + place.path;
        for (char& c : port) {
            if (c == '/') c = '\\';
        }
        return port;
    }
    // Any other scheme names its port by the whole URI, but never with the
    // login its authority may carry.
    const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    const std::size_t at = rest.substr(0, authorityEnd).rfind('@');
    if (at == std::string_view::npos) return std::string(uri);
    return std::string(uri.substr(0, colon + 3)) + std::string(rest.substr(at + 1));
}

std::string QueueOfDestination(std::string_view destination) {
    return std::string(destination.substr(0, destination.find('/')));
}

std::uint32_t ErrorOfIppStatus(int ippStatus) {
    switch (ippStatus) {
        case kIppStatusNotFound: return kErrorInvalidPrinterName;
        case kIppStatusForbidden:
        case kIppStatusNotAuthenticated:
        case kIppStatusNotAuthorized:
        case kIppStatusAuthenticationCanceled: return kErrorAccessDenied;
        default: break;
    }
    return ippStatus >= kIppStatusOk && ippStatus <= kIppStatusOkEventsComplete ? 0 : kErrorGenFailure;
}

std::span<const ReasonBits> PrinterReasonTable() { return kPrinterReasons; }
std::span<const ReasonBits> JobReasonTable() { return kJobReasons; }

std::uint32_t PrinterStatusFromCups(int printerState, std::span<const std::string> reasons) {
    std::uint32_t status = BitsOfReasons(kPrinterReasons, reasons);
    if (printerState == kIppPrinterProcessing) status |= kPrinterStatusProcessing;
    if (printerState == kIppPrinterStopped) status |= kPrinterStatusPaused;
    return status;
}

std::uint32_t JobStatusFromCups(int jobState, std::span<const std::string> reasons) {
    std::uint32_t status = BitsOfReasons(kJobReasons, reasons);
    switch (jobState) {
        case kIppJobHeld: status |= kJobStatusPaused; break;
        case kIppJobProcessing: status |= kJobStatusPrinting; break;
        case kIppJobStopped: status |= kJobStatusPrinting | kJobStatusBlockedDevq; break;
        case kIppJobCanceled: status |= kJobStatusDeleted; break;
        case kIppJobAborted: status |= kJobStatusError; break;
        case kIppJobCompleted: status |= kJobStatusPrinted | kJobStatusComplete; break;
        default: break;
    }
    return status;
}

}  // namespace zeseal::platform::posix
