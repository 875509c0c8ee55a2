#include "densecode/reader/locate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "densecode/format.h"

namespace zeseal::densecode {
namespace {

// The frame's geometry in code pixels: the centres of its long sides and of
// its short sides.
constexpr double kLongSidesApart = kDenseCodeHeight - 2;  // 126
constexpr double kShortSidesApart = kDenseCodeWidth - 2;  // 2526
constexpr double kMaxSlope = 0.0963;                       // tan 5.5 degrees

struct Run {
    double centre = 0;
    int first = 0;
    int last = 0;
    int gapBefore = 0;
    int gapAfter = 0;
    int Thickness() const noexcept { return last - first + 1; }
};

struct Hit {
    double x = 0;
    double top = 0;     // the upper long side's centre
    double bottom = 0;  // the lower one's
    double Middle() const noexcept { return (top + bottom) / 2; }
    double Apart() const noexcept { return bottom - top; }
};

struct Window {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;  // exclusive
    int y1 = 0;
};

// The rows of `count` strips of columns, `stripWidth` wide and `step`
// apart from x0, averaged across each strip (0..1020): profiles[i n + y]
// for strip i and window row y, n the window's height. Row by row, so the
// picture is read in the order it lies in memory.
void StripProfiles(const GreyView& image, const Window& w, int x0, int step, int stripWidth, int count,
                   std::vector<int>& profiles) {
    const int n = w.y1 - w.y0;
    profiles.resize(std::size_t(count) * std::size_t(n));
    for (int y = 0; y < n; ++y) {
        const std::uint8_t* row = image.Row(w.y0 + y) + x0;
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* strip = row + std::size_t(i) * std::size_t(step);
            int sum = 0;
            for (int j = 0; j < stripWidth; ++j) sum += strip[j];
            profiles[std::size_t(i) * std::size_t(n) + std::size_t(y)] = sum * 4 / stripWidth;
        }
    }
}

// The dark runs of one strip from its profile (n rows from the window's
// top y0): a median of three down it against lone noisy pixels, and a
// threshold halfway between the darkest and lightest levels nearby.
void StripRuns(const int* profile, int n, int y0, int block, std::vector<int>& smooth, std::vector<int>& low,
               std::vector<int>& high, std::vector<Run>& runs) {
    smooth.resize(std::size_t(n));
    for (int y = 0; y < n; ++y) {
        const int a = profile[std::size_t(std::max(0, y - 1))];
        const int b = profile[std::size_t(y)];
        const int c = profile[std::size_t(std::min(n - 1, y + 1))];
        smooth[std::size_t(y)] = std::max(std::min(a, b), std::min(std::max(a, b), c));
    }
    const int blocks = (n + block - 1) / block;
    low.assign(std::size_t(blocks), 1 << 20);
    high.assign(std::size_t(blocks), -1);
    for (int y = 0; y < n; ++y) {
        const std::size_t b = std::size_t(y / block);
        low[b] = std::min(low[b], smooth[std::size_t(y)]);
        high[b] = std::max(high[b], smooth[std::size_t(y)]);
    }
    runs.clear();
    Run current;
    bool inRun = false;
    int lastEnd = -1;
    double weight = 0;
    double moment = 0;
    for (int y = 0; y <= n; ++y) {
        bool dark = false;
        int threshold = 0;
        if (y < n) {
            const int b = y / block;
            int lo = low[std::size_t(b)];
            int hi = high[std::size_t(b)];
            if (b > 0) lo = std::min(lo, low[std::size_t(b - 1)]), hi = std::max(hi, high[std::size_t(b - 1)]);
            if (b + 1 < blocks) lo = std::min(lo, low[std::size_t(b + 1)]), hi = std::max(hi, high[std::size_t(b + 1)]);
            threshold = (lo + hi) / 2;
            dark = hi - lo >= 160 && smooth[std::size_t(y)] < threshold;
        }
        if (dark) {
            if (!inRun) {
                current = Run{};
                current.first = y;
                current.gapBefore = y - lastEnd - 1;
                weight = moment = 0;
                inRun = true;
            }
            const double wgt = threshold - smooth[std::size_t(y)] + 1;
            weight += wgt;
            moment += wgt * (y + 0.5);
        } else if (inRun) {
            current.last = y - 1;
            current.centre = y0 + moment / weight;
            if (!runs.empty()) runs.back().gapAfter = current.gapBefore;
            runs.push_back(current);
            lastEnd = y - 1;
            inRun = false;
        }
    }
    if (!runs.empty()) runs.back().gapAfter = n - 1 - runs.back().last;
}

// Pairs of runs that could be the two long sides of the frame.
void PairRuns(const std::vector<Run>& runs, double x, double minApart, double maxApart, int maxThickness,
              std::vector<Hit>& hits) {
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Run& a = runs[i];
        const int ta = a.Thickness();
        if (ta > maxThickness || 5 * a.gapAfter < ta) continue;
        for (std::size_t j = i + 1; j < runs.size(); ++j) {
            const Run& b = runs[j];
            const double apart = b.centre - a.centre;
            if (apart > maxApart) break;
            if (apart < minApart) continue;
            const int tb = b.Thickness();
            if (tb > maxThickness || 5 * b.gapBefore < tb) continue;
            if (2 * tb + 2 < ta || tb > 2 * ta + 2) continue;
            const double ratio = apart / ((ta + tb) / 2.0);
            if (ratio < 28 || ratio > 140) continue;
            hits.push_back({x, a.centre, b.centre});
        }
    }
}

