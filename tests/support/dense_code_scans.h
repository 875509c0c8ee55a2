// Scans of the dense code made to order: the encoder's picture printed and
// scanned at a resolution, turned, stretched and shifted, with ink spread or
// thinned, blurred, lit unevenly, noisy and JPEG-compressed, with text and a
// rule around it. Everything follows from the seed, so a case always gives
// the same picture.
#pragma once

#include <cstdint>
#include <vector>

namespace zeseal::densecode::testing {

struct ScanDamage {
    std::int32_t dpi = 600;
    double angleDegrees = 0;      // turned clockwise on the picture
    bool upsideDown = false;      // and half a turn more
    double scaleX = 1;            // along the code's length
    double scaleY = 1;            // across it
    double shiftX = 0;            // picture pixels, fractions included
    double shiftY = 0;
    double keystone = 0;          // share by which the right end is taller than the left
    double bow = 0;               // how far the middle sags, in picture pixels
    double inkSpread = 0;         // picture pixels a dot grows by across, half on each edge (negative: thins)
    double blurSigma = 0;         // picture pixels
    double saltAndPepper = 0;     // share of pixels turned black or white
    double noiseSigma = 0;        // grey levels
    double gamma = 1;
    double lightFalloff = 0;      // share the light falls from the left edge to the right
    std::uint8_t inkLevel = 0;    // the black of the toner
    std::uint8_t paperLevel = 255;
    std::int32_t jpegQuality = 0; // 0: none
    bool clutter = false;         // lines of text above and below, and a rule
    // The picture: 0 for the code's surroundings and a margin, else a page
    // of this size with the code's centre at (placeX, placeY).
    std::int32_t pageWidth = 0;
    std::int32_t pageHeight = 0;
    double placeX = 0;
    double placeY = 0;
    std::uint32_t seed = 1;
};

struct Scan {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t dpi = 0;
    std::vector<std::uint8_t> grey;  // top row first
    // Where the code's top left corner landed, in picture pixels.
    double codeX = 0;
    double codeY = 0;
};

// Prints and scans an encoder's picture (kDenseImageBytes, bottom row first).
Scan ScanDenseCode(const std::uint8_t* code, const ScanDamage& damage);

// Scans a printed page (grey, top row first, printed at printedDpi): turned
// about its centre, scaled to the scan's resolution, then blurred, lit,
// noisy and compressed as above. The code-only damages (ink spread,
// keystone, bow, clutter, placement) do not apply.
Scan ScanPrintedPage(const std::vector<std::uint8_t>& grey, std::int32_t width, std::int32_t height,
                     std::int32_t printedDpi, const ScanDamage& damage);

// JPEG-compresses a grey picture at a quality and decodes it again.
std::vector<std::uint8_t> ThroughJpeg(const std::vector<std::uint8_t>& grey, std::int32_t width,
                                      std::int32_t height, std::int32_t quality);

}  // namespace zeseal::densecode::testing
