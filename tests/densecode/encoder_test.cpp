#include "densecode/encoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "densecode/dense_code_test_support.h"
#include "support/dense_code_plain.h"
#include "densecode/reader/reader.h"
#include "densecode/tables.h"
#include "densecode/reed_solomon.h"

namespace zeseal::densecode {
namespace {

using testing::RandomInput;

std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& input) {
    const frame::HeapBlock image = EncodeDenseCode(input.data());
    if (!image) return {};
    return {image.data(), image.data() + image.size()};
}

// Pixel (x, y), y from the top, of a bottom-up picture.
std::uint8_t PixelAt(const std::vector<std::uint8_t>& image, int x, int y) {
    return image[std::size_t(kDenseCodeHeight - 1 - y) * kDenseCodeWidth + std::size_t(x)];
}

std::string Art(const std::vector<std::uint8_t>& image, int x, int y, int w, int h) {
    std::string art;
    for (int row = y; row < y + h; ++row) {
        if (row != y) art += '\n';
        for (int col = x; col < x + w; ++col) art += PixelAt(image, col, row) == kDenseBlack ? '#' : '.';
    }
    return art;
}

struct NamedInput {
    const char* name;
    std::vector<std::uint8_t> bytes;
};

std::vector<NamedInput> Inputs() {
    std::vector<NamedInput> inputs;
    inputs.push_back({"zeros", std::vector<std::uint8_t>(kDenseInputBytes, 0)});
    inputs.push_back({"ones", std::vector<std::uint8_t>(kDenseInputBytes, 0xFF)});
    inputs.push_back({"alternating", std::vector<std::uint8_t>(kDenseInputBytes, 0xAA)});
    std::vector<std::uint8_t> text(kDenseInputBytes, 0);
    const char kText[] = "test print - 44 bytes of text, then zeros...";
    std::memcpy(text.data(), kText, sizeof kText - 1);
    inputs.push_back({"text", text});
    for (unsigned seed = 1; seed <= 6; ++seed) inputs.push_back({"random", RandomInput(seed)});
    return inputs;
}

TEST(EncodeDenseCode, EqualsTheStepByStepEncodingPixelForPixel) {
    for (const NamedInput& input : Inputs()) {
        const std::vector<std::uint8_t> ours = Encode(input.bytes);
        ASSERT_EQ(ours.size(), kDenseImageBytes) << input.name;
        const std::vector<std::uint8_t> expected = plain::EncodeDenseCode(input.bytes.data());
        std::size_t differing = 0;
        for (std::size_t i = 0; i < kDenseImageBytes; ++i) differing += ours[i] != expected[i];
        EXPECT_EQ(differing, 0u) << input.name;
    }
}

TEST(EncodeDenseCode, EqualInputGivesAnIdenticalPicture) {
    const auto input = RandomInput(99);
    EXPECT_EQ(Encode(input), Encode(input));
}

TEST(EncodeDenseCode, NullInputGivesNoPicture) {
    EXPECT_FALSE(EncodeDenseCode(nullptr));
}

TEST(EncodeDenseCode, PixelsAreBlackOrWhite) {
    const auto image = Encode(RandomInput(5));
    for (const std::uint8_t p : image) ASSERT_TRUE(p == kDenseBlack || p == kDenseWhite);
}

TEST(EncodeDenseCode, AllZeroInputStreamIsTheScramblingSequence) {
    const std::vector<std::uint8_t> zeros(kDenseInputBytes, 0);
    DenseStreamSample sample;
    SampleDenseImage(Encode(zeros).data(), sample);
    EXPECT_EQ(sample.bytes[0], 0x00);
    EXPECT_EQ(sample.bytes[33], 0xDC);  // codeword 0, byte 1
    // The filler ends the stream, carrying scrambling bytes 8415..8504.
    const auto& scramble = DenseScrambleBytes();
    for (std::size_t n = kDenseFillerStart; n < kDenseStreamBytes; ++n) {
        ASSERT_EQ(sample.bytes[n], scramble[n]) << n;
    }
    // The picture still carries frame and timing marks.
    EXPECT_EQ(PixelAt(Encode(zeros), 7, 8), kDenseBlack);
}

TEST(EncodeDenseCode, SampledStreamIsTheInterleavedScrambledCodewords) {
    const auto input = RandomInput(3);
    DenseStreamSample sample;
    SampleDenseImage(Encode(input).data(), sample);
    const std::vector<std::uint8_t> stream = plain::EncodeStream(input.data());
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), sample.bytes.begin()));
}

