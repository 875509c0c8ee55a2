// DrawOnPage of the 2528 x 128 water code onto a 600-dpi A4 page (doubled,
// ANDed), beside pixman's nearest-neighbour composite of the same area.
#include <benchmark/benchmark.h>
#include <zeseal/zeseal_posix.h>
#if ZESEAL_BENCH_HAVE_PIXMAN
#include <pixman.h>
#endif

#include <algorithm>
#include <random>
#include <vector>

#include "comparison.h"
#include "marks/bitmap_holder.h"
#include "marks/draw_on_page.h"
#include "seams/page_device.h"

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

#if ZESEAL_BENCH_HAVE_PIXMAN
// pixman's nearest-neighbour composite of the same picture at the same scale
// onto the same area of a 600-dpi A4 page: the code taken once through its
// colour table into 32-bit pixels (pixman has no fast path for an indexed
// source), drawn with SRC, the page clipping it as it clips ours.
void DrawOnPagePixmanNearest(benchmark::State& state) {
    zeseal::marks::BitmapHolder code;
    FillCode(code);
    const std::uint8_t* palette = code.PaletteOf();
    std::vector<std::uint32_t> source(2528 * 128);
    for (int y = 0; y < 128; ++y) {
        const std::uint8_t* in = code.rows()[y];  // top row first
        for (int x = 0; x < 2528; ++x) {
            const std::uint8_t* colour = palette + 4 * in[x];
            source[std::size_t(y) * 2528 + std::size_t(x)] =
                0xFF000000u | std::uint32_t(colour[2]) << 16 | std::uint32_t(colour[1]) << 8 | colour[0];
        }
    }
    std::vector<std::uint32_t> pageBits(std::size_t(kA4Width) * kA4Height, 0xFFFFFFFFu);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_x8r8g8b8, 2528, 128, source.data(), 2528 * 4);
    pixman_image_t* dest = pixman_image_create_bits(PIXMAN_x8r8g8b8, kA4Width, kA4Height, pageBits.data(),
                                                    kA4Width * 4);
    pixman_transform_t half;
    pixman_transform_init_scale(&half, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(src, &half);
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    const int destX = 560, destY = 4200, destW = 5056, destH = 256;
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dest, 0, 0, 0, 0, destX, destY,
                                 std::min(destW, kA4Width - destX), destH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dest);
}
BENCHMARK(DrawOnPagePixmanNearest)->Unit(benchmark::kMillisecond);
ZESEAL_COMPARE(DrawOnPageWaterCode, DrawOnPagePixmanNearest, zeseal::bench::Target::MaxRatio(1.5));
#else
ZESEAL_BENCH_NOTE("pixman not found: DrawOnPageWaterCode is not compared with pixman");
#endif

}  // namespace
