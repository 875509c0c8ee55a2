#include "densecode/reed_solomon.h"

#include <cstring>

#include "densecode/tables.h"

namespace zeseal::densecode {
namespace {

// Row f: what one step of the division adds for feedback f, g[54 - i] f in
// byte i, packed as the register is.
using ProductRows = std::array<RsRegister, 256>;

constexpr ProductRows MakeProductRows() {
    ProductRows rows{};
    const auto& g = kDenseCodeTables.generator;
    for (int f = 0; f < 256; ++f) {
        for (int i = 0; i < kDenseParityBytes; ++i) {
            const std::uint64_t product = GfMultiply(g[std::size_t(54 - i)], static_cast<std::uint8_t>(f));
            rows[std::size_t(f)][std::size_t(i / 8)] |= product << (8 * (i % 8));
        }
    }
    return rows;
}

constexpr ProductRows kProductRows = MakeProductRows();

}  // namespace

void RsFeed(RsRegister& reg, const std::uint8_t* data, int length) noexcept {
    std::uint64_t r0 = reg[0], r1 = reg[1], r2 = reg[2], r3 = reg[3], r4 = reg[4], r5 = reg[5],
                  r6 = reg[6];
    for (int n = 0; n < length; ++n) {
        // The highest register meets the next byte; the rest move up one
        // place (down one byte) and take the feedback's multiple of g.
        const std::uint8_t f = static_cast<std::uint8_t>(data[n] ^ r0);
        const RsRegister& add = kProductRows[f];
        r0 = ((r0 >> 8) | (r1 << 56)) ^ add[0];
        r1 = ((r1 >> 8) | (r2 << 56)) ^ add[1];
        r2 = ((r2 >> 8) | (r3 << 56)) ^ add[2];
        r3 = ((r3 >> 8) | (r4 << 56)) ^ add[3];
        r4 = ((r4 >> 8) | (r5 << 56)) ^ add[4];
        r5 = ((r5 >> 8) | (r6 << 56)) ^ add[5];
        r6 = (r6 >> 8) ^ add[6];
    }
    reg = {r0, r1, r2, r3, r4, r5, r6};
}

void RsEncodeBlock(const std::uint8_t* message, int length, std::uint8_t* out) noexcept {
    if (length < 0) length = 0;
    RsRegister reg{};
    RsFeed(reg, message, length);
    if (out != message) std::memmove(out, message, std::size_t(length));
    for (int i = 0; i < kDenseParityBytes; ++i) out[length + i] = RsRegisterByte(reg, i);
}

}  // namespace zeseal::densecode
