// The benchmarks' main: runs every benchmark, then prints each registered
// comparison of ours against its baseline from the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "comparison.h"

namespace zeseal::bench {
namespace {

std::vector<Comparison>& Comparisons() {
    static std::vector<Comparison> all;
    return all;
}

std::vector<std::string>& Notes() {
    static std::vector<std::string> all;
    return all;
}

struct Measured {
    double secondsPerIteration = 0;
    double bytesPerSecond = 0;
};

// Passes everything to the console and keeps each run's figures.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            Measured m;
            // CPU time: the machine may be shared, and its other work should
            // not count against either side of a pair.
            m.secondsPerIteration = run.GetAdjustedCPUTime() /
                                    benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (auto it = run.counters.find("bytes_per_second"); it != run.counters.end()) {
                m.bytesPerSecond = it->second.value;
            }
            // By full name, and by the bare function name for benchmarks that
            // carry settings in theirs (".../iterations:3").
            measured[run.benchmark_name()] = m;
            measured.emplace(run.run_name.function_name, m);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Measured> measured;
};

std::string Duration(double seconds) {
    char text[32];
    if (seconds >= 1e-3) std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
    else std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    return text;
}

void PrintComparisons(const std::map<std::string, Measured>& measured) {
    if (Comparisons().empty() && Notes().empty()) return;
    std::printf("\n%-44s %-34s %12s %12s %8s  %s\n", "ours (same run)", "against", "ours", "baseline",
                "ratio", "target");
    for (const Comparison& c : Comparisons()) {
        const auto ours = measured.find(c.ours);
        const auto base = measured.find(c.baseline);
        if (ours == measured.end() || base == measured.end()) continue;  // filtered out
        const Measured& o = ours->second;
        const Measured& b = base->second;
        const double ratio = o.secondsPerIteration / b.secondsPerIteration;
        bool met = true;
        std::string oursText = Duration(o.secondsPerIteration);
        std::string baseText = Duration(b.secondsPerIteration);
        switch (c.target.kind) {
        case Target::Kind::kMaxRatio: met = ratio <= c.target.value; break;
        case Target::Kind::kMinBytesPerSecond: {
            met = o.bytesPerSecond >= c.target.value;
            char text[32];
            std::snprintf(text, sizeof text, "%.2f GB/s", o.bytesPerSecond / 1e9);
            oursText = text;
            std::snprintf(text, sizeof text, "%.2f GB/s", b.bytesPerSecond / 1e9);
            baseText = text;
            break;
        }
        case Target::Kind::kMaxSeconds: met = o.secondsPerIteration <= c.target.value; break;
        case Target::Kind::kNone: break;
        }
        std::printf("%-44s %-34s %12s %12s %8.3f  %s%s\n", c.ours.c_str(), c.baseline.c_str(),
                    oursText.c_str(), baseText.c_str(), ratio, c.target.text.c_str(),
                    c.target.kind == Target::Kind::kNone ? "" : (met ? "  met" : "  MISSED"));
    }
    for (const std::string& note : Notes()) std::printf("note: %s\n", note.c_str());
}

}  // namespace

Target Target::MaxRatio(double ratio) {
    char text[48];
    std::snprintf(text, sizeof text, "ratio <= %.2f", ratio);
    return {Kind::kMaxRatio, ratio, text};
}
Target Target::MinGigabytesPerSecond(double gbps) {
    char text[48];
    std::snprintf(text, sizeof text, ">= %.2f GB/s", gbps);
    return {Kind::kMinBytesPerSecond, gbps * 1e9, text};
}
Target Target::MaxMilliseconds(double ms) {
    char text[48];
    std::snprintf(text, sizeof text, "<= %.2f ms", ms);
    return {Kind::kMaxSeconds, ms * 1e-3, text};
}
Target Target::None() { return {}; }

bool RegisterComparison(Comparison comparison) {
    Comparisons().push_back(std::move(comparison));
    return true;
}

bool RegisterNote(std::string note) {
    Notes().push_back(std::move(note));
    return true;
}

}  // namespace zeseal::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    zeseal::bench::CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    zeseal::bench::PrintComparisons(reporter.measured);
    benchmark::Shutdown();
    return 0;
}
