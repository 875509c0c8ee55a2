// Finding the dense code anywhere in a scan by its frame.
//
// The frame's two long sides are dark lines two code pixels thick, 126 code
// pixels apart, each with white quiet rows on its inner side. Narrow strips
// of the picture are scanned across the code's length for such pairs of
// dark runs; the pairs that lie along one straight line (the code may be
// rotated a few degrees, or upside down) give the long sides, and the side
// lines at their ends give the code's length. The scale comes from the
// frame itself; a stated resolution only narrows the search.
#pragma once

#include <cstdint>
#include <vector>

#include "densecode/reader/code_map.h"
#include "densecode/reader/scan_image.h"

namespace zeseal::densecode {

struct DenseLocateHints {
    std::int32_t dpi = 0;  // 0: unknown
    bool hasPoint = false;
    PointD point;          // near the code's top left corner, in picture pixels
};

// One frame found: the map of the code upright and of the code turned half
// a turn (which of the two it is, only the timing squares tell).
struct DenseFrame {
    CodeMap upright;
    CodeMap upsideDown;
    double pixelsPerCodePixel = 0;  // across the code, from the frame's height
    int support = 0;                // strips that saw both long sides
};

// The frames found, the best supported first (at most three).
std::vector<DenseFrame> LocateDenseFrames(const GreyView& image, const DenseLocateHints& hints);

}  // namespace zeseal::densecode
