// Reading dense codes: the picture reader on arbitrary and on damaged
// pictures, and the page reader on arbitrary rasters and placements.
//
// Input layout, by the low two bits of byte 0:
//   0  the rest of the input, repeated, is the 2528 x 128 picture
//   1  bytes 1-4 seed a random 6600-byte message whose picture is damaged by
//      the rest, three bytes per pixel: a 19-bit pixel index (modulo the
//      picture size, big-endian in the first 19 bits), inverted
//   2  a page raster and a placement: see PageRead below
//   3  as 1, then the damaged picture is also read with a fuzzed set of
//      unsure bytes (bit n of the input's tail marks stream byte n)
// except when bits 2-4 of byte 0 are all set: then a small grey picture is
// read as a scan (see ScanRead below).
//
// Checked:
//  - a reading that succeeds reports at most 27 corrections per codeword
//    (more only with as many erasures), and re-encoding its bytes gives a
//    picture whose cells differ from the read ones in exactly the reported
//    number of bytes per codeword;
//  - a damaged picture with at most 27 wrong bytes in every codeword is read
//    back to its message;
//  - the page reader answers with a status and never reads outside the raster;
//  - the scan reader, and its registration and sampling under any map, never
//    read outside the picture (ASan watches the exact buffer).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "base/byte_order.h"
#include "fuzz_support.h"
#include "densecode/encoder.h"
#include "densecode/reader/page_reader.h"
#include "densecode/reader/reader.h"
#include "densecode/reader/register.h"
#include "densecode/reader/sample.h"
#include "densecode/reader/scan_reader.h"

