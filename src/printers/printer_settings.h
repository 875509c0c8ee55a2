// A printer's stored settings for printing certificates: one copy, raw data,
// and queued spooling or direct printing.
#pragma once

#include <cstdint>
#include <string>

namespace zeseal::printers {

// The attributes a printer gets for mode (0 queued, any other direct), and
// whether it is already in that state.
struct AttributeChange {
    std::uint32_t attributes;
    bool alreadyInState;
};
AttributeChange AttributesForMode(std::uint32_t attributes, std::int32_t mode) noexcept;

// Sets the named printer to one copy, data type "RAW" and the spooling mode,
// after passing its device mode through the driver. Nothing is written when
// the printer already has the requested spooling state. Returns 0 when
// written or already so, 1003 when any step fails (nothing is then changed).
std::int32_t ApplyPrinterSettings(const std::string& printerName, std::int32_t mode);

}  // namespace zeseal::printers
