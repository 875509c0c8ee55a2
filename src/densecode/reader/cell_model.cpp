#include "densecode/reader/cell_model.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "densecode/layout.h"
#include "densecode/reader/sample.h"

namespace zeseal::densecode {
namespace {

constexpr int kW = kDenseCodeWidth;
constexpr int kH = kDenseCodeHeight;
constexpr int kRadius = 2;
constexpr int kSide = 2 * kRadius + 1;
constexpr int kKernel = kSide * kSide;
constexpr int kTerms = kKernel + 1;  // the paper level, then the kernel
// Below this cost of turning a cell (in squared noise levels), its byte is
// unsure.
constexpr double kDenseUnsureCost = 4;
// Cells costing less than this to turn are looked at again in later passes.
constexpr double kDenseRevisitCost = 40;

constexpr std::size_t At(int x, int y) noexcept { return std::size_t(y) * kW + std::size_t(x); }

struct CellOrigin {
    std::int16_t x = 0;  // the cell's top left code pixel
    std::int16_t y = 0;
};

const std::vector<CellOrigin>& CellOrigins() {
    static const std::vector<CellOrigin> table = [] {
        std::vector<CellOrigin> t(static_cast<std::size_t>(kDenseCells));
        for (int n = 0; n < int(kDenseStreamBytes); ++n) {
            for (int bit = 0; bit < 8; ++bit) {
                const DenseCellPlace& place = DenseBandCellPlaces()[std::size_t(n % kDenseBandBytes)][std::size_t(bit)];
                t[std::size_t(8 * n + bit)] = {static_cast<std::int16_t>(DenseBandLeft(n / kDenseBandBytes) + place.column),
                                               static_cast<std::int16_t>(place.row)};
            }
        }
        return t;
    }();
    return table;
}

// The cell at every 2 x 2 block of the code, or -1 for none.
const std::vector<std::int32_t>& CellGrid() {
    static const std::vector<std::int32_t> grid = [] {
        std::vector<std::int32_t> g(std::size_t(kW / 2) * (kH / 2), -1);
        const std::vector<CellOrigin>& origins = CellOrigins();
        for (int cell = 0; cell < kDenseCells; ++cell) {
            const CellOrigin o = origins[std::size_t(cell)];
            g[std::size_t(o.y / 2) * (kW / 2) + std::size_t(o.x / 2)] = cell;
        }
        return g;
    }();
    return grid;
}

int BandOf(int x) noexcept { return std::clamp((x - DenseBandLeft(0)) / kDenseWindowWidth, 0, kDenseBands - 1); }

// The encoder's picture before the thinning (cells and timing squares), and
// its finished pixels worked out from it one at a time, as the encoder's
// thinning, punching, restoring and framing leave them.
class Ink {
public:
    explicit Ink(const std::array<std::uint8_t, kDenseStreamBytes>& stream)
        : pre_(std::size_t(kW) * kH, 0), fixed_(std::size_t(kW) * kH, 0) {
        ForEachDenseTimingSquare([this](int, const DenseTimingSquare& square) {
            for (int r = 0; r < kDenseTimingSquareSide; ++r) {
                for (int c = 0; c < kDenseTimingSquareSide; ++c) pre_[At(square.left + c, square.top + r)] = 1;
            }
            fixed_[At(square.restoredX, square.restoredY)] = 1;
        });
        for (int x = 0; x < kW; ++x) {
            for (const int y : {0, 1, kH - 2, kH - 1}) fixed_[At(x, y)] = 1;
        }
        for (int y = 0; y < kH; ++y) {
            for (const int x : {0, 1, kW - 2, kW - 1}) fixed_[At(x, y)] = 1;
        }
        const std::vector<CellOrigin>& origins = CellOrigins();
        for (int cell = 0; cell < kDenseCells; ++cell) {
            Set(origins[std::size_t(cell)], (stream[std::size_t(cell / 8)] >> (cell % 8)) & 1);
        }
    }

    bool Black(CellOrigin o) const noexcept { return pre_[At(o.x, o.y)] != 0; }
    void Set(CellOrigin o, bool black) noexcept {
        const std::uint8_t v = black ? 1 : 0;
        pre_[At(o.x, o.y)] = pre_[At(o.x + 1, o.y)] = pre_[At(o.x, o.y + 1)] = pre_[At(o.x + 1, o.y + 1)] = v;
    }

