#include "marks/court_logo.h"

#include <cstring>
#include <limits>

#include "marks/bitmap_holder.h"
#include "marks/bmp_image.h"
#include "marks/draw_on_page.h"
#include "platform/whole_file.h"

namespace zeseal::marks {

const char* CourtLogoFileName(std::int32_t model) noexcept {
    return model == kInkPrinterClass ? "court_ink" : "court_laser";
}

bool ReadBmpFile(const char* path, frame::HeapBlock& bmp) noexcept {
    frame::HeapBlock file;
    if (!platform::ReadWholeFile(path, std::numeric_limits<std::uint32_t>::max(), file)) {
        return false;
    }
    if (file.size() < 6 || file.data()[0] != 'B' || file.data()[1] != 'M' ||
        StatedFileSize(file.data()) != file.size()) {
        return false;
    }
    bmp = std::move(file);
    return true;
}

bool DrawBmpFile(platform::PageDevice& page, const char* path, std::int32_t x, std::int32_t y,
                 std::int32_t dpiBase) noexcept {
    page.SetBackgroundMode(platform::kBackgroundTransparent);
    frame::HeapBlock bmp;
    if (!ReadBmpFile(path, bmp)) return false;
    // A file carries its own pixel offset; an 8-bit logo need not put its
    // rows right after a full colour table.
    if (bmp.size() < kBmpFileHeaderSize) return false;
    BmpPicture picture;
    if (!LocateBmpPicture(bmp.data(), bmp.size(), ReadLe32(bmp.data() + 10), picture)) {
        return false;
    }
    return DrawOnPage(page, picture.info, picture.bits, picture.width, picture.height, x, y,
                      dpiBase, kRasterAnd) != -1;
}

}  // namespace zeseal::marks
