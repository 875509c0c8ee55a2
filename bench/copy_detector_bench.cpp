// Building one copy-detection pattern image (render, threshold, smooth,
// write the BMP image), beside the floor of the same work without the
// rendering: a picture rendered once is copied in, thresholded, smoothed and
// written.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "catalogue/model_record.h"
#include "comparison.h"
#include "marks/bitmap_holder.h"
#include "marks/copy_detector_pattern.h"
#include "marks/copy_detector_style.h"

namespace {

using namespace zeseal;

// The costliest settings: pitch 2 with 2 x 2 dots, smoothed.
marks::CopyDetectorStyle CostliestStyle() {
    catalogue::ModelRecord record{};
    record.dotShape = 22;
    record.dotPitch = 2;
    record.smoothPattern = 1;
    return marks::MakeCopyDetectorStyle(record, false);
}

void BuildPatternImage(benchmark::State& state) {
    const marks::CopyDetectorStyle style = CostliestStyle();
    std::vector<std::uint8_t> out(marks::kPatternImageSize);
    for (auto _ : state) {
        benchmark::DoNotOptimize(marks::BuildPatternImage(style, out.data()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BuildPatternImage)->Unit(benchmark::kMillisecond);

void WritePrerenderedPattern(benchmark::State& state) {
    std::vector<std::uint8_t> rendered(marks::kPatternImageSize);
    marks::BuildPatternImage(CostliestStyle(), rendered.data());
    std::vector<std::uint8_t> out(marks::kPatternImageSize);
    for (auto _ : state) {
        marks::BitmapHolder image;
        image.Create(marks::kPatternWidth, marks::kPatternHeight, 8);
        std::memcpy(image.pixels(), rendered.data() + 1078, image.pixelBytes());
        image.SetResolution(600, 600, 0);
        for (std::size_t i = 0; i < image.pixelBytes(); ++i) {
            if (image.pixels()[i] != 0) image.pixels()[i] = 255;
        }
        marks::BitmapHolder smoothed;
        smoothed.CopyFrom(image);
        smoothed.Smooth3x3(image);
        image.CopyFrom(smoothed);
        benchmark::DoNotOptimize(image.WriteBmpFile(out.data()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(WritePrerenderedPattern)->Unit(benchmark::kMillisecond);
ZESEAL_COMPARE(BuildPatternImage, WritePrerenderedPattern, zeseal::bench::Target::MaxMilliseconds(5.0));

}  // namespace
