#include "support/dense_code_scans.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <stdexcept>

#include <jpeglib.h>

#include "densecode/format.h"
#include "support/grey_jpeg.h"

namespace zeseal::densecode::testing {
namespace {

struct Rect {
    double u0, v0, u1, v1;  // in code pixels, around the code
};

// Text lines (words of letter-sized blocks) above and below the code, and a
// rule under it, all in code pixels.
std::vector<Rect> Clutter(std::mt19937& random) {
    std::vector<Rect> rects;
    std::uniform_real_distribution<double> unit(0, 1);
    for (const double top : {-70.0, -40.0, 175.0}) {
        double u = 20;
        while (u < kDenseCodeWidth - 40) {
            const int letters = 2 + int(unit(random) * 7);
            for (int l = 0; l < letters; ++l) {
                const double w = 6 + unit(random) * 10;
                const double h = 14 + unit(random) * 8;
                rects.push_back({u, top + 22 - h, u + w, top + 22});
                u += w + 3;
            }
            u += 12;
        }
    }
    rects.push_back({0, 150, double(kDenseCodeWidth), 153});  // a rule
    return rects;
}

void GaussianBlur(std::vector<float>& image, int width, int height, double sigma) {
    const int radius = int(std::ceil(3 * sigma));
    std::vector<float> kernel(std::size_t(2 * radius + 1));
    double sum = 0;
    for (int i = -radius; i <= radius; ++i) sum += kernel[std::size_t(i + radius)] = float(std::exp(-i * i / (2 * sigma * sigma)));
    for (float& k : kernel) k = float(k / sum);
    std::vector<float> line(std::size_t(std::max(width, height)));
    for (int y = 0; y < height; ++y) {
        float* row = image.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            float acc = 0;
            for (int i = -radius; i <= radius; ++i) acc += kernel[std::size_t(i + radius)] * row[std::clamp(x + i, 0, width - 1)];
            line[std::size_t(x)] = acc;
        }
        std::copy(line.begin(), line.begin() + width, row);
    }
    // Down the columns a whole row at a time.
    std::vector<float> out(image.size());
    const std::size_t w = static_cast<std::size_t>(width);
    for (int y = 0; y < height; ++y) {
        float* target = out.data() + std::size_t(y) * w;
        for (int i = -radius; i <= radius; ++i) {
            const float k = kernel[std::size_t(i + radius)];
            const float* source = image.data() + std::size_t(std::clamp(y + i, 0, height - 1)) * w;
            for (std::size_t x = 0; x < w; ++x) target[x] += k * source[x];
        }
    }
    image.swap(out);
}

// Blurs the ink cover, then turns it into the scanner's grey levels: the
// light, the paper and toner, the response curve, noise, and JPEG.
void Finish(std::vector<float>& cover, const ScanDamage& damage, std::mt19937& random, Scan& scan);

}  // namespace

std::vector<std::uint8_t> ThroughJpeg(const std::vector<std::uint8_t>& grey, std::int32_t width,
                                      std::int32_t height, std::int32_t quality) {
    const std::vector<std::uint8_t> bytes = zeseal::testing::GreyJpeg(grey, width, height, quality);
    jpeg_error_mgr errors{};
    jpeg_decompress_struct d{};
    d.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d, TRUE);
    jpeg_start_decompress(&d);
    std::vector<std::uint8_t> out(std::size_t(width) * std::size_t(height));
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = out.data() + std::size_t(d.output_scanline) * std::size_t(width);
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return out;
}

