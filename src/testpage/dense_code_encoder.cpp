#include "testpage/dense_code_encoder.h"

#include <array>
#include <bit>
#include <cstring>

#include "testpage/dense_code_layout.h"
#include "testpage/dense_code_tables.h"
#include "testpage/reed_solomon.h"

namespace zeseal::testpage {
namespace {

constexpr int kWidth = kDenseCodeWidth;
constexpr int kLastRow = kDenseCodeHeight - 1;

// Row y, counted from the top, of a bottom-up picture.
std::uint8_t* Row(std::uint8_t* image, int y) noexcept {
    return image + std::size_t(kLastRow - y) * kWidth;
}

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

std::uint64_t Load8(const std::uint8_t* p) noexcept {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void Store8(std::uint8_t* p, std::uint64_t v) noexcept { std::memcpy(p, &v, sizeof v); }

// 0xFF in every byte of v that is not 0, 0x00 in the others.
constexpr std::uint64_t NonZeroBytes(std::uint64_t v) noexcept {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t high = ((v & kLow7) + kLow7) | v;  // top bit of each byte: byte != 0
    return ((high >> 7) & 0x0101010101010101ull) * 0xFF;
}

void PaintBlack(std::uint8_t* image, int x, int y, int width, int height) noexcept {
    for (int r = y; r < y + height; ++r) std::memset(Row(image, r) + x, kDenseBlack, std::size_t(width));
}

// Every stream bit becomes its 2 x 2 cell, black for 1 and white for 0,
// already at its rotated place. Cells do not overlap, so white cells may be
// written too; that keeps the loop free of data-dependent branches.
void LayOutStream(const std::uint8_t* stream, std::uint8_t* image) noexcept {
    const DenseBandCells& cells = DenseBandCellPlaces();
    for (int band = 0; band < kDenseBands; ++band) {
        const std::uint8_t* bytes = stream + std::size_t(band) * kDenseBandBytes;
        std::uint8_t* base = image + DenseBandLeft(band);
        for (int t = 0; t < kDenseBandBytes; ++t) {
            const unsigned byte = bytes[t];
            const auto& places = cells[std::size_t(t)];
            for (int bit = 0; bit < 8; ++bit) {
                const DenseCellPlace& place = places[std::size_t(bit)];
                // 0 for a 1 bit, 255 for a 0 bit.
                const auto value = static_cast<std::uint8_t>(((byte >> bit) & 1u) - 1u);
                std::uint8_t* top = base + std::size_t(kLastRow - place.row) * kWidth + place.column;
                top[0] = top[1] = value;
                top[-kWidth] = top[1 - kWidth] = value;  // the row below
            }
        }
    }
}

// The two 4 x 4 timing squares of every row group in the gap after each
// band, rotated with their group.
void PaintTimingSquares(std::uint8_t* image) noexcept {
    for (int band = 0; band < kDenseBands; ++band) {
        const int left = DenseBandLeft(band);
        for (int group = 0; group < kDenseRowGroups; ++group) {
            const int shift = DenseGroupShift(group);
            const int top = 6 + kDenseRowGroupHeight * group;
            for (int c = 0; c < 4; ++c) {
                // Relative to the band's left edge: columns 110..113 in the
                // upper square, 114..117 in the lower one.
                PaintBlack(image, left + (110 + c + shift) % kDenseWindowWidth, top, 1, 4);
                PaintBlack(image, left + (114 + c + shift) % kDenseWindowWidth, top + 4, 1, 4);
            }
        }
    }
}

// The punching whitens the centres of the thinned 3 x 3 timing squares.
void RestoreTimingCentres(std::uint8_t* image) noexcept {
    for (int band = 0; band < kDenseBands; ++band) {
        const int start = kDenseWindowWidth * band;
        for (int group = 0; group < kDenseRowGroups; ++group) {
            const int centre = start + DenseTimingCentre(group);
            Row(image, 8 + kDenseRowGroupHeight * group)[centre] = kDenseBlack;
            Row(image, 12 + kDenseRowGroupHeight * group)[centre + 4] = kDenseBlack;
        }
    }
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
    // bottom row up, row y - 1 is still untouched when row y is made.
    std::array<std::uint8_t, kWidth - 1> line;
    for (int y = kLastRow; y >= 1; --y) {
        std::uint8_t* row = Row(image, y);
        const std::uint8_t* above = Row(image, y - 1);
        int x = 0;
        if constexpr (kLittleEndian) {
            for (; x + 8 < kWidth; x += 8) {
                const std::uint64_t any = (Load8(row + x) | Load8(above + x)) |
                                          (Load8(row + x + 1) | Load8(above + x + 1));
                Store8(line.data() + x, NonZeroBytes(any));
            }
        }
        for (; x < kWidth - 1; ++x) {
            const unsigned any = row[x] | row[x + 1] | above[x] | above[x + 1];
            line[std::size_t(x)] = any == 0 ? kDenseBlack : kDenseWhite;
        }
        std::memcpy(row, line.data(), line.size());
    }
    // Hole punching. A punched pixel (odd column, even row) lies in no other
    // block tested, so the blocks of a row can be judged eight columns at a
    // time from the pixels as they were.
    for (int y = 2; y <= kDenseCodeHeight - 2; y += 2) {
        std::uint8_t* row = Row(image, y);
        const std::uint8_t* above = Row(image, y - 1);
        const std::uint8_t* below = Row(image, y + 1);
        const auto column = [&](int x) { return Load8(above + x) | Load8(row + x) | Load8(below + x); };
        int x = 0;
        if constexpr (kLittleEndian) {
            constexpr std::uint64_t kEvenColumns = 0x00FF00FF00FF00FFull;
            for (; x + 10 <= kWidth; x += 8) {
                // Byte k is 0 when the block at x + k is all black.
                const std::uint64_t blocks = column(x) | column(x + 1) | column(x + 2);
                const std::uint64_t punch = ~NonZeroBytes(blocks) & kEvenColumns;
                if (punch != 0) Store8(row + x, Load8(row + x) | (punch << 8));
            }
        }
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

}  // namespace zeseal::testpage