TEST(EncodeDenseCode, FirstStreamByteLandsTwelvePixelsRightOfItsBand) {
    // Byte 0 is carried unscrambled (the first scrambling byte is 0).
    std::vector<std::uint8_t> input(kDenseInputBytes, 0);
    input[0] = 0xFF;
    const auto set = Encode(input);
    input[0] = 0x00;
    const auto clear = Encode(input);
    // Before the shift its cells cover x = 4..11, y = 4..7; after it x = 16..23.
    for (int bit = 0; bit < 8; ++bit) {
        const DenseCellPlace place = DenseBandCellPlaces()[0][std::size_t(bit)];
        EXPECT_EQ(DenseBandLeft(0) + place.column - DenseGroupShift(0), 4 + 2 * (bit % 4)) << bit;
        EXPECT_EQ(DenseBandLeft(0) + place.column, 16 + 2 * (bit % 4)) << bit;
        EXPECT_EQ(place.row, 4 + 2 * (bit / 4)) << bit;
    }
    for (int x = 16; x <= 22; x += 2) {
        for (int y : {5, 7}) {
            EXPECT_EQ(PixelAt(set, x, y), kDenseBlack) << x << "," << y;
            EXPECT_EQ(PixelAt(clear, x, y), kDenseWhite) << x << "," << y;
        }
    }
}

TEST(EncodeDenseCode, TimingSquaresAreSolidThreeByThreeBlocks) {
    const auto image = Encode(RandomInput(8));
    // Band 0, group 0: x = 6..8, y = 7..9 and x = 10..12, y = 11..13.
    EXPECT_EQ(Art(image, 4, 5, 12, 11),
              "............\n"
              "............\n"
              "..###.......\n"
              "..###.......\n"
              "..###.......\n"
              "............\n"
              "......###...\n"
              "......###...\n"
              "......###...\n"
              "............\n"
              "............");
    // Every window and group: the two centres and their squares.
    for (int w = 0; w < kDenseBands; ++w) {
        for (int k = 0; k < kDenseRowGroups; ++k) {
            const int cx = 120 * w + DenseTimingCentre(k);
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    ASSERT_EQ(PixelAt(image, cx + dx, 8 + 12 * k + dy), kDenseBlack) << w << "/" << k;
                    ASSERT_EQ(PixelAt(image, cx + 4 + dx, 12 + 12 * k + dy), kDenseBlack) << w << "/" << k;
                }
            }
        }
    }
}

TEST(EncodeDenseCode, FrameIsBlackAndTheMarginsInsideItWhite) {
    for (const NamedInput& input : Inputs()) {
        const auto image = Encode(input.bytes);
        for (int x = 0; x < kDenseCodeWidth; ++x) {
            for (int y : {0, 1, 126, 127}) ASSERT_EQ(PixelAt(image, x, y), kDenseBlack) << input.name;
        }
        for (int y = 0; y < kDenseCodeHeight; ++y) {
            for (int x : {0, 1, 2526, 2527}) ASSERT_EQ(PixelAt(image, x, y), kDenseBlack) << input.name;
        }
        for (int x = 2; x <= 2525; ++x) {
            for (int y : {2, 3, 4, 124, 125}) ASSERT_EQ(PixelAt(image, x, y), kDenseWhite) << input.name << " row " << y;
        }
        for (int y = 2; y <= 125; ++y) {
            for (int x : {2, 3, 2523, 2524, 2525}) ASSERT_EQ(PixelAt(image, x, y), kDenseWhite) << input.name << " column " << x;
        }
    }
}

