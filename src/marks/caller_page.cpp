#include "marks/caller_page.h"

#include <cstddef>

#include "frame/fault_frame.h"
#include "marks/bmp_image.h"
#include "marks/draw_on_page.h"

namespace zeseal::marks {

std::unique_ptr<platform::PageDevice> AttachOutsideFrame(HDC dc) noexcept {
    try {
        return platform::AttachPageDevice(dc);
    } catch (...) {
        return nullptr;
    }
}

std::int32_t DrawCallerBmp(HDC dc, const std::uint8_t* bmpImage, std::int32_t x, std::int32_t y,
                           std::int32_t dpiBase, std::int32_t failed) noexcept {
    const auto page = AttachOutsideFrame(dc);
    return frame::Guarded(failed, [&] {
        if (!page || bmpImage == nullptr) return failed;
        const std::size_t stated = StatedFileSize(bmpImage);
        return DrawBmpImage(*page, bmpImage, stated, x, y, dpiBase) ? ZE_OK : failed;
    });
}

}  // namespace zeseal::marks
