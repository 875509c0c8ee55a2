#include "printers/support_texts.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace zeseal::printers {
namespace {

// Converts UTF-8 text to code page 949 with the C library's converter, a
// source independent of the escaped bytes in the header.
std::string ToCodePage949(const std::string& utf8) {
    iconv_t converter = iconv_open("CP949", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) return "<no CP949 converter>";
    std::string in = utf8;
    std::string out(in.size() * 2 + 4, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t fromLeft = in.size();
    std::size_t toLeft = out.size();
    const std::size_t done = iconv(converter, &from, &fromLeft, &to, &toLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1)) return "<conversion failed>";
    out.resize(out.size() - toLeft);
    return out;
}

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
