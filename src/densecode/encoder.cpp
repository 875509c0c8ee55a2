#include "densecode/encoder.h"

#include <array>
#include <cstring>

#include "densecode/layout.h"
#include "densecode/tables.h"
#include "densecode/reed_solomon.h"

namespace zeseal::densecode {
namespace {

constexpr int kWidth = kDenseCodeWidth;
constexpr int kLastRow = kDenseCodeHeight - 1;

// Row y, counted from the top, of a bottom-up picture.
std::uint8_t* Row(std::uint8_t* image, int y) noexcept {
    return image + std::size_t(kLastRow - y) * kWidth;
}

#if defined(__GNUC__)
// Sixteen pixels at once, with the compiler's vector types (GCC and clang).
#define ZESEAL_DENSE_VECTORS 1
typedef std::uint8_t Bytes16 __attribute__((vector_size(16)));
#else
#define ZESEAL_DENSE_VECTORS 0
#endif

void PaintBlack(std::uint8_t* image, int x, int y, int width, int height) noexcept {
    for (int r = y; r < y + height; ++r) std::memset(Row(image, r) + x, kDenseBlack, std::size_t(width));
}

// For every path position and bit, the offset from a band's left edge in
// the bottom-up picture of the lower row of its cell (the upper row follows
// one row further on).
using CellOffsets = std::array<std::array<std::uint32_t, 8>, kDenseBandBytes>;

const CellOffsets& BandCellOffsets() noexcept {
    static const CellOffsets offsets = [] {
        CellOffsets o{};
        const DenseBandCells& cells = DenseBandCellPlaces();
        for (std::size_t t = 0; t < o.size(); ++t) {
            for (std::size_t bit = 0; bit < 8; ++bit) {
                const DenseCellPlace& place = cells[t][bit];
                o[t][bit] = static_cast<std::uint32_t>((kLastRow - 1 - place.row) * kWidth + place.column);
            }
        }
        return o;
    }();
    return offsets;
}

// Every stream bit becomes its 2 x 2 cell, black for 1 and white for 0,
// already at its rotated place. Cells do not overlap, so white cells may be
// written too; that keeps the loop free of data-dependent branches.
void LayOutStream(const std::uint8_t* stream, std::uint8_t* image) noexcept {
    const CellOffsets& offsets = BandCellOffsets();
    for (int band = 0; band < kDenseBands; ++band) {
        const std::uint8_t* bytes = stream + std::size_t(band) * kDenseBandBytes;
        std::uint8_t* base = image + DenseBandLeft(band);
        for (int t = 0; t < kDenseBandBytes; ++t) {
            const unsigned byte = bytes[t];
            const auto& cell = offsets[std::size_t(t)];
            for (int bit = 0; bit < 8; ++bit) {
                // 0x0000 for a 1 bit, 0xFFFF for a 0 bit.
                const auto pair = static_cast<std::uint16_t>(((byte >> bit) & 1u) - 1u);
                std::uint8_t* lower = base + cell[std::size_t(bit)];
                std::memcpy(lower, &pair, 2);
                std::memcpy(lower + kWidth, &pair, 2);
            }
        }
    }
}

// The timing squares, before the thinning.
void PaintTimingSquares(std::uint8_t* image) noexcept {
    ForEachDenseTimingSquare([image](int, const DenseTimingSquare& square) {
        PaintBlack(image, square.left, square.top, kDenseTimingSquareSide, kDenseTimingSquareSide);
    });
}

// The punching whitens the centres of the thinned 3 x 3 timing squares.
void RestoreTimingCentres(std::uint8_t* image) noexcept {
    ForEachDenseTimingSquare([image](int, const DenseTimingSquare& square) {
        Row(image, square.restoredY)[square.restoredX] = kDenseBlack;
    });
}

void PaintFrame(std::uint8_t* image) noexcept {
    PaintBlack(image, 0, 0, kWidth, 2);
    PaintBlack(image, 0, kDenseCodeHeight - 2, kWidth, 2);
    for (int y = 0; y < kDenseCodeHeight; ++y) {
        std::uint8_t* row = Row(image, y);
        row[0] = row[1] = row[kWidth - 2] = row[kWidth - 1] = kDenseBlack;
    }
}

}  // namespace

void InterleaveCodewords(std::uint8_t* buffer) noexcept {
    std::array<std::uint8_t, kDenseFillerStart> copy;
    std::memcpy(copy.data(), buffer, copy.size());
    for (int j = 0; j < kDenseBlocks; ++j) {
        const std::uint8_t* codeword = copy.data() + std::size_t(j) * kDenseCodewordBytes;
        for (int i = 0; i < kDenseCodewordBytes; ++i) buffer[kDenseBlocks * i + j] = codeword[i];
    }
}

void DeinterleaveCodewords(std::uint8_t* buffer) noexcept {
    std::array<std::uint8_t, kDenseFillerStart> copy;
    std::memcpy(copy.data(), buffer, copy.size());
    for (int j = 0; j < kDenseBlocks; ++j) {
        std::uint8_t* codeword = buffer + std::size_t(j) * kDenseCodewordBytes;
        for (int i = 0; i < kDenseCodewordBytes; ++i) codeword[i] = copy[std::size_t(kDenseBlocks * i + j)];
    }
}

void ThinDenseImage(std::uint8_t* image) noexcept {
    // Thinning. Row y takes rows y - 1 and y as they were; going from the
    // bottom row up, row y - 1 is still untouched when row y is made, and
    // within the row column x is written only after it has been read for
    // column x - 1.
    for (int y = kLastRow; y >= 1; --y) {
        std::uint8_t* row = Row(image, y);
        const std::uint8_t* above = Row(image, y - 1);
        int x = 0;
#if ZESEAL_DENSE_VECTORS
        for (; x + 17 <= kWidth; x += 16) {
            Bytes16 a, b, c, d;
            std::memcpy(&a, row + x, 16);
            std::memcpy(&b, row + x + 1, 16);
            std::memcpy(&c, above + x, 16);
            std::memcpy(&d, above + x + 1, 16);
            const Bytes16 white = reinterpret_cast<Bytes16>((a | b | c | d) != 0);  // 0 or 255
            std::memcpy(row + x, &white, 16);
        }
#endif
        for (; x < kWidth - 1; ++x) {
            const unsigned any = row[x] | row[x + 1] | above[x] | above[x + 1];
            row[x] = any == 0 ? kDenseBlack : kDenseWhite;
        }
    }
    // Hole punching. A punched pixel (odd column, even row) lies in no other
    // block tested, so the blocks of a row can be judged sixteen columns at a
    // time from the pixels as they were.
    for (int y = 2; y <= kDenseCodeHeight - 2; y += 2) {
        std::uint8_t* row = Row(image, y);
        const std::uint8_t* above = Row(image, y - 1);
        const std::uint8_t* below = Row(image, y + 1);
        int x = 0;  // the block's left column; the pixel punched is x + 1
#if ZESEAL_DENSE_VECTORS
        // Sixteen columns from odd column q: each of them is punched when it
        // is odd and the columns on either side and itself are black in all
        // three rows.
        const Bytes16 oddColumns = {255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0};
        // The punches are gathered first and applied after, so no load
        // waits on a store it overlaps.
        std::array<Bytes16, kWidth / 16> punches;
        int q = 1;
        for (std::size_t w = 0; q + 17 <= kWidth; q += 16, ++w) {
            Bytes16 any = {};
            for (int dx = -1; dx <= 1; ++dx) {
                Bytes16 a, r, b;
                std::memcpy(&a, above + q + dx, 16);
                std::memcpy(&r, row + q + dx, 16);
                std::memcpy(&b, below + q + dx, 16);
                any |= a | r | b;
            }
            punches[w] = reinterpret_cast<Bytes16>(any == 0) & oddColumns;
        }
        for (std::size_t w = 0; 1 + 16 * int(w) < q; ++w) {
            Bytes16 pixels;
            std::memcpy(&pixels, row + 1 + 16 * w, 16);
            pixels |= punches[w];
            std::memcpy(row + 1 + 16 * w, &pixels, 16);
        }
        x = q - 1;
#endif
        for (; x <= kWidth - 4; x += 2) {
            bool black = true;
            for (int c = x; c <= x + 2; ++c) black = black && (above[c] | row[c] | below[c]) == 0;
            if (black) row[x + 1] = kDenseWhite;
        }
    }
}

frame::HeapBlock EncodeDenseCode(const std::uint8_t* input) noexcept {
    if (input == nullptr) return {};
    frame::HeapBlock image(kDenseImageBytes);
    if (!image) return {};

    std::array<std::uint8_t, kDenseStreamBytes> buffer{};
    for (int j = 0; j < kDenseBlocks; ++j) {
        RsEncodeBlock(input + std::size_t(j) * kDenseMessageBytes, kDenseMessageBytes,
                      buffer.data() + std::size_t(j) * kDenseCodewordBytes);
    }
    const auto& scramble = DenseScrambleBytes();
    for (std::size_t p = 0; p < kDenseStreamBytes; ++p) buffer[p] ^= scramble[p];
    InterleaveCodewords(buffer.data());

    std::uint8_t* pixels = image.data();
    std::memset(pixels, kDenseWhite, kDenseImageBytes);
    LayOutStream(buffer.data(), pixels);
    PaintTimingSquares(pixels);
    ThinDenseImage(pixels);
    RestoreTimingCentres(pixels);
    PaintFrame(pixels);
    return image;
}

}  // namespace zeseal::densecode
