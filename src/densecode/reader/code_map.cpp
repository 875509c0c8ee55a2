#include "densecode/reader/code_map.h"

#include <algorithm>
#include <cmath>

#include "densecode/format.h"

namespace zeseal::densecode {
namespace {

// Code coordinates scaled to about -1..1, so the normal equations stay
// well conditioned.
constexpr double kHalfU = kDenseCodeWidth / 2.0;
constexpr double kHalfV = kDenseCodeHeight / 2.0;

std::array<double, kCodeMapTerms> Terms(double u, double v) noexcept {
    const double s = (u - kHalfU) / kHalfU;
    const double t = (v - kHalfV) / kHalfV;
    return {1.0, s, t, s * t, s * s, s * s * t, s * s * s};
}

// The map and its derivatives are written out in Horner's form on the
// scaled coordinates: they are evaluated for every cell and code pixel,
// and a loop over the terms, or an array of them, costs more than the sum.
double Value(const std::array<double, kCodeMapTerms>& c, double s, double t) noexcept {
    static_assert(kCodeMapTerms == 7);
    // c0 + c1 s + c2 t + c3 s t + c4 s^2 + c5 s^2 t + c6 s^3
    return c[0] + t * c[2] + s * (c[1] + t * c[3] + s * (c[4] + t * c[5] + s * c[6]));
}

double AlongS(const std::array<double, kCodeMapTerms>& c, double s, double t) noexcept {
    return c[1] + t * c[3] + s * (2 * (c[4] + t * c[5]) + 3 * s * c[6]);
}

double AlongT(const std::array<double, kCodeMapTerms>& c, double s) noexcept { return c[2] + s * (c[3] + s * c[5]); }

struct Interval {
    double lo = 0;
    double hi = 0;
};

Interval Times(Interval a, Interval b) noexcept {
    const double p[4] = {a.lo * b.lo, a.lo * b.hi, a.hi * b.lo, a.hi * b.hi};
    return {std::min(std::min(p[0], p[1]), std::min(p[2], p[3])), std::max(std::max(p[0], p[1]), std::max(p[2], p[3]))};
}

// The range of sum c[i] term[i] over the terms' ranges.
Interval Range(const std::array<double, kCodeMapTerms>& c, const std::array<Interval, kCodeMapTerms>& terms) noexcept {
    Interval sum;
    for (int i = 0; i < kCodeMapTerms; ++i) {
        const Interval t = Times({c[std::size_t(i)], c[std::size_t(i)]}, terms[std::size_t(i)]);
        sum.lo += t.lo;
        sum.hi += t.hi;
    }
    return sum;
}

// Solves the n x n system a z = b (n <= kCodeMapTerms) in place by Gaussian
// elimination with partial pivoting; false when it is singular.
bool Solve(double (&a)[kCodeMapTerms][kCodeMapTerms + 2], int n) noexcept {
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        }
        if (std::fabs(a[pivot][col]) < 1e-9) return false;
        if (pivot != col) {
            for (int c = 0; c < n + 2; ++c) std::swap(a[col][c], a[pivot][c]);
        }
        for (int r = 0; r < n; ++r) {
            if (r == col) continue;
            const double f = a[r][col] / a[col][col];
            if (f == 0) continue;
            for (int c = col; c < n + 2; ++c) a[r][c] -= f * a[col][c];
        }
    }
    for (int r = 0; r < n; ++r) {
        a[r][n] /= a[r][r];
        a[r][n + 1] /= a[r][r];
    }
    return true;
}

}  // namespace

CodeMap CodeMap::Affine(PointD origin, PointD alongU, PointD alongV) noexcept {
    CodeMap map;
    map.cx[0] = origin.x + kHalfU * alongU.x + kHalfV * alongV.x;
    map.cy[0] = origin.y + kHalfU * alongU.y + kHalfV * alongV.y;
    map.cx[1] = kHalfU * alongU.x;
    map.cy[1] = kHalfU * alongU.y;
    map.cx[2] = kHalfV * alongV.x;
    map.cy[2] = kHalfV * alongV.y;
    return map;
}

