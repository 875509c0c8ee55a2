// Registering the code: where every timing square really is, and the map
// fitted through them.
//
// Every row group of every band has two timing squares; after the thinning
// each is a solid 3 x 3 square of code pixels whose centre the encoder
// restores, with white around it. From a first map (the frame's), each
// square is found near its predicted place by the centroid of its
// darkness; the map is then fitted to all of them by least squares, the
// squares that disagree left out, and the whole repeated once from the
// better map.
#pragma once

#include "densecode/format.h"
#include "densecode/reader/code_map.h"
#include "densecode/reader/scan_image.h"

namespace zeseal::densecode {

inline constexpr int kDenseTimingSquares = kDenseBands * kDenseRowGroups * 2;  // 420

struct DenseRegistration {
    CodeMap map;
    int anchors = 0;        // timing squares found and kept
    double residual = 0;    // their distance from the fitted map, root mean square, in code pixels
};

// The centre of timing square `index` (0..419) in code coordinates.
PointD DenseTimingSquareCentre(int index) noexcept;

// The most the timing squares may stray from the fitted map, root mean
// square, in code pixels. A code, however blurred, bent or noisy, fits its
// squares to a fifth of a code pixel or so; dark specks that happen to lie
// near the predicted places stray by half a code pixel and more, and a map
// that far off could not sample the cells (two code pixels wide) anyway.
inline constexpr double kDenseMaxMisfit = 0.35;

// Registers the code from a first map. Returns false when fewer than a
// tenth of the timing squares are found, fewer than half of those whose
// place lies in the picture, or when they stray from the fitted map by more
// than kDenseMaxMisfit.
bool RegisterDenseCode(const GreyView& image, const CodeMap& initial, DenseRegistration& result);

}  // namespace zeseal::densecode
