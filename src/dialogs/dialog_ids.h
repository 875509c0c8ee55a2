// The numbers the printer-list dialogs are known by: their resources, their
// controls and the values they end with. The Windows templates and every
// presenter use these same numbers.
#pragma once

#include <cstdint>

namespace zeseal::dialogs {

// Dialog resources.
enum class DialogKind : std::int32_t {
    kChoosePrinter = 101,   // choose the printer to print on, with a test print
    kContinueList = 102,    // show the list, ask whether to continue
    kShowList = 103,        // show the list
    kSelectPrinter = 116,   // choose the printer in the list
};

// Bitmap resource with the two printer pictures.
inline constexpr std::int32_t kPrinterPicturesBitmap = 114;
inline constexpr std::int32_t kDefaultPrinterPicture = 0;
inline constexpr std::int32_t kOtherPrinterPicture = 1;

// Commands shared by every dialog.
inline constexpr std::int32_t kCommandOk = 1;      // Enter in dialog 101
inline constexpr std::int32_t kCommandCancel = 2;  // Escape and the close box

// Dialog 101.
inline constexpr std::int32_t kChooseGroup = 1000;
inline constexpr std::int32_t kPrinterCombo = 1001;
inline constexpr std::int32_t kDriverStatic = 1003;
inline constexpr std::int32_t kPortStatic = 1004;
inline constexpr std::int32_t kSupportStatic = 1005;
inline constexpr std::int32_t kPrintButton = 1;
inline constexpr std::int32_t kCancelButton = 2;
inline constexpr std::int32_t kTestPrintButton = 3;
inline constexpr std::int32_t kChoosePrinterConfirmed = 1;
inline constexpr std::int32_t kChoosePrinterCancelled = 2;

// Dialog 102.
inline constexpr std::int32_t kContinueListView = 1020;
inline constexpr std::int32_t kContinueButton = 1016;
inline constexpr std::int32_t kContinueCancelButton = 1017;

// Dialog 103.
inline constexpr std::int32_t kShowListView = 1021;
inline constexpr std::int32_t kShowListOkButton = 1022;

// Dialog 116.
inline constexpr std::int32_t kSelectListView = 1037;
inline constexpr std::int32_t kSelectInstruction = 1029;
inline constexpr std::int32_t kSelectContinueButton = 1035;
inline constexpr std::int32_t kSelectCancelButton = 1036;

// What a dialog ends with when it cannot be created or run.
inline constexpr std::int32_t kDialogNotCreated = -1;

// The test print started from dialog 101: always a local printer, landscape.
inline constexpr std::int32_t kTestPrintKind = 1101;
inline constexpr std::int32_t kTestPrintOrientation = 3;

}  // namespace zeseal::dialogs
