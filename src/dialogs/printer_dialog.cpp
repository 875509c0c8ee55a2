#include "dialogs/printer_dialog.h"

#include <cstring>

#include "base/ascii_case.h"
#include "base/name_cut.h"
#include "dialogs/dialog_layouts.h"
#include "dialogs/dialog_state.h"
#include "dialogs/dialog_texts.h"
#include "printers/default_printer.h"
#include "printers/printer_list_state.h"

namespace zeseal::dialogs {
namespace {

// The records the dialogs show: none when there is no list.
std::int32_t ListedCount() noexcept {
    const printers::PrinterListState& state = printers::ThePrinterListState();
    if (!state.printerList || state.printerCount <= 0) return 0;
    const auto capacity = static_cast<std::int64_t>(state.printerListCapacity);
    return static_cast<std::int32_t>(state.printerCount < capacity ? state.printerCount
                                                                    : capacity);
}

// Empties SelectedPrinter's Name and Driver.
void EmptySelectedPrinter() noexcept {
    printers::PrinterRecord& selected = printers::ThePrinterListState().selectedPrinter;
    selected.name[0] = '\0';
    selected.driver[0] = '\0';
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

PrinterDialog::PrinterDialog(DialogKind kind, TestPrintFunction testPrint)
    : kind_(kind), testPrint_(std::move(testPrint)) {
    char defaultName[base::kNameBufferSize] = {};
    // With no default printer the name stays empty and no row is preselected.
    printers::ReadDefaultPrinterName(defaultName, sizeof defaultName);

    const printers::PrinterListState& state = printers::ThePrinterListState();
    const std::int32_t count = ListedCount();
    std::int32_t defaultRow = -1;
    rows_.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const printers::PrinterRecord& record = state.printerList[static_cast<std::size_t>(i)];
        const bool isDefault = base::SameIgnoringCase(record.name, defaultName);
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

const char* PrinterDialog::Title() const noexcept { return LayoutOf(kind_).title; }

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
    const printers::PrinterRecord* record =
        kind_ == DialogKind::kChoosePrinter ? RecordAt(currentRow_) : nullptr;
    std::vector<DialogText> texts;
    for (const ControlLayout& control : LayoutOf(kind_).controls) {
        if (control.kind != ControlKind::kStatic && control.kind != ControlKind::kGroupBox) continue;
        const char* text = control.text;
        // Dialog 101 shows the chosen entry's driver, port and support text.
        if (record != nullptr && control.id == kDriverStatic) text = record->driver;
        if (record != nullptr && control.id == kPortStatic) text = record->port;
        if (record != nullptr && control.id == kSupportStatic) text = record->supportText;
        if (*text != '\0') texts.push_back({control.id, text});
    }
    return texts;
}

std::vector<DialogButton> PrinterDialog::Buttons() const {
    // Dialog 101 hides its test-print and cancel buttons when the option is 0.
    const bool extras = printers::ThePrinterListState().listDialogOption != 0;
    std::vector<DialogButton> buttons;
    for (const ControlLayout& control : LayoutOf(kind_).controls) {
        const bool isDefault = control.kind == ControlKind::kDefaultPushButton;
        if (control.kind != ControlKind::kPushButton && !isDefault) continue;
        const bool hideable = kind_ == DialogKind::kChoosePrinter &&
                              (control.id == kTestPrintButton || control.id == kCancelButton);
        buttons.push_back({control.id, control.text, !hideable || extras, isDefault});
    }
    return buttons;
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
    char name[base::kNameBufferSize];
    char driver[base::kNameBufferSize];
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
