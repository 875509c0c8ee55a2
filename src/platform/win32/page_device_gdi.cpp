// The page device of the Windows build: the caller's printer device context.
#include <windows.h>

#include "platform/page_device.h"

namespace zeseal::platform {
namespace {

class GdiPageDevice final : public PageDevice {
public:
    explicit GdiPageDevice(HDC dc) : dc_(dc) {}

    std::int32_t DotsPerInchX() override { return GetDeviceCaps(dc_, LOGPIXELSX); }
    std::int32_t DotsPerInchY() override { return GetDeviceCaps(dc_, LOGPIXELSY); }
    PageRect ClipBox() override {
        RECT box = {};
        GetClipBox(dc_, &box);
        return {box.left, box.top, box.right, box.bottom};
    }
    std::int32_t SetStretchMode(std::int32_t mode) override { return SetStretchBltMode(dc_, mode); }
    std::int32_t SetBackgroundMode(std::int32_t mode) override { return SetBkMode(dc_, mode); }
    std::int32_t StretchDib(const DibTransfer& t) override {
        return StretchDIBits(dc_, t.destX, t.destY, t.destWidth, t.destHeight, t.srcX, t.srcY,
                             t.srcWidth, t.srcHeight, t.bits,
                             static_cast<const BITMAPINFO*>(t.info), DIB_RGB_COLORS, t.rop);
    }

private:
    HDC dc_;
};

}  // namespace

std::unique_ptr<PageDevice> AttachPageDevice(HDC dc) {
    const DWORD type = GetObjectType(dc);
    if (type != OBJ_DC && type != OBJ_MEMDC && type != OBJ_ENHMETADC && type != OBJ_METADC) {
        return nullptr;
    }
    return std::make_unique<GdiPageDevice>(dc);
}

}  // namespace zeseal::platform
