// The page functions of zeseal_posix.h.
#include <zeseal/zeseal_posix.h>

#include <cstring>

#include "platform/posix/page/png_writer.h"
#include "raster/rgb_page.h"

using zeseal::raster::PageRegistry;

extern "C" {

ZESEAL_API HDC ZESEAL_CALL iZeHostPageCreate(int32_t widthPx, int32_t heightPx, int32_t dpiX,
                                             int32_t dpiY) {
    try {
        auto page = zeseal::raster::MakeWhitePage(widthPx, heightPx, dpiX, dpiY);
        if (!page) return nullptr;
        return PageRegistry::Instance().Add(std::move(page));
    } catch (...) {
        return nullptr;
    }
}

ZESEAL_API int32_t ZESEAL_CALL iZeHostPageRead(HDC page, uint8_t* rgbOut, int32_t outSize) {
    const auto found = PageRegistry::Instance().Find(page);
    if (!found) return 0;
    const std::size_t size = found->rgb.size();  // at most 20000 x 20000 x 3: fits an int32
    if (outSize < 0 || std::size_t(outSize) < size) return -static_cast<int32_t>(size);
    if (rgbOut == nullptr) return 0;
    std::memcpy(rgbOut, found->rgb.data(), size);
    return static_cast<int32_t>(size);
}

ZESEAL_API int32_t ZESEAL_CALL iZeHostPageSavePng(HDC page, const char* path) {
    const auto found = PageRegistry::Instance().Find(page);
    if (!found || path == nullptr) return -1;
    try {
        return zeseal::platform::posix::SaveRgbPng(path, found->width, found->height,
                                                   found->rgb.data(), found->dpiX, found->dpiY)
                   ? 0
                   : -2;
    } catch (...) {
        return -2;
    }
}

ZESEAL_API int32_t ZESEAL_CALL iZeHostPageDestroy(HDC page) {
    return PageRegistry::Instance().Remove(page) ? 0 : -1;
}

}  // extern "C"