Scan ScanDenseCode(const std::uint8_t* code, const ScanDamage& damage) {
    std::mt19937 random(damage.seed);
    const double k = damage.dpi / 300.0;
    const double angle = (damage.angleDegrees + (damage.upsideDown ? 180.0 : 0.0)) * std::numbers::pi / 180;
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double sx = k * damage.scaleX, sy = k * damage.scaleY;
    constexpr double cu = kDenseCodeWidth / 2.0, cv = kDenseCodeHeight / 2.0;

    // The picture's size and where the code's centre goes.
    Scan scan;
    scan.dpi = damage.dpi;
    double centreX = 0, centreY = 0;
    if (damage.pageWidth > 0) {
        scan.width = damage.pageWidth;
        scan.height = damage.pageHeight;
        centreX = damage.placeX;
        centreY = damage.placeY;
    } else {
        // Room for the clutter above and below, or a narrow margin.
        const double around = damage.clutter ? 90 : 12;
        const double halfW = std::fabs(cu * sx * ca) + std::fabs((cv + around) * sy * sa);
        const double halfH = std::fabs(cu * sx * sa) + std::fabs((cv + around) * sy * ca);
        scan.width = int(std::ceil(2 * halfW + 40 * k));
        scan.height = int(std::ceil(2 * halfH + 40 * k));
        centreX = scan.width / 2.0;
        centreY = scan.height / 2.0;
    }
    centreX += damage.shiftX;
    centreY += damage.shiftY;

    // Code point (u, v) to picture point: stretched, keystoned, bowed, turned.
    auto forward = [&](double u, double v, double& x, double& y) {
        const double s = (u - cu) / cu;
        const double taper = 1 + damage.keystone * s / 2;
        const double a = (u - cu) * sx;
        const double b = (v - cv) * sy * taper + damage.bow * (1 - s * s);
        x = centreX + a * ca - b * sa;
        y = centreY + a * sa + b * ca;
    };
    auto inverse = [&](double x, double y, double& u, double& v) {
        const double dx = x - centreX, dy = y - centreY;
        const double a = dx * ca + dy * sa;
        const double b = -dx * sa + dy * ca;
        u = a / sx + cu;
        const double s = (u - cu) / cu;
        v = (b - damage.bow * (1 - s * s)) / (sy * (1 + damage.keystone * s / 2)) + cv;
    };
    forward(0, 0, scan.codeX, scan.codeY);

    // The printed ink at a quarter of a code pixel: black where a code
    // pixel within the spread is black (or, thinned, where all of them are).
    // It reaches as far as the clutter around the code.
    constexpr int kFine = 4;
    constexpr int kPadU = 16 * kFine;
    const int padV = (damage.clutter ? 72 : 4) * kFine;
    const int fineWidth = kDenseCodeWidth * kFine + 2 * kPadU;
    const int fineHeight = kDenseCodeHeight * kFine + 2 * padV;
    std::vector<std::uint8_t> ink(std::size_t(fineWidth) * std::size_t(fineHeight), 0);
    {
        auto black = [&](int x, int y) {
            if (x < 0 || y < 0 || x >= kDenseCodeWidth || y >= kDenseCodeHeight) return false;
            return code[std::size_t(kDenseCodeHeight - 1 - y) * kDenseCodeWidth + std::size_t(x)] < 128;
        };
        const double spread = damage.inkSpread / 2 / k;
        const double r = std::fabs(spread);
        for (int j = 0; j < fineHeight; ++j) {
            const double v = (j - padV + 0.5) / kFine;
            const int y0 = int(std::floor(v - r)), y1 = int(std::floor(v + r));
            if (y1 < 0 || y0 >= kDenseCodeHeight) continue;
            for (int i = 0; i < fineWidth; ++i) {
                const double u = (i - kPadU + 0.5) / kFine;
                const int x0 = int(std::floor(u - r)), x1 = int(std::floor(u + r));
                bool any = false, all = true;
                for (int y = y0; y <= y1; ++y) {
                    for (int x = x0; x <= x1; ++x) {
                        const bool b = black(x, y);
                        any = any || b;
                        all = all && b;
                    }
                }
                ink[std::size_t(j) * std::size_t(fineWidth) + std::size_t(i)] = spread >= 0 ? any : all;
            }
        }
    }
    if (damage.clutter) {
        const double spread = damage.inkSpread / 2 / k;
        for (const Rect& r : Clutter(random)) {
            const int i0 = std::max(0, int((r.u0 - spread) * kFine) + kPadU);
            const int i1 = std::min(fineWidth, int((r.u1 + spread) * kFine) + kPadU);
            const int j0 = std::max(0, int((r.v0 - spread) * kFine) + padV);
            const int j1 = std::min(fineHeight, int((r.v1 + spread) * kFine) + padV);
            if (i1 <= i0) continue;
            for (int j = j0; j < j1; ++j) {
                std::fill(ink.begin() + std::ptrdiff_t(j) * fineWidth + i0, ink.begin() + std::ptrdiff_t(j) * fineWidth + i1, 1);
            }
        }
    }
    auto inked = [&](double u, double v) {
        const double fu = u * kFine + kPadU, fv = v * kFine + padV;
        if (fu >= 0 && fv >= 0 && fu < fineWidth && fv < fineHeight) {
            return ink[std::size_t(fv) * std::size_t(fineWidth) + std::size_t(fu)] != 0;
        }
        return false;
    };

    // Ink cover of every picture pixel, from a few points inside it.
    const int sub = std::max(1, int(std::lround(4 / k)));
    std::vector<float> cover(std::size_t(scan.width) * std::size_t(scan.height), 0.0f);
    // Only near the code and its clutter is there any ink.
    double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
    for (const double u : {-10.0, double(kDenseCodeWidth) + 10}) {
        for (const double v : {damage.clutter ? -80.0 : -10.0, double(kDenseCodeHeight) + (damage.clutter ? 80 : 10)}) {
            double x, y;
            forward(u, v, x, y);
            minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    }
    const int xa = std::max(0, int(minX) - 4), xb = std::min(scan.width, int(maxX) + 4);
    const int ya = std::max(0, int(minY) - 4 - int(std::fabs(damage.bow))), yb = std::min(scan.height, int(maxY) + 4 + int(std::fabs(damage.bow)));
    for (int y = ya; y < yb; ++y) {
        for (int x = xa; x < xb; ++x) {
            int hits = 0;
            for (int j = 0; j < sub; ++j) {
                for (int i = 0; i < sub; ++i) {
                    double u, v;
                    inverse(x + (i + 0.5) / sub, y + (j + 0.5) / sub, u, v);
                    hits += inked(u, v);
                }
            }
            cover[std::size_t(y) * std::size_t(scan.width) + std::size_t(x)] = float(hits) / float(sub * sub);
        }
    }
    Finish(cover, damage, random, scan);
    return scan;
}

Scan ScanPrintedPage(const std::vector<std::uint8_t>& grey, std::int32_t width, std::int32_t height,
                     std::int32_t printedDpi, const ScanDamage& damage) {
    std::mt19937 random(damage.seed);
    const double k = double(damage.dpi) / printedDpi;
    const double angle = (damage.angleDegrees + (damage.upsideDown ? 180.0 : 0.0)) * std::numbers::pi / 180;
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double sx = k * damage.scaleX, sy = k * damage.scaleY;
    // The page turned about its centre, on a picture just large enough.
    Scan scan;
    scan.dpi = damage.dpi;
    const double halfW = (std::fabs(width * sx * ca) + std::fabs(height * sy * sa)) / 2;
    const double halfH = (std::fabs(width * sx * sa) + std::fabs(height * sy * ca)) / 2;
    scan.width = int(std::ceil(2 * halfW)) + 8;
    scan.height = int(std::ceil(2 * halfH)) + 8;
    const double centreX = scan.width / 2.0 + damage.shiftX, centreY = scan.height / 2.0 + damage.shiftY;
    // Ink cover of every picture pixel from 2 x 2 points, each the darkness
    // of the page pixel under it.
    std::vector<float> cover(std::size_t(scan.width) * std::size_t(scan.height), 0.0f);
    for (int y = 0; y < scan.height; ++y) {
        for (int x = 0; x < scan.width; ++x) {
            float sum = 0;
            for (int j = 0; j < 2; ++j) {
                for (int i = 0; i < 2; ++i) {
                    const double dx = x + (i + 0.5) / 2 - centreX, dy = y + (j + 0.5) / 2 - centreY;
                    const double px = (dx * ca + dy * sa) / sx + width / 2.0;
                    const double py = (-dx * sa + dy * ca) / sy + height / 2.0;
                    if (px < 0 || py < 0 || px >= width || py >= height) continue;
                    sum += float(255 - grey[std::size_t(py) * std::size_t(width) + std::size_t(px)]) / 255.0f;
                }
            }
            cover[std::size_t(y) * std::size_t(scan.width) + std::size_t(x)] = sum / 4;
        }
    }
    Finish(cover, damage, random, scan);
    return scan;
}

namespace {

void Finish(std::vector<float>& cover, const ScanDamage& damage, std::mt19937& random, Scan& scan) {
    if (damage.blurSigma > 0) GaussianBlur(cover, scan.width, scan.height, damage.blurSigma);

    // The scanner's response, tabulated.
    std::vector<double> response(4097);
    for (std::size_t i = 0; i < response.size(); ++i) response[i] = 255 * std::pow(double(i) / 4096, damage.gamma);
    std::normal_distribution<double> noise(0, damage.noiseSigma > 0 ? damage.noiseSigma : 1);
    std::uniform_real_distribution<double> unit(0, 1);
    scan.grey.resize(cover.size());
    for (int y = 0; y < scan.height; ++y) {
        for (int x = 0; x < scan.width; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(scan.width) + std::size_t(x);
            const double light = 1 - damage.lightFalloff * x / std::max(1, scan.width - 1);
            const double reflect = damage.paperLevel + (double(damage.inkLevel) - damage.paperLevel) * cover[i];
            double level = response[std::size_t(std::lround(std::clamp(light * reflect / 255, 0.0, 1.0) * 4096))];
            if (damage.noiseSigma > 0) level += noise(random);
            if (damage.saltAndPepper > 0 && unit(random) < damage.saltAndPepper) level = unit(random) < 0.5 ? 0 : 255;
            scan.grey[i] = static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
        }
    }
    if (damage.jpegQuality > 0) scan.grey = ThroughJpeg(scan.grey, scan.width, scan.height, damage.jpegQuality);
}

}  // namespace

}  // namespace zeseal::densecode::testing
