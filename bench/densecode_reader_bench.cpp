// Reading the dense code from scans: a 600-dpi crop of 5600 x 800 pixels
// around the code (target: 40 ms or less), and a whole A4 page at 600 dpi
// with the code somewhere on it (target: 400 ms or less). The scans are
// made once, turned a degree and blurred a little; each run is checked to
// read them back.
//
// The peer is zxing-cpp (libzxing-dev) reading QR codes of the same
// payload, 6600 bytes as three codes of 2200 bytes at level M (version 39),
// whose modules are as large as the dense code's cells (1/150 inch), from
// scans damaged the same way: three crops of 1000 x 1000 pixels, and an A4
// page with the three codes on it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#if ZESEAL_BENCH_HAVE_ZXING
#include <ZXing/BitMatrix.h>
#include <ZXing/CharacterSet.h>
#include <ZXing/MultiFormatWriter.h>
#include <ZXing/ReadBarcode.h>
#endif

#include "comparison.h"
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

// The scanner's damage for every benchmark here.
dc::testing::ScanDamage Damage() {
    dc::testing::ScanDamage damage;
    damage.dpi = 600;
    damage.angleDegrees = 1;
    damage.blurSigma = 0.8;
    damage.noiseSigma = 6;
    return damage;
}

dc::testing::Scan MakeScan(std::int32_t width, std::int32_t height, double x, double y) {
    const zeseal::frame::HeapBlock code = dc::EncodeDenseCode(Message().data());
    dc::testing::ScanDamage damage = Damage();
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

#if ZESEAL_BENCH_HAVE_ZXING

constexpr int kQrCodes = 3;
constexpr std::size_t kQrBytes = dc::kDenseInputBytes / kQrCodes;  // 2200
constexpr int kModulePixels = 4;  // at 600 dpi: 1/150 inch

std::vector<std::uint8_t> QrPayload(int k) {
    return {Message().begin() + std::ptrdiff_t(k * kQrBytes), Message().begin() + std::ptrdiff_t((k + 1) * kQrBytes)};
}

// QR code k as printed at 600 dpi, with its quiet zone: black 0.
ZXing::BitMatrix QrModules(int k) {
    const std::vector<std::uint8_t> bytes = QrPayload(k);
    // Each byte as one character of ISO 8859-1, so the code carries the bytes.
    const std::wstring text(bytes.begin(), bytes.end());
    return ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode)
        .setEncoding(ZXing::CharacterSet::ISO8859_1)
        .setEccLevel(4)  // level M
        .setMargin(4)
        .encode(text, 0, 0);
}

// A white printed page with QR code k's centre at each of the given places.
void PrintQr(std::vector<std::uint8_t>& page, int width, int k, int centreX, int centreY) {
    const ZXing::BitMatrix modules = QrModules(k);
    const int left = centreX - modules.width() * kModulePixels / 2;
    const int top = centreY - modules.height() * kModulePixels / 2;
    for (int y = 0; y < modules.height() * kModulePixels; ++y) {
        for (int x = 0; x < modules.width() * kModulePixels; ++x) {
            if (modules.get(x / kModulePixels, y / kModulePixels)) {
                page[std::size_t(top + y) * std::size_t(width) + std::size_t(left + x)] = 0;
            }
        }
    }
}

dc::testing::Scan ScanQrPage(int width, int height, const std::vector<std::array<int, 3>>& codes) {
    std::vector<std::uint8_t> page(std::size_t(width) * std::size_t(height), 255);
    for (const auto& [k, x, y] : codes) PrintQr(page, width, k, x, y);
    return dc::testing::ScanPrintedPage(page, width, height, 600, Damage());
}

ZXing::DecodeHints QrHints() {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    return hints;
}

ZXing::ImageView View(const dc::testing::Scan& scan) {
    return {scan.grey.data(), scan.width, scan.height, ZXing::ImageFormat::Lum};
}

bool Carries(const ZXing::Result& result, int k) {
    const std::vector<std::uint8_t> bytes = QrPayload(k);
    return result.isValid() && result.bytes().size() == bytes.size() &&
           std::equal(bytes.begin(), bytes.end(), result.bytes().begin());
}

void ZxingQrReadThreeCrops600(benchmark::State& state) {
    static const std::vector<dc::testing::Scan> crops = [] {
        std::vector<dc::testing::Scan> scans;
        for (int k = 0; k < kQrCodes; ++k) scans.push_back(ScanQrPage(1000, 1000, {{k, 500, 500}}));
        return scans;
    }();
    const ZXing::DecodeHints hints = QrHints();
    for (auto _ : state) {
        for (int k = 0; k < kQrCodes; ++k) {
            const ZXing::Result result = ZXing::ReadBarcode(View(crops[std::size_t(k)]), hints);
            if (!Carries(result, k)) {
                state.SkipWithError("a QR crop was not read back");
                return;
            }
        }
    }
}
BENCHMARK(ZxingQrReadThreeCrops600)->Unit(benchmark::kMillisecond);

void ZxingQrReadA4Page600(benchmark::State& state) {
    static const dc::testing::Scan scan = ScanQrPage(7016, 4960, {{0, 1200, 1200}, {1, 3500, 3000}, {2, 5800, 1600}});
    const ZXing::DecodeHints hints = QrHints();
    for (auto _ : state) {
        const ZXing::Results results = ZXing::ReadBarcodes(View(scan), hints);
        int read = 0;
        for (int k = 0; k < kQrCodes; ++k) {
            read += std::any_of(results.begin(), results.end(), [k](const ZXing::Result& r) { return Carries(r, k); });
        }
        if (read != kQrCodes) {
            state.SkipWithError("the QR codes on the page were not all read back");
            return;
        }
    }
}
BENCHMARK(ZxingQrReadA4Page600)->Unit(benchmark::kMillisecond);

ZESEAL_COMPARE(DenseScanReadCrop600, ZxingQrReadThreeCrops600, zeseal::bench::Target::MaxMilliseconds(40));
ZESEAL_COMPARE(DenseScanReadA4Page600, ZxingQrReadA4Page600, zeseal::bench::Target::MaxMilliseconds(400));
#else
ZESEAL_BENCH_NOTE("zxing-cpp (libzxing-dev) not found: the scan reader is not compared with a QR reader");
#endif

}  // namespace
