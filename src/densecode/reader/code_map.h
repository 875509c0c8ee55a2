// Where the code lies in a scan: a smooth map from code coordinates to
// picture coordinates, and its least-squares fit from anchor points.
//
// Code coordinates count code pixels (1/300 inch on the page) from the
// picture's top left corner: pixel (x, y) of the 2528 x 128 code covers
// [x, x + 1) x [y, y + 1). The map is a polynomial in u and v of low
// degree: affine (rotation, scale in each direction, shear and shift), plus
// the terms u v, u^2, u^2 v and u^3 for keystone and bow along the code's
// length. With few anchors, or anchors over part of the code only, the fit
// keeps to the affine terms.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "densecode/reader/scan_image.h"

namespace zeseal::densecode {

inline constexpr int kCodeMapTerms = 7;

struct CodeMap {
    std::array<double, kCodeMapTerms> cx{};
    std::array<double, kCodeMapTerms> cy{};

    // The map of origin + u * alongU + v * alongV.
    static CodeMap Affine(PointD origin, PointD alongU, PointD alongV) noexcept;

    PointD Apply(double u, double v) const noexcept;
    // The picture vectors of one code pixel along u and along v at (u, v).
    PointD StepU(double u, double v) const noexcept;
    PointD StepV(double u, double v) const noexcept;

    // False only when no point of code rectangle [u0, u1] x [v0, v1] maps
    // within `margin` of the picture (width x height): the rectangle's image
    // is bounded term by term, so a whole band of cells beyond the picture
    // is passed over without mapping each of them.
    bool MayReach(double u0, double u1, double v0, double v1, std::int32_t width, std::int32_t height,
                  double margin) const noexcept;
};

struct CodeAnchor {
    double u = 0;
    double v = 0;
    double x = 0;
    double y = 0;
};

// Fits a map to the anchors by least squares (terms chosen as above).
// Returns false, leaving map as it was, when there are fewer than four
// anchors or they do not fix the map.
bool FitCodeMap(std::span<const CodeAnchor> anchors, CodeMap& map) noexcept;

}  // namespace zeseal::densecode
