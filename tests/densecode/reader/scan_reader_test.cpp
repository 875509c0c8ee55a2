// Reading the dense code from made-up scans: each case prints a random
// message's code at a resolution, damages it as a scanner, a printer and a
// file format would, and reads it back; the bytes must come back exactly.
#include "densecode/reader/scan_reader.h"

#include "densecode/reader/cell_model.h"
#include "densecode/reader/register.h"
#include "densecode/reader/sample.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "densecode/dense_code_test_support.h"
#include "densecode/encoder.h"
#include "support/dense_code_scans.h"

namespace zeseal::densecode {
namespace {

using testing::RandomInput;
using testing::ScanDamage;

struct ScanCase {
    const char* name;
    ScanDamage damage;
    bool passDpi = true;
    bool sanitized = false;  // also run in the sanitizers' (slow, unoptimised) build
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitizedBuild = true;
#else
constexpr bool kSanitizedBuild = false;
#endif
#else
constexpr bool kSanitizedBuild = false;
#endif

// Every damage at once, at the limits a reading must stand.
ScanDamage Combined(std::int32_t dpi, double angle, double scaleX, double scaleY, double blur, double spread,
                    double gamma, std::uint32_t seed) {
    ScanDamage d;
    d.dpi = dpi;
    d.angleDegrees = angle;
    d.scaleX = scaleX;
    d.scaleY = scaleY;
    d.shiftX = 0.37 * seed;
    d.shiftY = -0.61 * seed;
    d.blurSigma = blur;
    d.inkSpread = spread;
    d.saltAndPepper = 0.05;
    d.jpegQuality = 60;
    d.gamma = gamma;
    d.lightFalloff = 0.5;
    d.clutter = true;
    d.seed = seed;
    return d;
}

ScanDamage Low(double angle, double blur, std::uint32_t seed) {
    ScanDamage d;
    d.dpi = 300;
    d.angleDegrees = angle;
    d.shiftX = 0.3 * seed;
    d.shiftY = 0.45 * seed;
    d.blurSigma = blur;
    d.saltAndPepper = 0.01;
    d.jpegQuality = 85;
    d.seed = seed;
    return d;
}

ScanDamage Only(std::int32_t dpi, std::uint32_t seed, void (*change)(ScanDamage&)) {
    ScanDamage d;
    d.dpi = dpi;
    d.seed = seed;
    change(d);
    return d;
}

const ScanCase kCases[] = {
    // One damage alone, at 600 dpi.
    {"one pixel shift", Only(600, 1, [](ScanDamage& d) { d.shiftX = 1; d.shiftY = 1; }), true, true},
    {"0.02 degrees", Only(600, 2, [](ScanDamage& d) { d.angleDegrees = 0.02; })},
    {"0.2% larger", Only(600, 3, [](ScanDamage& d) { d.scaleX = d.scaleY = 1.002; })},
    {"blur 1", Only(600, 4, [](ScanDamage& d) { d.blurSigma = 1; })},
    {"5 degrees", Only(600, 5, [](ScanDamage& d) { d.angleDegrees = 5; })},
    {"-5 degrees", Only(600, 6, [](ScanDamage& d) { d.angleDegrees = -5; })},
    {"upside down", Only(600, 7, [](ScanDamage& d) { d.upsideDown = true; d.angleDegrees = 1.5; }), true, true},
    {"stretched across", Only(600, 8, [](ScanDamage& d) { d.scaleX = 0.97; d.scaleY = 1.03; })},
    {"keystone and bow", Only(600, 9, [](ScanDamage& d) { d.keystone = 0.01; d.bow = 3; })},
    {"gaussian noise", Only(600, 10, [](ScanDamage& d) { d.noiseSigma = 20; })},
    {"grey paper, light toner", Only(600, 11, [](ScanDamage& d) { d.paperLevel = 190; d.inkLevel = 110; })},
    {"dot gain", Only(600, 12, [](ScanDamage& d) { d.inkSpread = 1; d.blurSigma = 0.8; })},
    {"thinned", Only(600, 13, [](ScanDamage& d) { d.inkSpread = -0.5; d.blurSigma = 0.8; })},
    {"jpeg 60", Only(600, 14, [](ScanDamage& d) { d.jpegQuality = 60; })},
    {"no resolution given", Only(600, 15, [](ScanDamage& d) { d.angleDegrees = 2; d.blurSigma = 1; }), false},
    // Everything together at 600 dpi: turned, stretched, shifted, blurred,
    // 5% salt and pepper, JPEG 60, gamma with a 50% fall of the light, ink
    // spread or thinned, text and a rule around.
    {"600 all, +5 deg, gain", Combined(600, 5, 1.03, 1.03, 1.3, 1, 0.6, 21)},
    {"600 all, -5 deg, thin", Combined(600, -5, 0.97, 0.97, 1.3, -0.5, 1.8, 22), true, true},
    {"600 all, 4 deg, thin, gamma 0.6", Combined(600, 4, 1.03, 1.03, 1.3, -0.5, 0.6, 27)},
    {"600 all, 3 deg, anisotropic", Combined(600, 3, 0.97, 1.03, 1.3, 1, 1.8, 23)},
    {"600 all, no resolution given", Combined(600, 2, 1.01, 0.99, 1.3, 1, 1.2, 28), false},
    {"600 all, upside down", [] { ScanDamage d = Combined(600, -4, 1.01, 0.99, 1.3, 1, 1.2, 25); d.upsideDown = true; return d; }()},
    // At 1200 dpi, blurred twice as much.
    {"1200 all, 5 deg, gain", Combined(1200, 5, 1.02, 0.98, 2.0, 2, 0.6, 31)},
    // At 300 dpi, a cell two by two scanner pixels.
    {"300, 1 deg", [] { ScanDamage d = Low(1, 0, 44); d.saltAndPepper = 0.005; return d; }()},
    {"300, 0.3 deg, blur", Low(0.3, 0.5, 43)},
    {"300 all, 1 deg", Low(1, 0.7, 45), true, true},
    {"300 all, minus 1 deg", Low(-1, 0.7, 46)},
};

class DenseScanRead : public ::testing::TestWithParam<ScanCase> {};

TEST_P(DenseScanRead, ReadsTheMessageExactly) {
    const ScanCase& c = GetParam();
    if (kSanitizedBuild && !c.sanitized) GTEST_SKIP() << "only a few cases under the sanitizers";
    const auto input = RandomInput(c.damage.seed);
    const frame::HeapBlock code = EncodeDenseCode(input.data());
    const testing::Scan scan = testing::ScanDenseCode(code.data(), c.damage);
    GreyView view{scan.grey.data(), scan.width, scan.height, std::size_t(scan.width)};
    DenseScanOptions options;
    options.dpi = c.passDpi ? scan.dpi : 0;
    const DenseScanReading read = ReadDenseCodeFromScan(view, options);
    ASSERT_TRUE(read.found) << c.name;
    EXPECT_EQ(read.upsideDown, c.damage.upsideDown) << c.name;
    ASSERT_TRUE(read.reading.ok()) << c.name << ": " << read.reading.FailedCodewords() << " codewords failed, "
                                   << read.anchors << " anchors, residual " << read.residual;
    EXPECT_EQ(read.reading.bytes, input) << c.name;
    EXPECT_GE(read.reading.Margin(), 0) << c.name;
    EXPECT_NEAR(read.dpi, c.damage.dpi * std::sqrt(c.damage.scaleX * c.damage.scaleY), 0.02 * c.damage.dpi) << c.name;
    std::printf("  %-36s margin %2d, %3d anchors, residual %.3f, %d corrected\n", c.name, read.reading.Margin(),
                read.anchors, read.residual, read.reading.TotalCorrected());
}

INSTANTIATE_TEST_SUITE_P(Damages, DenseScanRead, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ScanCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             }
                             return name;
                         });

// Dark specks scattered where a code's timing squares would be are found as
// squares here and there, but they fit no map: the registration gives up
// rather than have the cells read from them. The code itself, under the
// same first map, registers.
TEST(DenseRegistration, RefusesSpecksThatFitNoMap) {
    const auto input = RandomInput(61);
    const frame::HeapBlock code = EncodeDenseCode(input.data());
    ScanDamage damage;
    damage.dpi = 300;
    damage.seed = 61;
    const testing::Scan scan = testing::ScanDenseCode(code.data(), damage);
    GreyView view{scan.grey.data(), scan.width, scan.height, std::size_t(scan.width)};
    DenseScanOptions options;
    options.dpi = scan.dpi;
    const DenseScanReading read = ReadDenseCodeFromScan(view, options);
    ASSERT_TRUE(read.reading.ok());
    DenseRegistration registration;
    EXPECT_TRUE(RegisterDenseCode(view, read.map, registration));

    // Specks the size of a timing square, one in every 8 x 8 pixels.
    std::vector<std::uint8_t> specks(scan.grey.size(), 255);
    std::mt19937 random(5);
    for (int n = 0; n < scan.width * scan.height / 64; ++n) {
        const int x = int(random() % std::uint32_t(scan.width - 3)), y = int(random() % std::uint32_t(scan.height - 3));
        for (int j = 0; j < 3; ++j) {
            for (int i = 0; i < 3; ++i) specks[std::size_t(y + j) * std::size_t(scan.width) + std::size_t(x + i)] = 0;
        }
    }
    GreyView speckled{specks.data(), scan.width, scan.height, std::size_t(scan.width)};
    EXPECT_FALSE(RegisterDenseCode(speckled, read.map, registration));
    EXPECT_FALSE(ReadDenseCodeFromScan(speckled, options).found);
}

// A map that reaches the picture with a band's first cells but sends the
// rest of the band beyond the range of int (a registration gone wild on
// a hostile scan): the cells beyond are left unseen, and no point is made
// an index before it is known to lie in the picture (UBSan's
// float-cast-overflow watches the sanitizers' build). Both ways of sampling:
// a code pixel about one picture pixel, and several.
TEST(DenseSampling, LeavesCellsFarBeyondThePictureUnseen) {
    std::vector<std::uint8_t> grey(40 * 40, 0);
    const GreyView view{grey.data(), 40, 40, 40};
    for (const double across : {1e-8, 4e-8}) {
        const CodeMap map = CodeMap::Affine({-4.5e8 + 20, 20}, {1e8, 0}, {0, across});
        std::vector<float> levels;
        SampleDenseCells(view, map, levels);
        int seen = 0;
        for (const float level : levels) seen += level != kDenseCellUnseen;
        EXPECT_LT(seen, 64) << across;
    }
}

// The cells are decided by the picture they would print, so the reader's
// rendering must be the encoder's to the pixel: thinning, punching, the
// timing squares' centres and the frame.
TEST(DenseCellModel, RendersTheEncodersPicture) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        const auto input = RandomInput(seed);
        const frame::HeapBlock code = EncodeDenseCode(input.data());
        DenseStreamSample stream;
        SampleDenseImage(code.data(), stream);
        const std::vector<std::uint8_t> ink = RenderDenseInk(stream.bytes);
        int wrong = 0;
        for (int y = 0; y < kDenseCodeHeight; ++y) {
            for (int x = 0; x < kDenseCodeWidth; ++x) {
                const bool black = code.data()[std::size_t(kDenseCodeHeight - 1 - y) * kDenseCodeWidth + std::size_t(x)] < 128;
                wrong += black != (ink[std::size_t(y) * kDenseCodeWidth + std::size_t(x)] != 0);
            }
        }
        EXPECT_EQ(wrong, 0) << "seed " << seed;
    }
}

}  // namespace
}  // namespace zeseal::densecode
