// The default printer of the POSIX build: the virtual spooler's "default".
#include "platform/default_printer_profile.h"

#include "platform/posix/virtual_spooler.h"

namespace zeseal::platform {

std::string DefaultPrinterProfile() {
    constexpr std::size_t kMaxProfileText = 255;
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
