#include "densecode/reader/verify.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "densecode/encoder.h"
#include "densecode/tables.h"
#include "densecode/reader/reed_solomon_decoder.h"

namespace zeseal::densecode {

DenseCodeReading DecodeDenseStreamWithConfidence(const DenseStreamSample& sample,
                                                 const DenseByteConfidence& confidence) {
    DenseCodeReading reading;
    std::array<std::uint8_t, kDenseStreamBytes> buffer = sample.bytes;
    std::array<std::uint8_t, kDenseStreamBytes> unsure{};
    std::array<std::uint8_t, kDenseStreamBytes> sure = confidence;
    for (std::size_t p = 0; p < kDenseStreamBytes; ++p) unsure[p] = sample.unsure[p];
    DeinterleaveCodewords(buffer.data());
    DeinterleaveCodewords(unsure.data());
    DeinterleaveCodewords(sure.data());
    const auto& scramble = DenseScrambleBytes();
    for (std::size_t p = 0; p < kDenseStreamBytes; ++p) buffer[p] ^= scramble[p];

    reading.bytes.resize(kDenseInputBytes);
    bool all = true;
    for (int j = 0; j < kDenseBlocks; ++j) {
        const std::size_t start = std::size_t(j) * kDenseCodewordBytes;
        std::uint8_t* codeword = buffer.data() + start;
        std::array<std::uint8_t, kDenseCodewordBytes> read;
        std::memcpy(read.data(), codeword, read.size());

        // The positions, least confident first.
        std::array<std::uint8_t, kDenseCodewordBytes> order;
        std::iota(order.begin(), order.end(), std::uint8_t{0});
        std::stable_sort(order.begin(), order.end(), [&](std::uint8_t a, std::uint8_t b) {
            return sure[start + a] < sure[start + b];
        });
        std::array<std::uint8_t, kDenseCodewordBytes> flagged{};
        int flaggedCount = 0;
        for (const std::uint8_t i : order) {
            if (unsure[start + i] != 0 && flaggedCount < kDenseMostErasures) flagged[std::size_t(flaggedCount++)] = i;
        }

        struct Attempt {
            const std::uint8_t* positions;
            int count;
        };
        const Attempt attempts[] = {
            {flagged.data(), flaggedCount}, {nullptr, 0}, {order.data(), 16}, {order.data(), 28},
            {order.data(), kDenseMostErasures},
        };
        int result = kRsUncorrectable;
        int used = 0;
        const std::uint8_t* usedPositions = nullptr;
        // Every attempt starts from the bytes as read, so their syndromes serve all.
        const RsSyndromes syndromes = RsCodewordSyndromes(read.data());
        for (const Attempt& attempt : attempts) {
            if (attempt.positions == flagged.data() && attempt.count == 0) continue;
            std::memcpy(codeword, read.data(), read.size());
            result = RsDecodeCodeword(codeword, syndromes, {attempt.positions, std::size_t(attempt.count)});
            if (result != kRsUncorrectable) {
                used = attempt.count;
                usedPositions = attempt.positions;
                break;
            }
        }
        if (result == kRsUncorrectable) std::memcpy(codeword, read.data(), read.size());
        reading.corrected[std::size_t(j)] = result;
        reading.erasures[std::size_t(j)] = used;
        reading.spare[std::size_t(j)] =
            result == kRsUncorrectable ? -1
                                       : DenseSpareCorrections(read.data(), codeword, {usedPositions, std::size_t(used)});
        all = all && result != kRsUncorrectable;
        std::memcpy(reading.bytes.data() + std::size_t(j) * kDenseMessageBytes, codeword, kDenseMessageBytes);
    }
    reading.status = all ? DenseReadStatus::kRead : DenseReadStatus::kUncorrectable;
    return reading;
}

}  // namespace zeseal::densecode
