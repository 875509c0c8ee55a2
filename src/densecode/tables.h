// The constant tables of the dense code: GF(256) on x^8 + x^4 + x^3 + x^2 + 1
// (0x11D) with alpha = 2, the generator polynomial of its Reed-Solomon code
// (roots alpha^1 to alpha^55), and the scrambling generator.
//
// Everything here is computed at compile time, so the tables are shared by
// every caller and thread without any set-up or locking.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "densecode/format.h"

namespace zeseal::densecode {

struct DenseCodeTables {
    // antilog[i] = alpha^i for i = 0..510; entries 255..510 repeat 0..255, so
    // a sum of two logarithms indexes it without reduction.
    std::array<std::uint8_t, 511> antilog{};
    // log[v] = the smallest i with alpha^i = v, for v = 1..255; log[0] is 0 and unused.
    std::array<std::uint8_t, 256> log{};
    // g(x) = (x + alpha^1)...(x + alpha^55), lowest degree first; generator[55] = 1.
    std::array<std::uint8_t, kDenseParityBytes + 1> generator{};
};

namespace detail {

constexpr DenseCodeTables MakeDenseCodeTables() {
    DenseCodeTables t;
    unsigned value = 1;
    for (int i = 0; i < 511; ++i) {
        t.antilog[std::size_t(i)] = static_cast<std::uint8_t>(value);
        value <<= 1;
        if (value & 0x100) value ^= 0x11D;
    }
    // Walking down from 254 leaves the smallest exponent in each entry.
    for (int i = 254; i >= 0; --i) t.log[t.antilog[std::size_t(i)]] = static_cast<std::uint8_t>(i);
    t.log[0] = 0;

    const auto multiply = [&t](std::uint8_t a, std::uint8_t b) -> std::uint8_t {
        if (a == 0 || b == 0) return 0;
        return t.antilog[std::size_t(t.log[a]) + t.log[b]];
    };
    std::array<std::uint8_t, kDenseParityBytes + 1> g{};
    g[0] = 1;
    for (int i = 1; i <= kDenseParityBytes; ++i) {
        // g := g * (x + alpha^i), degree i - 1 to i.
        const std::uint8_t root = t.antilog[std::size_t(i)];
        for (int k = i; k >= 1; --k) {
            g[std::size_t(k)] = static_cast<std::uint8_t>(g[std::size_t(k - 1)] ^ multiply(g[std::size_t(k)], root));
        }
        g[0] = multiply(g[0], root);
    }
    t.generator = g;
    return t;
}

}  // namespace detail

inline constexpr DenseCodeTables kDenseCodeTables = detail::MakeDenseCodeTables();

// The tables, as one reference. They are built at compile time; nothing has
// to run before they are used.
inline const DenseCodeTables& TheDenseCodeTables() noexcept { return kDenseCodeTables; }

// Multiplication in the field.
constexpr std::uint8_t GfMultiply(std::uint8_t a, std::uint8_t b) noexcept {
    if (a == 0 || b == 0) return 0;
    return kDenseCodeTables.antilog[std::size_t(kDenseCodeTables.log[a]) + kDenseCodeTables.log[b]];
}

// The scrambling generator: a 32-bit linear congruential generator whose
// value is bits 16 to 30 of the new state.
struct DenseRandState {
    std::uint32_t state = 0;
};
constexpr void DenseRandSeed(DenseRandState& rand, std::uint32_t seed) noexcept { rand.state = seed; }
constexpr std::uint32_t DenseRandNext(DenseRandState& rand) noexcept {
    rand.state = rand.state * 1103515245u + 12345u;
    return (rand.state >> 16) & 0x7FFF;
}

// The bytes that whiten the codeword buffer: the low 8 bits of the first
// 8505 values after seeding with 0, one per buffer byte.
const std::array<std::uint8_t, kDenseStreamBytes>& DenseScrambleBytes() noexcept;

}  // namespace zeseal::densecode
