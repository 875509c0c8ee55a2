#include "platform/posix/dialogs/terminal_presenter.h"

#include <cctype>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialog_ids.h"
#include "platform/posix/text/cp949_text.h"

namespace zeseal::platform::posix {
namespace {

// Writes code page 949 text as UTF-8, each line indented.
void PutText(std::FILE* out, std::string_view text, std::string_view indent,
             bool indentFirstLine = true) {
    const std::string utf8 = Cp949ToUtf8(text);
    if (indentFirstLine) std::fputs(indent.data(), out);
    for (const char c : utf8) {
        std::fputc(c, out);
        if (c == '\n') std::fputs(indent.data(), out);
    }
    std::fputc('\n', out);
}

std::string TrimmedLine(const char* line) {
    std::string_view text(line);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    return std::string(text);
}

// The title of dialog 101's choice group, shown above its entries.
const char* ChoiceGroupTitle(const dialogs::PrinterDialog& dialog) {
    for (const dialogs::DialogText& text : dialog.Texts()) {
        if (text.controlId == dialogs::kChooseGroup) return text.text;
    }
    return "";
}

// Dialog 101's labels (1027 to 1029) and the statics that hold their values:
// the driver, the port and the support text.
struct FieldLabel {
    std::int32_t labelId;
    std::int32_t valueId;
};
constexpr FieldLabel kFieldLabels[] = {
    {1027, dialogs::kDriverStatic},
    {1028, dialogs::kPortStatic},
    {1029, dialogs::kSupportStatic},
};

// The value static a label of dialog 101 names, or 0 for any other text.
std::int32_t ValueIdOfLabel(const dialogs::PrinterDialog& dialog, std::int32_t controlId) {
    if (dialog.IsListDialog()) return 0;
    for (const FieldLabel& field : kFieldLabels) {
        if (field.labelId == controlId) return field.valueId;
    }
    return 0;
}

bool IsFieldValue(const dialogs::PrinterDialog& dialog, std::int32_t controlId) {
    if (dialog.IsListDialog()) return false;
    for (const FieldLabel& field : kFieldLabels) {
        if (field.valueId == controlId) return true;
    }
    return false;
}

// Reads one typed line, however long; only its first part is kept, and
// overlong tells that the rest was dropped. False at the end of the input.
bool ReadTypedLine(std::FILE* in, std::string& line, bool& overlong) {
    constexpr std::size_t kKept = 255;
    line.clear();
    overlong = false;
    int c = 0;
    while ((c = std::fgetc(in)) != EOF && c != '\n') {
        if (line.size() < kKept) {
            line.push_back(static_cast<char>(c));
        } else {
            overlong = true;
        }
    }
    return c != EOF || !line.empty() || overlong;
}

// The key that presses a button at the terminal.
char ButtonKey(std::int32_t buttonId) noexcept {
    switch (buttonId) {
        case dialogs::kPrintButton: return 'p';
        case dialogs::kTestPrintButton: return 't';
        case dialogs::kContinueButton:
        case dialogs::kSelectContinueButton: return 'k';
        case dialogs::kShowListOkButton: return 'o';
        default: return 'c';  // every cancel button
    }
}

}  // namespace

void TerminalPresenter::Show(const dialogs::PrinterDialog& dialog) {
    std::fputc('\n', out_);
    PutText(out_, dialog.Title(), "== ");
    const auto& rows = dialog.Rows();
    if (dialog.IsListDialog()) {
        for (const dialogs::DialogText& text : dialog.Texts()) {
            if (text.controlId == 1031) break;  // the notices follow the list
            PutText(out_, text.text, "  ");
        }
        std::fprintf(out_, "\n   #   %s  |  %s\n", Cp949ToUtf8(dialog.ColumnTitle(0)).c_str(),
                     Cp949ToUtf8(dialog.ColumnTitle(1)).c_str());
    } else {
        PutText(out_, ChoiceGroupTitle(dialog), "  ");
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool current = static_cast<std::int32_t>(i) == dialog.CurrentRow();
        std::fprintf(out_, " %c%2zu %c %s  |  %s\n", current ? '>' : ' ', i + 1,
                     rows[i].isDefaultPrinter ? '*' : ' ', Cp949ToUtf8(rows[i].name).c_str(),
                     Cp949ToUtf8(rows[i].verdict).c_str());
    }
    std::fputs("   (* default printer, > selected)\n\n", out_);
    bool notices = false;
    const std::vector<dialogs::DialogText> texts = dialog.Texts();
    for (const dialogs::DialogText& text : texts) {
        if (text.controlId == 1031) notices = true;
        if (dialog.IsListDialog() && !notices) continue;
        if (text.controlId == dialogs::kChooseGroup) continue;  // shown above the rows
        if (IsFieldValue(dialog, text.controlId)) continue;      // shown beside its label
        if (const std::int32_t valueId = ValueIdOfLabel(dialog, text.controlId); valueId != 0) {
            // A label and its value on one line.
            const char* value = "";
            for (const dialogs::DialogText& other : texts) {
                if (other.controlId == valueId) value = other.text;
            }
            std::fprintf(out_, "  %s: ", Cp949ToUtf8(text.text).c_str());
            PutText(out_, value, "      ", false);
            continue;
        }
        PutText(out_, text.text, "  ");
    }
    std::fputc('\n', out_);
    for (const dialogs::DialogButton& button : dialog.Buttons()) {
        if (!button.visible) continue;
        std::fprintf(out_, "  [%c] %s%s", ButtonKey(button.id),
                     Cp949ToUtf8(button.text).c_str(), button.isDefault ? " (Enter)" : "");
    }
    std::fputs("\n  Choose a row by its number, a button by its key, or q (Escape): ", out_);
    std::fflush(out_);
}

std::int32_t TerminalPresenter::Run(dialogs::PrinterDialog& dialog, HWND) {
    std::string line;
    bool overlong = false;
    while (!dialog.Ended()) {
        Show(dialog);
        if (!ReadTypedLine(in_, line, overlong)) return dialogs::kDialogNotCreated;
        // A line too long for any answer is no answer: the dialog is shown again.
        if (overlong) continue;
        const std::string input = TrimmedLine(line.c_str());
        dialogs::CommandOutcome outcome;
        std::int32_t row = 0;
        const auto [end, error] = std::from_chars(input.data(), input.data() + input.size(), row);
        if (!input.empty() && error == std::errc() && end == input.data() + input.size()) {
            dialog.ClickRow(row - 1);
            continue;
        }
        if (input.empty()) {
            outcome = dialog.Command(dialogs::kCommandOk);
        } else if (input == "q") {
            outcome = dialog.Command(dialogs::kCommandCancel);
        } else if (input.size() == 1) {
            for (const dialogs::DialogButton& button : dialog.Buttons()) {
                if (button.visible && ButtonKey(button.id) == input[0]) {
                    outcome = dialog.Command(button.id);
                    break;
                }
            }
        }
        if (outcome.warning != dialogs::Warning::kNone) {
            const dialogs::WarningBox box = dialogs::WarningBoxOf(outcome.warning);
            std::fputs("\n  !! ", out_);
            PutText(out_, box.caption, "");
            PutText(out_, box.text, "     ");
        }
    }
    std::fputc('\n', out_);
    return dialog.EndValue();
}

}  // namespace zeseal::platform::posix