    // A pixel of the finished picture: 1 black, 0 white.
    std::uint8_t Final(int x, int y) const noexcept {
        if (fixed_[At(x, y)] != 0) return 1;
        if (Thinned(x, y) == 0) return 0;
        if (y % 2 == 0 && y >= 2 && y <= kH - 2 && x % 2 == 1 && x <= kW - 3) {
            for (int j = y - 1; j <= y + 1; ++j) {
                for (int i = x - 1; i <= x + 1; ++i) {
                    if (Thinned(i, j) == 0) return 1;
                }
            }
            return 0;  // punched
        }
        return 1;
    }

private:
    std::uint8_t Thinned(int x, int y) const noexcept {
        const std::uint8_t* p = pre_.data();
        if (y < 1 || x > kW - 2) return p[At(x, y)];
        return p[At(x, y)] & p[At(x + 1, y)] & p[At(x, y - 1)] & p[At(x + 1, y - 1)];
    }

    std::vector<std::uint8_t> pre_;
    std::vector<std::uint8_t> fixed_;
};

// What the scanner saw of every code pixel: its mean level over the pixel
// (from two to four points a side, so that where the code's grid falls
// between the picture's pixels does not matter), and whether it lies inside
// the picture at all.
struct Levels {
    std::vector<float> level;
    std::vector<std::uint8_t> seen;
};

void ReadCodePixels(const GreyView& image, const CodeMap& map, Levels& out) {
    out.level.assign(std::size_t(kW) * kH, 0.0f);
    out.seen.assign(std::size_t(kW) * kH, 0);
    for (int band = 0; band < kDenseBands; ++band) {
        const int x0 = band == 0 ? 0 : DenseBandLeft(band);
        const int x1 = band == kDenseBands - 1 ? kW : DenseBandLeft(band + 1);
        const double middle = (x0 + x1) / 2.0;
        const PointD a = map.StepU(middle, kH / 2.0);
        const PointD b = map.StepV(middle, kH / 2.0);
        const double scale = std::sqrt(std::hypot(a.x, a.y) * std::hypot(b.x, b.y));
        if (!std::isfinite(scale) || scale <= 0) continue;
        if (!map.MayReach(x0, x1, 0, kH, image.width, image.height, 1)) continue;
        const int points = std::clamp(int(std::lround(scale)), 2, 4);
        for (int y = 0; y < kH; ++y) {
            for (int x = x0; x < x1; ++x) {
                double sum = 0;
                bool inside = true;
                for (int j = 0; j < points && inside; ++j) {
                    for (int i = 0; i < points; ++i) {
                        const PointD p = map.Apply(x + (i + 0.5) / points, y + (j + 0.5) / points);
                        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !image.Inside(p.x, p.y)) {
                            inside = false;
                            break;
                        }
                        sum += image.Bilinear(p.x, p.y);
                    }
                }
                if (!inside) continue;
                out.level[At(x, y)] = float(sum / (points * points));
                out.seen[At(x, y)] = 1;
            }
        }
    }
}

// The level a code pixel should show: the paper's, darkened by the ink of
// the pixels around it.
struct BandModel {
    double paper = 255;
    std::array<double, kKernel> kernel{};
    bool valid = false;
};

bool SolveNormal(std::array<std::array<double, kTerms + 1>, kTerms>& a, std::array<double, kTerms>& z) {
    for (int col = 0; col < kTerms; ++col) {
        int pivot = col;
        for (int r = col + 1; r < kTerms; ++r) {
            if (std::fabs(a[std::size_t(r)][std::size_t(col)]) > std::fabs(a[std::size_t(pivot)][std::size_t(col)])) pivot = r;
        }
        if (std::fabs(a[std::size_t(pivot)][std::size_t(col)]) < 1e-9) return false;
        std::swap(a[std::size_t(col)], a[std::size_t(pivot)]);
        for (int r = col + 1; r < kTerms; ++r) {
            const double f = a[std::size_t(r)][std::size_t(col)] / a[std::size_t(col)][std::size_t(col)];
            if (f == 0) continue;
            for (int c = col; c <= kTerms; ++c) a[std::size_t(r)][std::size_t(c)] -= f * a[std::size_t(col)][std::size_t(c)];
        }
    }
    for (int r = kTerms - 1; r >= 0; --r) {
        double s = a[std::size_t(r)][kTerms];
        for (int c = r + 1; c < kTerms; ++c) s -= a[std::size_t(r)][std::size_t(c)] * z[std::size_t(c)];
        z[std::size_t(r)] = s / a[std::size_t(r)][std::size_t(r)];
    }
    return true;
}

// A black pixel's ink, less a share for each edge it shows to white: the
// ink a printer loses (or, negative, gains) along the edges of every dot.
inline float EdgeInk(const std::uint8_t* ink, int x, int y, float perEdge) noexcept {
    if (ink[At(x, y)] == 0) return 0;
    int edges = 0;
    edges += x == 0 || ink[At(x - 1, y)] == 0;
    edges += x == kW - 1 || ink[At(x + 1, y)] == 0;
    edges += y == 0 || ink[At(x, y - 1)] == 0;
    edges += y == kH - 1 || ink[At(x, y + 1)] == 0;
    return 1 - perEdge * float(edges);
}

class Refiner {
public:
    Refiner(const Levels& levels, Ink& ink)
        : levels_(levels), ink_(ink), final_(std::size_t(kW) * kH, 0), inked_(std::size_t(kW) * kH, 0.0f) {
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) final_[At(x, y)] = ink_.Final(x, y);
        }
        Spread(0);
        // Pixels next to the frame's outside see whatever lies around the
        // code; they take no part.
        use_.assign(std::size_t(kW) * kH, 0);
        for (int y = kRadius; y < kH - kRadius; ++y) {
            for (int x = kRadius; x < kW - kRadius; ++x) use_[At(x, y)] = levels_.seen[At(x, y)];
        }
        residual_.assign(std::size_t(kW) * kH, 0.0f);
    }

    // Takes a share of ink lost per edge.
    void Spread(double perEdge) {
        perEdge_ = float(perEdge);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) inked_[At(x, y)] = EdgeInk(final_.data(), x, y, perEdge_);
        }
    }

    // Fits each band's model to the levels; with a cut, leaving out the
    // pixels the last fit missed by more than it (specks of noise, dust).
    bool Fit(double cut) {
        bool any = false;
        for (int band = 0; band < kDenseBands; ++band) {
            std::array<std::array<double, kTerms + 1>, kTerms> a{};
            int count = 0;
            const int x0 = band == 0 ? kRadius : DenseBandLeft(band);
            const int x1 = band == kDenseBands - 1 ? kW - kRadius : DenseBandLeft(band + 1);
            std::array<int, kTerms> active{};
            std::array<double, kTerms> value{};
            for (int y = kRadius; y < kH - kRadius; ++y) {
                // A quarter of the pixels, every phase of the cells among them.
                for (int x = x0 + (3 * x0 + y) % 4; x < x1; x += 4) {
                    const std::size_t p = At(x, y);
                    if (use_[p] == 0) continue;
                    if (cut > 0 && std::fabs(residual_[p]) > cut) continue;
                    int n = 0;
                    active[0] = 0;
                    value[0] = 1;
                    ++n;
                    for (int k = 0; k < kKernel; ++k) {
                        const float v = inked_[At(x + k % kSide - kRadius, y + k / kSide - kRadius)];
                        if (v == 0) continue;
                        active[std::size_t(n)] = k + 1;
                        value[std::size_t(n++)] = v;
                    }
                    const double level = levels_.level[p];
                    for (int i = 0; i < n; ++i) {
                        auto& row = a[std::size_t(active[std::size_t(i)])];
                        const double vi = value[std::size_t(i)];
                        for (int j = 0; j < n; ++j) row[std::size_t(active[std::size_t(j)])] += vi * value[std::size_t(j)];
                        row[kTerms] += vi * level;
                    }
                    ++count;
                }
            }
            BandModel& model = models_[std::size_t(band)];
            model.valid = false;
            if (count < 4 * kTerms) continue;
            for (int i = 0; i < kTerms; ++i) a[std::size_t(i)][std::size_t(i)] += 1e-3 * count / kTerms;
            std::array<double, kTerms> z{};
            if (!SolveNormal(a, z)) continue;
            model.paper = z[0];
            for (int k = 0; k < kKernel; ++k) model.kernel[std::size_t(k)] = z[std::size_t(k + 1)];
            model.valid = true;
            any = true;
        }
        if (!any) return false;
        Residuals();
        return sample_.size() >= 64;
    }

    // How much ink an edge loses: with the kernels as fitted, the levels are
    // compared with the blurred whole pixels and with the blurred edges.
    double EdgeLoss() const {
        double s11 = 0, s12 = 0, s22 = 0, t1 = 0, t2 = 0;
        for (int y = kRadius; y < kH - kRadius; ++y) {
            for (int x = kRadius + (3 * kRadius + y) % 4; x < kW - kRadius; x += 4) {
                const std::size_t p = At(x, y);
                const BandModel& model = models_[std::size_t(BandOf(x))];
                if (use_[p] == 0 || !model.valid || std::fabs(residual_[p]) > 3 * sigma_) continue;
                double whole = 0, edge = 0;
                for (int k = 0; k < kKernel; ++k) {
                    const int qx = x + k % kSide - kRadius, qy = y + k / kSide - kRadius;
                    if (final_[At(qx, qy)] == 0) continue;
                    whole += model.kernel[std::size_t(k)];
                    edge += model.kernel[std::size_t(k)] * (1 - EdgeInk(final_.data(), qx, qy, 1));
                }
                const double level = levels_.level[p] - model.paper;
                s11 += whole * whole, s12 += whole * edge, s22 += edge * edge;
                t1 += whole * level, t2 += edge * level;
            }
        }
        // level = b whole - b lambda edge.
        const double det = s11 * s22 - s12 * s12;
        if (!(std::fabs(det) > 1e-9)) return perEdge_;
        const double b = (t1 * s22 - t2 * s12) / det;
        const double c = (s11 * t2 - s12 * t1) / det;
        if (!(std::fabs(b) > 1e-9)) return perEdge_;
        return std::clamp(-c / b, -0.2, 0.2);
    }

    double Sigma() const noexcept { return sigma_; }

    // One pass over the cells whose cost of turning is below `below`,
    // turning each that fits better the other way (unless fixed); cost gets
    // the cost of turning each after, in squared noise levels. Turning a
    // cell clears the cost of the cells around it, so they are seen again.
    void Sweep(const std::vector<std::uint8_t>& fixed, double below, std::vector<float>& cost) {
        const std::vector<CellOrigin>& origins = CellOrigins();
        const std::vector<std::int32_t>& grid = CellGrid();
        const double cut2 = 9 * sigma_ * sigma_;
        auto rho = [cut2](double r) { return std::min(r * r, cut2); };
        // The pixels a cell's turn can change (x from ox - 2, y from oy - 1),
        // their edges one further, and the levels they reach.
        constexpr int kInkX = 5, kInkY = 5;
        constexpr int kEdgeX = kInkX + 2, kEdgeY = kInkY + 2;
        constexpr int kLocalX = kEdgeX + 2, kLocalY = kEdgeY + 2;
        constexpr int kSpanX = kEdgeX + 2 * kRadius, kSpanY = kEdgeY + 2 * kRadius;
        struct Change {
            std::int16_t x, y;
            float d;
        };
        for (int cell = 0; cell < kDenseCells; ++cell) {
            if (cost[std::size_t(cell)] >= below) continue;
            const CellOrigin o = origins[std::size_t(cell)];
            const BandModel& model = models_[std::size_t(BandOf(o.x))];
            if (!model.valid) {
                cost[std::size_t(cell)] = 0;
                continue;
            }
            // The finished pixels around the cell with the cell turned.
            const int lx0 = o.x - 4, ly0 = o.y - 3;
            std::array<std::uint8_t, kLocalX * kLocalY> local{};
            for (int j = 0; j < kLocalY; ++j) {
                for (int i = 0; i < kLocalX; ++i) {
                    const int x = lx0 + i, y = ly0 + j;
                    local[std::size_t(j * kLocalX + i)] = x >= 0 && y >= 0 && x < kW && y < kH ? final_[At(x, y)] : 0;
                }
            }
            const bool black = ink_.Black(o);
            ink_.Set(o, !black);
            bool changed = false;
            for (int j = 2; j < 2 + kInkY; ++j) {
                for (int i = 2; i < 2 + kInkX; ++i) {
                    const int x = lx0 + i, y = ly0 + j;
                    if (x < 0 || y < 0 || x >= kW || y >= kH) continue;
                    const std::uint8_t v = ink_.Final(x, y);
                    changed = changed || v != local[std::size_t(j * kLocalX + i)];
                    local[std::size_t(j * kLocalX + i)] = v;
                }
            }
            ink_.Set(o, black);
            std::array<Change, kEdgeX * kEdgeY> changes;
            int count = 0;
            if (changed) {
                for (int j = 1; j < 1 + kEdgeY; ++j) {
                    for (int i = 1; i < 1 + kEdgeX; ++i) {
                        const int x = lx0 + i, y = ly0 + j;
                        if (x < 0 || y < 0 || x >= kW || y >= kH) continue;
                        float v = 0;
                        if (local[std::size_t(j * kLocalX + i)] != 0) {
                            int edges = 0;
                            edges += x == 0 || local[std::size_t(j * kLocalX + i - 1)] == 0;
                            edges += x == kW - 1 || local[std::size_t(j * kLocalX + i + 1)] == 0;
                            edges += y == 0 || local[std::size_t((j - 1) * kLocalX + i)] == 0;
                            edges += y == kH - 1 || local[std::size_t((j + 1) * kLocalX + i)] == 0;
                            v = 1 - perEdge_ * float(edges);
                        }
                        const float d = v - inked_[At(x, y)];
                        if (d != 0) changes[std::size_t(count++)] = {std::int16_t(x), std::int16_t(y), d};
                    }
                }
            }
            std::array<double, kSpanX * kSpanY> shift{};
            const int px0 = lx0 + 1 - kRadius;
            const int py0 = ly0 + 1 - kRadius;
            for (int c = 0; c < count; ++c) {
                const Change& ch = changes[std::size_t(c)];
                for (int k = 0; k < kKernel; ++k) {
                    const int x = ch.x - (k % kSide - kRadius);
                    const int y = ch.y - (k / kSide - kRadius);
                    shift[std::size_t((y - py0) * kSpanX + (x - px0))] += model.kernel[std::size_t(k)] * ch.d;
                }
            }
            double delta = 0;
            for (int j = 0; j < kSpanY; ++j) {
                const int y = py0 + j;
                if (y < 0 || y >= kH) continue;
                for (int i = 0; i < kSpanX; ++i) {
                    const int x = px0 + i;
                    if (x < 0 || x >= kW || use_[At(x, y)] == 0) continue;
                    const double r = residual_[At(x, y)];
                    delta += rho(r - shift[std::size_t(j * kSpanX + i)]) - rho(r);
                }
            }
            if (delta < 0 && fixed[std::size_t(cell)] == 0) {
                ink_.Set(o, !black);
                for (int j = 2; j < 2 + kInkY; ++j) {
                    for (int i = 2; i < 2 + kInkX; ++i) {
                        const int x = lx0 + i, y = ly0 + j;
                        if (x >= 0 && y >= 0 && x < kW && y < kH) final_[At(x, y)] = local[std::size_t(j * kLocalX + i)];
                    }
                }
                for (int c = 0; c < count; ++c) inked_[At(changes[std::size_t(c)].x, changes[std::size_t(c)].y)] += changes[std::size_t(c)].d;
                for (int j = 0; j < kSpanY; ++j) {
                    const int y = py0 + j;
                    if (y < 0 || y >= kH) continue;
                    for (int i = 0; i < kSpanX; ++i) {
                        const int x = px0 + i;
                        if (x < 0 || x >= kW) continue;
                        residual_[At(x, y)] -= float(shift[std::size_t(j * kSpanX + i)]);
                    }
                }
                for (int j = o.y / 2 - 3; j <= o.y / 2 + 3; ++j) {
                    for (int i = o.x / 2 - 3; i <= o.x / 2 + 3; ++i) {
                        if (i < 0 || j < 0 || i >= kW / 2 || j >= kH / 2) continue;
                        const std::int32_t other = grid[std::size_t(j * (kW / 2) + i)];
                        if (other >= 0) cost[std::size_t(other)] = 0;
                    }
                }
            }
            cost[std::size_t(cell)] = float(std::fabs(delta) / (sigma_ * sigma_));
        }
    }

