#include "printers/support_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "support/code_page_949.h"

namespace zeseal::printers {
namespace {

using zeseal::testing::ToCodePage949;

struct TextCase {
    const char* stored;
    const char* utf8;
    std::size_t bytes;
};

class ClassificationText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ClassificationText, IsTheKoreanTextInCodePage949) {
    EXPECT_EQ(std::string(GetParam().stored), ToCodePage949(GetParam().utf8));
    EXPECT_EQ(std::string(GetParam().stored).size(), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ClassificationText,
    ::testing::Values(TextCase{kSupportedText, "[지원 가능]", 11},
                      TextCase{kRefusedPortText, "[지원 불가] \n\n지원불가 포트", 27},
                      TextCase{kMultiPortText, "[지원 불가] \n\n멀티포트 사용", 27},
                      TextCase{kUnregisteredText, "[지원 불가] \n\n등록되지 않은 프린터", 34}));

}  // namespace
}  // namespace zeseal::printers
