#include "dialogs/printer_dialog.h"

#include <cstring>

#include "dialogs/dialog_state.h"
#include "dialogs/dialog_texts.h"
#include "printers/default_printer.h"
#include "printers/printer_list_state.h"

namespace zeseal::dialogs {
namespace {

char LowerAscii(char c) noexcept { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool SameNameIgnoringCase(const char* a, const char* b) noexcept {
    for (;; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
        if (*a == '\0') return true;
    }
}

// The records the dialogs show: none when there is no list.
std::int32_t ListedCount() noexcept {
    const printers::PrinterListState& state = printers::ThePrinterListState();
    if (!state.printerList || state.printerCount <= 0) return 0;
    const auto capacity = static_cast<std::int64_t>(state.printerListCapacity);
    return static_cast<std::int32_t>(state.printerCount < capacity ? state.printerCount
                                                                    : capacity);
}

}  // namespace

WarningBox WarningBoxOf(Warning warning) noexcept {
    switch (warning) {
        case Warning::kUnsupportedChoice: return {kWarningW1Text, kWarningW1Caption};
        case Warning::kUnsupportedTestPrint: return {kWarningW2Text, kWarningW2Caption};
        case Warning::kNone: break;
    }
    return {"", ""};
}

void ConfirmSelectedPrinter(const printers::PrinterRecord& record) noexcept {
    printers::ThePrinterListState().selectedPrinter = record;
}

void EmptySelectedPrinter() noexcept {
    printers::PrinterRecord& selected = printers::ThePrinterListState().selectedPrinter;
    selected.name[0] = '\0';
    selected.driver[0] = '\0';
}

PrinterDialog::PrinterDialog(DialogKind kind, TestPrintFunction testPrint)
    : kind_(kind), testPrint_(std::move(testPrint)) {
    char defaultName[printers::kNameBufferSize] = {};
    printers::ReadDefaultPrinterName(defaultName, sizeof defaultName);

    const printers::PrinterListState& state = printers::ThePrinterListState();
    const std::int32_t count = ListedCount();
    std::int32_t defaultRow = -1;
    rows_.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const printers::PrinterRecord& record = state.printerList[static_cast<std::size_t>(i)];
        const bool isDefault = SameNameIgnoringCase(record.name, defaultName);
        if (isDefault) defaultRow = i;  // the last such record wins
        rows_.push_back(DialogRow{record.name, isDefault,
                                  isDefault ? kDefaultPrinterPicture : kOtherPrinterPicture,
                                  record.support == 1 ? kVerdictAble : kVerdictUnable});
    }
    const std::int32_t startRow = defaultRow >= 0 ? defaultRow : 0;
    currentRow_ = count > 0 ? startRow : -1;
    if (IsListDialog()) TheDialogState().defaultPrinterRow = startRow;
    if (kind_ == DialogKind::kSelectPrinter) TheDialogState().clickedPrinterRow = -1;
}

const char* PrinterDialog::Title() const noexcept {
    switch (kind_) {
        case DialogKind::kChoosePrinter: return kTitle101;
        case DialogKind::kContinueList: return kTitle102;
        case DialogKind::kShowList: return kTitle103;
        case DialogKind::kSelectPrinter: return kTitle116;
    }
    return "";
}

const char* PrinterDialog::ColumnTitle(int column) const noexcept {
    return column == 0 ? kColumnInstalledPrinter : kColumnAvailability;
}

const printers::PrinterRecord* PrinterDialog::RecordAt(std::int32_t row) const noexcept {
    if (row < 0 || row >= static_cast<std::int32_t>(rows_.size()) || row >= ListedCount()) {
        return nullptr;
    }
    return &printers::ThePrinterListState().printerList[static_cast<std::size_t>(row)];
}

std::vector<DialogText> PrinterDialog::Texts() const {
    switch (kind_) {
        case DialogKind::kChoosePrinter: {
            const printers::PrinterRecord* record = RecordAt(currentRow_);
            return {{kChooseGroup, kGroupChoosePrinter},
                    {1027, kLabelModel},
                    {kDriverStatic, record ? record->driver : kPlaceholderModel},
                    {1028, kLabelPort},
                    {kPortStatic, record ? record->port : kPlaceholderPort},
                    {1029, kLabelSupport},
                    {kSupportStatic, record ? record->supportText : kPlaceholderSupport},
                    {1031, kGroupNotice},
                    {1030, kTextN1},
                    {1032, kTextN3}};
        }
        case DialogKind::kContinueList:
            return {{1024, kListIntro}, {1025, kTextL1}, {1026, kTextL2},
                    {1031, kGroupNotice}, {1027, kTextN2}, {1028, kTextN3}};
        case DialogKind::kShowList:
            return {{1023, kListIntro}, {1024, kCheckDefaultPrompt},
                    {1031, kGroupNotice}, {1027, kTextN1b}, {1028, kTextN3}};
        case DialogKind::kSelectPrinter:
            return {{1024, kListIntro}, {1025, kTextL1}, {1026, kTextL2},
                    {kSelectInstruction, kChoosePrompt}, {1031, kGroupNotice},
                    {1027, kTextN2}, {1028, kTextN3}};
    }
    return {};
}

std::vector<DialogButton> PrinterDialog::Buttons() const {
    switch (kind_) {
        case DialogKind::kChoosePrinter: {
            const bool extras = printers::ThePrinterListState().listDialogOption != 0;
            return {{kTestPrintButton, kButtonTestPrint, extras, false},
                    {kPrintButton, kButtonPrint, true, true},
                    {kCancelButton, kButtonCancel, extras, false}};
        }
        case DialogKind::kContinueList:
            return {{kContinueButton, kButtonContinue, true, false},
                    {kContinueCancelButton, kButtonCancel, true, false}};
        case DialogKind::kShowList:
            return {{kShowListOkButton, kButtonConfirm, true, false}};
        case DialogKind::kSelectPrinter:
            return {{kSelectContinueButton, kButtonContinue, true, false},
                    {kSelectCancelButton, kButtonCancel, true, false}};
    }
    return {};
}

void PrinterDialog::SelectRow(std::int32_t row) noexcept {
    if (ended_ || RecordAt(row) == nullptr) return;
    currentRow_ = row;
}

void PrinterDialog::ClickRow(std::int32_t row) noexcept {
    if (ended_) return;
    SelectRow(row);
    // A click on no row leaves the focus where it was.
    if (kind_ == DialogKind::kSelectPrinter) TheDialogState().clickedPrinterRow = currentRow_;
}

CommandOutcome PrinterDialog::End(std::int32_t value) noexcept {
    ended_ = true;
    endValue_ = value;
    return {true, value, Warning::kNone};
}

CommandOutcome PrinterDialog::ConfirmRow(std::int32_t row, std::int32_t endValue) noexcept {
    const printers::PrinterRecord* record = RecordAt(row);
    if (record != nullptr && record->support == 1) {
        ConfirmSelectedPrinter(*record);
        return End(endValue);
    }
    EmptySelectedPrinter();
    return {false, 0, Warning::kUnsupportedChoice};
}

CommandOutcome PrinterDialog::TestPrintRow(std::int32_t row) {
    const printers::PrinterRecord* record = RecordAt(row);
    if (record == nullptr || record->support != 1) return {false, 0, Warning::kUnsupportedTestPrint};
    char name[printers::kNameBufferSize];
    char driver[printers::kNameBufferSize];
    printers::CopyToField(name, record->name);
    printers::CopyToField(driver, record->driver);
    if (testPrint_) {
        testPrint_(name, driver, kTestPrintCaption, kTestPrintKind, kTestPrintOrientation);
    }
    return {};
}

CommandOutcome PrinterDialog::Command(std::int32_t id) {
    if (ended_) return {};
    switch (kind_) {
        case DialogKind::kChoosePrinter: {
            // No selection counts as the first row.
            const std::int32_t row = currentRow_ < 0 ? 0 : currentRow_;
            if (id == kPrintButton) return ConfirmRow(row, kChoosePrinterConfirmed);
            if (id == kCancelButton) return End(kChoosePrinterCancelled);
            // A hidden button cannot be pressed; Escape still cancels.
            if (id == kTestPrintButton && printers::ThePrinterListState().listDialogOption != 0) {
                return TestPrintRow(row);
            }
            return {};
        }
        case DialogKind::kContinueList:
            if (id == kContinueButton || id == kContinueCancelButton) return End(id);
            return {};
        case DialogKind::kShowList:
            if (id == kShowListOkButton) return End(id);
            return {};
        case DialogKind::kSelectPrinter: {
            if (id == kSelectCancelButton) return End(id);
            if (id != kSelectContinueButton) return {};
            DialogState& state = TheDialogState();
            if (state.clickedPrinterRow < 0) state.clickedPrinterRow = state.defaultPrinterRow;
            return ConfirmRow(state.clickedPrinterRow, kSelectContinueButton);
        }
    }
    return {};
}

}  // namespace zeseal::dialogs
