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

}  // namespace zeseal::densecode
