#include "marks/court_logo.h"

#include <cstring>
#include <limits>

#include "base/byte_order.h"
#include "marks/bitmap_holder.h"
#include "marks/bmp_image.h"
#include "marks/draw_on_page.h"
#include "seams/whole_file.h"

namespace zeseal::marks {
namespace {

constexpr std::int32_t kInkPrinterClass = 1201;

// Reads a BMP file whole into bmp. Returns false (bmp empty) when the file
// cannot be read, is 4 GiB or more, does not start with "BM", or its
// file-size field disagrees with its size.
bool ReadBmpFile(const char* path, frame::HeapBlock& bmp) noexcept {
    frame::HeapBlock file;
    if (!platform::ReadWholeFile(path, std::numeric_limits<std::uint32_t>::max(), file)) {
        return false;
    }
    if (!IsWholeBmpFile(file.data(), file.size())) return false;
    bmp = std::move(file);
    return true;
}

}  // namespace

const char* CourtLogoFileName(std::int32_t model) noexcept {
    return model == kInkPrinterClass ? "court_ink" : "court_laser";
}

bool IsWholeBmpFile(const std::uint8_t* file, std::size_t size) noexcept {
    return size >= 6 && file[0] == 'B' && file[1] == 'M' && StatedFileSize(file) == size;
}

bool DrawBmpFile(platform::PageDevice& page, const char* path, std::int32_t x, std::int32_t y,
                 std::int32_t dpiBase) {
    // Set for what follows; the previous mode is not needed, nor restored.
    page.SetBackgroundMode(platform::kBackgroundTransparent);
    frame::HeapBlock bmp;
    if (!ReadBmpFile(path, bmp)) return false;
    return DrawBmpFileImage(page, bmp.data(), bmp.size(), x, y, dpiBase);
}

bool DrawBmpFileImage(platform::PageDevice& page, const std::uint8_t* file, std::size_t size,
                      std::int32_t x, std::int32_t y, std::int32_t dpiBase) {
    // Set for what follows; the previous mode is not needed, nor restored.
    page.SetBackgroundMode(platform::kBackgroundTransparent);
    // A file carries its own pixel offset; an 8-bit logo need not put its
    // rows right after a full colour table.
    if (size < kBmpFileHeaderSize) return false;
    BmpPicture picture;
    if (!LocateBmpPicture(file, size, base::ReadLe32(file + 10), picture)) return false;
    return DrawOnPage(page, picture.info, picture.bits, picture.width, picture.height, x, y,
                      dpiBase, kRasterAnd) != -1;
}

}  // namespace zeseal::marks
