// The Win32 names of the spooler's flag bits, for the virtual spooler's text
// file: parsing a flag list such as "PRINTER_STATUS_OFFLINE | 0x80000" and
// writing one back.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zeseal::platform::posix {

struct FlagName {
    std::uint32_t bit;
    std::string_view name;
};

std::span<const FlagName> PrinterStatusNames();
std::span<const FlagName> PrinterAttributeNames();
std::span<const FlagName> JobStatusNames();

// Parses flags separated by "|" or blanks: Win32 names (any case) and
// numbers (decimal or 0x hexadecimal). "0" and "none" are no flags. Returns
// nothing for an unknown word, with the word in unknown.
std::optional<std::uint32_t> ParseFlags(std::string_view text, std::span<const FlagName> names,
                                        std::string& unknown);

// "PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_LOCAL", bits without a name
// as one hexadecimal number at the end, and "0" for none.
std::string FormatFlags(std::uint32_t flags, std::span<const FlagName> names);

}  // namespace zeseal::platform::posix
