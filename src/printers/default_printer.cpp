#include "printers/default_printer.h"

#include <string>

#include "seams/default_printer_profile.h"

namespace zeseal::printers {

int ReadDefaultPrinterName(char* out, std::size_t outSize) noexcept {
    if (out == nullptr || outSize == 0) return 0;
    std::string value;
    try {
        value = platform::DefaultPrinterProfile();
    } catch (...) {
        return 0;
    }
    if (value.empty()) return 0;
    for (std::size_t i = 1; i < value.size(); ++i) {
        if (value[i] == ',' && value[i - 1] != ',') {
            value.resize(i);
            break;
        }
    }
    const std::size_t length = value.size() < outSize - 1 ? value.size() : outSize - 1;
    value.copy(out, length);
    out[length] = '\0';
    return 1;
}

}  // namespace zeseal::printers
