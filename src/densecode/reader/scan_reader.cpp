#include "densecode/reader/scan_reader.h"

#include <cmath>
#include <numbers>
#include <span>
#include <vector>

#include "densecode/reed_solomon.h"
#include "densecode/reader/cell_model.h"
#include "densecode/reader/locate.h"
#include "densecode/reader/register.h"
#include "densecode/reader/sample.h"
#include "densecode/reader/threshold.h"
#include "densecode/reader/verify.h"
#include "densecode/tables.h"

namespace zeseal::densecode {
namespace {

// The stream bytes a reading makes certain: those of every corrected
// codeword, as the encoder scrambled and interleaved them, and the filler,
// which is the scrambling sequence alone. Returns how many codewords that is.
int KnownStream(const DenseCodeReading& reading, DenseStreamSample& sample, std::array<bool, kDenseStreamBytes>& known) {
    const auto& scramble = DenseScrambleBytes();
    known.fill(false);
    for (std::size_t p = kDenseFillerStart; p < kDenseStreamBytes; ++p) {
        sample.bytes[p] = scramble[p];
        known[p] = true;
    }
    int count = 0;
    std::array<std::uint8_t, kDenseCodewordBytes> codeword;
    for (int j = 0; j < kDenseBlocks; ++j) {
        if (reading.corrected[std::size_t(j)] < 0) continue;
        RsEncodeBlock(reading.bytes.data() + std::size_t(j) * kDenseMessageBytes, kDenseMessageBytes, codeword.data());
        for (int i = 0; i < kDenseCodewordBytes; ++i) {
            const std::size_t p = std::size_t(kDenseBlocks * i + j);
            sample.bytes[p] = codeword[std::size_t(i)] ^ scramble[std::size_t(j * kDenseCodewordBytes + i)];
            known[p] = true;
        }
        ++count;
    }
    return count;
}

DenseCodeReading ReadRegistered(const GreyView& image, const CodeMap& map, bool refine) {
    std::vector<float> levels;
    SampleDenseCells(image, map, levels);
    DenseStreamSample sample;
    DenseByteConfidence confidence{};
    ThresholdDenseCells(levels, sample, confidence);
    DenseCodeReading reading = DecodeDenseStreamWithConfidence(sample, confidence);
    if (reading.ok() || !refine) return reading;

    // Too blurred or too coarse for each cell to be judged on its own: the
    // cells are decided together, by the picture they would print; then
    // again with the codewords that were corrected held as they are.
    std::array<bool, kDenseStreamBytes> known{};
    KnownStream(reading, sample, known);
    for (int round = 0; round < 3; ++round) {
        RefineDenseCells(image, map, &known, sample, confidence);
        DenseCodeReading refined = DecodeDenseStreamWithConfidence(sample, confidence);
        const bool progress = refined.FailedCodewords() < reading.FailedCodewords();
        if (refined.FailedCodewords() > reading.FailedCodewords()) break;
        reading = std::move(refined);
        if (reading.ok() || (round > 0 && !progress)) break;
        KnownStream(reading, sample, known);
    }
    return reading;
}

// True when the frame is one already tried (found again by the search at
// another resolution): the same corner to two code pixels and the same scale
// to 2%. Registering it again would end the same way.
bool TriedBefore(const DenseFrame& frame, const std::vector<DenseFrame>& tried) {
    const PointD corner = frame.upright.Apply(0, 0);
    for (const DenseFrame& other : tried) {
        const PointD c = other.upright.Apply(0, 0);
        const double scale = other.pixelsPerCodePixel;
        if (std::hypot(corner.x - c.x, corner.y - c.y) <= 2 * scale &&
            std::fabs(frame.pixelsPerCodePixel - scale) <= 0.02 * scale) {
            return true;
        }
    }
    return false;
}

// Registers and reads each frame not tried before both ways up, keeping the
// best reading in best; true once one reads.
bool ReadFrames(const GreyView& image, const std::vector<DenseFrame>& frames, std::vector<DenseFrame>& tried,
                DenseScanReading& best) {
    for (const DenseFrame& frame : frames) {
        if (TriedBefore(frame, tried)) continue;
        tried.push_back(frame);
        // Which way up: the one whose timing squares are found.
        DenseRegistration ways[2];
        const bool registered[2] = {RegisterDenseCode(image, frame.upright, ways[0]),
                                    RegisterDenseCode(image, frame.upsideDown, ways[1])};
        int order[2] = {0, 1};
        if (registered[1] && (!registered[0] || ways[1].anchors > ways[0].anchors)) order[0] = 1, order[1] = 0;
        for (const int way : order) {
            if (!registered[way]) continue;
            DenseScanReading attempt;
            // Only the likelier way up, and a registration that found most
            // timing squares, is worth deciding the cells together.
            const bool refine = way == order[0] && ways[way].anchors >= kDenseTimingSquares / 2;
            attempt.reading = ReadRegistered(image, ways[way].map, refine);
            attempt.found = true;
            attempt.upsideDown = way == 1;
            attempt.map = ways[way].map;
            attempt.anchors = ways[way].anchors;
            attempt.residual = ways[way].residual;
            const double u = kDenseCodeWidth / 2.0;
            const double v = kDenseCodeHeight / 2.0;
            const PointD a = attempt.map.StepU(u, v);
            const PointD b = attempt.map.StepV(u, v);
            attempt.dpi = 300 * std::sqrt(std::hypot(a.x, a.y) * std::hypot(b.x, b.y));
            attempt.angleDegrees = std::atan2(a.y, a.x) * 180 / std::numbers::pi;
            const bool better = !best.found || attempt.reading.FailedCodewords() < best.reading.FailedCodewords();
            if (better) best = attempt;
            if (best.reading.ok()) return true;
        }
    }
    return false;
}

}  // namespace

DenseScanReading ReadDenseCodeFromScan(const GreyView& image, const DenseScanOptions& options) {
    DenseScanReading best;
    if (!image.valid()) return best;
    best.reading.status = DenseReadStatus::kNotFound;

    // Without a stated resolution, the usual scanner resolutions first
    // (each narrows the search to 15% around it, where the frame stands out
    // best), then any.
    static constexpr std::int32_t kUsual[] = {600, 300, 1200, 400, 200, 2400, 0};
    const std::int32_t stated[] = {options.dpi};
    const std::span<const std::int32_t> tries = options.dpi > 0 ? std::span<const std::int32_t>(stated)
                                                                : std::span<const std::int32_t>(kUsual);
    std::vector<DenseFrame> tried;
    for (const std::int32_t dpi : tries) {
        DenseLocateHints hints;
        hints.dpi = dpi;
        hints.hasPoint = options.hasHint;
        hints.point = options.hint;
        if (ReadFrames(image, LocateDenseFrames(image, hints), tried, best)) return best;
    }
    return best;
}

}  // namespace zeseal::densecode
