#include "platform/posix/dialogs/terminal_presenter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "dialogs/dialog_texts.h"
#include "platform/posix/text/cp949_text.h"
#include "printers/printer_list_state.h"
#include "support/temp_printers_file.h"

namespace zeseal::platform::posix {
namespace {

using printers::ThePrinterListState;

// Runs one dialog at a terminal whose keyboard types input; returns what it
// showed.
std::string RunAtTerminal(dialogs::DialogKind kind, const std::string& input,
                          std::int32_t& endValue) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fputs(input.c_str(), in);
    std::rewind(in);
    dialogs::PrinterDialog dialog(kind);
    TerminalPresenter terminal(in, out);
    endValue = terminal.Run(dialog, nullptr);
    std::string shown;
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;) shown.push_back(char(c));
    std::fclose(in);
    std::fclose(out);
    return shown;
}

class Terminal : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(printers::AllocatePrinterList(3));
        auto& list = ThePrinterListState().printerList;
        printers::CopyToField(list[0].name, "Able");
        list[0].support = 1;
        printers::CopyToField(list[1].name, "Unable");
        ThePrinterListState().printerCount = 2;
    }
    void TearDown() override {
        printers::ReleasePrinterList();
        ThePrinterListState().selectedPrinter = {};
    }
    zeseal::testing::TempPrintersFile spooler_{"default = Unable\n"};
};

TEST_F(Terminal, ShowsRowsVerdictsAndTextsInUtf8AndTakesRowsAndKeys) {
    std::int32_t end = 0;
    const std::string shown =
        RunAtTerminal(dialogs::DialogKind::kSelectPrinter, "q\nk\n1\nk\n", end);
    EXPECT_EQ(end, 1035);
    EXPECT_STREQ(ThePrinterListState().selectedPrinter.name, "Able");
    EXPECT_NE(shown.find("발급가능프린터 설치여부확인"), std::string::npos);
    EXPECT_NE(shown.find("   1   Able  |  발급 가능"), std::string::npos) << shown;
    EXPECT_NE(shown.find(" > 2 * Unable  |  발급 불가"), std::string::npos) << shown;
    EXPECT_NE(shown.find("선택하신 프린터는 지원하지 않습니다."), std::string::npos);
    EXPECT_NE(shown.find("[k] 계 속...  [c] 취  소"), std::string::npos) << shown;
}

TEST_F(Terminal, EndOfInputLeavesTheDialogUnconfirmed) {
    std::int32_t end = 0;
    RunAtTerminal(dialogs::DialogKind::kContinueList, "c\n", end);
    EXPECT_EQ(end, 1017);
    RunAtTerminal(dialogs::DialogKind::kContinueList, "q\n", end);
    EXPECT_EQ(end, -1);
}

// Dialog 101 shows each label with its own value: the model with the
// driver, the port with the port, the support label with the verdict.
TEST_F(Terminal, ChoosingDialogShowsEachLabelWithItsValue) {
    auto& list = ThePrinterListState().printerList;
    printers::CopyToField(list[0].driver, "Talvo Laser 5100");
    printers::CopyToField(list[0].port, "USB001");
    printers::CopyToField(list[0].supportText, "OK-TEXT");
    std::int32_t end = 0;
    const std::string shown = RunAtTerminal(dialogs::DialogKind::kChoosePrinter, "1\nq\n", end);
    const struct {
        const char* label;
        std::string value;
    } fields[] = {
        {dialogs::kLabelModel, "Talvo Laser 5100"},
        {dialogs::kLabelPort, "USB001"},
        {dialogs::kLabelSupport, "OK-TEXT"},
    };
    for (const auto& field : fields) {
        const std::string line = "  " + Cp949ToUtf8(field.label) + ": " + field.value + "\n";
        EXPECT_NE(shown.find(line), std::string::npos) << line << "\n" << shown;
    }
}

// A typed line longer than the terminal keeps is one unusable answer: its
// tail must not count as Enter, which would confirm the printer.
TEST_F(Terminal, AnOverlongLineIsOneAnswerNotAnEnter) {
    for (const std::string& line : {std::string(255, 'x'), std::string(300, 'x'), std::string(255, ' ') + "1"}) {
        std::int32_t end = 0;
        RunAtTerminal(dialogs::DialogKind::kContinueList, line + "\nq\n", end);
        EXPECT_EQ(end, -1) << line.size() << " characters";
    }
}

}  // namespace
}  // namespace zeseal::platform::posix
