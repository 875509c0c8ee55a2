#include "densecode/reader/threshold.h"

#include <array>

#include <algorithm>
#include <cmath>

#include "densecode/layout.h"
#include "densecode/reader/sample.h"

namespace zeseal::densecode {
namespace {

constexpr int kRowTiles = 4;
// Where between the black group's mean (0) and the white group's (1) the
// threshold lies, and how near to it (as a share of the distance between
// them) a cell is unsure.
constexpr double kThresholdAt = 0.62;
constexpr double kUnsureWithin = 0.25;

struct Tile {
    double threshold = 0;
    double contrast = 0;  // white mean minus black mean
    bool valid = false;
};

int TileRow(int n, int bit) noexcept {
    const DenseCellPlace& place = DenseBandCellPlaces()[std::size_t(n % kDenseBandBytes)][std::size_t(bit)];
    return std::clamp((place.row - kDenseFirstGroupRow) * kRowTiles / (kDenseRowGroups * kDenseRowGroupHeight), 0,
                      kRowTiles - 1);
}

// For every cell, the cells to its right, above it and above right (index
// 8 n + bit), or -1 where there is none (the quiet rows and columns, the
// timing squares and the gaps between bands are not cells).
struct Neighbours {
    std::vector<std::array<std::int32_t, 3>> of;
};

const Neighbours& CellNeighbours() {
    static const Neighbours table = [] {
        constexpr int columns = kDenseCodeWidth / 2;
        constexpr int rows = kDenseCodeHeight / 2;
        std::vector<std::int32_t> grid(std::size_t(columns * rows), -1);
        for (int n = 0; n < int(kDenseStreamBytes); ++n) {
            for (int bit = 0; bit < 8; ++bit) {
                const DenseCellPlace& place = DenseBandCellPlaces()[std::size_t(n % kDenseBandBytes)][std::size_t(bit)];
                const int x = (DenseBandLeft(n / kDenseBandBytes) + place.column) / 2;
                grid[std::size_t(place.row / 2 * columns + x)] = 8 * n + bit;
            }
        }
        Neighbours t;
        t.of.resize(std::size_t(kDenseCells));
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < columns; ++x) {
                const std::int32_t cell = grid[std::size_t(y * columns + x)];
                if (cell < 0) continue;
                auto at = [&](int cx, int cy) {
                    return cx < columns && cy >= 0 ? grid[std::size_t(cy * columns + cx)] : -1;
                };
                t.of[std::size_t(cell)] = {at(x + 1, y), at(x, y - 1), at(x + 1, y - 1)};
            }
        }
        return t;
    }();
    return table;
}

double Median(std::vector<float>& values) {
    const auto mid = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

Tile TwoGroups(const std::vector<float>& values) {
    Tile tile;
    if (values.size() < 32) return tile;
    double lo = 255, hi = 0, sum = 0;
    for (const float v : values) lo = std::min(lo, double(v)), hi = std::max(hi, double(v)), sum += v;
    double split = sum / double(values.size());
    double black = lo, white = hi;
    for (int pass = 0; pass < 10; ++pass) {
        double sb = 0, sw = 0;
        int nb = 0, nw = 0;
        for (const float v : values) {
            if (v < split) sb += v, ++nb;
            else sw += v, ++nw;
        }
        if (nb == 0 || nw == 0) return tile;
        black = sb / nb;
        white = sw / nw;
        const double next = (black + white) / 2;
        if (std::fabs(next - split) < 0.01) break;
        split = next;
    }
    tile.contrast = white - black;
    tile.threshold = black + kThresholdAt * tile.contrast;
    tile.valid = tile.contrast >= 12;
    return tile;
}

}  // namespace

