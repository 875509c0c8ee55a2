// The fixed shape of the dense code: what it carries, how its bytes are
// protected and where they lie in its 2528 x 128 picture.
//
// The picture is one byte per pixel (0 black, 255 white), stored bottom row
// first: the first kDenseCodeWidth bytes are row y = 127, the last are row
// y = 0. Every data bit is a 2 x 2 cell.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zeseal::densecode {

// What the code carries: 33 message blocks of 200 bytes.
inline constexpr std::size_t kDenseInputBytes = 6600;
inline constexpr int kDenseBlocks = 33;
inline constexpr int kDenseMessageBytes = 200;

// Each block becomes a Reed-Solomon codeword of 255 bytes over GF(256):
// its message, then 55 parity bytes.
inline constexpr int kDenseParityBytes = 55;
inline constexpr int kDenseCodewordBytes = kDenseMessageBytes + kDenseParityBytes;
inline constexpr int kDenseCorrectableErrors = kDenseParityBytes / 2;  // 27 per codeword

// The stream the picture holds: 21 bands of 405 bytes. Bytes from 8415 on
// are filler, carrying the scrambling sequence alone.
inline constexpr int kDenseBands = 21;
inline constexpr int kDenseBandBytes = 405;
inline constexpr std::size_t kDenseStreamBytes = std::size_t(kDenseBands) * kDenseBandBytes;  // 8505
inline constexpr std::size_t kDenseFillerStart = std::size_t(kDenseBlocks) * kDenseCodewordBytes;  // 8415

// The picture.
inline constexpr int kDenseCodeWidth = 2528;
inline constexpr int kDenseCodeHeight = 128;
inline constexpr std::size_t kDenseImageBytes = std::size_t(kDenseCodeWidth) * kDenseCodeHeight;  // 323,584
inline constexpr std::uint8_t kDenseBlack = 0;
inline constexpr std::uint8_t kDenseWhite = 255;

// Inside a band the bytes follow a serpentine path of 15 double rows of 27
// bytes: 13 wide bytes rightwards, one tall byte, 13 wide bytes leftwards.
inline constexpr int kDenseDoubleRows = 15;
inline constexpr int kDenseDoubleRowBytes = 27;

// Each band sits in a window of 120 columns whose 10 row groups of 12 rows
// are rotated against each other, timing squares included.
inline constexpr int kDenseWindowWidth = 120;
inline constexpr int kDenseRowGroups = 10;
inline constexpr int kDenseRowGroupHeight = 12;
inline constexpr int kDenseFirstGroupRow = 4;

// The left edge of band w, and of its window.
constexpr int DenseBandLeft(int band) noexcept { return 4 + kDenseWindowWidth * band; }
// The top row of double row d of every band.
constexpr int DenseDoubleRowTop(int doubleRow) noexcept { return 4 + 8 * doubleRow; }
// How far row group k is rotated to the right: 12, 48, 84, 0, 36, ...
constexpr int DenseGroupShift(int group) noexcept { return (12 + 36 * group) % kDenseWindowWidth; }
// The column, from 120w, of the centre of group k's first timing square
// after the shift: 7, 43, 79, 115, 31, ...
constexpr int DenseTimingCentre(int group) noexcept { return (7 + 36 * group) % kDenseWindowWidth; }

}  // namespace zeseal::densecode
