// The mappings of a CUPS scheduler's strings: device URIs to port names, and
// state reasons to status words.
//
// The input is split at its first NUL: before it a device-uri, after it the
// reasons, one a line. Checked:
//  - the port is never longer than the URI plus the two leading backslashes
//    and one separator a shared form adds;
//  - status words only hold bits that the reason tables and states can set.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/posix/cups/cups_mappings.h"
#include "seams/spooler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zeseal::platform;
    using namespace zeseal::platform::posix;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view uri = input.substr(0, nul);

    const std::string port = PortFromDeviceUri(uri);
    ZESEAL_FUZZ_CHECK(port.size() <= uri.size() + 3);
    std::vector<std::string> reasons;
    if (nul != std::string_view::npos) {
        std::string_view rest = input.substr(nul + 1);
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            reasons.emplace_back(rest.substr(0, end));
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        }
    }
    std::uint32_t printerBits = kPrinterStatusProcessing | kPrinterStatusPaused;
    for (const ReasonBits& entry : PrinterReasonTable()) printerBits |= entry.bits;
    std::uint32_t jobBits = kJobStatusPaused | kJobStatusPrinting | kJobStatusBlockedDevq | kJobStatusDeleted |
                            kJobStatusError | kJobStatusPrinted | kJobStatusComplete;
    for (const ReasonBits& entry : JobReasonTable()) jobBits |= entry.bits;
    for (int state = 0; state <= 10; ++state) {
        ZESEAL_FUZZ_CHECK((PrinterStatusFromCups(state, reasons) & ~printerBits) == 0);
        ZESEAL_FUZZ_CHECK((JobStatusFromCups(state, reasons) & ~jobBits) == 0);
    }
    return 0;
}
