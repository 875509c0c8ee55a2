#include "marks/copy_detector_style.h"

#include <cstring>
#include <string_view>

namespace zeseal::marks {
namespace {

// The face and the second words, in code page 949: "궁서체", "사본", "시범용".
constexpr std::string_view kFaceName = "\xB1\xC3\xBC\xAD\xC3\xBC";
constexpr const char* kCopyWord = "\xBB\xE7\xBA\xBB";
constexpr const char* kTrialWord = "\xBD\xC3\xB9\xFC\xBF\xEB";

struct Variant {
    const char* text;
    const char* altText;
    std::int32_t textHeight, textWeight, altHeight, altWeight;
};
constexpr Variant kOwnRecord{"Ostrevane", kCopyWord, 170, 400, 280, 900};
constexpr Variant kFallback{".", kTrialWord, 20, 400, 180, 900};

platform::CanvasFont FontOf(std::int32_t height, std::int32_t weight) {
    platform::CanvasFont font;
    font.faceName = kFaceName;
    font.height = height;
    font.weight = weight;
    font.italic = false;
    font.charSet = 129;
    return font;
}

}  // namespace

CopyDetectorStyle MakeCopyDetectorStyle(const catalogue::ModelRecord& record,
                                        bool useFallback) noexcept {
    const Variant& v = useFallback ? kFallback : kOwnRecord;
    CopyDetectorStyle style;
    std::strncpy(style.text, v.text, sizeof style.text - 1);
    std::strncpy(style.altText, v.altText, sizeof style.altText - 1);
    style.textFont = FontOf(v.textHeight, v.textWeight);
    style.altFont = FontOf(v.altHeight, v.altWeight);
    style.reserved1 = record.reserved1;
    style.dotPitch = record.dotPitch;
    style.penWidth = record.penWidth;
    style.dotShape = record.dotShape;
    style.reserved2 = record.reserved2;
    style.reserved3 = record.reserved3;
    style.smoothPattern = record.smoothPattern;
    style.supportClass = record.supportClass;
    return style;
}

}  // namespace zeseal::marks
