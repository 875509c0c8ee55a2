// Questions about the local printers that show nothing: is the default
// printer able to issue, is any, and where a printer is attached.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeseal::printers {

// 0 when the default printer is local and able to issue, 1000 when there is
// no local printer, 1001 otherwise.
std::int32_t CheckDefaultPrinter();

// 0 when at least one local printer is able to issue, 1000 when there is no
// local printer, 1001 otherwise.
std::int32_t CheckAnyPrinter();

// The port of the first local printer that printerName names. A printer
// whose name equals printerName exactly wins; otherwise names are compared
// as the library normalises them (cut to a name buffer, upper case, blanks
// removed), without regard to case. Nothing when no printer matches.
std::optional<std::string> FindPrinterPort(std::string_view printerName);

}  // namespace zeseal::printers
