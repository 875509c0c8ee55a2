#include "dialogs/dialog_layouts.h"

#include "dialogs/dialog_texts.h"

namespace zeseal::dialogs {
namespace {

using K = ControlKind;

constexpr std::uint32_t kCombo = kStyleDropDownList | kStyleVerticalScroll | kStyleUnsorted;
constexpr std::uint32_t kList = kStyleReport | kStyleSingleSelection | kStyleBorder;

constexpr ControlLayout kControls101[] = {
    {kChooseGroup, K::kGroupBox, kGroupChoosePrinter, 7, 7, 306, 35, kStyleNone},
    {kPrinterCombo, K::kComboBox, "", 15, 22, 289, 73, kCombo},
    {0, K::kGroupBox, "", 7, 42, 306, 68, kStyleNone},
    {1027, K::kStatic, kLabelModel, 11, 53, 40, 10, kStyleCentred},
    {1028, K::kStatic, kLabelPort, 11, 65, 40, 10, kStyleCentred},
    {1029, K::kStatic, kLabelSupport, 11, 79, 40, 10, kStyleCentred},
    {kDriverStatic, K::kStatic, kPlaceholderModel, 58, 53, 148, 10, kStyleNone},
    {kPortStatic, K::kStatic, kPlaceholderPort, 58, 65, 147, 10, kStyleNone},
    {kSupportStatic, K::kStatic, kPlaceholderSupport, 58, 79, 146, 25, kStyleNone},
    {1031, K::kGroupBox, kGroupNotice, 7, 116, 306, 92, kStyleNone},
    {1030, K::kStatic, kTextN1, 15, 129, 288, 24, kStyleNone},
    {1032, K::kStatic, kTextN3, 15, 157, 289, 24, kStyleNone},
    {kTestPrintButton, K::kPushButton, kButtonTestPrint, 7, 215, 55, 16, kStyleNone},
    {kPrintButton, K::kDefaultPushButton, kButtonPrint, 131, 215, 55, 16, kStyleNone},
    {kCancelButton, K::kPushButton, kButtonCancel, 258, 215, 55, 16, kStyleNone},
};

constexpr ControlLayout kControls102[] = {
    {1024, K::kStatic, kListIntro, 7, 8, 295, 8, kStyleNone},
    {1025, K::kStatic, kTextL1, 12, 22, 297, 10, kStyleNone},
    {1026, K::kStatic, kTextL2, 12, 34, 297, 16, kStyleNone},
    {kContinueListView, K::kListView, "", 7, 57, 306, 54, kList},
    {1031, K::kGroupBox, kGroupNotice, 7, 119, 306, 91, kStyleNone},
    {1027, K::kStatic, kTextN2, 15, 132, 288, 24, kStyleNone},
    {1028, K::kStatic, kTextN3, 15, 160, 289, 24, kStyleNone},
    {kContinueButton, K::kPushButton, kButtonContinue, 95, 214, 55, 16, kStyleNone},
    {kContinueCancelButton, K::kPushButton, kButtonCancel, 171, 214, 55, 16, kStyleNoTabStop},
};

constexpr ControlLayout kControls103[] = {
    {1023, K::kStatic, kListIntro, 7, 7, 296, 8, kStyleNone},
    {1024, K::kStatic, kCheckDefaultPrompt, 7, 20, 294, 8, kStyleNone},
    {kShowListView, K::kListView, "", 7, 36, 305, 54, kList},
    {1031, K::kGroupBox, kGroupNotice, 7, 98, 306, 90, kStyleNone},
    {1027, K::kStatic, kTextN1b, 15, 111, 288, 24, kStyleNone},
    {1028, K::kStatic, kTextN3, 15, 139, 289, 24, kStyleNone},
    {kShowListOkButton, K::kPushButton, kButtonConfirm, 134, 193, 50, 16, kStyleNone},
};

constexpr ControlLayout kControls116[] = {
    {1024, K::kStatic, kListIntro, 7, 8, 295, 8, kStyleNone},
    {1025, K::kStatic, kTextL1, 12, 22, 297, 10, kStyleNone},
    {1026, K::kStatic, kTextL2, 12, 34, 297, 16, kStyleNone},
    {kSelectInstruction, K::kStatic, kChoosePrompt, 12, 54, 177, 8,
     kStyleTransparent | kStyleBlueText},
    {kSelectListView, K::kListView, "", 7, 68, 306, 54, kList | kStyleShowSelectionAlways},
    {1031, K::kGroupBox, kGroupNotice, 7, 130, 306, 90, kStyleNone},
    {1027, K::kStatic, kTextN2, 15, 143, 288, 24, kStyleNone},
    {1028, K::kStatic, kTextN3, 15, 171, 289, 24, kStyleNone},
    {kSelectContinueButton, K::kPushButton, kButtonContinue, 95, 224, 55, 16, kStyleNone},
    {kSelectCancelButton, K::kPushButton, kButtonCancel, 171, 224, 55, 16, kStyleNoTabStop},
};

constexpr DialogLayout kLayouts[] = {
    {DialogKind::kChoosePrinter, 320, 236, kTitle101, kDialogFontFace, 9, 0, false, 1, kControls101},
    {DialogKind::kContinueList, 320, 236, kTitle102, kDialogFontFace, 9, 0, false, 1, kControls102},
    {DialogKind::kShowList, 320, 214, kTitle103, kDialogFontFace, 9, 0, false, 1, kControls103},
    {DialogKind::kSelectPrinter, 320, 247, kTitle116, kDialogFontFace, 9, 0, false, 1, kControls116},
};

}  // namespace

const DialogLayout& LayoutOf(DialogKind kind) noexcept {
    for (const DialogLayout& layout : kLayouts) {
        if (layout.kind == kind) return layout;
    }
    return kLayouts[0];
}

}  // namespace zeseal::dialogs