namespace {

namespace dc = zeseal::densecode;
using zeseal::fuzz::ExactBuffer;

std::vector<std::uint8_t> Sample(const std::uint8_t* image) {
    dc::DenseStreamSample sample;
    dc::SampleDenseImage(image, sample);
    return {sample.bytes.begin(), sample.bytes.end()};
}

// Wrong bytes per codeword between two sampled streams.
std::vector<int> Differences(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::vector<int> wrong(dc::kDenseBlocks, 0);
    for (std::size_t n = 0; n < dc::kDenseFillerStart; ++n) wrong[n % dc::kDenseBlocks] += a[n] != b[n];
    return wrong;
}

void CheckConsistent(const dc::DenseCodeReading& reading, const std::vector<std::uint8_t>& read) {
    if (reading.status != dc::DenseReadStatus::kRead) {
        ZESEAL_FUZZ_CHECK(reading.status == dc::DenseReadStatus::kUncorrectable);
        ZESEAL_FUZZ_CHECK(reading.FailedCodewords() > 0);
        return;
    }
    ZESEAL_FUZZ_CHECK(reading.bytes.size() == dc::kDenseInputBytes);
    const zeseal::frame::HeapBlock again = dc::EncodeDenseCode(reading.bytes.data());
    ZESEAL_FUZZ_CHECK(again);
    const std::vector<int> wrong = Differences(Sample(again.data()), read);
    for (int j = 0; j < dc::kDenseBlocks; ++j) {
        const int corrected = reading.corrected[std::size_t(j)];
        ZESEAL_FUZZ_CHECK(corrected == wrong[std::size_t(j)]);
        ZESEAL_FUZZ_CHECK(2 * corrected - reading.erasures[std::size_t(j)] <= dc::kDenseParityBytes);
    }
}

void PictureRead(const std::uint8_t* data, std::size_t size) {
    ExactBuffer image(dc::kDenseImageBytes);
    for (std::size_t i = 0; i < image.size(); ++i) image.data()[i] = size == 0 ? 0 : data[i % size];
    const dc::DenseCodeReading reading = dc::DecodeDenseCode({image.data(), image.size()});
    CheckConsistent(reading, Sample(image.data()));
}

void DamagedRead(const std::uint8_t* data, std::size_t size, bool withUnsure) {
    if (size < 4) return;
    std::mt19937 random(zeseal::base::ReadBe32(data));
    std::vector<std::uint8_t> message(dc::kDenseInputBytes);
    for (auto& b : message) b = static_cast<std::uint8_t>(random());
    const zeseal::frame::HeapBlock clean = dc::EncodeDenseCode(message.data());
    ZESEAL_FUZZ_CHECK(clean);
    ExactBuffer image(dc::kDenseImageBytes);
    std::memcpy(image.data(), clean.data(), image.size());
    const std::size_t edits = withUnsure ? (size - 4) / 2 : size - 4;
    for (std::size_t i = 4; i + 3 <= 4 + edits; i += 3) {
        const std::uint32_t index = ((std::uint32_t{data[i]} << 11) | (std::uint32_t{data[i + 1]} << 3) |
                                     (data[i + 2] >> 5)) % dc::kDenseImageBytes;
        image.data()[index] = static_cast<std::uint8_t>(255 - image.data()[index]);
    }

    dc::DenseStreamSample sample;
    dc::SampleDenseImage(image.data(), sample);
    const std::vector<std::uint8_t> read(sample.bytes.begin(), sample.bytes.end());
    if (withUnsure) {
        const std::uint8_t* bits = data + 4 + edits;
        const std::size_t bitCount = (size - 4 - edits) * 8;
        for (std::size_t n = 0; n < dc::kDenseStreamBytes && n < bitCount; ++n) {
            sample.unsure[n] = (bits[n / 8] >> (n % 8)) & 1;
        }
        CheckConsistent(dc::DecodeDenseStream(sample), read);
        return;
    }
    const dc::DenseCodeReading reading = dc::DecodeDenseCode({image.data(), image.size()});
    CheckConsistent(reading, read);
    const std::vector<int> wrong = Differences(Sample(clean.data()), read);
    bool withinLimit = true;
    for (const int w : wrong) withinLimit = withinLimit && w <= dc::kDenseCorrectableErrors;
    if (withinLimit) {
        ZESEAL_FUZZ_CHECK(reading.ok());
        ZESEAL_FUZZ_CHECK(reading.bytes == message);
    }
}

// Bytes 0-1 width, 2 height / 2, 3 channels (odd: 3), 4 row padding,
// 5-6 dots per inch across (up to 1200), 7 down, 8-9 x, 10-11 y (signed,
// 1/300 inch); the rest, repeated, is the raster.
void PageRead(const std::uint8_t* data, std::size_t size) {
    if (size < 12) return;
    const std::int32_t width = 1 + (zeseal::base::ReadBe16(data) % 3000);
    const std::int32_t height = 1 + data[2] * 2;
    const std::int32_t channels = (data[3] & 1) ? 3 : 1;
    const std::size_t rowBytes = std::size_t(width) * std::size_t(channels) + data[4] % 8;
    const std::int32_t dpiX = zeseal::base::ReadBe16(data + 5) % 1300;
    const std::int32_t dpiY = 200 + data[7] * 4;
    const auto x = static_cast<std::int16_t>(zeseal::base::ReadBe16(data + 8));
    const auto y = static_cast<std::int16_t>(zeseal::base::ReadBe16(data + 10));
    ExactBuffer raster(rowBytes * std::size_t(height));
    const std::uint8_t* tail = data + 12;
    const std::size_t tailSize = size - 12;
    for (std::size_t i = 0; i < raster.size(); ++i) raster.data()[i] = tailSize == 0 ? 255 : tail[i % tailSize];

    dc::DensePageRaster page;
    page.pixels = raster.data();
    page.width = width;
    page.height = height;
    page.channels = channels;
    page.rowBytes = rowBytes;
    page.dpiX = dpiX;
    page.dpiY = dpiY;
    const dc::DenseCodeReading reading = dc::ReadDenseCodeFromPage(page, x, y);
    if (dpiX < 300 || dpiY < 300) ZESEAL_FUZZ_CHECK(reading.status == dc::DenseReadStatus::kResolutionTooLow);
    if (reading.ok()) ZESEAL_FUZZ_CHECK(reading.bytes.size() == dc::kDenseInputBytes);
}

// Byte 0 width (up to 512), 1 height (up to 128), 2 stride padding, 3 the
// resolution (0: unknown, else 20..275), 4 bit 0: also register and sample
// under the map of bytes 5-16 (six signed 16-bit numbers: origin, code
// pixel along u and v, in 1/64 picture pixel); the rest, repeated, is the
// picture. Pictures stay small so that a run takes a millisecond or so.
void ScanRead(const std::uint8_t* data, std::size_t size) {
    if (size < 17) return;
    const std::int32_t width = 1 + data[0] * 2;
    const std::int32_t height = 1 + data[1] / 2;
    const std::size_t stride = std::size_t(width) + data[2] % 5;
    const std::int32_t dpi = data[3] == 0 ? 0 : 20 + data[3];
    ExactBuffer picture(stride * std::size_t(height));
    const std::uint8_t* tail = data + 17;
    const std::size_t tailSize = size - 17;
    for (std::size_t i = 0; i < picture.size(); ++i) picture.data()[i] = tailSize == 0 ? 255 : tail[i % tailSize];
    const dc::GreyView view{picture.data(), width, height, stride};
    dc::DenseScanOptions options;
    options.dpi = dpi;
    const dc::DenseScanReading read = dc::ReadDenseCodeFromScan(view, options);
    if (read.reading.ok()) ZESEAL_FUZZ_CHECK(read.reading.bytes.size() == dc::kDenseInputBytes);
    if ((data[4] & 1) != 0) {
        auto number = [&](int i) { return static_cast<std::int16_t>(zeseal::base::ReadBe16(data + 5 + 2 * i)) / 64.0; };
        const dc::CodeMap map = dc::CodeMap::Affine({number(0), number(1)}, {number(2) / 16, number(3) / 16},
                                                    {number(4) / 16, number(5) / 16});
        std::vector<float> levels;
        dc::SampleDenseCells(view, map, levels);
        ZESEAL_FUZZ_CHECK(levels.size() == std::size_t(dc::kDenseCells));
        dc::DenseRegistration registration;
        dc::RegisterDenseCode(view, map, registration);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 16)) return 0;
    if ((data[0] & 0x1C) == 0x1C) {
        ScanRead(data + 1, size - 1);
        return 0;
    }
    switch (data[0] & 3) {
    case 0: PictureRead(data + 1, size - 1); break;
    case 1: DamagedRead(data + 1, size - 1, false); break;
    case 2: PageRead(data + 1, size - 1); break;
    default: DamagedRead(data + 1, size - 1, true); break;
    }
    return 0;
}
