#include "catalogue/crc32.h"

#include <zlib.h>

namespace zeseal::catalogue {

// zlib computes the same CRC and both builds link it already; its
// word-at-a-time loop is faster than a table of our own.
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) noexcept {
    if (size == 0) return crc;
    return static_cast<std::uint32_t>(
        crc32_z(static_cast<uLong>(crc), static_cast<const Bytef*>(data), static_cast<z_size_t>(size)));
}

std::uint32_t Crc32(const void* data, std::size_t size) noexcept {
    return Crc32Update(0, data, size);
}

}  // namespace zeseal::catalogue
