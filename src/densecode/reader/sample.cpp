#include "densecode/reader/sample.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "densecode/layout.h"

namespace zeseal::densecode {
namespace {

// The weights, across or down, of the three pixels around a sample point
// for a dot of about one picture pixel (sigma 0.45 pixel), by the point's
// offset from the middle pixel's centre in 64ths of a pixel: a table, as
// exp for every pixel of every cell cost more than the rest of the
// sampling, and the 128th of a pixel it rounds to is far below the blur.
constexpr int kWeightSteps = 64;
using PixelWeights = std::array<double, 3>;

const std::array<PixelWeights, kWeightSteps> kPixelWeights = [] {
    std::array<PixelWeights, kWeightSteps> table{};
    for (int k = 0; k < kWeightSteps; ++k) {
        const double f = (k + 0.5) / kWeightSteps - 0.5;
        for (int i = -1; i <= 1; ++i) {
            table[std::size_t(k)][std::size_t(i + 1)] = std::exp(-(f + i) * (f + i) / (2 * 0.45 * 0.45));
        }
    }
    return table;
}();

// f: the offset, -0.5 to 0.5.
const PixelWeights& WeightsAt(double f) noexcept {
    const int k = std::clamp(static_cast<int>(std::floor((f + 0.5) * kWeightSteps)), 0, kWeightSteps - 1);
    return kPixelWeights[std::size_t(k)];
}

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
                    // The middle pixel and its eight neighbours inside the
                    // picture, judged before the point is made an index.
                    if (p.x < 1 || p.y < 1 || p.x >= image.width - 1 || p.y >= image.height - 1) continue;
                    const auto cx = static_cast<std::int32_t>(std::floor(p.x));
                    const auto cy = static_cast<std::int32_t>(std::floor(p.y));
                    // The weight exp(-d^2 / 2 sigma^2) is a product of one
                    // factor across and one down.
                    const PixelWeights& wx = WeightsAt(cx + 0.5 - p.x);
                    const PixelWeights& wy = WeightsAt(cy + 0.5 - p.y);
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
