#include "densecode/tables.h"

#include <gtest/gtest.h>

#include "support/dense_code_plain.h"

namespace zeseal::densecode {
namespace {

TEST(DenseCodeTables, MatchTheTablesBuiltStepByStep) {
    const plain::PlainTables plainTables = plain::BuildTables();
    const DenseCodeTables& tables = TheDenseCodeTables();
    EXPECT_EQ(tables.antilog, plainTables.antilog);
    EXPECT_EQ(tables.log, plainTables.log);
    EXPECT_EQ(tables.generator, plainTables.generator);
}

TEST(DenseCodeTables, KnownEntries) {
    const DenseCodeTables& t = TheDenseCodeTables();
    EXPECT_EQ(t.antilog[0], 1);
    EXPECT_EQ(t.antilog[1], 2);
    EXPECT_EQ(t.antilog[8], 0x1D);
    EXPECT_EQ(t.log[1], 0);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(t.antilog[std::size_t(255 + i)], t.antilog[std::size_t(i)]) << i;
    for (int v = 1; v < 256; ++v) {
        EXPECT_EQ(t.antilog[t.log[std::size_t(v)]], v) << v;
        EXPECT_LT(t.log[std::size_t(v)], 255) << v;
    }
}

TEST(DenseCodeTables, GeneratorBeginsAndEndsAsKnown) {
    const auto& g = TheDenseCodeTables().generator;
    EXPECT_EQ(g[0], 116);
    EXPECT_EQ(g[1], 27);
    EXPECT_EQ(g[2], 175);
    EXPECT_EQ(g[3], 9);
    EXPECT_EQ(g[53], 14);
    EXPECT_EQ(g[54], 53);
    EXPECT_EQ(g[55], 1);
}

TEST(DenseCodeTables, GeneratorVanishesAtItsRoots) {
    const auto& g = TheDenseCodeTables().generator;
    for (int i = 1; i <= 56; ++i) {
        const std::uint8_t x = kDenseCodeTables.antilog[std::size_t(i)];
        std::uint8_t value = 0;
        for (int k = kDenseParityBytes; k >= 0; --k) value = GfMultiply(value, x) ^ g[std::size_t(k)];
        if (i <= 55) EXPECT_EQ(value, 0) << "alpha^" << i;
        else EXPECT_NE(value, 0) << "alpha^56 is no root";
    }
}

TEST(DenseCodeTables, MultiplicationAgreesWithShiftAndAdd) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            unsigned product = 0;
            unsigned x = unsigned(a);
            for (int bit = 0; bit < 8; ++bit) {
                if ((b >> bit) & 1) product ^= x;
                x <<= 1;
                if (x & 0x100) x ^= 0x11D;
            }
            ASSERT_EQ(GfMultiply(std::uint8_t(a), std::uint8_t(b)), product) << a << " * " << b;
        }
    }
}

TEST(DenseScrambleBytes, StartAsKnownAndFollowTheGenerator) {
    const auto& bytes = DenseScrambleBytes();
    const std::uint8_t first[] = {0x00, 0xDC, 0x04, 0x65, 0xAA};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(bytes[i], first[i]) << i;
    DenseRandState rand;
    DenseRandSeed(rand, 0);
    for (std::size_t i = 0; i < kDenseStreamBytes; ++i) {
        const std::uint32_t value = DenseRandNext(rand);
        ASSERT_LE(value, 0x7FFFu);
        ASSERT_EQ(bytes[i], value & 0xFF) << i;
    }
}

}  // namespace
}  // namespace zeseal::densecode
