// The default printer of the Windows build: the user profile's value.
#include <windows.h>

#include "seams/default_printer_profile.h"

namespace zeseal::platform {

std::string DefaultPrinterProfile() {
    char value[256] = {};
    const DWORD length = GetProfileStringA("windows", "device", ",,,", value, 255);
    return std::string(value, length);
}

}  // namespace zeseal::platform
