#include "densecode/reader/page_reader.h"

#include <algorithm>
#include <array>

#include "marks/draw_on_page.h"
#include "densecode/layout.h"

namespace zeseal::densecode {
namespace {

constexpr std::int32_t kCodeDpi = 300;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) noexcept {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The page pixels [first, last] that show code pixel s when `source` code
// pixels are stretched over `dest` page pixels (dest >= source): those whose
// centre falls inside s.
struct Span {
    std::int32_t first = 0;
    std::int32_t last = 0;
};
Span PagePixelsOf(std::int64_t s, std::int64_t source, std::int64_t dest) noexcept {
    const std::int64_t first = FloorDiv(2 * dest * s - source, 2 * source) + 1;
    std::int64_t last = FloorDiv(2 * dest * (s + 1) - source, 2 * source);
    if (last < first) last = first;
    return {static_cast<std::int32_t>(first), static_cast<std::int32_t>(last)};
}

// A span of the code's rectangle moved to page coordinates and cut to the
// page's 0..size - 1; empty (last < first) when nothing is left.
Span Clip(Span span, std::int32_t origin, std::int32_t size) noexcept {
    const std::int64_t first = std::max<std::int64_t>(0, std::int64_t{origin} + span.first);
    const std::int64_t last = std::min<std::int64_t>(std::int64_t{size} - 1, std::int64_t{origin} + span.last);
    return {static_cast<std::int32_t>(first), static_cast<std::int32_t>(std::max(last, first - 1))};
}

class PageSampler {
public:
    // The page pixels of every code column and row are worked out once.
    PageSampler(const DensePageRaster& page, const marks::Placement& at) : page_(page) {
        for (int x = 0; x < kDenseCodeWidth; ++x) {
            across_[std::size_t(x)] = Clip(PagePixelsOf(x, kDenseCodeWidth, at.destWidth), at.destX, page.width);
        }
        for (int y = 0; y < kDenseCodeHeight; ++y) {
            down_[std::size_t(y)] = Clip(PagePixelsOf(y, kDenseCodeHeight, at.destHeight), at.destY, page.height);
        }
    }

    // 0: white, 1: black, 2: unsure; the code pixel is (x, y) from the top.
    // Page pixels beyond the page's edges are not seen: a pixel with none
    // left is unsure.
    int Classify(int x, int y) const noexcept {
        const Span across = across_[std::size_t(x)];
        const Span down = down_[std::size_t(y)];
        int dark = 0;
        int total = 0;
        for (std::int32_t py = down.first; py <= down.last; ++py) {
            const std::uint8_t* row = page_.pixels + std::size_t(py) * page_.rowBytes;
            for (std::int32_t px = across.first; px <= across.last; ++px) {
                const std::uint8_t* p = row + std::size_t(px) * std::size_t(page_.channels);
                const unsigned level = page_.channels == 1 ? 3u * p[0] : unsigned(p[0]) + p[1] + p[2];
                dark += level < 3u * 128u;
                ++total;
            }
        }
        if (total == 0) return 2;
        if (4 * dark >= 3 * total) return 1;
        if (4 * dark <= total) return 0;
        return 2;
    }

private:
    const DensePageRaster& page_;
    std::array<Span, kDenseCodeWidth> across_{};
    std::array<Span, kDenseCodeHeight> down_{};
};

}  // namespace

DenseCodeReading ReadDenseCodeFromPage(const DensePageRaster& page, std::int32_t x, std::int32_t y) {
    DenseCodeReading refused;
    // The row's length in 64 bits: a width near 2^31 times 3 channels would
    // wrap a 32-bit size_t to a few bytes and pass for a short row.
    if (page.pixels == nullptr || page.width < 1 || page.height < 1 ||
        (page.channels != 1 && page.channels != 3) ||
        std::uint64_t{page.rowBytes} < std::uint64_t(page.width) * std::uint64_t(page.channels)) {
        return refused;
    }
    if (page.dpiX < kCodeDpi || page.dpiY < kCodeDpi) {
        refused.status = DenseReadStatus::kResolutionTooLow;
        return refused;
    }
    const marks::Placement at = marks::PlaceOnPage(page.dpiX, page.dpiY, page.clipLeft, kDenseCodeWidth,
                                                   kDenseCodeHeight, x, y, kCodeDpi);
    // A code cut by the page's edges (the test page's runs past the right
    // edge of A4 paper) is read from what is left, its lost cells unsure.
    if (at.destWidth < kDenseCodeWidth || at.destHeight < kDenseCodeHeight ||
        std::int64_t{at.destX} >= page.width || std::int64_t{at.destY} >= page.height ||
        std::int64_t{at.destX} + at.destWidth <= 0 || std::int64_t{at.destY} + at.destHeight <= 0) {
        refused.status = DenseReadStatus::kOutsidePage;
        return refused;
    }

    const PageSampler sampler(page, at);
    const DenseBandCells& cells = DenseBandCellPlaces();
    DenseStreamSample sample;
    for (int band = 0; band < kDenseBands; ++band) {
        const int left = DenseBandLeft(band);
        for (int t = 0; t < kDenseBandBytes; ++t) {
            const std::size_t n = std::size_t(band) * kDenseBandBytes + std::size_t(t);
            unsigned byte = 0;
            bool unsure = false;
            for (int bit = 0; bit < 8; ++bit) {
                const DenseCellPlace& place = cells[std::size_t(t)][std::size_t(bit)];
                const int verdict = sampler.Classify(left + place.column, DenseCellSampleRow(place));
                byte |= unsigned(verdict == 1) << bit;
                unsure = unsure || verdict == 2;
            }
            sample.bytes[n] = static_cast<std::uint8_t>(byte);
            sample.unsure[n] = unsure;
        }
    }
    return DecodeDenseStream(sample);
}

}  // namespace zeseal::densecode
