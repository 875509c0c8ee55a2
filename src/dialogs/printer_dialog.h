// The logic of the four printer-list dialogs, free of any toolkit. A
// presenter (a Windows dialog, the terminal, a script) shows what a
// PrinterDialog holds and feeds it the user's actions; the dialog decides
// what they mean, fills SelectedPrinter and tells when and how it ends.
//
// A dialog reads the process-wide printer list and never changes a record.
// Rows are the records in list order: a row index is a record index.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/dialog_ids.h"
#include "printers/printer_record.h"

namespace zeseal::dialogs {

// Prints a test page: printer name, detector (driver) name, caption, kind and
// orientation, as the test-page export takes them. Its result is ignored.
using TestPrintFunction = std::function<std::int32_t(const char* printerName,
                                                     const char* driverName,
                                                     const char* caption, std::int32_t kind,
                                                     std::int32_t orientation)>;

enum class Warning {
    kNone,
    kUnsupportedChoice,     // W1: the chosen printer cannot issue
    kUnsupportedTestPrint,  // W2: the test print's printer cannot issue
};

struct WarningBox {
    const char* text;     // code page 949
    const char* caption;  // code page 949
};
WarningBox WarningBoxOf(Warning warning) noexcept;

// One row of a list (or one entry of dialog 101's combo box).
struct DialogRow {
    const char* name;        // the record's Name
    bool isDefaultPrinter;   // its Name is the default printer's
    std::int32_t picture;    // kDefaultPrinterPicture or kOtherPrinterPicture
    const char* verdict;     // "발급 가능" or "발급 불가", code page 949
};

// A fixed text of the dialog (labels, notices) or one set at run time.
struct DialogText {
    std::int32_t controlId;  // 0 for a control without an id
    const char* text;        // code page 949
};

struct DialogButton {
    std::int32_t id;
    const char* text;  // code page 949
    bool visible;
    bool isDefault;    // Enter presses it
};

struct CommandOutcome {
    bool ended = false;
    std::int32_t endValue = 0;
    Warning warning = Warning::kNone;
};

class PrinterDialog {
public:
    // Initialises the dialog from the printer list: reads the default
    // printer's name, lays out the rows and, for the list dialogs, sets
    // DefaultPrinterRow (and dialog 116 resets ClickedPrinterRow). testPrint
    // is what dialog 101's test-print button calls; without one the button
    // prints nothing.
    explicit PrinterDialog(DialogKind kind, TestPrintFunction testPrint = {});

    DialogKind Kind() const noexcept { return kind_; }
    const char* Title() const noexcept;
    bool IsListDialog() const noexcept { return kind_ != DialogKind::kChoosePrinter; }
    const char* ColumnTitle(int column) const noexcept;  // list dialogs: 0 and 1

    const std::vector<DialogRow>& Rows() const noexcept { return rows_; }
    // The selected row (dialog 101: of the combo box; list dialogs: the
    // selected and focused row), -1 for none.
    std::int32_t CurrentRow() const noexcept { return currentRow_; }

    // The texts in the order the dialog shows them, top to bottom; for dialog
    // 101 this includes the current row's driver, port and support text.
    std::vector<DialogText> Texts() const;
    std::vector<DialogButton> Buttons() const;

    // A selection made with the keyboard, or a combo-box choice in dialog
    // 101. In dialog 116 it does not count as a click.
    void SelectRow(std::int32_t row) noexcept;
    // A mouse click on a row (on no row when row is out of range).
    void ClickRow(std::int32_t row) noexcept;
    // A command: a button id, or kCommandCancel for Escape and the close box.
    // Commands the dialog ignores return an outcome that neither ends nor
    // warns. After the dialog has ended every command is ignored.
    CommandOutcome Command(std::int32_t id);

    bool Ended() const noexcept { return ended_; }
    std::int32_t EndValue() const noexcept { return endValue_; }

private:
    const printers::PrinterRecord* RecordAt(std::int32_t row) const noexcept;
    CommandOutcome End(std::int32_t value) noexcept;
    CommandOutcome ConfirmRow(std::int32_t row, std::int32_t endValue) noexcept;
    CommandOutcome TestPrintRow(std::int32_t row);

    DialogKind kind_;
    TestPrintFunction testPrint_;
    std::vector<DialogRow> rows_;
    std::int32_t currentRow_ = -1;
    bool ended_ = false;
    std::int32_t endValue_ = 0;
};

// Copies a record's whole content into SelectedPrinter.
void ConfirmSelectedPrinter(const printers::PrinterRecord& record) noexcept;

}  // namespace zeseal::dialogs