PointD CodeMap::Apply(double u, double v) const noexcept {
    const double s = (u - kHalfU) / kHalfU;
    const double t = (v - kHalfV) / kHalfV;
    return {Value(cx, s, t), Value(cy, s, t)};
}

PointD CodeMap::StepU(double u, double v) const noexcept {
    const double s = (u - kHalfU) / kHalfU;
    const double t = (v - kHalfV) / kHalfV;
    return {AlongS(cx, s, t) / kHalfU, AlongS(cy, s, t) / kHalfU};
}

PointD CodeMap::StepV(double u, double) const noexcept {
    const double s = (u - kHalfU) / kHalfU;
    return {AlongT(cx, s) / kHalfV, AlongT(cy, s) / kHalfV};
}

bool CodeMap::MayReach(double u0, double u1, double v0, double v1, std::int32_t width, std::int32_t height,
                       double margin) const noexcept {
    const Interval s = {(u0 - kHalfU) / kHalfU, (u1 - kHalfU) / kHalfU};
    const Interval t = {(v0 - kHalfV) / kHalfV, (v1 - kHalfV) / kHalfV};
    const Interval ss = s.lo <= 0 && s.hi >= 0 ? Interval{0, std::max(s.lo * s.lo, s.hi * s.hi)} : Times(s, s);
    const std::array<Interval, kCodeMapTerms> terms = {
        Interval{1, 1}, s, t, Times(s, t), ss, Times(ss, t), Interval{s.lo * s.lo * s.lo, s.hi * s.hi * s.hi}};
    const Interval x = Range(cx, terms);
    const Interval y = Range(cy, terms);
    // Rounding in the sums is covered by a pixel more; a map that is not
    // finite is left to the points' own checks.
    const double mx = margin + 1 + 1e-9 * (std::fabs(x.lo) + std::fabs(x.hi));
    const double my = margin + 1 + 1e-9 * (std::fabs(y.lo) + std::fabs(y.hi));
    return !(x.hi < -mx || x.lo > width + mx || y.hi < -my || y.lo > height + my);
}

bool FitCodeMap(std::span<const CodeAnchor> anchors, CodeMap& map) noexcept {
    if (anchors.size() < 4) return false;
    double minU = anchors[0].u;
    double maxU = anchors[0].u;
    for (const CodeAnchor& a : anchors) {
        minU = std::min(minU, a.u);
        maxU = std::max(maxU, a.u);
    }
    // The bending terms only where anchors run along most of the code, the
    // keystone term where they cover a good part of it.
    const double spread = (maxU - minU) / kDenseCodeWidth;
    const int n = anchors.size() >= 40 && spread > 0.75 ? kCodeMapTerms
                  : anchors.size() >= 12 && spread > 0.3 ? 4
                                                        : 3;
    double a[kCodeMapTerms][kCodeMapTerms + 2] = {};
    for (const CodeAnchor& anchor : anchors) {
        const auto terms = Terms(anchor.u, anchor.v);
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < n; ++c) a[r][c] += terms[std::size_t(r)] * terms[std::size_t(c)];
            a[r][n] += terms[std::size_t(r)] * anchor.x;
            a[r][n + 1] += terms[std::size_t(r)] * anchor.y;
        }
    }
    if (!Solve(a, n)) return false;
    CodeMap fitted;
    for (int r = 0; r < n; ++r) {
        fitted.cx[std::size_t(r)] = a[r][n];
        fitted.cy[std::size_t(r)] = a[r][n + 1];
    }
    for (int r = 0; r < n; ++r) {
        if (!std::isfinite(fitted.cx[std::size_t(r)]) || !std::isfinite(fitted.cy[std::size_t(r)])) return false;
    }
    map = fitted;
    return true;
}

}  // namespace zeseal::densecode
