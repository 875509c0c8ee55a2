#include "densecode/reader/register.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "densecode/format.h"
#include "densecode/layout.h"

namespace zeseal::densecode {
namespace {

double Length(PointD p) noexcept { return std::sqrt(p.x * p.x + p.y * p.y); }

// Finds the square near code point (u, v): the centroid of the darkness
// within 2.25 code pixels, moved there and taken again. Returns false when
// the place shows no square: too little contrast, too little or too much
// dark, or a centre that wandered off.
bool FindSquare(const GreyView& image, const CodeMap& map, double u, double v, std::vector<double>& levels,
                PointD& centre) {
    const PointD a = map.StepU(u, v);
    const PointD b = map.StepV(u, v);
    const double scale = std::sqrt(Length(a) * Length(b));
    if (!(scale > 0.2) || scale > 64) return false;
    // A step of a picture pixel, at most half a code pixel where the code is
    // large, and no less than half a picture pixel where it is small: a
    // square a picture pixel or two across is not sampled a hundred times.
    const double h = std::clamp(1.0 / scale, 0.125, std::max(0.5, 0.5 / scale));
    const int n = int(std::lround(2.25 / h));
    PointD c = map.Apply(u, v);
    const PointD start = c;
    levels.resize(std::size_t((2 * n + 1) * (2 * n + 1)));
    double mass = 0;
    for (int pass = 0; pass < 3; ++pass) {
        double lo = 255, hi = 0;
        std::size_t i = 0;
        for (int j = -n; j <= n; ++j) {
            for (int k = -n; k <= n; ++k, ++i) {
                const double x = c.x + k * h * a.x + j * h * b.x;
                const double y = c.y + k * h * a.y + j * h * b.y;
                if (!image.Inside(x, y)) return false;
                levels[i] = image.Bilinear(x, y);
                lo = std::min(lo, levels[i]);
                hi = std::max(hi, levels[i]);
            }
        }
        if (hi - lo < 24) return false;
        double weight = 0, su = 0, sv = 0;
        i = 0;
        for (int j = -n; j <= n; ++j) {
            for (int k = -n; k <= n; ++k, ++i) {
                const double w = std::max(0.0, (hi - levels[i]) / (hi - lo) - 0.35);
                weight += w;
                su += w * k * h;
                sv += w * j * h;
            }
        }
        if (weight <= 0) return false;
        su /= weight;
        sv /= weight;
        c = {c.x + su * a.x + sv * b.x, c.y + su * a.y + sv * b.y};
        mass = weight * h * h / 0.65;  // in code pixels, a solid square giving 9
    }
    const double moved = Length({c.x - start.x, c.y - start.y}) / scale;
    if (mass < 3 || mass > 26 || moved > 2.0) return false;
    centre = c;
    return true;
}

// Looks for every `every`-th timing square.
int FindAll(const GreyView& image, const CodeMap& map, int every, std::vector<CodeAnchor>& anchors) {
    anchors.clear();
    std::vector<double> levels;
    for (int i = 0; i < kDenseTimingSquares; i += every) {
        const PointD code = DenseTimingSquareCentre(i);
        PointD found;
        if (FindSquare(image, map, code.x, code.y, levels, found)) anchors.push_back({code.x, code.y, found.x, found.y});
    }
    return int(anchors.size());
}

// Fits, then leaves out the anchors far from the fit and fits again.
bool FitKeeping(std::vector<CodeAnchor>& anchors, CodeMap& map, double& residual) {
    if (!FitCodeMap(anchors, map)) return false;
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<double> errors;
        errors.reserve(anchors.size());
        for (const CodeAnchor& a : anchors) {
            const PointD p = map.Apply(a.u, a.v);
            errors.push_back(Length({p.x - a.x, p.y - a.y}));
        }
        std::vector<double> sorted = errors;
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
        const double scale = Length(map.StepU(kDenseCodeWidth / 2.0, kDenseCodeHeight / 2.0));
        const double limit = std::max(3 * sorted[sorted.size() / 2], 0.25 * scale);
        std::vector<CodeAnchor> kept;
        for (std::size_t i = 0; i < anchors.size(); ++i) {
            if (errors[i] <= limit) kept.push_back(anchors[i]);
        }
        if (kept.size() == anchors.size() || kept.size() < 8) break;
        anchors.swap(kept);
        if (!FitCodeMap(anchors, map)) return false;
    }
    double sum = 0;
    const double scale = Length(map.StepU(kDenseCodeWidth / 2.0, kDenseCodeHeight / 2.0));
    for (const CodeAnchor& a : anchors) {
        const PointD p = map.Apply(a.u, a.v);
        sum += (p.x - a.x) * (p.x - a.x) + (p.y - a.y) * (p.y - a.y);
    }
    residual = std::sqrt(sum / double(anchors.size())) / scale;
    return true;
}

}  // namespace

PointD DenseTimingSquareCentre(int index) noexcept {
    const int band = index / (2 * kDenseRowGroups);
    const int group = (index / 2) % kDenseRowGroups;
    const DenseTimingSquare square = DenseTimingSquareOf(band, group, index % 2);
    return {square.restoredX + 0.5, square.restoredY + 0.5};
}

bool RegisterDenseCode(const GreyView& image, const CodeMap& initial, DenseRegistration& result) {
    if (!image.valid()) return false;
    std::vector<CodeAnchor> anchors;
    CodeMap map = initial;
    double residual = 0;
    // First a quarter of the squares (the first of every other row group,
    // in every band): a frame that is not the code's is given up at a
    // quarter of the cost. The first map is only the frame's, so that fit
    // is allowed a little more misfit.
    if (FindAll(image, map, 4, anchors) < kDenseTimingSquares / 40) return false;
    if (!FitKeeping(anchors, map, residual) || !(residual <= 1.5 * kDenseMaxMisfit)) return false;
    for (int round = 0; round < 2; ++round) {
        if (FindAll(image, map, 1, anchors) < kDenseTimingSquares / 10) return false;
        if (!FitKeeping(anchors, map, residual)) return false;
    }
    if (!(residual <= kDenseMaxMisfit)) return false;
    // A code shows most of the squares that lie in the picture; specks that
    // happen to fit a map show a few.
    int inside = 0;
    for (int i = 0; i < kDenseTimingSquares; ++i) {
        const PointD code = DenseTimingSquareCentre(i);
        const PointD p = map.Apply(code.x, code.y);
        inside += image.Inside(p.x, p.y);
    }
    if (2 * int(anchors.size()) < inside) return false;
    result.map = map;
    result.anchors = int(anchors.size());
    result.residual = residual;
    return true;
}

}  // namespace zeseal::densecode
