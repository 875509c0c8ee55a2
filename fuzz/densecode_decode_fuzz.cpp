// Reading whole dense codes: the picture reader on arbitrary and on damaged
// pictures, and the page reader on arbitrary rasters and placements. (The
// scan reader has a target of its own, densecode_read: each run here decodes
// all 33 codewords, some milliseconds with the sanitizers, and would hold
// the scan reader's small pictures back.)
//
// Input layout, by the low two bits of byte 0:
//   0  the rest of the input, repeated, is the 2528 x 128 picture
//   1  bytes 1-4 choose one of eight random 6600-byte messages, whose
//      picture is damaged by the rest, three bytes per pixel: a 19-bit
//      pixel index (modulo the picture size, big-endian in the first 19
//      bits), inverted
//   2  a page raster and a placement: see PageRead below
//   3  as 1, then the damaged picture is also read with a fuzzed set of
//      unsure bytes (bit n of the input's tail marks stream byte n)
//
// Checked:
//  - a reading that succeeds reports at most 27 corrections per codeword
//    (more only with as many erasures), and re-encoding its bytes gives a
//    picture whose cells differ from the read ones in exactly the reported
//    number of bytes per codeword;
//  - a damaged picture with at most 27 wrong bytes in every codeword is read
//    back to its message;
//  - the page reader answers with a status and never reads outside the raster.
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

