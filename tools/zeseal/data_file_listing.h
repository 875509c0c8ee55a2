// "zeseal catalogue list" and "zeseal courtlist list": every entry of an
// installed data file, decoded and checked as the library's lookups read it.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string_view>

namespace zeseal::tool {

// Prints the supported-model file's entries to out, as a table or as one
// JSON object, and its faults to err (named by entry number and offset;
// in JSON also under "problems"). Returns true when every stated record is
// present and sound.
bool ListModelFile(std::span<const std::uint8_t> file, std::string_view fileName, bool json,
                   std::ostream& out, std::ostream& err);

// The same for the court printer list.
bool ListCourtList(std::span<const std::uint8_t> file, std::string_view fileName, bool json,
                   std::ostream& out, std::ostream& err);

}  // namespace zeseal::tool
