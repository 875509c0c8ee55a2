#include "densecode/reader/sample.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "densecode/layout.h"

namespace zeseal::densecode {
namespace {

// The spread of a dot of about one picture pixel: sigma 0.45 pixel, as
// k = 1 / 2 sigma^2, and exp(-k), the ratio of the weights one pixel apart.
constexpr double kSpread = 1 / (2 * 0.45 * 0.45);
const double kSpreadStep = std::exp(-kSpread);

}  // namespace

PointD DenseCellSamplePoint(int n, int bit) noexcept {
    const int band = n / kDenseBandBytes;
    const DenseCellPlace& place = DenseBandCellPlaces()[std::size_t(n % kDenseBandBytes)][std::size_t(bit)];
    return {DenseBandLeft(band) + place.column + 0.5, DenseCellSampleRow(place) + 0.5};
}

void SampleDenseCells(const GreyView& image, const CodeMap& map, std::vector<float>& levels) {
    levels.assign(std::size_t(kDenseCells), kDenseCellUnseen);
    if (!image.valid()) return;
    std::array<std::uint8_t, 64> block{};
    for (int band = 0; band < kDenseBands; ++band) {
        const double middle = DenseBandLeft(band) + kDenseWindowWidth / 2.0;
        const PointD a = map.StepU(middle, kDenseCodeHeight / 2.0);
        const PointD b = map.StepV(middle, kDenseCodeHeight / 2.0);
        const double scale = std::sqrt(std::sqrt(a.x * a.x + a.y * a.y) * std::sqrt(b.x * b.x + b.y * b.y));
        if (!std::isfinite(scale)) continue;
        // A band wholly beyond the picture has no cell to sample.
        if (!map.MayReach(DenseBandLeft(band), DenseBandLeft(band) + kDenseWindowWidth, 0, kDenseCodeHeight,
                          image.width, image.height, 8)) {
            continue;
        }
        const int side = scale < 1.5 ? 1 : std::min(8, int(std::lround(scale)));
        for (int t = 0; t < kDenseBandBytes; ++t) {
            const int n = band * kDenseBandBytes + t;
            for (int bit = 0; bit < 8; ++bit) {
                const PointD code = DenseCellSamplePoint(n, bit);
                const PointD p = map.Apply(code.x, code.y);
                if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
                float& level = levels[std::size_t(8 * n + bit)];
                if (side == 1) {
                    // A code pixel about one picture pixel: the pixels around
                    // the point weighted by their distance, so that one
                    // noisy pixel counts for less than the dot's blur.
                    const auto cx = static_cast<std::int32_t>(std::floor(p.x));
                    const auto cy = static_cast<std::int32_t>(std::floor(p.y));
                    if (cx < 1 || cy < 1 || cx + 1 >= image.width || cy + 1 >= image.height) continue;
                    // The weight exp(-d^2 / 2 sigma^2) is a product of one
                    // factor across and one down, and the factors of the
                    // three pixels of a row differ by exp(-2 k f) and exp(-k)
                    // for offset f: four exponentials a cell, not nine.
                    const auto weights = [](double f) {
                        const double g = std::exp(-kSpread * f * f);
                        const double h = std::exp(-2 * kSpread * f);
                        return std::array<double, 3>{g * kSpreadStep / h, g, g * kSpreadStep * h};
                    };
                    const std::array<double, 3> wx = weights(cx + 0.5 - p.x);
                    const std::array<double, 3> wy = weights(cy + 0.5 - p.y);
                    double sum = 0;
                    for (int j = 0; j < 3; ++j) {
                        const std::uint8_t* row = image.Row(cy + j - 1) + (cx - 1);
                        sum += wy[std::size_t(j)] * (wx[0] * row[0] + wx[1] * row[1] + wx[2] * row[2]);
                    }
                    const double weight = (wx[0] + wx[1] + wx[2]) * (wy[0] + wy[1] + wy[2]);
                    level = float(sum / weight);
                    continue;
                }
                const double fx = std::floor(p.x - side / 2.0 + 0.5);
                const double fy = std::floor(p.y - side / 2.0 + 0.5);
                if (fx < 0 || fy < 0 || fx + side > image.width || fy + side > image.height) continue;
                const auto x0 = static_cast<std::int32_t>(fx);
                const auto y0 = static_cast<std::int32_t>(fy);
                std::size_t count = 0;
                for (int j = 0; j < side; ++j) {
                    const std::uint8_t* row = image.Row(y0 + j) + x0;
                    for (int i = 0; i < side; ++i) block[count++] = row[i];
                }
                const auto mid = block.begin() + std::ptrdiff_t(count / 2);
                std::nth_element(block.begin(), mid, block.begin() + std::ptrdiff_t(count));
                float value = *mid;
                if (count % 2 == 0) value = (value + float(*std::max_element(block.begin(), mid))) / 2;
                level = value;
            }
        }
    }
}

}  // namespace zeseal::densecode
