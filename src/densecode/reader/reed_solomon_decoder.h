// Correction of one RS(255, 200) codeword: syndromes, Berlekamp-Massey for
// the error locator, Chien search for its roots and Forney's formula for the
// values. With e wrong bytes at unknown places and f bytes at known places
// (erasures) it corrects whenever 2e + f <= 55: up to 27 errors alone, or up
// to 55 erasures.
#pragma once

#include <cstdint>
#include <span>

#include "densecode/format.h"

namespace zeseal::densecode {

inline constexpr int kRsUncorrectable = -1;

// Corrects codeword (255 bytes, byte 0 the highest coefficient) in place.
// erasures lists byte positions (0..254) known to be unreliable; repeated
// positions count once. Returns the number of bytes changed (0 for a clean
// codeword), or kRsUncorrectable when the codeword cannot be corrected,
// more than 55 erasures are given or one lies outside 0..254; the codeword
// is then left as it was.
int RsDecodeCodeword(std::uint8_t* codeword, std::span<const std::uint8_t> erasures = {}) noexcept;

}  // namespace zeseal::densecode
