#include "densecode/reader/reader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "densecode/dense_code_test_support.h"
#include "densecode/encoder.h"
#include "support/dense_code_plain.h"

namespace zeseal::densecode {
namespace {

using testing::AllCodewords;
using testing::DamageCodewords;
using testing::RandomInput;

std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& input) {
    const frame::HeapBlock image = EncodeDenseCode(input.data());
    return {image.data(), image.data() + image.size()};
}

// Whole bands of the picture smeared black, as by a streak of ink.
void SmearBands(std::vector<std::uint8_t>& image, int firstBand, int count) {
    for (int y = 4; y < 124; ++y) {
        std::uint8_t* row = image.data() + std::size_t(kDenseCodeHeight - 1 - y) * kDenseCodeWidth;
        std::memset(row + DenseBandLeft(firstBand), kDenseBlack, std::size_t(count) * kDenseWindowWidth);
    }
}

TEST(DecodeDenseCode, RoundTripsRandomInputs) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        const auto input = RandomInput(seed);
        const DenseCodeReading reading = DecodeDenseCode(Encode(input));
        ASSERT_TRUE(reading.ok()) << seed;
        EXPECT_EQ(reading.bytes, input) << seed;
        EXPECT_EQ(reading.TotalCorrected(), 0) << seed;
    }
    for (const std::uint8_t fill : {0x00, 0xFF}) {
        const std::vector<std::uint8_t> input(kDenseInputBytes, fill);
        const DenseCodeReading reading = DecodeDenseCode(Encode(input));
        ASSERT_TRUE(reading.ok());
        EXPECT_EQ(reading.bytes, input);
    }
}

TEST(DecodeDenseCode, RefusesAPictureTooSmall) {
    const std::vector<std::uint8_t> short_(kDenseImageBytes - 1, kDenseWhite);
    EXPECT_EQ(DecodeDenseCode(short_).status, DenseReadStatus::kNoImage);
    EXPECT_EQ(DecodeDenseCode({}).status, DenseReadStatus::kNoImage);
}

TEST(DecodeDenseCode, ABlankPictureIsUncorrectable) {
    const std::vector<std::uint8_t> blank(kDenseImageBytes, kDenseWhite);
    const DenseCodeReading reading = DecodeDenseCode(blank);
    EXPECT_EQ(reading.status, DenseReadStatus::kUncorrectable);
    EXPECT_EQ(reading.FailedCodewords(), kDenseBlocks);
}

struct DamageCase {
    const char* name;
    int errorsPerCodeword;
    int codewordPastTheLimit;  // -1: none; else this one gets 28 errors
};

class DenseCodeDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DenseCodeDamage, DecodesWithinTheLimitAndFailsOnePastIt) {
    const DamageCase c = GetParam();
    const auto input = RandomInput(11);
    auto image = Encode(input);
    std::vector<int> others;
    for (int j = 0; j < kDenseBlocks; ++j) {
        if (j != c.codewordPastTheLimit) others.push_back(j);
    }
    DamageCodewords(image.data(), others, c.errorsPerCodeword, 17);
    if (c.codewordPastTheLimit >= 0) {
        DamageCodewords(image.data(), {c.codewordPastTheLimit}, kDenseCorrectableErrors + 1, 18);
    }

    const DenseCodeReading reading = DecodeDenseCode(image);
    for (int j = 0; j < kDenseBlocks; ++j) {
        const bool past = j == c.codewordPastTheLimit;
        EXPECT_EQ(reading.corrected[std::size_t(j)], past ? -1 : c.errorsPerCodeword) << "codeword " << j;
        if (!past) {
            EXPECT_TRUE(std::equal(input.begin() + 200 * j, input.begin() + 200 * (j + 1),
                                   reading.bytes.begin() + 200 * j))
                << "codeword " << j;
        }
    }
    EXPECT_EQ(reading.ok(), c.codewordPastTheLimit < 0);
    EXPECT_EQ(reading.FailedCodewords(), c.codewordPastTheLimit < 0 ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(ByteErrors, DenseCodeDamage,
                         ::testing::Values(DamageCase{"one", 1, -1}, DamageCase{"limit", 27, -1},
                                           DamageCase{"past_first", 27, 0},
                                           DamageCase{"past_last", 10, 32}),
                         [](const ::testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

TEST(DecodeDenseCode, SurvivesAStreakAcrossTwoBandsButNotThree) {
    const auto input = RandomInput(12);
    for (const int bands : {1, 2, 3}) {
        auto image = Encode(input);
        SmearBands(image, 7, bands);
        const DenseCodeReading reading = DecodeDenseCode(image);
        if (bands <= 2) {
            ASSERT_TRUE(reading.ok()) << bands;
            EXPECT_EQ(reading.bytes, input) << bands;
            EXPECT_GT(reading.TotalCorrected(), 0);
        } else {
            EXPECT_EQ(reading.status, DenseReadStatus::kUncorrectable);
        }
    }
}

TEST(DecodeDenseStream, ErasuresExtendTheLimit) {
    // 45 wrong bytes in every codeword: beyond 27 errors, within 55 erasures.
    const auto input = RandomInput(13);
    const auto image = Encode(input);
    DenseStreamSample sample;
    SampleDenseImage(image.data(), sample);
    std::mt19937 random(3);
    for (int j = 0; j < kDenseBlocks; ++j) {
        for (int i = 0; i < 45; ++i) {
            const std::size_t n = testing::StreamIndex(j, (i * 5 + j) % kDenseCodewordBytes);
            sample.bytes[n] ^= static_cast<std::uint8_t>(1 + random() % 255);
            sample.unsure[n] = true;
        }
    }
    DenseCodeReading reading = DecodeDenseStream(sample);
    ASSERT_TRUE(reading.ok());
    EXPECT_EQ(reading.bytes, input);
    for (int j = 0; j < kDenseBlocks; ++j) {
        EXPECT_EQ(reading.corrected[std::size_t(j)], 45);
        EXPECT_EQ(reading.erasures[std::size_t(j)], 45);
    }
    // Without the knowledge of where, the same damage cannot be corrected.
    sample.unsure.fill(false);
    EXPECT_EQ(DecodeDenseStream(sample).FailedCodewords(), kDenseBlocks);
}

TEST(PlainDecodeDenseCode, AgreesWithTheReader) {
    const plain::PlainTables tables = plain::BuildTables();
    const auto input = RandomInput(14);
    auto image = Encode(input);
    std::vector<std::uint8_t> out(kDenseInputBytes);
    ASSERT_TRUE(plain::DecodeDenseCode(tables, image, out.data()));
    EXPECT_EQ(out, input);
    DamageCodewords(image.data(), AllCodewords(), 27, 5);
    ASSERT_TRUE(plain::DecodeDenseCode(tables, image, out.data()));
    EXPECT_EQ(out, input);
    DamageCodewords(image.data(), {4}, 1, 6);  // 28 in codeword 4, or 27 when it hit a damaged byte
    const DenseCodeReading reading = DecodeDenseCode(image);
    EXPECT_EQ(plain::DecodeDenseCode(tables, image, out.data()), reading.ok());
}

}  // namespace
}  // namespace zeseal::densecode
