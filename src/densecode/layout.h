// Where the bits of a band land in the finished picture.
//
// A band's 405 bytes follow the serpentine path of 15 double rows; each bit
// is a 2 x 2 cell whose row group is then rotated within the band's
// 120-column window. The same places hold for every band, offset by the
// band's left edge, and they are shared by the encoder and the reader.
#pragma once

#include <array>
#include <cstdint>

#include "densecode/format.h"

namespace zeseal::densecode {

struct DenseCellPlace {
    std::uint8_t column = 0;  // the cell's left column, from the band's left edge (0..118)
    std::uint8_t row = 0;     // the cell's top row in the picture (4..122)
};

// For every path position t (0..404) and bit b (0 the least significant),
// the cell of that bit after the rotation of its row group.
using DenseBandCells = std::array<std::array<DenseCellPlace, 8>, kDenseBandBytes>;
const DenseBandCells& DenseBandCellPlaces() noexcept;

// The cell's pixel that the thinning keeps black: its lower left one.
constexpr int DenseCellSampleRow(const DenseCellPlace& place) noexcept { return place.row + 1; }

// Every row group of every band has two 4 x 4 timing squares in the gap
// after the band's cells, rotated with their group: the lower one four
// columns and four rows further on. Square k (0 upper, 1 lower) of
// group `group`, as painted before the thinning, from its top left pixel.
// The thinning leaves the 3 x 3 square from one row lower, whose centre the
// punching whitens and the encoder restores.
struct DenseTimingSquare {
    int left = 0;
    int top = 0;
    int restoredX = 0;  // the restored centre
    int restoredY = 0;
};

inline constexpr int kDenseTimingSquareSide = 4;

constexpr DenseTimingSquare DenseTimingSquareOf(int band, int group, int k) noexcept {
    const int left = DenseBandLeft(band) + (110 + DenseGroupShift(group)) % kDenseWindowWidth + 4 * k;
    const int top = 6 + kDenseRowGroupHeight * group + 4 * k;
    return {left, top, kDenseWindowWidth * band + DenseTimingCentre(group) + 4 * k, top + 2};
}

// Calls visit(index, square) for the 420 squares: index counts the squares
// band by band, group by group, upper before lower.
template <typename Visit>
constexpr void ForEachDenseTimingSquare(Visit&& visit) {
    int index = 0;
    for (int band = 0; band < kDenseBands; ++band) {
        for (int group = 0; group < kDenseRowGroups; ++group) {
            for (int k = 0; k < 2; ++k) visit(index++, DenseTimingSquareOf(band, group, k));
        }
    }
}

// No square wraps round its band's window, and each restored centre is the
// middle of its thinned square.
static_assert([] {
    bool whole = true;
    ForEachDenseTimingSquare([&](int, DenseTimingSquare s) {
        const int band = (s.left - DenseBandLeft(0)) / kDenseWindowWidth;
        whole = whole && s.left + kDenseTimingSquareSide <= DenseBandLeft(band) + kDenseWindowWidth &&
                s.restoredX == s.left + 1 && s.restoredY == s.top + 2;
    });
    return whole;
}());

}  // namespace zeseal::densecode
