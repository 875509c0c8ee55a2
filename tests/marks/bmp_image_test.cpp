#include "marks/bmp_image.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "base/byte_order.h"
#include "authoring/bmp_writer.h"
#include "marks/bitmap_holder.h"

namespace zeseal::marks {
namespace {

using base::ReadLe32;
using base::WriteLe16;
using base::WriteLe32;

using Bytes = std::vector<std::uint8_t>;

Bytes Indexed(std::int32_t width, std::int32_t height, std::int32_t bits) {
    authoring::IndexedPicture p;
    p.width = width;
    p.height = height;
    p.bitsPerPixel = bits;
    p.palette = {{255, 255, 255}, {0, 0, 0}};
    p.indices.assign(std::size_t(width) * std::size_t(height), 1);
    return authoring::EncodeIndexedBmp(p);
}

Bytes Deep(std::int32_t width, std::int32_t height) {
    BitmapHolder holder;
    EXPECT_EQ(holder.Create(width, height, 24), 0);
    Bytes file(holder.BmpFileSize());
    holder.WriteBmpFile(file.data());
    return file;
}

// A 12-byte core header: 3-byte colour entries and 16-bit fields.
Bytes Core(std::uint16_t width, std::uint16_t height, std::uint16_t bits) {
    const std::size_t table = bits <= 8 ? 3u << bits : 0;
    const std::size_t stride = (std::size_t(width) * bits + 31) / 32 * 4;
    Bytes file(14 + 12 + table + stride * height, 0);
    file[0] = 'B';
    file[1] = 'M';
    WriteLe32(&file[2], static_cast<std::uint32_t>(file.size()));
    WriteLe32(&file[10], static_cast<std::uint32_t>(14 + 12 + table));
    WriteLe32(&file[14], 12);
    WriteLe16(&file[18], width);
    WriteLe16(&file[20], height);
    WriteLe16(&file[22], 1);
    WriteLe16(&file[24], bits);
    return file;
}

TEST(FixedPixelOffset, FollowsTheBitCountAtOffset28) {
    EXPECT_EQ(FixedPixelOffset(Deep(2, 2).data()), 54u);
    EXPECT_EQ(FixedPixelOffset(Indexed(2, 2, 8).data()), 1078u);
    EXPECT_EQ(FixedPixelOffset(Indexed(2, 2, 1).data()), 62u);
    Bytes odd = Indexed(2, 2, 8);
    WriteLe16(&odd[28], 4);
    EXPECT_EQ(FixedPixelOffset(odd.data()), 62u);
}

TEST(LocateBmpPicture, FindsTheHeaderTheRowsAndTheExtent) {
    const Bytes file = Indexed(5, 3, 1);
    BmpPicture picture;
    ASSERT_TRUE(LocateBmpPicture(file.data(), file.size(), 62, picture));
    EXPECT_EQ(picture.info, file.data() + 14);
    EXPECT_EQ(picture.bits, file.data() + 62);
    EXPECT_EQ(picture.width, 5);
    EXPECT_EQ(picture.height, 3);

    const Bytes core = Core(3, 2, 8);
    ASSERT_TRUE(LocateBmpPicture(core.data(), core.size(), 14 + 12 + 768, picture));
    EXPECT_EQ(picture.width, 3);
    EXPECT_EQ(picture.height, 2);
}

TEST(LocateBmpPicture, RefusesEveryPictureThatWouldReachPastItsBytes) {
    struct Case {
        const char* name;
        std::function<Bytes()> make;
        std::size_t pixelOffset;  // 0: the file's own
        std::size_t cut = 0;      // bytes taken off the length handed in
    };
    const auto with = [](Bytes file, std::size_t at, std::uint32_t v, bool wide = true) {
        if (wide) WriteLe32(&file[at], v);
        else WriteLe16(&file[at], static_cast<std::uint16_t>(v));
        return file;
    };
    const Case cases[] = {
        {"last pixel byte cut off", [] { return Indexed(8, 8, 8); }, 0, 1},
        {"only the file header", [] { return Indexed(8, 8, 8); }, 0, 8 * 8 + 1024 + 40 - 11},
        {"width beyond the bytes", [&] { return with(Indexed(4, 4, 8), 18, 100000); }, 0},
        {"height beyond the bytes", [&] { return with(Indexed(4, 4, 8), 22, 5); }, 0},
        {"most negative height", [&] { return with(Indexed(4, 4, 8), 22, 0x80000000u); }, 0},
        {"width zero", [&] { return with(Indexed(4, 4, 8), 18, 0); }, 0},
        {"negative width", [&] { return with(Indexed(4, 4, 8), 18, 0xFFFFFFFFu); }, 0},
        {"16 bits per pixel", [&] { return with(Indexed(4, 4, 8), 28, 16, false); }, 0},
        {"32 bits per pixel", [&] { return with(Deep(4, 4), 28, 32, false); }, 0},
        {"run-length compressed", [&] { return with(Indexed(4, 4, 8), 30, 1); }, 0},
        {"info header of 20 bytes", [&] { return with(Indexed(4, 4, 8), 14, 20); }, 0},
        {"info header larger than the file", [&] { return with(Indexed(4, 4, 8), 14, 5000); }, 0},
        {"pixel offset past the end", [] { return Indexed(4, 4, 8); }, 100000},
        {"pixel offset leaves too few rows", [] { return Indexed(4, 4, 8); }, 1078 + 4},
        {"colour table past the end",
         [&] {
             Bytes f = with(Deep(1, 1), 28, 8, false);  // 8 bits, 256 entries, 58 bytes in all
             return f;
         },
         54},
        {"core header cut short", [] { Bytes f = Core(2, 2, 8); f.resize(20); return f; }, 26},
        {"core colour table past the end", [] { return Core(2, 2, 8); }, 26, 700},
        {"core width zero", [&] { return with(Core(2, 2, 8), 18, 0, false); }, 794},
        {"core 16 bits per pixel", [&] { return with(Core(2, 2, 8), 24, 16, false); }, 794},
    };
    for (const Case& c : cases) {
        const Bytes file = c.make();
        const std::size_t length = file.size() - std::min(c.cut, file.size());
        const std::size_t offset = c.pixelOffset != 0 ? c.pixelOffset : ReadLe32(&file[10]);
        BmpPicture picture;
        EXPECT_FALSE(LocateBmpPicture(file.data(), length, offset, picture)) << c.name;
    }
}

TEST(LocateBmpPicture, CountsOnlyTheColoursInUse) {
    // An 8-bit picture whose table holds 2 entries fits in 54 + 8 + rows.
    Bytes file(54 + 8 + 4, 0);
    WriteLe32(&file[14], 40);
    WriteLe32(&file[18], 1);
    WriteLe32(&file[22], 1);
    WriteLe16(&file[28], 8);
    WriteLe32(&file[46], 2);
    BmpPicture picture;
    EXPECT_TRUE(LocateBmpPicture(file.data(), file.size(), 62, picture));
    WriteLe32(&file[46], 4);  // the table would end at 70, past the 66 bytes
    EXPECT_FALSE(LocateBmpPicture(file.data(), file.size(), 62, picture));
}

}  // namespace
}  // namespace zeseal::marks
