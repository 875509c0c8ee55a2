// The dense code written plainly, one step after another and one pixel at a
// time, with nothing shared with the fast encoder and reader beyond the
// format constants. It is their test oracle and their benchmark baseline;
// the library itself never uses it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "densecode/format.h"

namespace zeseal::densecode::plain {

struct PlainTables {
    std::array<std::uint8_t, 511> antilog{};
    std::array<std::uint8_t, 256> log{};
    std::array<std::uint8_t, densecode::kDenseParityBytes + 1> generator{};
};

// Builds the field tables by the shift-and-reduce rule and the generator
// polynomial by 55 polynomial products.
PlainTables BuildTables();
std::uint8_t Multiply(const PlainTables& t, std::uint8_t a, std::uint8_t b);

// Writes message (length bytes) and its 55 parity bytes to out.
void RsEncodeBlock(const PlainTables& t, const std::uint8_t* message, int length, std::uint8_t* out);
// Rearranges the 8505-byte buffer so byte i of every codeword precedes byte i + 1 of any.
void InterleaveCodewords(std::uint8_t* buffer);
// Thinning and hole punching of a whole picture (bottom-up rows).
void ThinDenseImage(std::uint8_t* image);

// The whole encoding of 6600 bytes: the picture, bottom row first.
std::vector<std::uint8_t> EncodeDenseCode(const std::uint8_t* input);

// The 8505-byte stream (after interleaving) that the picture of input
// carries; for checking the reader's sampling.
std::vector<std::uint8_t> EncodeStream(const std::uint8_t* input);

// A plain reader of an undamaged or damaged picture: undoes the rotation of
// the row groups on a copy, reads every cell where the thinning left it,
// de-interleaves, descrambles and corrects each codeword with a textbook
// Reed-Solomon decoder (syndromes by Horner's rule, Berlekamp-Massey,
// Chien search by evaluation, Forney). Returns false when a codeword cannot
// be corrected.
bool DecodeDenseCode(const PlainTables& t, std::span<const std::uint8_t> image,
                     std::uint8_t* output);

}  // namespace zeseal::densecode::plain