namespace {

namespace dc = zeseal::densecode;
using zeseal::fuzz::ExactBuffer;

ZESEAL_FUZZ_UNGUIDED std::vector<std::uint8_t> Sample(const std::uint8_t* image) {
    dc::DenseStreamSample sample;
    dc::SampleDenseImage(image, sample);
    return {sample.bytes.begin(), sample.bytes.end()};
}

// Wrong bytes per codeword between two sampled streams.
ZESEAL_FUZZ_UNGUIDED std::vector<int> Differences(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::vector<int> wrong(dc::kDenseBlocks, 0);
    for (std::size_t n = 0; n < dc::kDenseFillerStart; ++n) wrong[n % dc::kDenseBlocks] += a[n] != b[n];
    return wrong;
}

// A message and its clean picture's sample.
struct CleanCode {
    std::vector<std::uint8_t> message;
    std::vector<std::uint8_t> picture;
    std::vector<std::uint8_t> sample;
};

// The messages damaged: a few, each encoded once. Encoding is the dearest
// step of a run, and which message carries the damage matters little to the
// decoder; what the damage does matters.
constexpr std::uint32_t kMessages = 8;

const CleanCode& CleanCodeOf(std::uint32_t seed) {
    static CleanCode clean[kMessages];
    CleanCode& code = clean[seed % kMessages];
    if (!code.message.empty()) return code;
    std::mt19937 random(seed % kMessages);
    std::vector<std::uint8_t> message(dc::kDenseInputBytes, 0);
    for (auto& b : message) b = static_cast<std::uint8_t>(random());
    const zeseal::frame::HeapBlock picture = dc::EncodeDenseCode(message.data());
    ZESEAL_FUZZ_CHECK(picture);
    code.picture.assign(picture.data(), picture.data() + picture.size());
    code.sample = Sample(picture.data());
    code.message = std::move(message);
    return code;
}

// read: the stream as sampled from the picture that was read. A reading
// that gives back a known message's bytes is checked against that message's
// sample (encoding is deterministic), any other by encoding its bytes again.
void CheckConsistent(const dc::DenseCodeReading& reading, const std::vector<std::uint8_t>& read,
                     const CleanCode* known) {
    if (reading.status != dc::DenseReadStatus::kRead) {
        ZESEAL_FUZZ_CHECK(reading.status == dc::DenseReadStatus::kUncorrectable);
        ZESEAL_FUZZ_CHECK(reading.FailedCodewords() > 0);
        return;
    }
    ZESEAL_FUZZ_CHECK(reading.bytes.size() == dc::kDenseInputBytes);
    std::vector<int> wrong;
    if (known != nullptr && reading.bytes == known->message) {
        wrong = Differences(known->sample, read);
    } else {
        const zeseal::frame::HeapBlock again = dc::EncodeDenseCode(reading.bytes.data());
        ZESEAL_FUZZ_CHECK(again);
        wrong = Differences(Sample(again.data()), read);
    }
    for (int j = 0; j < dc::kDenseBlocks; ++j) {
        const int corrected = reading.corrected[std::size_t(j)];
        ZESEAL_FUZZ_CHECK(corrected == wrong[std::size_t(j)]);
        ZESEAL_FUZZ_CHECK(2 * corrected - reading.erasures[std::size_t(j)] <= dc::kDenseParityBytes);
    }
}

// The code's picture, one block of exactly its size kept for every run:
// a fresh block of this size each time costs more in page faults than
// the reading itself.
ExactBuffer& CodePicture() {
    static ExactBuffer picture(dc::kDenseImageBytes);
    return picture;
}

void PictureRead(const std::uint8_t* data, std::size_t size) {
    ExactBuffer& image = CodePicture();
    zeseal::fuzz::FillRepeating(image, data, size, 0);
    const dc::DenseCodeReading reading = dc::DecodeDenseCode({image.data(), image.size()});
    // Only a reading that succeeds needs the stream it was read from.
    CheckConsistent(reading, reading.ok() ? Sample(image.data()) : std::vector<std::uint8_t>{}, nullptr);
}

// Inverts the pixel each three bytes of edits name.
ZESEAL_FUZZ_UNGUIDED void Damage(const std::uint8_t* edits, std::size_t size, std::uint8_t* image) {
    for (std::size_t i = 0; i + 3 <= size; i += 3) {
        const std::uint32_t index = ((std::uint32_t{edits[i]} << 11) | (std::uint32_t{edits[i + 1]} << 3) |
                                     (edits[i + 2] >> 5)) % dc::kDenseImageBytes;
        image[index] = static_cast<std::uint8_t>(255 - image[index]);
    }
}

void DamagedRead(const std::uint8_t* data, std::size_t size, bool withUnsure) {
    if (size < 4) return;
    const CleanCode& clean = CleanCodeOf(zeseal::base::ReadBe32(data));
    ExactBuffer& image = CodePicture();
    std::memcpy(image.data(), clean.picture.data(), image.size());
    const std::size_t edits = withUnsure ? (size - 4) / 2 : size - 4;
    Damage(data + 4, edits, image.data());

    dc::DenseStreamSample sample;
    dc::SampleDenseImage(image.data(), sample);
    const std::vector<std::uint8_t> read(sample.bytes.begin(), sample.bytes.end());
    if (withUnsure) {
        const std::uint8_t* bits = data + 4 + edits;
        const std::size_t bitCount = (size - 4 - edits) * 8;
        for (std::size_t n = 0; n < dc::kDenseStreamBytes && n < bitCount; ++n) {
            sample.unsure[n] = (bits[n / 8] >> (n % 8)) & 1;
        }
        CheckConsistent(dc::DecodeDenseStream(sample), read, &clean);
        return;
    }
    const dc::DenseCodeReading reading = dc::DecodeDenseCode({image.data(), image.size()});
    CheckConsistent(reading, read, &clean);
    const std::vector<int> wrong = Differences(clean.sample, read);
    bool withinLimit = true;
    for (const int w : wrong) withinLimit = withinLimit && w <= dc::kDenseCorrectableErrors;
    if (withinLimit) {
        ZESEAL_FUZZ_CHECK(reading.ok());
        ZESEAL_FUZZ_CHECK(reading.bytes == clean.message);
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
    // Up to 4.6 MB: lent from one block, as a fresh one each run would
    // cost more than the reading.
    static zeseal::fuzz::ReusedTailBuffer block((3000 * 3 + 7) * std::size_t(1 + 255 * 2));
    const std::size_t rasterBytes = rowBytes * std::size_t(height);
    std::uint8_t* raster = block.Lend(rasterBytes);
    zeseal::fuzz::FillRepeating(raster, rasterBytes, data + 12, size - 12, 255);

    dc::DensePageRaster page;
    page.pixels = raster;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 16)) return 0;
    switch (data[0] & 3) {
    case 0: PictureRead(data + 1, size - 1); break;
    case 1: DamagedRead(data + 1, size - 1, false); break;
    case 2: PageRead(data + 1, size - 1); break;
    default: DamagedRead(data + 1, size - 1, true); break;
    }
    return 0;
}
