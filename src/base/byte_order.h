// Fixed-size integers stored in a byte sequence, least significant byte
// first (little-endian: BMP files, the data files) or most significant byte
// first (big-endian: the mark containers). Byte by byte, so the pointer needs
// no alignment and the host's own byte order plays no part.
#pragma once

#include <cstdint>

namespace zeseal::base {

constexpr std::uint16_t ReadLe16(const std::uint8_t* p) noexcept {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
constexpr std::uint32_t ReadLe32(const std::uint8_t* p) noexcept {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

constexpr std::uint16_t ReadBe16(const std::uint8_t* p) noexcept {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
constexpr std::uint32_t ReadBe32(const std::uint8_t* p) noexcept {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

constexpr void WriteLe16(std::uint8_t* p, std::uint16_t v) noexcept {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
constexpr void WriteLe32(std::uint8_t* p, std::uint32_t v) noexcept {
    WriteLe16(p, static_cast<std::uint16_t>(v));
    WriteLe16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

constexpr void WriteBe16(std::uint8_t* p, std::uint16_t v) noexcept {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
constexpr void WriteBe32(std::uint8_t* p, std::uint32_t v) noexcept {
    WriteBe16(p, static_cast<std::uint16_t>(v >> 16));
    WriteBe16(p + 2, static_cast<std::uint16_t>(v));
}

}  // namespace zeseal::base
