// CRC-32 as zlib and IEEE 802.3 compute it: reflected polynomial 0xEDB88320,
// initial value 0xFFFFFFFF, final value complemented. The check value over
// "123456789" is 0xCBF43926. zlib's crc32 does the work.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zeseal::catalogue {

// The CRC-32 of size bytes at data.
std::uint32_t Crc32(const void* data, std::size_t size) noexcept;

// Continues a CRC-32: Crc32Update(Crc32(a), b) is the CRC-32 of a followed by
// b, and Crc32Update(0, x) is Crc32(x).
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) noexcept;

}  // namespace zeseal::catalogue
