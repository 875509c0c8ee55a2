#include "densecode/reader/reed_solomon_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <vector>

#include "densecode/reed_solomon.h"

namespace zeseal::densecode {
namespace {

using Codeword = std::array<std::uint8_t, kDenseCodewordBytes>;

Codeword RandomCodeword(std::mt19937& random) {
    Codeword v{};
    for (int i = 0; i < kDenseMessageBytes; ++i) v[std::size_t(i)] = static_cast<std::uint8_t>(random());
    RsEncodeBlock(v.data(), kDenseMessageBytes, v.data());
    return v;
}

// Distinct random positions: the first `errors` get wrong values, the next
// `erasures` are reported as erased (and get wrong values when garble is set).
struct Damage {
    std::vector<std::uint8_t> erasures;
    int changed = 0;
};
Damage Inflict(Codeword& v, int errors, int erasures, bool garbleErasures, std::mt19937& random) {
    std::vector<std::uint8_t> places(kDenseCodewordBytes);
    std::iota(places.begin(), places.end(), std::uint8_t{0});
    std::shuffle(places.begin(), places.end(), random);
    Damage damage;
    for (int k = 0; k < errors + erasures; ++k) {
        const std::uint8_t p = places[std::size_t(k)];
        const bool garble = k < errors || garbleErasures;
        if (garble) {
            v[p] ^= static_cast<std::uint8_t>(1 + random() % 255);
            ++damage.changed;
        }
        if (k >= errors) damage.erasures.push_back(p);
    }
    return damage;
}

struct Case {
    int errors;
    int erasures;
    bool correctable;
};

class RsDecode : public ::testing::TestWithParam<Case> {};

TEST_P(RsDecode, CorrectsWithinTheLimitAndRefusesBeyondIt) {
    const Case c = GetParam();
    std::mt19937 random(unsigned(1000 * c.errors + c.erasures));
    for (int trial = 0; trial < 12; ++trial) {
        const Codeword original = RandomCodeword(random);
        Codeword v = original;
        const Damage damage = Inflict(v, c.errors, c.erasures, true, random);
        const Codeword received = v;
        // With the syndromes worked out beforehand, as when one codeword is
        // tried with several sets of erasures: the same answer.
        Codeword again = received;
        const RsSyndromes syndromes = RsCodewordSyndromes(received.data());
        EXPECT_EQ(syndromes.any, received != original);
        const int resultAgain = RsDecodeCodeword(again.data(), syndromes, damage.erasures);
        const int result = RsDecodeCodeword(v.data(), damage.erasures);
        ASSERT_EQ(resultAgain, result) << "trial " << trial;
        ASSERT_EQ(again, v) << "trial " << trial;
        if (c.correctable) {
            ASSERT_EQ(result, damage.changed) << "trial " << trial;
            ASSERT_EQ(v, original) << "trial " << trial;
        } else {
            ASSERT_EQ(result, kRsUncorrectable) << "trial " << trial;
            ASSERT_EQ(v, received) << "a refused codeword stays as it was";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ErrorsAndErasures, RsDecode,
    ::testing::Values(Case{0, 0, true}, Case{1, 0, true}, Case{2, 0, true}, Case{13, 0, true},
                      Case{26, 0, true}, Case{27, 0, true}, Case{28, 0, false}, Case{40, 0, false},
                      Case{0, 1, true}, Case{0, 30, true}, Case{0, 55, true}, Case{1, 53, true},
                      Case{10, 35, true}, Case{20, 15, true}, Case{27, 1, true},
                      Case{1, 54, false}, Case{14, 28, false}, Case{27, 2, false},
                      Case{0, 56, false}),
    [](const ::testing::TestParamInfo<Case>& info) {
        return std::to_string(info.param.errors) + "errors" + std::to_string(info.param.erasures) +
               "erasures";
    });

TEST(RsDecodeCodeword, ErasuresOverCorrectBytesChangeNothing) {
    std::mt19937 random(5);
    const Codeword original = RandomCodeword(random);
    Codeword v = original;
    // 40 erasures of which only 10 bytes are really wrong, and 5 errors elsewhere.
    const Damage damage = Inflict(v, 5, 40, false, random);
    std::vector<std::uint8_t> erasures = damage.erasures;
    for (int k = 0; k < 10; ++k) v[erasures[std::size_t(k)]] ^= 0x5A;
    EXPECT_EQ(RsDecodeCodeword(v.data(), erasures), 15);
    EXPECT_EQ(v, original);
}

TEST(RsDecodeCodeword, RepeatedErasuresCountOnce) {
    std::mt19937 random(6);
    const Codeword original = RandomCodeword(random);
    Codeword v = original;
    Damage damage = Inflict(v, 0, 50, true, random);
    std::vector<std::uint8_t> erasures = damage.erasures;
    erasures.insert(erasures.end(), damage.erasures.begin(), damage.erasures.end());  // 100 listed
    EXPECT_EQ(RsDecodeCodeword(v.data(), erasures), 50);
    EXPECT_EQ(v, original);
}

TEST(RsDecodeCodeword, RefusesAnErasureOutsideTheCodeword) {
    std::mt19937 random(7);
    Codeword v = RandomCodeword(random);
    v[3] ^= 1;
    const Codeword received = v;
    const std::uint8_t erasures[] = {3, 255};
    EXPECT_EQ(RsDecodeCodeword(v.data(), erasures), kRsUncorrectable);
    EXPECT_EQ(v, received);
}

TEST(RsDecodeCodeword, CorrectsTheFirstAndLastBytes) {
    std::mt19937 random(8);
    const Codeword original = RandomCodeword(random);
    Codeword v = original;
    v[0] ^= 0xFF;
    v[254] ^= 0x01;
    EXPECT_EQ(RsDecodeCodeword(v.data()), 2);
    EXPECT_EQ(v, original);
}

}  // namespace
}  // namespace zeseal::densecode