// The most common distances between the two sides among the hits, most
// common first: the frame's height in picture pixels is one of them.
std::vector<double> CommonAparts(const std::vector<Hit>& hits, double minApart, double maxApart) {
    const int bins = 1024;
    std::vector<double> histogram(std::size_t(bins), 0.0);
    const double logMin = std::log(minApart);
    const double span = std::log(maxApart) - logMin;
    for (const Hit& h : hits) {
        const double f = (std::log(h.Apart()) - logMin) / span * bins;
        const int b = std::clamp(int(f), 0, bins - 1);
        histogram[std::size_t(b)] += 1;
    }
    // The frame's sides are the same distance apart all along the code, to
    // a pixel or so; the code's rows of cells, two code pixels apart, make
    // pairs with one side at many distances, each on about half the strips.
    const int reach = std::max(1, int(0.002 / span * bins));
    std::vector<double> sums(std::size_t(bins), 0.0);
    for (int b = 0; b < bins; ++b) {
        for (int k = std::max(0, b - reach); k <= std::min(bins - 1, b + reach); ++k) sums[std::size_t(b)] += histogram[std::size_t(k)];
    }
    std::vector<double> peaks;
    const int apartBins = std::max(1, int(0.012 / span * bins));
    for (int round = 0; round < 8; ++round) {
        const auto best = std::max_element(sums.begin(), sums.end());
        if (*best < 8) break;
        const int b = int(best - sums.begin());
        peaks.push_back(std::exp(logMin + (b + 0.5) / bins * span));
        for (int k = std::max(0, b - apartBins); k <= std::min(bins - 1, b + apartBins); ++k) sums[std::size_t(k)] = 0;
    }
    return peaks;
}

struct Line {
    double a = 0;  // y at x = 0
    double b = 0;  // slope
    double At(double x) const noexcept { return a + b * x; }
};

bool FitLine(const std::vector<Hit>& hits, bool top, Line& line) {
    double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const Hit& h : hits) {
        const double y = top ? h.top : h.bottom;
        sw += 1, sx += h.x, sy += y, sxx += h.x * h.x, sxy += h.x * y;
    }
    const double det = sw * sxx - sx * sx;
    if (sw < 2 || std::fabs(det) < 1e-9) return false;
    line.b = (sw * sxy - sx * sy) / det;
    line.a = (sy - line.b * sx) / sw;
    return true;
}

