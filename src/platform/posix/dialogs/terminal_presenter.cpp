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

// Dialog 101's labels of the driver, port and support statics.
bool IsFieldLabel(const dialogs::PrinterDialog& dialog, const dialogs::DialogText& text) {
    return !dialog.IsListDialog() && text.controlId >= 1027 && text.controlId <= 1029;
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
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const dialogs::DialogText& text = texts[i];
        if (text.controlId == 1031) notices = true;
        if (dialog.IsListDialog() && !notices) continue;
        if (text.controlId == dialogs::kChooseGroup) continue;  // shown above the rows
        if (IsFieldLabel(dialog, text) && i + 1 < texts.size()) {
            // A label and the value beside it on one line.
            std::fprintf(out_, "  %s: ", Cp949ToUtf8(text.text).c_str());
            PutText(out_, texts[++i].text, "      ", false);
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
    char line[256];
    while (!dialog.Ended()) {
        Show(dialog);
        if (std::fgets(line, sizeof line, in_) == nullptr) return dialogs::kDialogNotCreated;
        const std::string input = TrimmedLine(line);
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
