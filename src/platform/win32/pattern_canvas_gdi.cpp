// The pattern canvas of the Windows build: a bitmap compatible with the
// display, drawn through a memory device context with the stock black pen,
// black, white and hollow brushes and a font from CreateFontIndirectA, read
// back as 8-bit colour indices with GetDIBits (black is index 0).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "seams/pattern_canvas.h"

namespace zeseal::platform {
namespace {

// The display's device context, or a memory context compatible with it
// where no display driver answers.
HDC OpenReferenceContext() {
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    return dc != nullptr ? dc : CreateCompatibleDC(nullptr);
}

LOGFONTA LogicalFontOf(const CanvasFont& font) {
    LOGFONTA logical = {};
    logical.lfHeight = font.height;
    logical.lfWeight = font.weight;
    logical.lfItalic = font.italic ? TRUE : FALSE;
    logical.lfCharSet = static_cast<BYTE>(font.charSet);
    logical.lfOutPrecision = OUT_STROKE_PRECIS;
    logical.lfClipPrecision = CLIP_STROKE_PRECIS;
    logical.lfQuality = DRAFT_QUALITY;
    const std::size_t length = std::min(font.faceName.size(), std::size_t{LF_FACESIZE - 1});
    std::memcpy(logical.lfFaceName, font.faceName.data(), length);
    return logical;
}

class GdiCanvas final : public PatternCanvas {
public:
    GdiCanvas(HDC reference, HDC memory, HBITMAP bitmap, std::int32_t width, std::int32_t height)
        : reference_(reference), memory_(memory), bitmap_(bitmap), width_(width), height_(height) {
        previousBitmap_ = SelectObject(memory_, bitmap_);
        previousPen_ = SelectObject(memory_, GetStockObject(BLACK_PEN));
        previousBrush_ = SelectObject(memory_, GetStockObject(BLACK_BRUSH));
        previousFont_ = GetCurrentObject(memory_, OBJ_FONT);
        PatBlt(memory_, 0, 0, width_, height_, BLACKNESS);
    }
    ~GdiCanvas() override {
        SelectObject(memory_, previousFont_);
        SelectObject(memory_, previousBrush_);
        SelectObject(memory_, previousPen_);
        SelectObject(memory_, previousBitmap_);
        if (font_ != nullptr) DeleteObject(font_);
        DeleteDC(memory_);
        DeleteObject(bitmap_);
        DeleteDC(reference_);
    }
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    std::int32_t Width() const override { return width_; }
    std::int32_t Height() const override { return height_; }

    void Rectangle(const CanvasRect& r, Brush brush) override {
        const int stock = brush == Brush::kBlack   ? BLACK_BRUSH
                          : brush == Brush::kWhite ? WHITE_BRUSH
                                                   : NULL_BRUSH;
        SelectObject(memory_, GetStockObject(stock));
        ::Rectangle(memory_, r.left, r.top, r.right, r.bottom);
    }

    void SetBlackPixel(std::int32_t x, std::int32_t y) override {
        SetPixel(memory_, x, y, RGB(0, 0, 0));
    }

    bool SelectFont(const CanvasFont& font) override {
        const LOGFONTA logical = LogicalFontOf(font);
        HFONT created = CreateFontIndirectA(&logical);
        if (created == nullptr) return false;
        SelectObject(memory_, created);
        if (font_ != nullptr) DeleteObject(font_);
        font_ = created;
        return true;
    }

    TextExtent MeasureText(std::string_view text) override {
        const std::string line(text);
        RECT box = {};
        DrawTextA(memory_, line.c_str(), static_cast<int>(line.size()), &box,
                  DT_CALCRECT | DT_SINGLELINE);
        return {box.right - box.left, box.bottom - box.top};
    }

    void DrawWhiteText(std::string_view text, const CanvasRect& clip) override {
        const std::string line(text);
        RECT box = {clip.left, clip.top, clip.right, clip.bottom};
        SetTextColor(memory_, RGB(255, 255, 255));
        SetBkMode(memory_, TRANSPARENT);
        DrawTextA(memory_, line.c_str(), static_cast<int>(line.size()), &box, DT_SINGLELINE);
    }

    bool ReadIndices(std::uint8_t* const* rows) override {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[256];
        } info = {};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = width_;
        info.header.biHeight = height_;
        info.header.biPlanes = 1;
        info.header.biBitCount = 8;
        info.header.biCompression = BI_RGB;
        const std::size_t stride = (std::size_t(width_) + 3) & ~std::size_t{3};
        std::vector<std::uint8_t> bits(stride * std::size_t(height_));
        // GetDIBits wants the bitmap out of every device context.
        SelectObject(memory_, previousBitmap_);
        const int read = GetDIBits(memory_, bitmap_, 0, static_cast<UINT>(height_), bits.data(),
                                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
        SelectObject(memory_, bitmap_);
        if (read != height_) return false;
        // The rows come bottom-up; an index is black when its colour is.
        for (std::int32_t y = 0; y < height_; ++y) {
            const std::uint8_t* source = bits.data() + stride * std::size_t(height_ - 1 - y);
            for (std::int32_t x = 0; x < width_; ++x) {
                const RGBQUAD& c = info.colours[source[x]];
                const bool black = c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue == 0;
                rows[y][x] = black ? 0 : (source[x] == 0 ? 255 : source[x]);
            }
        }
        return true;
    }

private:
    HDC reference_;
    HDC memory_;
    HBITMAP bitmap_;
    std::int32_t width_;
    std::int32_t height_;
    HFONT font_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    HGDIOBJ previousPen_ = nullptr;
    HGDIOBJ previousBrush_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
};

}  // namespace

std::unique_ptr<PatternCanvas> CreatePatternCanvas(std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1 || width > 20000 || height > 20000) return nullptr;
    HDC reference = OpenReferenceContext();
    if (reference == nullptr) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(reference, width, height);
    HDC memory = bitmap != nullptr ? CreateCompatibleDC(reference) : nullptr;
    if (memory == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        DeleteDC(reference);
        return nullptr;
    }
    return std::make_unique<GdiCanvas>(reference, memory, bitmap, width, height);
}

}  // namespace zeseal::platform