// The position along the code's length of a short side near `near`: the
// darkest point of the picture averaged across the code's height, on the
// line through the middle of the code. Returns false when the side lies
// beyond the picture or shows no dark line.
bool FindShortSide(const GreyView& image, PointD near, PointD along, PointD across, double height,
                   double reach, double scale, double lineLevel, int outwards, PointD& side) {
    const int samples = std::max(8, int(reach * 2));  // two a picture pixel
    const int rows = 24;
    std::vector<double> profile(std::size_t(2 * samples + 1), 0.0);
    for (int i = -samples; i <= samples; ++i) {
        const double s = reach * i / samples;
        double sum = 0;
        bool inside = true;
        for (int r = 0; r < rows && inside; ++r) {
            const double t = height * (-0.45 + 0.9 * (r + 0.5) / rows);
            const double x = near.x + s * along.x + t * across.x;
            const double y = near.y + s * along.y + t * across.y;
            inside = image.Inside(x, y);
            if (inside) sum += image.Bilinear(x, y);
        }
        // Beyond the picture: no line there, and no level to compare.
        profile[std::size_t(i + samples)] = inside ? sum / rows : -1;
    }
    // Positions beyond the picture take the level of the nearest inside one.
    int firstInside = -1;
    for (std::size_t i = 0; i < profile.size(); ++i) {
        if (profile[i] >= 0) {
            firstInside = int(i);
            break;
        }
    }
    if (firstInside < 0) return false;
    double carried = profile[std::size_t(firstInside)];
    std::vector<bool> beyond(profile.size(), false);
    for (std::size_t i = 0; i < profile.size(); ++i) {
        if (profile[i] < 0) profile[i] = carried, beyond[i] = true;
        else carried = profile[i];
    }
    int best = 0;
    double lightest = 0;
    for (std::size_t i = 0; i < profile.size(); ++i) {
        if (profile[i] < profile[std::size_t(best)]) best = int(i);
        lightest = std::max(lightest, profile[i]);
    }
    // The outermost line about as dark as the long sides: the columns of
    // cells inside are never dark all down the code.
    const double dark = lineLevel + 0.4 * (lightest - lineLevel);
    const int count = int(profile.size());
    for (int k = 0; k < count; ++k) {
        const int i = outwards > 0 ? count - 1 - k : k;
        if (beyond[std::size_t(i)] || profile[std::size_t(i)] > dark) continue;
        // The bottom of this valley.
        int bottom = i;
        while (bottom - outwards >= 0 && bottom - outwards < count &&
               profile[std::size_t(bottom - outwards)] <= profile[std::size_t(bottom)]) {
            bottom -= outwards;
        }
        best = bottom;
        break;
    }
    // The side line is much darker than the code's inside on average.
    double mean = 0;
    for (const double p : profile) mean += p;
    mean /= double(profile.size());
    // As dark as the long sides, all down the code's height.
    if (lightest - profile[std::size_t(best)] < 40 || mean - profile[std::size_t(best)] < 0.3 * (lightest - profile[std::size_t(best)]) ||
        profile[std::size_t(best)] > lineLevel + 0.4 * (lightest - lineLevel)) {
        return false;
    }
    // The centre of the dark line: its darkness's centroid within one code pixel.
    const double step = reach / samples;
    const int width = std::max(1, int(scale * 1.5 / step));
    const double floor = (lightest + profile[std::size_t(best)]) / 2;
    double weight = 0, moment = 0;
    for (int k = best - width; k <= best + width; ++k) {
        if (k < 0 || k >= int(profile.size())) continue;
        const double wgt = std::max(0.0, floor - profile[std::size_t(k)]);
        weight += wgt;
        moment += wgt * k;
    }
    const double centre = weight > 0 ? moment / weight : best;
    if (beyond[std::size_t(best)]) return false;
    const double s = reach * (centre - samples) / samples;
    side = {near.x + s * along.x, near.y + s * along.y};
    return true;
}

// A line pair that may be the frame's long sides, before its short sides
// are looked for.
struct Candidate {
    Line top;
    Line bottom;
    double xa = 0;  // the code's extent along the picture's rows
    double xb = 0;
    int support = 0;  // strips that saw both long sides
};

void CandidatesAt(const Window& w, const std::vector<Hit>& hits, double apart, int step,
                  std::vector<Candidate>& candidates);
bool FrameOf(const GreyView& image, const Candidate& candidate, int step, DenseFrame& frame);

