// The court-logo exports: two constant answers, and three ways to AND a BMP
// picture onto the page at 72 dots per inch.
#include <zeseal/zeseal.h>

#include <cstring>
#include <memory>

#include "frame/fault_frame.h"
#include "frame/frame_heap.h"
#include "marks/bmp_image.h"
#include "marks/court_logo.h"
#include "marks/draw_on_page.h"
#include "platform/page_device.h"
#include "platform/system_directory.h"

using namespace zeseal;

namespace {

constexpr std::int32_t kLogoFailed = ZE_COURTLOGO_FAILED;

// Binds the device outside the fault frame, so a caught fault never strands it.
std::unique_ptr<platform::PageDevice> AttachOutsideFrame(HDC dc) noexcept {
    try {
        return platform::AttachPageDevice(dc);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

extern "C" {

ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoSize(void) { return ZE_COURTLOGO_SIZE; }

ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoData(void) { return ZE_OK; }

ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogo(HDC dc, const uint8_t* bmpImage, int32_t imageLength,
                                            int32_t, int32_t, int32_t x, int32_t y) {
    const auto page = AttachOutsideFrame(dc);
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
    const auto page = AttachOutsideFrame(dc);
    return frame::Guarded(kLogoFailed, [&] {
        if (!page || bmpImage == nullptr) return kLogoFailed;
        // Drawn from the caller's own buffer, which has no stated length:
        // the file header's size field bounds what the picture may occupy.
        const std::size_t stated = marks::StatedFileSize(bmpImage);
        return marks::DrawBmpImage(*page, bmpImage, stated, x, y, marks::kCourtLogoDpiBase)
                   ? ZE_OK
                   : kLogoFailed;
    });
}

ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoPrint(HDC dc, int32_t model, int32_t, int32_t,
                                                 int32_t x, int32_t y) {
    const auto page = AttachOutsideFrame(dc);
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
