// The court-logo exports: two constant answers, and three ways to AND a BMP
// picture onto the page at 72 dots per inch.
#include <zeseal/zeseal.h>

#include <cstring>
#include <string>

#include "marks/caller_page.h"
#include "frame/fault_frame.h"
#include "frame/frame_heap.h"
#include "marks/court_logo.h"
#include "marks/draw_on_page.h"
#include "seams/system_directory.h"

using namespace zeseal;

namespace {

constexpr std::int32_t kLogoFailed = ZE_COURTLOGO_FAILED;

}  // namespace

extern "C" {

ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoSize(void) { return ZE_COURTLOGO_SIZE; }

ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoData(void) { return ZE_OK; }

ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogo(HDC dc, const uint8_t* bmpImage, int32_t imageLength,
                                            int32_t, int32_t, int32_t x, int32_t y) {
    const auto page = marks::AttachOutsideFrame(dc);
    return frame::Guarded(kLogoFailed, [&] {
        if (imageLength < 1) return kLogoFailed;
        // A private copy with a zero byte after it; the picture is checked
        // against imageLength, so nothing past the copy is ever read.
        const auto length = static_cast<std::size_t>(imageLength);
        frame::HeapBlock copy(length + 1);
        if (!copy) return kLogoFailed;
        std::memcpy(copy.data(), bmpImage, length);
        if (!page) return kLogoFailed;
        return marks::DrawBmpImage(*page, copy.data(), length, x, y, marks::kCourtLogoDpiBase)
                   ? ZE_OK
                   : kLogoFailed;
    });
}

ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoAddVista(HDC dc, const uint8_t* bmpImage, int32_t,
                                                    int32_t, int32_t, int32_t x, int32_t y) {
    // Drawn from the caller's own buffer, without a private copy.
    return marks::DrawCallerBmp(dc, bmpImage, x, y, marks::kCourtLogoDpiBase, kLogoFailed);
}

ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoPrint(HDC dc, int32_t model, int32_t, int32_t,
                                                 int32_t x, int32_t y) {
    const auto page = marks::AttachOutsideFrame(dc);
    std::string path;
    try {
        path = platform::SystemFilePath(marks::CourtLogoFileName(model));
    } catch (...) {
        return kLogoFailed;
    }
    return frame::Guarded(kLogoFailed, [&] {
        if (!page || path.empty()) return kLogoFailed;
        return marks::DrawBmpFile(*page, path.c_str(), x, y, marks::kCourtLogoDpiBase)
                   ? ZE_OK
                   : kLogoFailed;
    });
}

}  // extern "C"
