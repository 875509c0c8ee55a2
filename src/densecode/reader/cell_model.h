// Deciding the cells of a registered code by what each choice would make the
// scanner see.
//
// Where a code pixel is only one or two picture pixels across, a cell's level
// depends as much on its neighbours as on itself: the blur spreads every dot
// over the cells around it, and the thinning and hole punching make a black
// cell's ink depend on the cells to its right and above. So every code pixel
// is read (its level at its centre under the map), the encoder's picture is
// rendered from the current decisions, thinning and punching included, and
// per band a paper level and a 5 x 5 blur kernel are fitted by least squares
// to the levels. Each cell is then turned the other way when the rendered
// picture, blurred, fits the levels better so, and the whole is repeated.
// Cells of bytes already known (from codewords already corrected) stay as
// they are. How much worse the other choice fits is the cell's confidence.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "densecode/format.h"
#include "densecode/reader/code_map.h"
#include "densecode/reader/reader.h"
#include "densecode/reader/scan_image.h"
#include "densecode/reader/threshold.h"

namespace zeseal::densecode {

// The encoder's finished picture (top row first, 1 for black) as rendered
// from the stream bytes: cells, timing squares, thinning, hole punching, the
// squares' restored centres and the frame.
std::vector<std::uint8_t> RenderDenseInk(const std::array<std::uint8_t, kDenseStreamBytes>& stream);

// Refines the decisions of sample (the first guess, from the thresholds) on
// the scan under map. known, when given, marks the stream bytes that are
// certain; they keep their value in sample. Writes the bytes, their unsure
// flags and their confidences.
void RefineDenseCells(const GreyView& image, const CodeMap& map, const std::array<bool, kDenseStreamBytes>* known,
                      DenseStreamSample& sample, DenseByteConfidence& confidence);

}  // namespace zeseal::densecode
