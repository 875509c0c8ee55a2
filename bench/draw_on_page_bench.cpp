// DrawOnPage of the 2528 x 128 water code onto a 600-dpi A4 page, beside a
// per-pixel transfer that works out every destination pixel's source on its
// own.
#include <benchmark/benchmark.h>
#include <zeseal/zeseal_posix.h>

#include <cmath>
#include <random>
#include <vector>

#include "comparison.h"
#include "marks/bitmap_holder.h"
#include "marks/draw_on_page.h"
#include "seams/page_device.h"
#include "raster/rgb_page.h"

namespace {

constexpr int kA4Width = 4961;
constexpr int kA4Height = 7016;

void FillCode(zeseal::marks::BitmapHolder& code) {
    code.Create(2528, 128, 8);
    std::mt19937 random(3);
    for (std::size_t i = 0; i < code.pixelBytes(); ++i) code.pixels()[i] = (random() & 1) ? 0 : 255;
}

void DrawOnPageWaterCode(benchmark::State& state) {
    const HDC dc = iZeHostPageCreate(kA4Width, kA4Height, 600, 600);
    auto page = zeseal::platform::AttachPageDevice(dc);
    zeseal::marks::BitmapHolder code;
    FillCode(code);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zeseal::marks::DrawOnPage(*page, code.header(), code.pixels(), 2528,
                                                           128, 250, 2100, 300,
                                                           zeseal::marks::kRasterAnd));
    }
    page.reset();
    iZeHostPageDestroy(dc);
}
BENCHMARK(DrawOnPageWaterCode)->Unit(benchmark::kMillisecond);

// The same placement and AND, computing each destination pixel's source
// with floating-point scaling and reading it through the colour table.
void DrawOnPagePerPixel(benchmark::State& state) {
    auto page = zeseal::raster::MakeWhitePage(kA4Width, kA4Height, 600, 600);
    zeseal::marks::BitmapHolder code;
    FillCode(code);
    const std::uint8_t* palette = code.PaletteOf();
    const int destX = 560, destY = 4200, destW = 5056, destH = 256;
    for (auto _ : state) {
        for (int y = 0; y < destH && destY + y < page->height; ++y) {
            const int sy = int(std::floor((y + 0.5) * 128.0 / destH));
            const std::uint8_t* in = code.rows()[sy];
            std::uint8_t* out = page->Row(destY + y);
            for (int x = 0; x < destW && destX + x < page->width; ++x) {
                const int sx = int(std::floor((x + 0.5) * 2528.0 / destW));
                const std::uint8_t* colour = palette + 4 * in[sx];
                std::uint8_t* p = out + 3 * (destX + x);
                p[0] &= colour[2];
                p[1] &= colour[1];
                p[2] &= colour[0];
            }
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(DrawOnPagePerPixel)->Unit(benchmark::kMillisecond);
ZESEAL_COMPARE(DrawOnPageWaterCode, DrawOnPagePerPixel, zeseal::bench::Target::MaxMilliseconds(3.0));

}  // namespace