private:
    // The residuals under the models, and their spread: each band's kernel
    // laid over the inked pixels a row at a time.
    void Residuals() {
        sample_.clear();
        std::vector<float> predicted(static_cast<std::size_t>(kW));
        for (int y = kRadius; y < kH - kRadius; ++y) {
            for (int band = 0; band < kDenseBands; ++band) {
                const BandModel& model = models_[std::size_t(band)];
                const int x0 = band == 0 ? kRadius : DenseBandLeft(band);
                const int x1 = band == kDenseBands - 1 ? kW - kRadius : DenseBandLeft(band + 1);
                if (!model.valid) {
                    for (int x = x0; x < x1; ++x) use_[At(x, y)] = 0;
                    continue;
                }
                std::fill(predicted.begin() + x0, predicted.begin() + x1, float(model.paper));
                for (int k = 0; k < kKernel; ++k) {
                    const float weight = float(model.kernel[std::size_t(k)]);
                    const float* ink = inked_.data() + At(0, y + k / kSide - kRadius) + (k % kSide - kRadius);
                    for (int x = x0; x < x1; ++x) predicted[std::size_t(x)] += weight * ink[x];
                }
                for (int x = x0; x < x1; ++x) {
                    const std::size_t p = At(x, y);
                    residual_[p] = levels_.level[p] - predicted[std::size_t(x)];
                    if (use_[p] != 0 && (x + y) % 7 == 0) sample_.push_back(std::fabs(residual_[p]));
                }
            }
        }
        if (sample_.size() < 64) return;
        const auto mid = sample_.begin() + std::ptrdiff_t(sample_.size() / 2);
        std::nth_element(sample_.begin(), mid, sample_.end());
        sigma_ = std::max(1.0, 1.4826 * double(*mid));
    }

    const Levels& levels_;
    Ink& ink_;
    std::vector<std::uint8_t> final_;
    std::vector<float> inked_;
    std::vector<std::uint8_t> use_;
    std::vector<float> residual_;
    std::vector<float> sample_;
    std::array<BandModel, kDenseBands> models_{};
    double sigma_ = 1;
    float perEdge_ = 0;
};

}  // namespace

