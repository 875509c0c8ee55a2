// Draws the two court-logo files of the installation: a round seal with a
// double border and a balance emblem. "court_ink" is an 8-bit picture in
// shades of seal red for ink printers; "court_laser" is the same seal in
// 1-bit black for laser printers. Both are 96 x 96 pixels at 72 dpi, so the
// seal prints 1 1/3 inch across.
//
//   zeseal_make_court_logos ink|laser OUTFILE
//
// The file is written to a temporary name beside OUTFILE and renamed into
// place.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "authoring/bmp_writer.h"

namespace {

namespace fs = std::filesystem;
using zeseal::authoring::IndexedPicture;
using zeseal::authoring::Rgb;

constexpr int kSide = 96;
constexpr int kSamples = 4;  // per axis, for the shaded ink version
constexpr double kCentre = kSide / 2.0;

struct Point {
    double x, y;
};

double DistanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool Stroke(Point p, Point a, Point b, double width) { return DistanceToSegment(p, a, b) <= width / 2; }

// A pan of the balance: the lower half of a disc, hung from its rim.
bool Pan(Point p, Point centre, double radius) {
    return p.y >= centre.y && std::hypot(p.x - centre.x, p.y - centre.y) <= radius;
}

// Whether the seal inks the point p (in pixel units, origin top left).
bool Inked(Point p) {
    const double r = std::hypot(p.x - kCentre, p.y - kCentre);
    if (r >= 42.0 && r <= 47.0) return true;  // outer border
    if (r >= 37.0 && r <= 38.5) return true;  // inner border
    // Twelve beads between the borders.
    for (int k = 0; k < 12; ++k) {
        const double a = k * 3.14159265358979 / 6;
        if (std::hypot(p.x - (kCentre + 40.2 * std::cos(a)), p.y - (kCentre + 40.2 * std::sin(a))) <= 1.1) {
            return true;
        }
    }
    // The balance: post, knob, beam, cords, pans and a stepped foot.
    const Point top{48, 28}, left{28, 30}, right{68, 30};
    if (Stroke(p, {48, 22}, {48, 70}, 3.0)) return true;
    if (std::hypot(p.x - 48, p.y - 19.5) <= 3.2) return true;
    if (Stroke(p, left, right, 2.6) || Stroke(p, top, left, 2.0) || Stroke(p, top, right, 2.0)) {
        return true;
    }
    for (const Point hook : {left, right}) {
        if (Stroke(p, hook, {hook.x - 7, 47}, 1.3) || Stroke(p, hook, {hook.x + 7, 47}, 1.3)) return true;
        if (Pan(p, {hook.x, 47}, 8.5)) return true;
    }
    if (Stroke(p, {42, 67}, {54, 67}, 3.0) || Stroke(p, {35, 72}, {61, 72}, 4.0)) return true;
    return false;
}

// Ink coverage of pixel (x, y), from kSamples x kSamples points in it.
double Coverage(int x, int y) {
    int hits = 0;
    for (int i = 0; i < kSamples; ++i) {
        for (int j = 0; j < kSamples; ++j) {
            hits += Inked({x + (j + 0.5) / kSamples, y + (i + 0.5) / kSamples}) ? 1 : 0;
        }
    }
    return double(hits) / (kSamples * kSamples);
}

IndexedPicture InkLogo() {
    // Index i is i/255 of full seal red over white paper.
    const Rgb paper{255, 255, 255}, seal{196, 18, 36};
    IndexedPicture picture{kSide, kSide, 8, {}, {}, 72};
    for (int i = 0; i < 256; ++i) {
        Rgb c;
        for (int k = 0; k < 3; ++k) c[k] = static_cast<std::uint8_t>(std::lround(paper[k] + (seal[k] - paper[k]) * i / 255.0));
        picture.palette.push_back(c);
    }
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) picture.indices.push_back(static_cast<std::uint8_t>(std::lround(255 * Coverage(x, y))));
    }
    return picture;
}

IndexedPicture LaserLogo() {
    IndexedPicture picture{kSide, kSide, 1, {{255, 255, 255}, {0, 0, 0}}, {}, 72};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) picture.indices.push_back(Coverage(x, y) >= 0.5 ? 1 : 0);
    }
    return picture;
}

void WriteAtomically(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    const fs::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) throw std::runtime_error("cannot write " + temporary.string());
    }
    fs::rename(temporary, path);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "ink" && kind != "laser") {
        std::fprintf(stderr, "usage: %s ink|laser OUTFILE\n", argv[0]);
        return 2;
    }
    try {
        const fs::path path = argv[2];
        if (path.has_parent_path()) fs::create_directories(path.parent_path());
        WriteAtomically(path, zeseal::authoring::EncodeIndexedBmp(kind == "ink" ? InkLogo() : LaserLogo()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
