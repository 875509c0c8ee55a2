// The Reed-Solomon code RS(255, 200) of the dense code: encoding, and the
// remainder register that both the encoder and the decoder's syndromes use.
//
// A codeword v[0..254] is read as the polynomial v[0] x^254 + ... + v[254];
// every codeword is a multiple of the generator g(x), so it vanishes at
// alpha^1 to alpha^55.
#pragma once

#include <array>
#include <cstdint>

#include "densecode/format.h"

namespace zeseal::densecode {

// The 55 registers of the division by g(x), packed eight to a word: byte i
// (bits 8(i % 8) upwards of word i / 8) is the coefficient of x^(54 - i) of
// the remainder, which is also the order the parity bytes are written in.
using RsRegister = std::array<std::uint64_t, 7>;

// Feeds length bytes through the register: afterwards it holds the remainder
// of (its old contents x^length + data(x)) x^55 divided by g(x).
void RsFeed(RsRegister& reg, const std::uint8_t* data, int length) noexcept;

// The byte i (0..54) of a register.
constexpr std::uint8_t RsRegisterByte(const RsRegister& reg, int i) noexcept {
    return static_cast<std::uint8_t>(reg[std::size_t(i / 8)] >> (8 * (i % 8)));
}

// Writes the message (length bytes) followed by its 55 parity bytes to out.
// message and out may be the same address; a negative length counts as 0.
void RsEncodeBlock(const std::uint8_t* message, int length, std::uint8_t* out) noexcept;

}  // namespace zeseal::densecode
