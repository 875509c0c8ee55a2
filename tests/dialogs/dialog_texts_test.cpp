#include "dialogs/dialog_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "support/code_page_949.h"

namespace zeseal::dialogs {
namespace {

using zeseal::testing::ToCodePage949;

struct TextCase {
    const char* name;
    const char* stored;
    const char* utf8;
    std::size_t bytes;
};

class DialogText : public ::testing::TestWithParam<TextCase> {};

TEST_P(DialogText, IsTheKoreanTextInCodePage949) {
    EXPECT_EQ(std::string(GetParam().stored), ToCodePage949(GetParam().utf8));
    EXPECT_EQ(std::string(GetParam().stored).size(), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DialogText,
    ::testing::Values(
        TextCase{"kTitle101", kTitle101, "[Ostrevane 등기 인터넷 서비스] - [인쇄]", 39},
        TextCase{"kTitle102", kTitle102, "[Ostrevane 등기 인터넷 서비스] - [발급가능프린터 설치여부확인]", 62},
        TextCase{"kTitle103", kTitle103, "[Ostrevane 등기 인터넷 서비스] - [발급가능프린터 확인]", 54},
        TextCase{"kTitle116", kTitle116, "[Ostrevane 등기 인터넷 서비스] - [발급가능프린터 설치여부확인]", 62},
        TextCase{"kVerdictAble", kVerdictAble, "발급 가능", 9},
        TextCase{"kVerdictUnable", kVerdictUnable, "발급 불가", 9},
        TextCase{"kColumnInstalledPrinter", kColumnInstalledPrinter, "설치된 프린터", 13},
        TextCase{"kColumnAvailability", kColumnAvailability, "가능 여부", 9},
        TextCase{"kGroupChoosePrinter", kGroupChoosePrinter, "프린터 선택", 11},
        TextCase{"kLabelModel", kLabelModel, "모델명", 6},
        TextCase{"kLabelPort", kLabelPort, "사용포트", 8},
        TextCase{"kLabelSupport", kLabelSupport, "지원여부", 8},
        TextCase{"kPlaceholderModel", kPlaceholderModel, "Printer Model", 13},
        TextCase{"kPlaceholderPort", kPlaceholderPort, "Printer Port", 12},
        TextCase{"kPlaceholderSupport", kPlaceholderSupport, "Printer Support", 15},
        TextCase{"kGroupNotice", kGroupNotice, "공지사항", 8},
        TextCase{"kListIntro", kListIntro, "컴퓨터에 설치된 프린터 목록은 아래와 같습니다.", 46},
        TextCase{"kCheckDefaultPrompt", kCheckDefaultPrompt, "'발급가능' 프린터가 기본프린터로 설정되어 있는지 확인하여 주십시오.", 67},
        TextCase{"kChoosePrompt", kChoosePrompt, "* 등기사항증명서를 출력 할 프린터를 선택해 주십시오.", 52},
        TextCase{"kButtonTestPrint", kButtonTestPrint, "테스트 출력", 11},
        TextCase{"kButtonPrint", kButtonPrint, "출  력", 6},
        TextCase{"kButtonCancel", kButtonCancel, "취  소", 6},
        TextCase{"kButtonContinue", kButtonContinue, "계 속...", 8},
        TextCase{"kButtonConfirm", kButtonConfirm, "확  인", 6},
        TextCase{"kTextL1", kTextL1, "* '발급가능' 프린터 존재 시, 기본프린터 설정여부 확인 후 [계속]버튼 선택. ", 74},
        TextCase{"kTextL2", kTextL2, "* '발급가능' 프린터가 없는 경우, 결제후 3개월 내에 '발급가능' 프린터가\n   설치된 PC에서 '미발급/미열람' 기능을 이용하시면 발급이 가능합니다.", 140},
        TextCase{"kTextN1", kTextN1, "발급 : 민원인이 등기소에서 발급 받은 등기사항증명서와 같이 법적 효력을\n       갖는 등기사항증명서를 출력(암호화코드, 복사방지표시, 발급확인번호\n       등의 인증요건 포함)하는 것을 말함.", 185},
        TextCase{"kTextN1b", kTextN1b, "발급 : 민원인이 등기소에서 발급 받은 등기사항증명서와 같이 법적 효력을 \n       갖는 등기사항증명서를 출력(암호화코드, 복사방지표시, 발급확인번호\n       등의 인증요건 포함)하는 것을 말함.", 186},
        TextCase{"kTextN2", kTextN2, "발급 : 민원인이 등기소에서 발급 받은 등기사항증명서와 같이 효력을 갖는\n       등기사항증명서를 출력(암호화코드, 복사방지표시, 발급확인번호 등의\n       인증요건 포함)하는 것을 말함.", 180},
        TextCase{"kTextN3", kTextN3, "발급불가 프린터 : 등기소에서 발급된 등기사항증명서와 동일한 효력을 부여\n                  하기 어려운 프린터\n                  (인증요건의 부적합 및 적합성 여부를 판단 중인 프린터)", 180},
        TextCase{"kWarningW1Text", kWarningW1Text, "선택하신 프린터는 지원하지 않습니다.\n지원 가능한 프린터를 다시 선택하여 주십시오.", 81},
        TextCase{"kWarningW1Caption", kWarningW1Caption, "[Ostrevane 등기 인터넷 서비스] - 프린터 선택", 44},
        TextCase{"kWarningW2Text", kWarningW2Text, "선택한 프린터는 출력을 지원하지 않는 프린터입니다.\n지원 가능한 프린터를 선택해 주세요.", 86},
        TextCase{"kWarningW2Caption", kWarningW2Caption, "[Ostrevane 등기 인터넷 서비스 - 테스트 출력", 43},
        TextCase{"kDialogFontFace", kDialogFontFace, "굴림체", 6},
        TextCase{"kTestPrintCaption", kTestPrintCaption, "Ostrevane 등기사항증명서 발급 출력 테스트", 41}    ),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zeseal::dialogs