TEST(RsEncodeBlock, CodewordsVanishAtAlphaOneToFiftyFive) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        const auto input = RandomInput(seed);
        std::uint8_t codeword[kDenseCodewordBytes];
        RsEncodeBlock(input.data(), kDenseMessageBytes, codeword);
        EXPECT_TRUE(std::equal(input.begin(), input.begin() + kDenseMessageBytes, codeword));
        std::uint8_t expected[kDenseCodewordBytes];
        plain::RsEncodeBlock(plain::BuildTables(), input.data(), kDenseMessageBytes, expected);
        EXPECT_TRUE(std::equal(codeword, codeword + kDenseCodewordBytes, expected)) << seed;
        for (int i = 1; i <= kDenseParityBytes; ++i) {
            const std::uint8_t x = kDenseCodeTables.antilog[std::size_t(i)];
            std::uint8_t value = 0;
            for (const std::uint8_t v : codeword) value = GfMultiply(value, x) ^ v;
            ASSERT_EQ(value, 0) << "seed " << seed << " alpha^" << i;
        }
    }
}

TEST(RsEncodeBlock, EncodesInPlaceAndShortMessages) {
    auto input = RandomInput(4);
    std::uint8_t expected[kDenseCodewordBytes];
    plain::RsEncodeBlock(plain::BuildTables(), input.data(), 17, expected);
    std::vector<std::uint8_t> buffer(input.begin(), input.begin() + 17 + kDenseParityBytes);
    RsEncodeBlock(buffer.data(), 17, buffer.data());
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), expected));
}

TEST(InterleaveCodewords, MatchesTheTextAndIsUndone) {
    std::vector<std::uint8_t> buffer(kDenseStreamBytes);
    for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = std::uint8_t(i * 7 + i / 255);
    auto expected = buffer;
    plain::InterleaveCodewords(expected.data());
    auto ours = buffer;
    InterleaveCodewords(ours.data());
    EXPECT_EQ(ours, expected);
    EXPECT_EQ(ours[33 * 1 + 0], buffer[1]);    // codeword 0, byte 1
    EXPECT_EQ(ours[33 * 0 + 1], buffer[255]);  // codeword 1, byte 0
    DeinterleaveCodewords(ours.data());
    EXPECT_EQ(ours, buffer);
}

TEST(ThinDenseImage, MatchesTheStepByStepPassOnAnyPicture) {
    // Random pictures, not only cell-aligned ones, with some grey that is
    // neither black nor white.
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        std::vector<std::uint8_t> image(kDenseImageBytes);
        const unsigned blackShare = 4 + seed;  // of 10
        for (auto& p : image) {
            const unsigned r = random() % 10;
            p = r < blackShare ? kDenseBlack : (r == 9 ? 128 : kDenseWhite);
        }
        auto expected = image;
        plain::ThinDenseImage(expected.data());
        ThinDenseImage(image.data());
        EXPECT_EQ(image, expected) << seed;
    }
}

TEST(ThinDenseImage, ShrinksABlackAreaAndPunchesItsHoles) {
    std::vector<std::uint8_t> image(kDenseImageBytes, kDenseWhite);
    auto paint = [&](int x, int y) {
        image[std::size_t(kDenseCodeHeight - 1 - y) * kDenseCodeWidth + std::size_t(x)] = kDenseBlack;
    };
    for (int y = 10; y < 16; ++y) {
        for (int x = 20; x < 28; ++x) paint(x, y);  // 8 x 6
    }
    paint(40, 10), paint(41, 10), paint(40, 11), paint(41, 11);  // a lone cell
    ThinDenseImage(image.data());
    EXPECT_EQ(Art(image, 19, 9, 25, 8),
              ".........................\n"
              ".........................\n"
              ".#######.............#...\n"
              ".#.#.#.#.................\n"
              ".#######.................\n"
              ".#.#.#.#.................\n"
              ".#######.................\n"
              ".........................");
}

}  // namespace
}  // namespace zeseal::densecode
