// Sampling the cells of a registered code.
//
// The thinning keeps a black cell's lower left code pixel black whatever its
// neighbours, and leaves all eight code pixels around a white cell's lower
// left pixel white; so each cell is read there, at that code pixel's centre
// under the fitted map. Below 1.5 picture pixels a code pixel, the level is
// interpolated; above, it is the median of the picture pixels the code
// pixel covers, which a lone speck of noise does not move.
#pragma once

#include <vector>

#include "densecode/format.h"
#include "densecode/reader/code_map.h"
#include "densecode/reader/scan_image.h"

namespace zeseal::densecode {

inline constexpr int kDenseCells = int(kDenseStreamBytes) * 8;
inline constexpr float kDenseCellUnseen = -1.0f;

// The code point a cell is read at: cell `bit` of stream byte n.
PointD DenseCellSamplePoint(int n, int bit) noexcept;

// The level (0..255) at every cell, index 8 n + bit, or kDenseCellUnseen
// for a cell whose pixels lie beyond the picture.
void SampleDenseCells(const GreyView& image, const CodeMap& map, std::vector<float>& levels);

}  // namespace zeseal::densecode
