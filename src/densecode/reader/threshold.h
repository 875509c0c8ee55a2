// Telling black cells from white ones by the cells' own levels nearby.
//
// The code is cut into tiles (each band in four bands of cell rows). In
// each tile the levels fall in two groups, the white cells' and the black
// cells'; the threshold sits between the two groups, nearer the white one,
// since a lone black cell is only a thin dot while white cells keep a clear
// margin. Thresholds are smoothed along the code, so uneven light, grey
// paper and light or heavy toner move them with the picture. A cell close to
// its threshold is unsure; how close, its byte's confidence says.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "densecode/reader/reader.h"

namespace zeseal::densecode {

// Confidence of a byte: 0 (a cell at its threshold, or unseen) to 255.
using DenseByteConfidence = std::array<std::uint8_t, kDenseStreamBytes>;

// Decides every cell from the levels of SampleDenseCells: the stream bytes,
// their unsure flags and their confidences.
void ThresholdDenseCells(const std::vector<float>& levels, DenseStreamSample& sample,
                         DenseByteConfidence& confidence);

}  // namespace zeseal::densecode
