#include "raster/rgb_page.h"

#include <algorithm>
#include <new>
#include <utility>

#include "frame/frame_lock.h"

namespace zeseal::raster {
namespace {

// Handles are tagged counters, not addresses: nothing is ever reached
// through a handle without finding it here first.
constexpr std::uintptr_t kHandleTag = 0x5A450000u;

// The longest side a page may have, in pixels.
constexpr std::int32_t kMaxPageSide = 20000;

}  // namespace

std::shared_ptr<RgbPage> MakeWhitePage(std::int32_t width, std::int32_t height, std::int32_t dpiX,
                                       std::int32_t dpiY) {
    if (width < 1 || height < 1 || width > kMaxPageSide || height > kMaxPageSide) return nullptr;
    if (dpiX < 1 || dpiY < 1 || dpiX > kMaxPageDpi || dpiY > kMaxPageDpi) return nullptr;
    try {
        auto page = std::make_shared<RgbPage>();
        page->width = width;
        page->height = height;
        page->dpiX = dpiX;
        page->dpiY = dpiY;
        page->rgb.assign(std::size_t(width) * std::size_t(height) * 3, 0xFF);
        return page;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

PageRegistry& PageRegistry::Instance() {
    static PageRegistry registry;
    return registry;
}

HDC PageRegistry::Add(std::shared_ptr<RgbPage> page) {
    frame::FrameLock lock(mutex_);
    const std::uintptr_t id = next_++;
    pages_.emplace_back(id, std::move(page));
    return reinterpret_cast<HDC>(kHandleTag + (id << 4));
}

std::shared_ptr<RgbPage> PageRegistry::Find(HDC handle) const {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (value < kHandleTag || ((value - kHandleTag) & 0xF) != 0) return nullptr;
    const std::uintptr_t id = (value - kHandleTag) >> 4;
    frame::FrameLock lock(mutex_);
    for (const auto& [key, page] : pages_) {
        if (key == id) return page;
    }
    return nullptr;
}

bool PageRegistry::Remove(HDC handle) {
    const auto found = Find(handle);
    if (!found) return false;
    frame::FrameLock lock(mutex_);
    const auto it = std::find_if(pages_.begin(), pages_.end(),
                                 [&](const auto& entry) { return entry.second == found; });
    if (it == pages_.end()) return false;
    pages_.erase(it);
    return true;
}

DocumentPage::~DocumentPage() {
    // A handle the host has deleted already is gone either way.
    if (handle_ != nullptr) PageRegistry::Instance().Remove(handle_);
}

HDC DocumentPage::Start(std::int32_t width, std::int32_t height, std::int32_t dpi) {
    if (handle_ != nullptr) return nullptr;
    auto page = MakeWhitePage(width, height, dpi, dpi);
    if (!page) return nullptr;
    handle_ = PageRegistry::Instance().Add(std::move(page));
    return handle_;
}

std::shared_ptr<RgbPage> DocumentPage::Finish() {
    if (handle_ == nullptr) return nullptr;
    auto page = PageRegistry::Instance().Find(handle_);
    PageRegistry::Instance().Remove(handle_);  // gone either way; page says whether it lived
    handle_ = nullptr;
    return page;
}

}  // namespace zeseal::raster
