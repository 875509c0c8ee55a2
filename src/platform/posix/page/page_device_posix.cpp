// The page device of the POSIX build: a registered RgbPage behind an HDC.
#include <utility>

#include "seams/page_device.h"
#include "raster/rgb_page.h"
#include "platform/posix/page/rgb_page_drawing.h"
#include "raster/rgb_page_rectangles.h"
#include "raster/stretch_dib.h"

namespace zeseal::platform {
namespace {

class RgbPageDevice final : public PageDevice {
public:
    explicit RgbPageDevice(std::shared_ptr<raster::RgbPage> page) : page_(std::move(page)) {}

    std::int32_t DotsPerInchX() override { return page_->dpiX; }
    std::int32_t DotsPerInchY() override { return page_->dpiY; }
    std::int32_t PixelWidth() override { return page_->width; }
    std::int32_t PixelHeight() override { return page_->height; }
    PageRect ClipBox() override { return {0, 0, page_->width, page_->height}; }
    std::int32_t SetStretchMode(std::int32_t mode) override {
        if (mode < kStretchAndScans || mode > kStretchDeleteScans) return 0;
        return std::exchange(page_->stretchMode, mode);
    }
    std::int32_t SetBackgroundMode(std::int32_t mode) override {
        if (mode != kBackgroundTransparent && mode != kBackgroundOpaque) return 0;
        return std::exchange(page_->backgroundMode, mode);
    }
    std::int32_t StretchDib(const DibTransfer& transfer) override {
        return raster::StretchDibOntoPage(*page_, transfer);
    }
    bool OutlineRectangle(const PageRect& rect, const PagePen& pen) override {
        raster::DrawOutlinedRectangle(*page_, rect, pen);
        return true;
    }
    bool WriteText(std::int32_t x, std::int32_t y, std::string_view text, const PageFont& font,
                 std::uint32_t alignment) override {
        return posix::DrawTextLine(*page_, x, y, text, font, alignment);
    }

private:
    std::shared_ptr<raster::RgbPage> page_;  // keeps the page alive while in use
};

}  // namespace

std::unique_ptr<PageDevice> AttachPageDevice(HDC dc) {
    auto page = raster::PageRegistry::Instance().Find(dc);
    if (!page) return nullptr;
    return std::make_unique<RgbPageDevice>(std::move(page));
}

}  // namespace zeseal::platform
