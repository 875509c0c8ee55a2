// Which ports a certificate may be printed through: not a parallel port
// without a colon, not a shared printer's path, not a list of ports; and
// what an address-like port name looks like.
#pragma once

#include <string>
#include <string_view>

namespace zeseal::printers {

// Returns 0 when text has address form at separator ('.' or '_'): exactly
// four non-empty parts between separators, each under six characters, the
// first three all decimal digits. Returns -1 otherwise.
int AddressFormMismatch(std::string_view text, char separator) noexcept;

// True when the port has address form with '.' or with '_'.
bool HasAddressForm(std::string_view port) noexcept;

// Converts both names to upper case in place (base/ascii_case.h; callers
// see it) and returns 1 when the printer passes the port rules, 0 when not.
int CheckPrinterSupport(std::string& driver, std::string& port);

}  // namespace zeseal::printers
