// Reading the dense code from a scan: found anywhere in the picture,
// registered on its timing squares, each cell sampled and judged against
// its neighbours' levels, and every codeword corrected with the unsure
// bytes as erasures.
#pragma once

#include <cstdint>

#include "densecode/reader/code_map.h"
#include "densecode/reader/reader.h"
#include "densecode/reader/scan_image.h"

namespace zeseal::densecode {

struct DenseScanOptions {
    std::int32_t dpi = 0;  // the scan's resolution, 0 when unknown
    bool hasHint = false;
    PointD hint;           // near the code's top left corner, in picture pixels
};

struct DenseScanReading {
    DenseCodeReading reading;  // kNotFound when no frame was found, kNoImage for no picture
    bool found = false;        // a frame was found and registered
    bool upsideDown = false;
    CodeMap map;               // code coordinates to picture coordinates
    double dpi = 0;            // as measured from the code (300 per code pixel)
    double angleDegrees = 0;   // of the code's length against the picture's rows
    std::int32_t anchors = 0;  // timing squares used in the fit
    double residual = 0;       // their misfit, in code pixels
};

DenseScanReading ReadDenseCodeFromScan(const GreyView& image, const DenseScanOptions& options);

}  // namespace zeseal::densecode
