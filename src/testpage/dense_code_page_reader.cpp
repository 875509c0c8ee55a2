#include "testpage/dense_code_page_reader.h"

#include "marks/draw_on_page.h"
#include "testpage/dense_code_layout.h"

namespace zeseal::testpage {
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

class PageSampler {
public:
    PageSampler(const DensePageRaster& page, const marks::Placement& at) : page_(page), at_(at) {}

    // 0: white, 1: black, 2: unsure; the code pixel is (x, y) from the top.
    int Classify(int x, int y) const noexcept {
        const Span across = PagePixelsOf(x, kDenseCodeWidth, at_.destWidth);
        const Span down = PagePixelsOf(y, kDenseCodeHeight, at_.destHeight);
        int dark = 0;
        int total = 0;
        for (std::int32_t py = down.first; py <= down.last; ++py) {
            const std::uint8_t* row = page_.pixels + std::size_t(at_.destY + py) * page_.rowBytes;
            for (std::int32_t px = across.first; px <= across.last; ++px) {
                const std::uint8_t* p = row + std::size_t(at_.destX + px) * std::size_t(page_.channels);
                const unsigned level = page_.channels == 1 ? 3u * p[0] : unsigned(p[0]) + p[1] + p[2];
                dark += level < 3u * 128u;
                ++total;
            }
        }
        if (4 * dark >= 3 * total) return 1;
        if (4 * dark <= total) return 0;
        return 2;
    }

private:
    const DensePageRaster& page_;
    marks::Placement at_;
};

}  // namespace

DenseCodeReading ReadDenseCodeFromPage(const DensePageRaster& page, std::int32_t x, std::int32_t y) {
    DenseCodeReading refused;
    if (page.pixels == nullptr || page.width < 1 || page.height < 1 ||
        (page.channels != 1 && page.channels != 3) ||
        page.rowBytes < std::size_t(page.width) * std::size_t(page.channels)) {
        return refused;
    }
    if (page.dpiX < kCodeDpi || page.dpiY < kCodeDpi) {
        refused.status = DenseReadStatus::kResolutionTooLow;
        return refused;
    }
    const marks::Placement at = marks::PlaceOnPage(page.dpiX, page.dpiY, page.clipLeft, kDenseCodeWidth,
                                                   kDenseCodeHeight, x, y, kCodeDpi);
    if (at.destX < 0 || at.destY < 0 || at.destWidth < kDenseCodeWidth ||
        at.destHeight < kDenseCodeHeight ||
        std::int64_t{at.destX} + at.destWidth > page.width ||
        std::int64_t{at.destY} + at.destHeight > page.height) {
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

}  // namespace zeseal::testpage
