// Inputs and damage for the dense code tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "densecode/format.h"
#include "densecode/layout.h"

namespace zeseal::densecode::testing {

inline std::vector<std::uint8_t> RandomInput(unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> input(kDenseInputBytes);
    for (auto& b : input) b = static_cast<std::uint8_t>(random());
    return input;
}

// The pixel, in a bottom-up picture, that the reader samples for bit `bit`
// of stream byte n.
inline std::size_t SamplePixel(std::size_t n, int bit) {
    const int band = int(n / kDenseBandBytes);
    const DenseCellPlace& place = DenseBandCellPlaces()[n % kDenseBandBytes][std::size_t(bit)];
    const int x = DenseBandLeft(band) + place.column;
    const int y = DenseCellSampleRow(place);
    return std::size_t(kDenseCodeHeight - 1 - y) * kDenseCodeWidth + std::size_t(x);
}

// Turns stream byte n of the picture into its value XOR mask, as the reader
// sees it.
inline void DamageStreamByte(std::uint8_t* image, std::size_t n, std::uint8_t mask) {
    for (int bit = 0; bit < 8; ++bit) {
        if ((mask >> bit) & 1) {
            std::uint8_t& p = image[SamplePixel(n, bit)];
            p = p < 128 ? kDenseWhite : kDenseBlack;
        }
    }
}

// The stream position of byte i of codeword j.
constexpr std::size_t StreamIndex(int codeword, int byte) {
    return std::size_t(kDenseBlocks) * std::size_t(byte) + std::size_t(codeword);
}

// Damages `count` distinct bytes of every listed codeword, at random places
// with random non-zero masks.
inline void DamageCodewords(std::uint8_t* image, const std::vector<int>& codewords, int count,
                            unsigned seed) {
    std::mt19937 random(seed);
    for (const int j : codewords) {
        std::vector<int> places(kDenseCodewordBytes);
        for (int i = 0; i < kDenseCodewordBytes; ++i) places[std::size_t(i)] = i;
        std::shuffle(places.begin(), places.end(), random);
        for (int k = 0; k < count; ++k) {
            DamageStreamByte(image, StreamIndex(j, places[std::size_t(k)]),
                             static_cast<std::uint8_t>(1 + random() % 255));
        }
    }
}

inline std::vector<int> AllCodewords() {
    std::vector<int> all(kDenseBlocks);
    for (int j = 0; j < kDenseBlocks; ++j) all[std::size_t(j)] = j;
    return all;
}

}  // namespace zeseal::densecode::testing