void ThresholdDenseCells(const std::vector<float>& levels, DenseStreamSample& sample,
                         DenseByteConfidence& confidence) {
    std::vector<Tile> tiles(std::size_t(kDenseBands * kRowTiles));
    {
        std::vector<std::vector<float>> values(tiles.size());
        for (int n = 0; n < int(kDenseStreamBytes); ++n) {
            const int band = n / kDenseBandBytes;
            for (int bit = 0; bit < 8; ++bit) {
                const float v = levels[std::size_t(8 * n + bit)];
                if (v >= 0) values[std::size_t(band * kRowTiles + TileRow(n, bit))].push_back(v);
            }
        }
        for (std::size_t i = 0; i < tiles.size(); ++i) tiles[i] = TwoGroups(values[i]);
    }
    // Then again from the first decisions: the threshold halfway between
    // the white cells and the weakest black ones, the cells that the
    // thinning left a single code pixel (no black cell to the right, above
    // or above right).
    {
        const Neighbours& near = CellNeighbours();
        std::vector<std::uint8_t> black(std::size_t(kDenseCells), 2);
        for (int n = 0; n < int(kDenseStreamBytes); ++n) {
            const int band = n / kDenseBandBytes;
            for (int bit = 0; bit < 8; ++bit) {
                const int cell = 8 * n + bit;
                const float v = levels[std::size_t(cell)];
                const Tile& tile = tiles[std::size_t(band * kRowTiles + TileRow(n, bit))];
                if (v >= 0 && tile.valid) black[std::size_t(cell)] = v < tile.threshold;
            }
        }
        std::vector<std::vector<float>> whites(tiles.size()), lone(tiles.size());
        for (int cell = 0; cell < kDenseCells; ++cell) {
            const int n = cell / 8;
            const std::size_t t = std::size_t((n / kDenseBandBytes) * kRowTiles + TileRow(n, cell % 8));
            if (black[std::size_t(cell)] == 0) whites[t].push_back(levels[std::size_t(cell)]);
            if (black[std::size_t(cell)] != 1) continue;
            bool alone = true;
            for (const std::int32_t other : near.of[std::size_t(cell)]) alone = alone && other >= 0 && black[std::size_t(other)] == 0;
            if (alone) lone[t].push_back(levels[std::size_t(cell)]);
        }
        for (std::size_t t = 0; t < tiles.size(); ++t) {
            if (!tiles[t].valid || whites[t].size() < 16 || lone[t].size() < 8) continue;
            const double white = Median(whites[t]);
            const double weakest = Median(lone[t]);
            if (white - weakest < 12) continue;
            tiles[t].threshold = (white + weakest) / 2;
            tiles[t].contrast = white - weakest;
        }
    }
    // Smoothed along the code with the neighbouring bands' tiles.
    std::vector<Tile> smooth(tiles.size());
    for (int band = 0; band < kDenseBands; ++band) {
        for (int r = 0; r < kRowTiles; ++r) {
            double threshold = 0, contrast = 0, weight = 0;
            for (int d = -1; d <= 1; ++d) {
                const int b = band + d;
                if (b < 0 || b >= kDenseBands) continue;
                const Tile& t = tiles[std::size_t(b * kRowTiles + r)];
                if (!t.valid) continue;
                const double w = d == 0 ? 2 : 1;
                threshold += w * t.threshold, contrast += w * t.contrast, weight += w;
            }
            Tile& s = smooth[std::size_t(band * kRowTiles + r)];
            s.valid = tiles[std::size_t(band * kRowTiles + r)].valid && weight > 0;
            if (weight > 0) s.threshold = threshold / weight, s.contrast = contrast / weight;
        }
    }
    for (int n = 0; n < int(kDenseStreamBytes); ++n) {
        const int band = n / kDenseBandBytes;
        unsigned byte = 0;
        double least = 1e9;
        for (int bit = 0; bit < 8; ++bit) {
            const float v = levels[std::size_t(8 * n + bit)];
            const Tile& tile = smooth[std::size_t(band * kRowTiles + TileRow(n, bit))];
            if (v < 0 || !tile.valid) {
                least = 0;
                continue;
            }
            byte |= unsigned(v < tile.threshold) << bit;
            least = std::min(least, std::fabs(v - tile.threshold) / tile.contrast);
        }
        sample.bytes[std::size_t(n)] = static_cast<std::uint8_t>(byte);
        sample.unsure[std::size_t(n)] = least < kUnsureWithin;
        confidence[std::size_t(n)] = static_cast<std::uint8_t>(std::min(255.0, least * 400));
    }
}

}  // namespace zeseal::densecode