std::vector<DenseFrame> LocateIn(const GreyView& image, const Window& w, const DenseLocateHints& hints) {
    std::vector<DenseFrame> frames;
    if (w.x1 - w.x0 < 16 || w.y1 - w.y0 < 16) return frames;
    const double guess = hints.dpi > 0 ? hints.dpi / 300.0 : 2.0;
    double minApart = 0.85 * kLongSidesApart * guess;
    double maxApart = 1.15 * kLongSidesApart * guess;
    if (hints.dpi <= 0) {
        minApart = 0.8 * kLongSidesApart * 0.5;  // 150 dpi
        maxApart = 1.2 * kLongSidesApart * 8;    // 2400 dpi
    }
    maxApart = std::min(maxApart, double(w.y1 - w.y0));
    if (maxApart <= minApart) return frames;
    const int maxThickness = int(std::ceil(maxApart / kLongSidesApart * 2 * 2.5)) + 2;

    // A strip every few code pixels along the code's length.
    const int stripWidth = std::min(4, w.x1 - w.x0);
    const int step = std::clamp(int(std::lround(4 * guess)), 4, 16);
    const int block = std::clamp(int(std::lround(12 * guess)), 8, 48);
    // The strips' profiles a batch at a time: each row of the picture is
    // read once for the batch, and the batch's profiles stay small.
    constexpr int kStripsAtOnce = 64;
    const int n = w.y1 - w.y0;
    const int strips = (w.x1 - w.x0 - stripWidth) / step + 1;
    std::vector<Hit> hits;
    std::vector<int> profiles, smooth, low, high;
    std::vector<Run> runs;
    for (int first = 0; first < strips; first += kStripsAtOnce) {
        const int count = std::min(kStripsAtOnce, strips - first);
        StripProfiles(image, w, w.x0 + first * step, step, stripWidth, count, profiles);
        for (int i = 0; i < count; ++i) {
            StripRuns(profiles.data() + std::size_t(i) * std::size_t(n), n, w.y0, block, smooth, low, high, runs);
            PairRuns(runs, w.x0 + (first + i) * step + stripWidth / 2.0, minApart, maxApart, maxThickness, hits);
        }
    }
    if (hits.size() < 8) return frames;

    std::vector<Candidate> candidates;
    for (const double apart : CommonAparts(hits, minApart, maxApart)) CandidatesAt(w, hits, apart, step, candidates);
    // The best supported first, and the same frame found at two distances
    // once. Looking for the short sides is the dear part, so it stops at the
    // third frame (the others would be dropped) and after the eighth
    // candidate: a code's long sides are seen by more strips than the lines
    // of anything else in a scan.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.support > b.support; });
    if (candidates.size() > 8) candidates.resize(8);
    for (const Candidate& candidate : candidates) {
        DenseFrame f;
        if (!FrameOf(image, candidate, step, f)) continue;
        bool again = false;
        for (const DenseFrame& d : frames) {
            const PointD a = f.upright.Apply(0, 0), b = d.upright.Apply(0, 0);
            again = again || std::hypot(a.x - b.x, a.y - b.y) < 8 * f.pixelsPerCodePixel;
        }
        if (again) continue;
        frames.push_back(f);
        if (frames.size() == 3) break;
    }
    return frames;
}

