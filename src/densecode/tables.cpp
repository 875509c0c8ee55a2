#include "densecode/tables.h"

namespace zeseal::densecode {
namespace {

constexpr std::array<std::uint8_t, kDenseStreamBytes> MakeScrambleBytes() {
    std::array<std::uint8_t, kDenseStreamBytes> bytes{};
    DenseRandState rand;
    DenseRandSeed(rand, 0);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(DenseRandNext(rand));
    return bytes;
}

constexpr std::array<std::uint8_t, kDenseStreamBytes> kScrambleBytes = MakeScrambleBytes();

}  // namespace

const std::array<std::uint8_t, kDenseStreamBytes>& DenseScrambleBytes() noexcept {
    return kScrambleBytes;
}

}  // namespace zeseal::densecode
