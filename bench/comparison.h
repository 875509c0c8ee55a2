// Benchmarks that stand beside a baseline measured in the same run.
//
// A benchmark file registers its pairs with ZESEAL_COMPARE(ours, baseline,
// "target"). After all benchmarks have run, the shared main prints one line
// per pair: our time, the baseline's, their ratio, and the target to meet
// (a ratio, a throughput or a time), with "met" or "MISSED". The baseline is
// the library a user would otherwise pick where one exists (a peer found at
// build time; a pair whose peer is missing is left out with a note), else a
// plain version of the same steps.
#pragma once

#include <string>
#include <vector>

namespace zeseal::bench {

struct Target {
    enum class Kind { kNone, kMaxRatio, kMinBytesPerSecond, kMaxSeconds };
    Kind kind = Kind::kNone;
    double value = 0;
    std::string text;  // as printed

    static Target MaxRatio(double ratio);               // ours / baseline time
    static Target MinGigabytesPerSecond(double gbps);   // ours, from SetBytesProcessed
    static Target MaxMilliseconds(double ms);           // ours, per iteration
    static Target None();
};

struct Comparison {
    std::string ours;      // benchmark names as registered
    std::string baseline;
    Target target;
};

// Registers a comparison; returns true so it can initialise a static.
bool RegisterComparison(Comparison comparison);

// A line printed under the comparisons, e.g. why a pair is missing from
// this build; returns true so it can initialise a static.
bool RegisterNote(std::string note);

}  // namespace zeseal::bench

#define ZESEAL_BENCH_CONCAT2(a, b) a##b
#define ZESEAL_BENCH_NOTE(text)                                                      \
    static const bool ZESEAL_BENCH_CONCAT(zesealNote, __LINE__) =                   \
        ::zeseal::bench::RegisterNote(text)
#define ZESEAL_BENCH_CONCAT(a, b) ZESEAL_BENCH_CONCAT2(a, b)
#define ZESEAL_COMPARE(ours, baseline, target)                                      \
    static const bool ZESEAL_BENCH_CONCAT(zesealComparison, __LINE__) =             \
        ::zeseal::bench::RegisterComparison({#ours, #baseline, target})