// The candidates whose long sides lie `apart` picture pixels apart.
void CandidatesAt(const Window& w, const std::vector<Hit>& hits, double apart, int step,
                  std::vector<Candidate>& candidates) {
    std::vector<Hit> kept;
    for (const Hit& h : hits) {
        if (std::fabs(h.Apart() - apart) <= std::max(1.0, 0.004 * apart)) kept.push_back(h);
    }
    const double scale = apart / kLongSidesApart;  // picture pixels per code pixel
    const double length = kShortSidesApart * scale;

    // A vote over the line through the middles of the hits: its slope and
    // its height at the window's left edge.
    const double bin = std::max(2.0, scale);
    const double slopeStep = std::max(1e-4, 1.5 * bin / length);
    const int slopes = 2 * int(std::ceil(kMaxSlope / slopeStep)) + 1;
    const double yMin = w.y0 - kMaxSlope * (w.x1 - w.x0);
    const int heights = int((w.y1 - w.y0 + 2 * kMaxSlope * (w.x1 - w.x0)) / bin) + 2;
    if (double(slopes) * heights > 4e7) return;
    std::vector<std::uint16_t> votes(std::size_t(slopes) * std::size_t(heights), 0);
    const int half = slopes / 2;
    for (const Hit& h : kept) {
        for (int s = 0; s < slopes; ++s) {
            const double slope = (s - half) * slopeStep;
            const int k = int((h.Middle() - slope * (h.x - w.x0) - yMin) / bin);
            if (k < 0 || k >= heights) continue;
            std::uint16_t& v = votes[std::size_t(s) * std::size_t(heights) + std::size_t(k)];
            if (v < 65535) ++v;
        }
    }

    for (int candidate = 0; candidate < 3; ++candidate) {
        // Two neighbouring heights together: a line on a bin's border. The
        // first of the highest sums, slope by slope.
        std::size_t best = 0;
        int bestVotes = 0;
        for (int s = 0; s < slopes; ++s) {
            const std::size_t start = std::size_t(s) * std::size_t(heights);
            const std::uint16_t* row = votes.data() + start;
            for (int k = 0; k + 1 < heights; ++k) {
                const int v = row[k] + row[k + 1];
                if (v > bestVotes) bestVotes = v, best = start + std::size_t(k);
            }
            if (row[heights - 1] > bestVotes) bestVotes = row[heights - 1], best = start + std::size_t(heights - 1);
        }
        // A code shows a hit on most strips along its length.
        const double minimum = std::max(12.0, 0.2 * length / step);
        if (bestVotes < minimum) break;
        const int s = int(best / std::size_t(heights));
        const int k = int(best % std::size_t(heights));
        const double slope = (s - half) * slopeStep;
        const double middle = yMin + (k + 1) * bin;
        // Clear the peak's neighbourhood for the next candidate.
        for (int ds = -6; ds <= 6; ++ds) {
            for (int dk = -int(apart / bin); dk <= int(apart / bin); ++dk) {
                if (s + ds < 0 || s + ds >= slopes || k + dk < 0 || k + dk >= heights) continue;
                votes[std::size_t(s + ds) * std::size_t(heights) + std::size_t(k + dk)] = 0;
            }
        }

        std::vector<Hit> inliers;
        for (const Hit& h : kept) {
            if (std::fabs(h.Middle() - (middle + slope * (h.x - w.x0))) <= 2 * bin) inliers.push_back(h);
        }
        Line top, bottom;
        for (int pass = 0; pass < 2; ++pass) {
            if (!FitLine(inliers, true, top) || !FitLine(inliers, false, bottom)) break;
            std::vector<Hit> closer;
            for (const Hit& h : inliers) {
                if (std::fabs(h.top - top.At(h.x)) <= 0.6 * scale + 0.5 &&
                    std::fabs(h.bottom - bottom.At(h.x)) <= 0.6 * scale + 0.5) {
                    closer.push_back(h);
                }
            }
            if (closer.size() < 8) break;
            inliers.swap(closer);
        }
        if (inliers.size() < 8 || !FitLine(inliers, true, top) || !FitLine(inliers, false, bottom)) continue;
        // The sides' distance changes along a keystoned code, and a bowed
        // one strays from the lines: the code's extent is where any hit lies
        // near both lines.
        double xa = inliers.front().x;
        double xb = inliers.front().x;
        const double near = std::max(2.0, 1.5 * scale);
        for (const Hit& h : hits) {
            if (std::fabs(h.top - top.At(h.x)) <= near && std::fabs(h.bottom - bottom.At(h.x)) <= near) {
                xa = std::min(xa, h.x), xb = std::max(xb, h.x);
            }
        }
        candidates.push_back({top, bottom, xa, xb, int(inliers.size())});
    }
}

