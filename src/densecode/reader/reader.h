// Reading a dense code back: from the encoder's picture, or from any raster
// whose cells have been sampled, to the 6600 bytes it carries.
//
// The reader proves the encoder: it samples every cell where the thinning
// left it, undoes the rotation, de-interleaves and descrambles, and corrects
// each codeword with the Reed-Solomon decoder.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "densecode/format.h"

namespace zeseal::densecode {

enum class DenseReadStatus {
    kRead,               // every codeword is correct or was corrected
    kUncorrectable,      // at least one codeword could not be corrected
    kNoImage,            // no picture, or fewer bytes than a whole picture
    kResolutionTooLow,   // a page below 300 dots per inch
    kOutsidePage,        // no part of the code lies on the page at that position
    kNotFound,           // no code's frame was found in the picture
};

// What a picture held in its cells: the stream bytes as sampled, and which
// of them had a cell that could not be told black or white.
struct DenseStreamSample {
    std::array<std::uint8_t, kDenseStreamBytes> bytes{};
    std::array<bool, kDenseStreamBytes> unsure{};
};

struct DenseCodeReading {
    DenseReadStatus status = DenseReadStatus::kNoImage;
    // The carried bytes; a codeword that could not be corrected contributes
    // its message bytes as they were read.
    std::vector<std::uint8_t> bytes;
    // Per codeword: the bytes corrected, or -1 when it could not be corrected.
    std::array<std::int32_t, kDenseBlocks> corrected{};
    // Per codeword: the unsure bytes handed to the decoder as erasures.
    std::array<std::int32_t, kDenseBlocks> erasures{};
    // Per codeword: how many more wrong bytes it could have taken and still
    // been corrected (the more of the two ways of reading it, with and
    // without its erasures), or -1 when it could not be corrected.
    std::array<std::int32_t, kDenseBlocks> spare{};

    bool ok() const noexcept { return status == DenseReadStatus::kRead; }
    std::int32_t FailedCodewords() const noexcept;
    std::int32_t TotalCorrected() const noexcept;
    // The fewest spare corrections of any codeword: -1 when one failed.
    std::int32_t Margin() const noexcept;
};

// A short explanation of a status, for messages.
const char* DescribeDenseReadStatus(DenseReadStatus status) noexcept;

// Samples every cell of the encoder's picture (kDenseImageBytes, bottom row
// first): a cell is black when its lower left pixel is darker than mid-grey.
void SampleDenseImage(const std::uint8_t* image, DenseStreamSample& sample) noexcept;

// Descrambles and corrects a sampled stream. Unsure bytes are used as
// erasures when a codeword has at most 55 of them; otherwise, or when that
// fails, the codeword is decoded as if nothing were known.
DenseCodeReading DecodeDenseStream(const DenseStreamSample& sample);

// The spare corrections of a codeword corrected from `read` to `corrected`
// (255 bytes each) with the given erasures.
std::int32_t DenseSpareCorrections(const std::uint8_t* read, const std::uint8_t* corrected,
                                   std::span<const std::uint8_t> erasures) noexcept;

// Reads the encoder's picture: kNoImage when image holds fewer than
// kDenseImageBytes bytes.
DenseCodeReading DecodeDenseCode(std::span<const std::uint8_t> image);

}  // namespace zeseal::densecode