std::vector<std::uint8_t> RenderDenseInk(const std::array<std::uint8_t, kDenseStreamBytes>& stream) {
    const Ink ink(stream);
    std::vector<std::uint8_t> out(std::size_t(kW) * kH);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) out[At(x, y)] = ink.Final(x, y);
    }
    return out;
}

void RefineDenseCells(const GreyView& image, const CodeMap& map, const std::array<bool, kDenseStreamBytes>* known,
                      DenseStreamSample& sample, DenseByteConfidence& confidence) {
    if (!image.valid()) return;
    Levels levels;
    ReadCodePixels(image, map, levels);
    Ink ink(sample.bytes);
    Refiner refiner(levels, ink);
    std::vector<std::uint8_t> fixed(std::size_t(kDenseCells), 0);
    if (known != nullptr) {
        for (int cell = 0; cell < kDenseCells; ++cell) fixed[std::size_t(cell)] = (*known)[std::size_t(cell / 8)];
    }
    std::vector<float> cost(std::size_t(kDenseCells), 0.0f);
    if (!refiner.Fit(0) || !refiner.Fit(3 * refiner.Sigma())) return;
    refiner.Spread(refiner.EdgeLoss());
    if (!refiner.Fit(3 * refiner.Sigma())) return;
    // Every cell once; then, under a model fitted to the better picture,
    // those that were close or whose neighbours turned.
    refiner.Sweep(fixed, 1e30, cost);
    refiner.Spread(refiner.EdgeLoss());
    if (!refiner.Fit(3 * refiner.Sigma())) return;
    for (int pass = 0; pass < 3; ++pass) refiner.Sweep(fixed, kDenseRevisitCost, cost);

    const std::vector<CellOrigin>& origins = CellOrigins();
    for (int n = 0; n < int(kDenseStreamBytes); ++n) {
        unsigned byte = 0;
        double least = 1e9;
        for (int bit = 0; bit < 8; ++bit) {
            const int cell = 8 * n + bit;
            byte |= unsigned(ink.Black(origins[std::size_t(cell)])) << bit;
            least = std::min(least, double(cost[std::size_t(cell)]));
        }
        const bool certain = known != nullptr && (*known)[std::size_t(n)];
        sample.bytes[std::size_t(n)] = static_cast<std::uint8_t>(byte);
        sample.unsure[std::size_t(n)] = !certain && least < kDenseUnsureCost;
        confidence[std::size_t(n)] = certain ? 255 : static_cast<std::uint8_t>(std::min(254.0, least * 4));
    }
}

}  // namespace zeseal::densecode
