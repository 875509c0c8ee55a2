// What a printer page offers the marks and the test page: resolution, size,
// drawable area, modes, a stretched transfer of a device-independent bitmap,
// outlined rectangles and one-line text.
//
// The bitmap arguments follow the Windows DIB layout: an info header (40
// bytes or more, or the 12-byte core form) directly followed by its colour
// table, and pixel rows stored bottom-up, each padded to four bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include <zeseal/zeseal.h>

namespace zeseal::platform {

struct PageRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Stretch modes and raster operations, by their Windows values.
inline constexpr std::int32_t kStretchAndScans = 1;      // BLACKONWHITE
inline constexpr std::int32_t kStretchOrScans = 2;       // WHITEONBLACK
inline constexpr std::int32_t kStretchColorOnColor = 3;  // COLORONCOLOR
inline constexpr std::int32_t kStretchDeleteScans = 4;   // DELETESCANS
inline constexpr std::int32_t kBackgroundTransparent = 1;
inline constexpr std::int32_t kBackgroundOpaque = 2;
inline constexpr std::uint32_t kRopSourceCopy = 0x00CC0020;  // SRCCOPY
inline constexpr std::uint32_t kRopSourceAnd = 0x008800C6;   // SRCAND

struct DibTransfer {
    std::int32_t destX = 0;
    std::int32_t destY = 0;
    std::int32_t destWidth = 0;
    std::int32_t destHeight = 0;
    std::int32_t srcX = 0;
    std::int32_t srcY = 0;  // from the bottom row, as in a bottom-up DIB
    std::int32_t srcWidth = 0;
    std::int32_t srcHeight = 0;
    const void* bits = nullptr;
    const void* info = nullptr;  // info header followed by its colour table
    std::uint32_t rop = kRopSourceCopy;
};

// A solid pen: width in pixels (0 and 1 both draw one pixel) and colour as a
// COLORREF (0x00BBGGRR).
struct PagePen {
    std::int32_t width = 1;
    std::uint32_t colour = 0;
};

inline constexpr std::uint32_t PageColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return std::uint32_t{red} | std::uint32_t{green} << 8 | std::uint32_t{blue} << 16;
}

// A font as CreateFont takes it, with width 0, no escapement and no
// underline or strike-out. faceName and the texts drawn with it are in code
// page 949. A positive height is the character cell height in pixels, a
// negative one the em height.
struct PageFont {
    std::string_view faceName;
    std::int32_t height = 0;
    std::int32_t weight = 400;
    bool italic = false;
    std::int32_t charSet = 129;        // HANGEUL_CHARSET
    std::int32_t outPrecision = 3;     // OUT_STROKE_PRECIS
    std::int32_t clipPrecision = 2;    // CLIP_STROKE_PRECIS
    std::int32_t quality = 1;          // DRAFT_QUALITY
    std::int32_t pitchAndFamily = 18;  // VARIABLE_PITCH | FF_ROMAN
};

// Text alignment flags, by their Windows values: one horizontal and one
// vertical choice, combined.
inline constexpr std::uint32_t kAlignLeft = 0;       // TA_LEFT
inline constexpr std::uint32_t kAlignRight = 2;      // TA_RIGHT
inline constexpr std::uint32_t kAlignCenter = 6;     // TA_CENTER
inline constexpr std::uint32_t kAlignTop = 0;        // TA_TOP
inline constexpr std::uint32_t kAlignBottom = 8;     // TA_BOTTOM
inline constexpr std::uint32_t kAlignBaseline = 24;  // TA_BASELINE

class PageDevice {
public:
    virtual ~PageDevice() = default;

    virtual std::int32_t DotsPerInchX() = 0;
    virtual std::int32_t DotsPerInchY() = 0;
    // The printable area in pixels (HORZRES, VERTRES).
    virtual std::int32_t PixelWidth() = 0;
    virtual std::int32_t PixelHeight() = 0;
    virtual PageRect ClipBox() = 0;
    // Both return the previous mode, or 0 on failure.
    virtual std::int32_t SetStretchMode(std::int32_t mode) = 0;
    virtual std::int32_t SetBackgroundMode(std::int32_t mode) = 0;
    // Returns the number of scan lines transferred, or -1 on failure.
    virtual std::int32_t StretchDib(const DibTransfer& transfer) = 0;
    // Draws a rectangle as GDI's Rectangle does on a fresh context: its
    // outline in the pen, centred on the edges from (left, top) to
    // (right - 1, bottom - 1), its inside filled by the white brush. False
    // when the drawing fails.
    virtual bool OutlineRectangle(const PageRect& rect, const PagePen& pen) = 0;
    // Writes text as one line in black, its reference point at (x, y) placed
    // on the text by alignment; with an opaque background the text's cell is
    // filled white first. False when no face can be had or drawing fails.
    virtual bool WriteText(std::int32_t x, std::int32_t y, std::string_view text, const PageFont& font,
                         std::uint32_t alignment) = 0;
};

// Binds a device context handed in by the caller. Returns nullptr when the
// handle is not a usable device context. The device stays valid for the
// life of the returned object.
std::unique_ptr<PageDevice> AttachPageDevice(HDC dc);

}  // namespace zeseal::platform
