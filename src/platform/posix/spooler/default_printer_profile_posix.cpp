// The default printer of the POSIX build: the virtual spooler's "default",
// or the CUPS scheduler's default queue.
#include "seams/default_printer_profile.h"

#include "platform/posix/cups/cups_spooler.h"
#include "platform/posix/spooler/spooler_choice.h"
#include "platform/posix/spooler/virtual_spooler.h"

namespace zeseal::platform {

std::string DefaultPrinterProfile() {
    constexpr std::size_t kMaxProfileText = 255;
    if (posix::ChosenSpoolerBackend() == posix::SpoolerBackend::kCups) {
        std::string value = posix::CupsDefaultPrinterProfile();
        if (value.size() > kMaxProfileText) value.resize(kMaxProfileText);
        return value;
    }
    const auto file = posix::LoadChosenPrintersFile();
    if (!file || file->defaultPrinter.empty()) return ",,,";
    std::string value = file->defaultPrinter;
    for (const posix::VirtualPrinter& printer : file->printers) {
        if (printer.name == file->defaultPrinter) {
            value += ",winspool," + printer.port;
            break;
        }
    }
    if (value.size() > kMaxProfileText) value.resize(kMaxProfileText);
    return value;
}

}  // namespace zeseal::platform
