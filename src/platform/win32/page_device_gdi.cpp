// The page device of the Windows build: the caller's printer device context.
#include <windows.h>

#include <string>

#include "seams/page_device.h"

namespace zeseal::platform {
namespace {

class GdiPageDevice final : public PageDevice {
public:
    explicit GdiPageDevice(HDC dc) : dc_(dc) {}

    std::int32_t DotsPerInchX() override { return GetDeviceCaps(dc_, LOGPIXELSX); }
    std::int32_t DotsPerInchY() override { return GetDeviceCaps(dc_, LOGPIXELSY); }
    std::int32_t PixelWidth() override { return GetDeviceCaps(dc_, HORZRES); }
    std::int32_t PixelHeight() override { return GetDeviceCaps(dc_, VERTRES); }
    PageRect ClipBox() override {
        RECT box = {};
        GetClipBox(dc_, &box);  // a failure leaves the box empty: x then counts from 0
        return {box.left, box.top, box.right, box.bottom};
    }
    std::int32_t SetStretchMode(std::int32_t mode) override { return SetStretchBltMode(dc_, mode); }
    std::int32_t SetBackgroundMode(std::int32_t mode) override { return SetBkMode(dc_, mode); }
    std::int32_t StretchDib(const DibTransfer& t) override {
        return StretchDIBits(dc_, t.destX, t.destY, t.destWidth, t.destHeight, t.srcX, t.srcY,
                             t.srcWidth, t.srcHeight, t.bits,
                             static_cast<const BITMAPINFO*>(t.info), DIB_RGB_COLORS, t.rop);
    }
    bool OutlineRectangle(const PageRect& rect, const PagePen& pen) override {
        HPEN created = CreatePen(PS_SOLID, pen.width, pen.colour);
        if (created == nullptr) return false;
        HGDIOBJ previous = SelectObject(dc_, created);
        const BOOL drawn = ::Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
        SelectObject(dc_, previous);
        DeleteObject(created);
        return drawn != FALSE;
    }
    bool WriteText(std::int32_t x, std::int32_t y, std::string_view text, const PageFont& font,
                 std::uint32_t alignment) override {
        const std::string face(font.faceName.substr(0, LF_FACESIZE - 1));
        HFONT created = CreateFontA(font.height, 0, 0, 0, font.weight, font.italic ? TRUE : FALSE,
                                    FALSE, FALSE, DWORD(font.charSet), DWORD(font.outPrecision),
                                    DWORD(font.clipPrecision), DWORD(font.quality),
                                    DWORD(font.pitchAndFamily), face.c_str());
        if (created == nullptr) return false;
        HGDIOBJ previous = SelectObject(dc_, created);
        SetTextAlign(dc_, alignment);
        const BOOL written = TextOutA(dc_, x, y, text.data(), int(text.size()));
        SelectObject(dc_, previous);
        DeleteObject(created);
        return written != FALSE;
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
