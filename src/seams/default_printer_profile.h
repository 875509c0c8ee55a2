// Where the default printer's name comes from: the user profile's value
// "device" in section "windows" on Windows ("name,driver,port"); on POSIX
// the same form built from the spooler's default printer.
#pragma once

#include <string>

namespace zeseal::platform {

// At most 255 characters. ",,," when no default printer is set; empty when
// the value exists but holds nothing.
std::string DefaultPrinterProfile();

}  // namespace zeseal::platform
