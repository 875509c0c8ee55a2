// Correction of one RS(255, 200) codeword: syndromes, Berlekamp-Massey for
// the error locator, Chien search for its roots and Forney's formula for the
// values. With e wrong bytes at unknown places and f bytes at known places
// (erasures) it corrects whenever 2e + f <= 55: up to 27 errors alone, or up
// to 55 erasures.
#pragma once

#include <array>
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

// A codeword's 55 syndromes (S_i = v(alpha^i)), all 0 for a codeword
// without errors: worked out once where one codeword is corrected several
// ways, with different erasures.
struct RsSyndromes {
    std::array<std::uint8_t, kDenseParityBytes> s{};
    bool any = false;  // some syndrome is not 0
};
RsSyndromes RsCodewordSyndromes(const std::uint8_t* codeword) noexcept;

// As above, with the codeword's syndromes given (those of its bytes as they
// are when called).
int RsDecodeCodeword(std::uint8_t* codeword, const RsSyndromes& syndromes,
                     std::span<const std::uint8_t> erasures) noexcept;

}  // namespace zeseal::densecode
