// Reading the dense code from scans: a 600-dpi crop of 5600 x 800 pixels
// around the code (target: 40 ms or less), and a whole A4 page at 600 dpi
// with the code somewhere on it (target: 400 ms or less). The scans are
// made once, turned a degree and blurred a little; each run is checked to
// read them back.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "densecode/encoder.h"
#include "densecode/reader/scan_reader.h"
#include "support/dense_code_scans.h"

namespace {

namespace dc = zeseal::densecode;

const std::vector<std::uint8_t>& Message() {
    static const std::vector<std::uint8_t> input = [] {
        std::mt19937 random(77);
        std::vector<std::uint8_t> bytes(dc::kDenseInputBytes);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        return bytes;
    }();
    return input;
}

dc::testing::Scan MakeScan(std::int32_t width, std::int32_t height, double x, double y) {
    const zeseal::frame::HeapBlock code = dc::EncodeDenseCode(Message().data());
    dc::testing::ScanDamage damage;
    damage.dpi = 600;
    damage.angleDegrees = 1;
    damage.blurSigma = 0.8;
    damage.noiseSigma = 6;
    damage.clutter = true;
    damage.pageWidth = width;
    damage.pageHeight = height;
    damage.placeX = x;
    damage.placeY = y;
    return dc::testing::ScanDenseCode(code.data(), damage);
}

void Read(benchmark::State& state, const dc::testing::Scan& scan) {
    const dc::GreyView view{scan.grey.data(), scan.width, scan.height, std::size_t(scan.width)};
    dc::DenseScanOptions options;
    options.dpi = 600;
    for (auto _ : state) {
        const dc::DenseScanReading read = dc::ReadDenseCodeFromScan(view, options);
        if (!read.reading.ok() || read.reading.bytes != Message()) {
            state.SkipWithError("the scan was not read back");
            return;
        }
        benchmark::DoNotOptimize(read.reading.bytes.data());
    }
}

void DenseScanReadCrop600(benchmark::State& state) {
    static const dc::testing::Scan scan = MakeScan(5600, 800, 2800, 400);
    Read(state, scan);
}
BENCHMARK(DenseScanReadCrop600)->Unit(benchmark::kMillisecond);

void DenseScanReadA4Page600(benchmark::State& state) {
    static const dc::testing::Scan scan = MakeScan(7016, 4960, 3600, 3100);
    Read(state, scan);
}
BENCHMARK(DenseScanReadA4Page600)->Unit(benchmark::kMillisecond);

}  // namespace
