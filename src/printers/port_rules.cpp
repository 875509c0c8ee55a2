#include "printers/port_rules.h"

#include "base/ascii_case.h"

namespace zeseal::printers {

int AddressFormMismatch(std::string_view text, char separator) noexcept {
    int tokens = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == separator) {
            ++at;
            continue;
        }
        std::size_t end = text.find(separator, at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view token = text.substr(at, end - at);
        at = end;
        if (token.size() >= 6) return -1;
        if (++tokens > 4) return -1;
        if (tokens <= 3) {
            for (const char c : token) {
                if (c < '0' || c > '9') return -1;
            }
        }
    }
    return tokens == 4 ? 0 : -1;
}

bool HasAddressForm(std::string_view port) noexcept {
    return AddressFormMismatch(port, '.') == 0 || AddressFormMismatch(port, '_') == 0;
}

int CheckPrinterSupport(std::string& driver, std::string& port) {
    base::UpperCaseInPlace(driver);
    base::UpperCaseInPlace(port);
    // The rules see the whole names: a port list is refused however long it is.
    bool accept = true;
    if (driver.find("\\\\") != std::string::npos || port.find("\\\\") != std::string::npos) {
        accept = false;
    } else if (port.find("LPT") != std::string::npos && port.find(':') == std::string::npos) {
        accept = false;
    }
    if (HasAddressForm(port)) accept = true;
    return accept && port.find(',') == std::string::npos ? 1 : 0;
}

}  // namespace zeseal::printers
