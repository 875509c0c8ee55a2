// Printer, driver and model names travel in buffers of 260 bytes. A name
// shorter than 260 characters fits whole; a longer one is cut to its first
// 258, so every lookup of the same long name sees the same characters.
#pragma once

#include <cstddef>
#include <string_view>

namespace zeseal::base {

inline constexpr std::size_t kNameBufferSize = 260;
inline constexpr std::size_t kLongNameCut = 258;

// The part of name that a name buffer keeps.
constexpr std::string_view CutLongName(std::string_view name) noexcept {
    return name.size() >= kNameBufferSize ? name.substr(0, kLongNameCut) : name;
}

}  // namespace zeseal::base
