#include "densecode/layout.h"

namespace zeseal::densecode {
namespace {

// The cell of bit b of the byte at path position t, before the rotation.
constexpr DenseCellPlace UnshiftedCell(int t, int bit) {
    const int doubleRow = t / kDenseDoubleRowBytes;
    const int u = t % kDenseDoubleRowBytes;
    const int top = DenseDoubleRowTop(doubleRow);
    int column = 0;
    int row = 0;
    if (u <= 12) {
        // Wide byte running rightwards: bits 0-3 above bits 4-7.
        column = 8 * u + 2 * (bit % 4);
        row = top + 2 * (bit / 4);
    } else if (u == 13) {
        // Tall byte at the turn: two bits per cell row.
        column = 104 + 2 * (bit % 2);
        row = top + 2 * (bit / 2);
    } else {
        // Wide byte running leftwards in the lower half; bits still left to right.
        column = 96 - 8 * (u - 14) + 2 * (bit % 4);
        row = top + 4 + 2 * (bit / 4);
    }
    return {static_cast<std::uint8_t>(column), static_cast<std::uint8_t>(row)};
}

constexpr DenseBandCells MakeBandCells() {
    DenseBandCells cells{};
    for (int t = 0; t < kDenseBandBytes; ++t) {
        for (int bit = 0; bit < 8; ++bit) {
            DenseCellPlace place = UnshiftedCell(t, bit);
            const int group = (place.row - kDenseFirstGroupRow) / kDenseRowGroupHeight;
            place.column = static_cast<std::uint8_t>((place.column + DenseGroupShift(group)) % kDenseWindowWidth);
            cells[std::size_t(t)][std::size_t(bit)] = place;
        }
    }
    return cells;
}

constexpr DenseBandCells kBandCells = MakeBandCells();

}  // namespace

const DenseBandCells& DenseBandCellPlaces() noexcept { return kBandCells; }

}  // namespace zeseal::densecode
