// Where the installed data files live: the supported-model file, the court
// printer list and the court-logo files.
#pragma once

#include <string>
#include <string_view>

namespace zeseal::platform {

// The system directory, without a trailing separator. Empty when the
// platform cannot say.
std::string SystemDirectory();

// The path of fileName (a bare name such as "ZePrintInfoCourt.dat") in the
// system directory, joined with the platform's separator. Empty when the
// system directory is unknown.
std::string SystemFilePath(std::string_view fileName);

}  // namespace zeseal::platform