// The frame of a candidate: its short sides found at the ends of its long
// ones (one is enough; the other is then where the code's length puts it).
bool FrameOf(const GreyView& image, const Candidate& candidate, int step, DenseFrame& frame) {
    const Line& top = candidate.top;
    const Line& bottom = candidate.bottom;
    const double xa = candidate.xa;
    const double xb = candidate.xb;
    // The code's axes in the picture.
    const double meanSlope = (top.b + bottom.b) / 2;
    const double norm = std::sqrt(1 + meanSlope * meanSlope);
    const PointD along = {1 / norm, meanSlope / norm};
    const PointD across = {-along.y, along.x};
    auto middleAt = [&](double x) { return PointD{x, (top.At(x) + bottom.At(x)) / 2}; };
    const double height = (bottom.At((xa + xb) / 2) - top.At((xa + xb) / 2)) / norm;
    const double crossScale = height / kLongSidesApart;
    const double reach = 2.5 * step + 8 * crossScale + 0.01 * (xb - xa);
    // How dark the long sides print.
    double lineLevel = 0;
    for (int i = 0; i < 32; ++i) {
        const double x = xa + (xb - xa) * (i + 0.5) / 32;
        lineLevel += image.Bilinear(x, top.At(x)) + image.Bilinear(x, bottom.At(x));
    }
    lineLevel /= 64;
    PointD left, right;
    const bool hasLeft = FindShortSide(image, middleAt(xa), along, across, height, reach, crossScale, lineLevel, -1, left);
    const bool hasRight = FindShortSide(image, middleAt(xb), along, across, height, reach, crossScale, lineLevel, 1, right);
    if (!hasLeft && !hasRight) return false;
    const double expected = kShortSidesApart * crossScale;  // the length the code's height makes likely
    if (!hasLeft) left = {right.x - expected * along.x, right.y - expected * along.y};
    if (!hasRight) right = {left.x + expected * along.x, left.y + expected * along.y};
    if (hasLeft && hasRight) {
        // A mark of the code's height in line with it (the test page has
        // one) continues its long sides, and its far side passes for the
        // code's. Each short side is looked for again where the other one
        // and the code's height put it; the pair nearest the code's
        // proportions is kept.
        auto misfit = [&](PointD a, PointD b) { return std::fabs(std::hypot(b.x - a.x, b.y - a.y) / expected - 1); };
        if (misfit(left, right) > 0.1) {
            const PointD pairs[2][2] = {{left, {left.x + expected * along.x, left.y + expected * along.y}},
                                        {{right.x - expected * along.x, right.y - expected * along.y}, right}};
            PointD bestLeft = left, bestRight = right;
            for (int k = 0; k < 2; ++k) {
                PointD side;
                const PointD guess = pairs[k][1 - k];
                if (!FindShortSide(image, middleAt(guess.x), along, across, height, reach, crossScale, lineLevel,
                                   k == 0 ? 1 : -1, side)) {
                    continue;
                }
                const PointD a = k == 0 ? left : side, b = k == 0 ? side : right;
                if (misfit(a, b) < misfit(bestLeft, bestRight)) bestLeft = a, bestRight = b;
            }
            left = bestLeft, right = bestRight;
        }
    }
    const double dx = right.x - left.x;
    const double dy = right.y - left.y;
    const double lengthFound = std::sqrt(dx * dx + dy * dy);
    if (lengthFound < 0.8 * kShortSidesApart * crossScale || lengthFound > 1.25 * kShortSidesApart * crossScale) return false;
    const double alongScale = lengthFound / kShortSidesApart;
    const PointD u = {dx / kShortSidesApart, dy / kShortSidesApart};
    const PointD v = {-dy / lengthFound * crossScale, dx / lengthFound * crossScale};
    (void)alongScale;

    // Upright: code (1, 64) is the left side's middle.
    frame.upright = CodeMap::Affine({left.x - u.x - 64 * v.x, left.y - u.y - 64 * v.y}, u, v);
    // Half a turn: code (1, 64) is the right side's middle, both axes reversed.
    frame.upsideDown = CodeMap::Affine({right.x + u.x + 64 * v.x, right.y + u.y + 64 * v.y},
                                       {-u.x, -u.y}, {-v.x, -v.y});
    frame.pixelsPerCodePixel = crossScale;
    frame.support = candidate.support;
    return true;
}

}  // namespace

std::vector<DenseFrame> LocateDenseFrames(const GreyView& image, const DenseLocateHints& hints) {
    if (!image.valid()) return {};
    const Window whole{0, 0, image.width, image.height};
    if (hints.hasPoint) {
        // Around the hint first: the code's size at the stated resolution,
        // and a good margin for where it really lies.
        const double scale = hints.dpi > 0 ? hints.dpi / 300.0 : 2.0;
        const double margin = 200 * scale;
        Window near;
        near.x0 = int(std::clamp(hints.point.x - margin, 0.0, double(image.width)));
        near.y0 = int(std::clamp(hints.point.y - margin, 0.0, double(image.height)));
        near.x1 = int(std::clamp(hints.point.x + kDenseCodeWidth * scale * 1.05 + margin, 0.0, double(image.width)));
        near.y1 = int(std::clamp(hints.point.y + kDenseCodeHeight * scale * 1.05 + margin + 0.1 * kDenseCodeWidth * scale, 0.0, double(image.height)));
        std::vector<DenseFrame> frames = LocateIn(image, near, hints);
        if (!frames.empty()) return frames;
    }
    return LocateIn(image, whole, hints);
}

}  // namespace zeseal::densecode
