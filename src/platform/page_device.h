// What a printer page offers the marks: resolution, drawable area, modes and
// a stretched transfer of a device-independent bitmap.
//
// The bitmap arguments follow the Windows DIB layout: an info header (40
// bytes or more, or the 12-byte core form) directly followed by its colour
// table, and pixel rows stored bottom-up, each padded to four bytes.
#pragma once

#include <cstdint>
#include <memory>

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

class PageDevice {
public:
    virtual ~PageDevice() = default;

    virtual std::int32_t DotsPerInchX() = 0;
    virtual std::int32_t DotsPerInchY() = 0;
    virtual PageRect ClipBox() = 0;
    // Both return the previous mode, or 0 on failure.
    virtual std::int32_t SetStretchMode(std::int32_t mode) = 0;
    virtual std::int32_t SetBackgroundMode(std::int32_t mode) = 0;
    // Returns the number of scan lines transferred, or -1 on failure.
    virtual std::int32_t StretchDib(const DibTransfer& transfer) = 0;
};

// Binds a device context handed in by the caller. Returns nullptr when the
// handle is not a usable device context. The device stays valid for the
// life of the returned object.
std::unique_ptr<PageDevice> AttachPageDevice(HDC dc);

}  // namespace zeseal::platform
