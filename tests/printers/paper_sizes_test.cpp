#include "printers/paper_sizes.h"

#include <gtest/gtest.h>

#include <string_view>

namespace zeseal::printers {
namespace {

// What the printers file and the tool take a name to mean. The codes and
// sizes are those of the DEVMODE paper codes of the same sheets.
TEST(PaperSizes, NamesGiveTheSizeOfTheirPaperCodeIgnoringCase) {
    struct Case {
        std::string_view name;
        std::int16_t code;  // 0: not a paper name
        std::int32_t width;
        std::int32_t height;
    };
    const Case cases[] = {
        {"A4", 9, 2100, 2970},     {"a5", 11, 1480, 2100},  {"b5", 13, 1820, 2570},
        {"B5-iso", 34, 1760, 2500}, {"LETTER", 1, 2159, 2794}, {"legal", 5, 2159, 3556},
        {"A3", 0, 0, 0},           {"B5 ", 0, 0, 0},        {"", 0, 0, 0},
        {"B5-JIS", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const PaperSize* size = FindPaperSize(c.name);
        if (c.code == 0) {
            EXPECT_EQ(size, nullptr) << c.name;
            continue;
        }
        ASSERT_NE(size, nullptr) << c.name;
        EXPECT_EQ(size->devmodeCode, c.code) << c.name;
        EXPECT_EQ(size->widthTenthMm, c.width) << c.name;
        EXPECT_EQ(size->heightTenthMm, c.height) << c.name;
    }
    EXPECT_EQ(PaperSizeNames(), "A4, A5, B5, B5-ISO, Letter, Legal");
}

}  // namespace
}  // namespace zeseal::printers
