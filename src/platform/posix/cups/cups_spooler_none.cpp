// The CUPS backend of a build made without libcups (ZESEAL_WITH_CUPS=OFF, or
// AUTO where libcups is missing). Choosing it works as with a scheduler that
// cannot be reached: the choice is made, it answers -1, and there are no
// printers.
#include "platform/posix/cups/cups_spooler.h"

#include "platform/posix/spooler/spooler_choice.h"

namespace zeseal::platform::posix {
namespace {

class NoCupsSpooler final : public Spooler {
public:
    bool ListLocalPrinters(std::vector<LocalPrinter>& printers) override {
        printers.clear();
        return false;
    }
    std::unique_ptr<PrinterHandle> Open(std::string_view, PrinterAccess, std::uint32_t& error) override {
        error = kErrorInvalidPrinterName;
        return nullptr;
    }
};

}  // namespace

int ChooseCupsServer(const char*) {
    ChooseSpoolerBackend(SpoolerBackend::kCups);
    return -1;
}

Spooler& CupsSpoolerInstance() {
    static NoCupsSpooler spooler;
    return spooler;
}

std::string CupsDefaultPrinterProfile() { return ",,,"; }

}  // namespace zeseal::platform::posix
