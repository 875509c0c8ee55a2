// The dense code: encoding 6600 bytes, and reading a clean and a damaged
// picture back, each beside the plain step-by-step version of the same
// steps (no library does this code), and the encoder also beside the
// physical floor: one write of its 323,584-byte picture. The encoders'
// pictures are checked to be identical before timing.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "comparison.h"
#include "densecode/encoder.h"
#include "densecode/layout.h"
#include "support/dense_code_plain.h"
#include "densecode/reader/reader.h"

namespace {

namespace dc = zeseal::densecode;

const std::vector<std::uint8_t>& Input() {
    static const std::vector<std::uint8_t> input = [] {
        std::mt19937 random(21);
        std::vector<std::uint8_t> bytes(dc::kDenseInputBytes);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        return bytes;
    }();
    return input;
}

const std::vector<std::uint8_t>& CleanImage() {
    static const std::vector<std::uint8_t> image = dc::plain::EncodeDenseCode(Input().data());
    return image;
}

// 27 wrong bytes in every codeword: the most the reader corrects without erasures.
const std::vector<std::uint8_t>& DamagedImage() {
    static const std::vector<std::uint8_t> image = [] {
        std::vector<std::uint8_t> damaged = CleanImage();
        std::mt19937 random(5);
        for (int j = 0; j < dc::kDenseBlocks; ++j) {
            for (int k = 0; k < dc::kDenseCorrectableErrors; ++k) {
                const std::size_t n = std::size_t(dc::kDenseBlocks) * std::size_t(9 * k + j % 9) + std::size_t(j);
                const int bit = int(random() % 8);
                const dc::DenseCellPlace& place = dc::DenseBandCellPlaces()[n % dc::kDenseBandBytes][std::size_t(bit)];
                const int x = dc::DenseBandLeft(int(n / dc::kDenseBandBytes)) + place.column;
                const int y = dc::DenseCellSampleRow(place);
                std::uint8_t& p = damaged[std::size_t(dc::kDenseCodeHeight - 1 - y) * dc::kDenseCodeWidth + std::size_t(x)];
                p = p < 128 ? 255 : 0;
            }
        }
        return damaged;
    }();
    return image;
}

void DenseCodeEncode(benchmark::State& state) {
    {
        const zeseal::frame::HeapBlock image = dc::EncodeDenseCode(Input().data());
        if (!image || std::memcmp(image.data(), CleanImage().data(), dc::kDenseImageBytes) != 0) {
            state.SkipWithError("the picture differs from the plain encoder's");
            return;
        }
    }
    for (auto _ : state) {
        zeseal::frame::HeapBlock image = dc::EncodeDenseCode(Input().data());
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(DenseCodeEncode);

void DenseCodeEncodePlain(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::uint8_t> image = dc::plain::EncodeDenseCode(Input().data());
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(DenseCodeEncodePlain);
ZESEAL_COMPARE(DenseCodeEncode, DenseCodeEncodePlain, zeseal::bench::Target::MaxMilliseconds(0.3));

// The floor of any encoder: the picture written once.
void DenseCodeImageWriteFloor(benchmark::State& state) {
    std::vector<std::uint8_t> image(dc::kDenseImageBytes);
    for (auto _ : state) {
        std::memset(image.data(), 0xFF, image.size());
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(DenseCodeImageWriteFloor);
ZESEAL_COMPARE(DenseCodeEncode, DenseCodeImageWriteFloor, zeseal::bench::Target::None());

void Read(benchmark::State& state, const std::vector<std::uint8_t>& image) {
    const dc::DenseCodeReading first = dc::DecodeDenseCode(image);
    if (!first.ok() || first.bytes != Input()) {
        state.SkipWithError("the reader did not restore the input");
        return;
    }
    for (auto _ : state) {
        dc::DenseCodeReading reading = dc::DecodeDenseCode(image);
        benchmark::DoNotOptimize(reading.bytes.data());
        benchmark::ClobberMemory();
    }
}

void ReadPlain(benchmark::State& state, const std::vector<std::uint8_t>& image) {
    const dc::plain::PlainTables tables = dc::plain::BuildTables();
    std::vector<std::uint8_t> out(dc::kDenseInputBytes);
    if (!dc::plain::DecodeDenseCode(tables, image, out.data()) || out != Input()) {
        state.SkipWithError("the plain reader did not restore the input");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(dc::plain::DecodeDenseCode(tables, image, out.data()));
        benchmark::ClobberMemory();
    }
}

void DenseCodeDecodeClean(benchmark::State& state) { Read(state, CleanImage()); }
void DenseCodeDecodeCleanPlain(benchmark::State& state) { ReadPlain(state, CleanImage()); }
void DenseCodeDecodeDamaged(benchmark::State& state) { Read(state, DamagedImage()); }
void DenseCodeDecodeDamagedPlain(benchmark::State& state) { ReadPlain(state, DamagedImage()); }
BENCHMARK(DenseCodeDecodeClean);
BENCHMARK(DenseCodeDecodeCleanPlain);
BENCHMARK(DenseCodeDecodeDamaged);
BENCHMARK(DenseCodeDecodeDamagedPlain);
ZESEAL_COMPARE(DenseCodeDecodeClean, DenseCodeDecodeCleanPlain, zeseal::bench::Target::None());
ZESEAL_COMPARE(DenseCodeDecodeDamaged, DenseCodeDecodeDamagedPlain, zeseal::bench::Target::None());

}  // namespace
