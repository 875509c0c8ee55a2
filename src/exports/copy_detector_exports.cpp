// The copy-detection exports: the image size, building a model's pattern
// image, and ANDing an image onto the page at 600 dots per inch.
#include <zeseal/zeseal.h>

#include <cstring>

#include "base/name_cut.h"
#include "marks/caller_page.h"
#include "frame/fault_frame.h"
#include "frame/frame_heap.h"
#include "marks/copy_detector.h"
#include "marks/copy_detector_pattern.h"
#include "marks/draw_on_page.h"

using namespace zeseal;

namespace {

constexpr std::int32_t kDetectorFailed = ZE_COPYDETECTOR_FAILED;

}  // namespace

extern "C" {

ZESEAL_API int32_t ZESEAL_CALL iZeCopyDetectorSize(int32_t* size) {
    *size = marks::kCopyDetectorBufferSize;
    return ZE_OK;
}

ZESEAL_API int32_t ZESEAL_CALL iZeCopyDetectorData(const char* modelName, uint8_t* out,
                                                   int32_t kind) {
    return frame::Guarded(kDetectorFailed, [&] {
        char name[base::kNameBufferSize];
        if (!marks::ChooseDetectorName(modelName, kind, name)) return kDetectorFailed;
        // Built aside and copied whole, so a failed build leaves the
        // caller's buffer as it was.
        frame::HeapBlock image(marks::kPatternImageSize);
        if (!image) return kDetectorFailed;
        if (marks::BuildCopyDetectorImage(name, image.data()) != 0) return kDetectorFailed;
        std::memcpy(out, image.data(), image.size());
        return ZE_OK;
    });
}

ZESEAL_API int32_t ZESEAL_CALL iZeCopyDetector(HDC dc, int32_t, const uint8_t* bmpImage,
                                               int32_t x, int32_t y, int32_t, int32_t) {
    return marks::DrawCallerBmp(dc, bmpImage, x, y, marks::kPatternDpi, kDetectorFailed);
}

ZESEAL_API int32_t ZESEAL_CALL iZeCopyDetectorPrint(HDC dc, const char* modelName, int32_t x,
                                                    int32_t y, int32_t kind, int32_t) {
    const auto page = marks::AttachOutsideFrame(dc);
    return frame::Guarded(kDetectorFailed, [&] {
        char name[base::kNameBufferSize];
        if (!marks::ChooseDetectorName(modelName, kind, name)) return kDetectorFailed;
        frame::HeapBlock image(marks::kCopyDetectorBufferSize + 1);
        if (!image) return kDetectorFailed;
        if (marks::BuildCopyDetectorImage(name, image.data()) != 0) return kDetectorFailed;
        if (!page) return kDetectorFailed;
        return marks::DrawBmpImage(*page, image.data(), marks::kPatternImageSize, x, y,
                                   marks::kPatternDpi)
                   ? ZE_OK
                   : kDetectorFailed;
    });
}

}  // extern "C"
