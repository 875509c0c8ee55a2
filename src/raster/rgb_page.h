// The POSIX stand-in for a printer page: a white 24-bit RGB raster with a
// resolution, the modes a device context carries, and a registry that turns
// pages into opaque HDC handles and checks every handle on use.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <zeseal/zeseal.h>

namespace zeseal::raster {

inline constexpr std::int32_t kMaxPageDpi = 9600;

struct RgbPage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t dpiX = 0;
    std::int32_t dpiY = 0;
    std::int32_t stretchMode = 1;  // BLACKONWHITE, as on a fresh device context
    std::int32_t backgroundMode = 2;
    std::vector<std::uint8_t> rgb;  // top-down rows of 3 x width bytes

    std::uint8_t* Row(std::int32_t y) { return rgb.data() + std::size_t(y) * std::size_t(width) * 3; }
    const std::uint8_t* Row(std::int32_t y) const {
        return rgb.data() + std::size_t(y) * std::size_t(width) * 3;
    }
};

// Returns nullptr for sizes or resolutions out of range, or without memory.
std::shared_ptr<RgbPage> MakeWhitePage(std::int32_t width, std::int32_t height, std::int32_t dpiX,
                                       std::int32_t dpiY);

// The live pages. Handles are never reused, so a stale handle stays unknown.
class PageRegistry {
public:
    static PageRegistry& Instance();
    HDC Add(std::shared_ptr<RgbPage> page);
    std::shared_ptr<RgbPage> Find(HDC handle) const;
    bool Remove(HDC handle);

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<std::uintptr_t, std::shared_ptr<RgbPage>>> pages_;
    std::uintptr_t next_ = 1;
};

// The page a print document has open: a white page registered behind an HDC
// from Start until Finish, or until the object goes.
class DocumentPage {
public:
    DocumentPage() = default;
    ~DocumentPage();
    DocumentPage(const DocumentPage&) = delete;
    DocumentPage& operator=(const DocumentPage&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }

    // The new page's handle; nullptr when a page is open already or the
    // page cannot be made.
    HDC Start(std::int32_t width, std::int32_t height, std::int32_t dpi);

    // Closes the open page and hands it over; nullptr when none is open or
    // its handle no longer names a live page.
    std::shared_ptr<RgbPage> Finish();

private:
    HDC handle_ = nullptr;
};

}  // namespace zeseal::raster
