#include "catalogue/crc32.h"

#include <array>

#include "base/byte_order.h"

namespace zeseal::catalogue {
namespace {

constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320u;
constexpr int kSlices = 8;

using SliceTables = std::array<std::array<std::uint32_t, 256>, kSlices>;

// Table 0 is the classic one-byte table. Table k advances a byte k further:
// it holds the CRC of the byte followed by k zero bytes, so eight bytes can
// be folded in with eight independent lookups.
constexpr SliceTables MakeTables() {
    SliceTables t{};
    for (std::uint32_t b = 0; b < 256; ++b) {
        std::uint32_t c = b;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1u) ? (c >> 1) ^ kReflectedPolynomial : c >> 1;
        t[0][b] = c;
    }
    for (int k = 1; k < kSlices; ++k) {
        for (std::uint32_t b = 0; b < 256; ++b) {
            const std::uint32_t previous = t[k - 1][b];
            t[k][b] = (previous >> 8) ^ t[0][previous & 0xFFu];
        }
    }
    return t;
}

constexpr SliceTables kTables = MakeTables();

}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) noexcept {
    const auto* p = static_cast<const unsigned char*>(data);
    std::uint32_t c = ~crc;
    while (size >= kSlices) {
        const std::uint32_t low = base::ReadLe32(p) ^ c;
        const std::uint32_t high = base::ReadLe32(p + 4);
        c = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^
            kTables[5][(low >> 16) & 0xFFu] ^ kTables[4][low >> 24] ^
            kTables[3][high & 0xFFu] ^ kTables[2][(high >> 8) & 0xFFu] ^
            kTables[1][(high >> 16) & 0xFFu] ^ kTables[0][high >> 24];
        p += kSlices;
        size -= kSlices;
    }
    while (size-- != 0) c = (c >> 8) ^ kTables[0][(c ^ *p++) & 0xFFu];
    return ~c;
}

std::uint32_t Crc32(const void* data, std::size_t size) noexcept {
    return Crc32Update(0, data, size);
}

}  // namespace zeseal::catalogue
