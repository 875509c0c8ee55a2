#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(iZeHostPageCreate, RefusesSizesAndResolutionsOutOfRange) {
    struct Case {
        std::int32_t w, h, dx, dy;
        bool created;
    };
    const Case cases[] = {
        {1, 1, 1, 1, true},          {20000, 1, 9600, 9600, true}, {0, 10, 300, 300, false},
        {10, 0, 300, 300, false},    {20001, 1, 300, 300, false},  {1, 20001, 300, 300, false},
        {10, 10, 0, 300, false},     {10, 10, 300, 9601, false},   {-5, 10, 300, 300, false},
    };
    for (const auto& c : cases) {
        HDC page = iZeHostPageCreate(c.w, c.h, c.dx, c.dy);
        EXPECT_EQ(page != nullptr, c.created) << c.w << "x" << c.h << " at " << c.dx << "x" << c.dy;
        if (page != nullptr) {
            EXPECT_EQ(iZeHostPageDestroy(page), 0);
        }
    }
}

TEST(iZeHostPageRead, ReportsTheSizeItNeeds) {
    HDC page = iZeHostPageCreate(3, 2, 300, 300);
    ASSERT_NE(page, nullptr);
    std::vector<std::uint8_t> rgb(18, 0);
    EXPECT_EQ(iZeHostPageRead(page, rgb.data(), 17), -18);
    EXPECT_EQ(rgb, std::vector<std::uint8_t>(18, 0)) << "nothing written when too small";
    EXPECT_EQ(iZeHostPageRead(page, rgb.data(), 100), 18);
    EXPECT_EQ(rgb, std::vector<std::uint8_t>(18, 255)) << "a new page is white";
    EXPECT_EQ(iZeHostPageRead(page, nullptr, 0), -18);
    EXPECT_EQ(iZeHostPageDestroy(page), 0);
    // Destroyed and foreign handles are unknown everywhere.
    EXPECT_EQ(iZeHostPageRead(page, rgb.data(), 100), 0);
    EXPECT_EQ(iZeHostPageDestroy(page), -1);
    EXPECT_EQ(iZeHostPageDestroy(nullptr), -1);
    EXPECT_EQ(iZeHostPageRead(reinterpret_cast<HDC>(&rgb), rgb.data(), 100), 0);
}

TEST(iZeHostPageSavePng, WritesAWholeFileOrNone) {
    const auto dir = std::filesystem::temp_directory_path() / ("zeseal-png-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    HDC page = iZeHostPageCreate(7, 5, 600, 300);
    const std::string path = (dir / "page.png").string();
    ASSERT_EQ(iZeHostPageSavePng(page, path.c_str()), 0);

    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    EXPECT_EQ(image.width, 7u);
    EXPECT_EQ(image.height, 5u);
    png_image_free(&image);

    EXPECT_EQ(iZeHostPageSavePng(page, (dir / "missing" / "page.png").string().c_str()), -2);
    EXPECT_EQ(iZeHostPageSavePng(page, nullptr), -1);
    // Only the finished file is left: no temporary files.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);
    iZeHostPageDestroy(page);
    EXPECT_EQ(iZeHostPageSavePng(page, path.c_str()), -1);
    std::filesystem::remove_all(dir);
}

}  // namespace
