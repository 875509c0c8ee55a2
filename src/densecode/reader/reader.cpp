#include "densecode/reader/reader.h"

#include <algorithm>
#include <cstring>

#include "densecode/encoder.h"
#include "densecode/layout.h"
#include "densecode/tables.h"
#include "densecode/reader/reed_solomon_decoder.h"

namespace zeseal::densecode {

std::int32_t DenseCodeReading::FailedCodewords() const noexcept {
    std::int32_t n = 0;
    for (const std::int32_t c : corrected) n += c < 0;
    return n;
}

std::int32_t DenseCodeReading::TotalCorrected() const noexcept {
    std::int32_t n = 0;
    for (const std::int32_t c : corrected) n += c > 0 ? c : 0;
    return n;
}

std::int32_t DenseCodeReading::Margin() const noexcept {
    std::int32_t least = kDenseCorrectableErrors;
    for (const std::int32_t s : spare) least = std::min(least, s);
    return least;
}

std::int32_t DenseSpareCorrections(const std::uint8_t* read, const std::uint8_t* corrected,
                                   std::span<const std::uint8_t> erasures) noexcept {
    std::array<bool, kDenseCodewordBytes> erased{};
    for (const std::uint8_t e : erasures) {
        if (e < kDenseCodewordBytes) erased[e] = true;
    }
    int erasedCount = 0;
    int wrong = 0;
    int wrongElsewhere = 0;
    for (int i = 0; i < kDenseCodewordBytes; ++i) {
        erasedCount += erased[std::size_t(i)];
        const bool differs = read[i] != corrected[i];
        wrong += differs;
        wrongElsewhere += differs && !erased[std::size_t(i)];
    }
    const int plain = kDenseCorrectableErrors - wrong;
    const int withErasures = (kDenseParityBytes - erasedCount - 2 * wrongElsewhere) / 2;
    return std::max(0, std::max(plain, withErasures));
}

const char* DescribeDenseReadStatus(DenseReadStatus status) noexcept {
    switch (status) {
    case DenseReadStatus::kRead: return "read";
    case DenseReadStatus::kUncorrectable: return "a codeword has more damage than can be corrected";
    case DenseReadStatus::kNoImage: return "no picture of 2528 x 128 pixels";
    case DenseReadStatus::kResolutionTooLow: return "the page has fewer than 300 dots per inch";
    case DenseReadStatus::kOutsidePage: return "no part of the code lies on the page at that position";
    case DenseReadStatus::kNotFound: return "no dense code was found in the picture";
    }
    return "unknown";
}

namespace {

// Where each cell is sampled in the bottom-up picture, cell 8n + b for bit b
// of stream byte n: worked out once, as the places are the same for every
// picture.
struct CellOffsets {
    std::array<std::uint32_t, kDenseStreamBytes * 8> offset{};
    CellOffsets() noexcept {
        const DenseBandCells& cells = DenseBandCellPlaces();
        for (int band = 0; band < kDenseBands; ++band) {
            for (int t = 0; t < kDenseBandBytes; ++t) {
                for (int bit = 0; bit < 8; ++bit) {
                    const DenseCellPlace& place = cells[std::size_t(t)][std::size_t(bit)];
                    const int row = DenseCellSampleRow(place);
                    offset[std::size_t(8 * (band * kDenseBandBytes + t) + bit)] = static_cast<std::uint32_t>(
                        std::size_t(kDenseCodeHeight - 1 - row) * kDenseCodeWidth + std::size_t(DenseBandLeft(band)) +
                        place.column);
                }
            }
        }
    }
};

const std::uint32_t* CellOffsetTable() noexcept {
    static const CellOffsets table;
    return table.offset.data();
}

}  // namespace

void SampleDenseImage(const std::uint8_t* image, DenseStreamSample& sample) noexcept {
    const std::uint32_t* offset = CellOffsetTable();
    sample.unsure.fill(false);
    for (std::size_t n = 0; n < kDenseStreamBytes; ++n, offset += 8) {
        // Black below 128: the level's top bit clear.
        unsigned byte = 0;
        byte |= (~unsigned(image[offset[0]]) >> 7 & 1u) << 0;
        byte |= (~unsigned(image[offset[1]]) >> 7 & 1u) << 1;
        byte |= (~unsigned(image[offset[2]]) >> 7 & 1u) << 2;
        byte |= (~unsigned(image[offset[3]]) >> 7 & 1u) << 3;
        byte |= (~unsigned(image[offset[4]]) >> 7 & 1u) << 4;
        byte |= (~unsigned(image[offset[5]]) >> 7 & 1u) << 5;
        byte |= (~unsigned(image[offset[6]]) >> 7 & 1u) << 6;
        byte |= (~unsigned(image[offset[7]]) >> 7 & 1u) << 7;
        sample.bytes[n] = static_cast<std::uint8_t>(byte);
    }
}

DenseCodeReading DecodeDenseStream(const DenseStreamSample& sample) {
    DenseCodeReading reading;
    std::array<std::uint8_t, kDenseStreamBytes> buffer = sample.bytes;
    std::array<std::uint8_t, kDenseStreamBytes> unsure{};
    for (std::size_t p = 0; p < kDenseStreamBytes; ++p) unsure[p] = sample.unsure[p];
    DeinterleaveCodewords(buffer.data());
    DeinterleaveCodewords(unsure.data());
    const auto& scramble = DenseScrambleBytes();
    for (std::size_t p = 0; p < kDenseStreamBytes; ++p) buffer[p] ^= scramble[p];

    reading.bytes.resize(kDenseInputBytes);
    bool all = true;
    for (int j = 0; j < kDenseBlocks; ++j) {
        std::uint8_t* codeword = buffer.data() + std::size_t(j) * kDenseCodewordBytes;
        const std::uint8_t* flags = unsure.data() + std::size_t(j) * kDenseCodewordBytes;
        std::array<std::uint8_t, kDenseCodewordBytes> erasures{};
        int count = 0;
        for (int i = 0; i < kDenseCodewordBytes; ++i) {
            if (flags[i] != 0) erasures[std::size_t(count++)] = static_cast<std::uint8_t>(i);
        }
        std::array<std::uint8_t, kDenseCodewordBytes> read;
        std::memcpy(read.data(), codeword, read.size());
        int result = kRsUncorrectable;
        if (count > 0 && count <= kDenseParityBytes) {
            result = RsDecodeCodeword(codeword, {erasures.data(), std::size_t(count)});
            reading.erasures[std::size_t(j)] = result == kRsUncorrectable ? 0 : count;
        }
        if (result == kRsUncorrectable) result = RsDecodeCodeword(codeword);
        reading.corrected[std::size_t(j)] = result;
        reading.spare[std::size_t(j)] =
            result == kRsUncorrectable
                ? -1
                : DenseSpareCorrections(read.data(), codeword,
                                        {erasures.data(), std::size_t(reading.erasures[std::size_t(j)])});
        all = all && result != kRsUncorrectable;
        std::memcpy(reading.bytes.data() + std::size_t(j) * kDenseMessageBytes, codeword, kDenseMessageBytes);
    }
    reading.status = all ? DenseReadStatus::kRead : DenseReadStatus::kUncorrectable;
    return reading;
}

DenseCodeReading DecodeDenseCode(std::span<const std::uint8_t> image) {
    if (image.data() == nullptr || image.size() < kDenseImageBytes) return {};
    DenseStreamSample sample;
    SampleDenseImage(image.data(), sample);
    return DecodeDenseStream(sample);
}

}  // namespace zeseal::densecode
