#include "support/grey_jpeg.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace zeseal::testing {

std::vector<std::uint8_t> GreyJpeg(const std::vector<std::uint8_t>& grey, std::int32_t width, std::int32_t height,
                                   std::int32_t quality, std::int32_t dpi) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    if (dpi > 0) {
        c.density_unit = 1;  // dots per inch
        c.X_density = static_cast<UINT16>(dpi);
        c.Y_density = static_cast<UINT16>(dpi);
    }
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(grey.data() + std::size_t(c.next_scanline) * std::size_t(width));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

}  // namespace zeseal::testing
