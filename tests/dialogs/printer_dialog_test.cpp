#include "dialogs/printer_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/dialog_state.h"
#include "dialogs/dialog_texts.h"
#include "printers/printer_list_state.h"
#include "support/case_names.h"
#include "support/temp_printers_file.h"

namespace zeseal::dialogs {
namespace {

using printers::PrinterRecord;
using printers::ThePrinterListState;
using zeseal::testing::CaseNameFromWhat;
using zeseal::testing::TempPrintersFile;

struct Listed {
    const char* name;
    bool supported;
};

PrinterRecord Record(const Listed& listed) {
    PrinterRecord record{};
    printers::CopyToField(record.name, listed.name);
    printers::CopyToField(record.driver, std::string("Driver of ") + listed.name);
    printers::CopyToField(record.port, "LPT1:");
    printers::CopyToField(record.supportText, listed.supported ? "able" : "unable");
    record.modelCode = listed.supported ? 1201 : 0;
    record.support = listed.supported ? 1 : 0;
    return record;
}

// Puts records into the process's printer list, with a default printer.
class DialogTest : public ::testing::Test {
protected:
    void List(const std::vector<Listed>& listed, const std::string& defaultName) {
        spooler_ = std::make_unique<TempPrintersFile>(
            defaultName.empty() ? std::string() : "default = " + defaultName + "\n");
        ASSERT_TRUE(printers::AllocatePrinterList(listed.size() + 1));
        for (std::size_t i = 0; i < listed.size(); ++i) {
            ThePrinterListState().printerList[i] = Record(listed[i]);
        }
        ThePrinterListState().printerCount = static_cast<std::int32_t>(listed.size());
    }
    void TearDown() override {
        printers::ReleasePrinterList();
        ThePrinterListState().selectedPrinter = {};
        ThePrinterListState().listDialogOption = 0;
    }
    static std::string SelectedName() { return ThePrinterListState().selectedPrinter.name; }

    std::unique_ptr<TempPrintersFile> spooler_;
};

struct DefaultRowCase {
    const char* what;
    std::string defaultName;
    std::int32_t defaultRow;
    std::vector<bool> markedDefault;
};

class DefaultRow : public DialogTest, public ::testing::WithParamInterface<DefaultRowCase> {};

TEST_P(DefaultRow, MarksTheDefaultPrinterAndPreselectsItsLastRow) {
    List({{"Alpha", true}, {"Beta", false}, {"beta", true}}, GetParam().defaultName);
    for (const DialogKind kind : {DialogKind::kChoosePrinter, DialogKind::kContinueList,
                                  DialogKind::kShowList, DialogKind::kSelectPrinter}) {
        TheDialogState().defaultPrinterRow = 99;
        PrinterDialog dialog(kind);
        ASSERT_EQ(dialog.Rows().size(), 3u);
        EXPECT_EQ(dialog.CurrentRow(), GetParam().defaultRow);
        if (kind != DialogKind::kChoosePrinter) {
            EXPECT_EQ(TheDialogState().defaultPrinterRow, GetParam().defaultRow);
        }
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(dialog.Rows()[i].isDefaultPrinter, GetParam().markedDefault[i]) << i;
            EXPECT_EQ(dialog.Rows()[i].picture, GetParam().markedDefault[i] ? 0 : 1) << i;
        }
        EXPECT_STREQ(dialog.Rows()[0].verdict, kVerdictAble);
        EXPECT_STREQ(dialog.Rows()[1].verdict, kVerdictUnable);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultRow,
    ::testing::Values(DefaultRowCase{"none set", "", 0, {false, false, false}},
                      DefaultRowCase{"not listed", "Gamma", 0, {false, false, false}},
                      DefaultRowCase{"first", "ALPHA", 0, {true, false, false}},
                      DefaultRowCase{"two matching, the last wins", "BETA", 2, {false, true, true}}),
    CaseNameFromWhat());

// 갂 (0x81 0x41) and 갵 (0x81 0x61) differ in a second byte that has the
// value of a letter: they are two printers, not one name in two cases.
TEST_F(DialogTest, DoubleByteNamesThatDifferInTheirSecondByteAreNotTheDefaultAlike) {
    struct Case {
        const char* defaultName;
        std::int32_t defaultRow;
        std::vector<bool> markedDefault;
    };
    for (const Case& c : {Case{"\x81\x41", 0, {true, false}}, Case{"\x81\x61", 1, {false, true}}}) {
        spooler_.reset();  // the next file takes the same folder
        printers::ReleasePrinterList();
        List({{"\x81\x41", true}, {"\x81\x61", true}}, c.defaultName);
        PrinterDialog dialog(DialogKind::kShowList);
        EXPECT_EQ(dialog.CurrentRow(), c.defaultRow) << c.defaultName;
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(dialog.Rows()[i].isDefaultPrinter, c.markedDefault[i]) << c.defaultName << i;
        }
    }
}

TEST_F(DialogTest, SelectDialogContinuesWithTheDefaultRowUnlessARowWasClicked) {
    List({{"Alpha", true}, {"Beta", true}, {"Gamma", true}}, "Beta");
    {
        PrinterDialog dialog(DialogKind::kSelectPrinter);
        dialog.SelectRow(2);  // the arrow keys do not count
        const CommandOutcome outcome = dialog.Command(kSelectContinueButton);
        EXPECT_TRUE(outcome.ended);
        EXPECT_EQ(outcome.endValue, 1035);
        EXPECT_EQ(SelectedName(), "Beta");
    }
    {
        PrinterDialog dialog(DialogKind::kSelectPrinter);
        EXPECT_EQ(TheDialogState().clickedPrinterRow, -1);
        dialog.ClickRow(0);
        dialog.SelectRow(2);
        dialog.Command(kSelectContinueButton);
        EXPECT_EQ(SelectedName(), "Alpha");
    }
    {
        PrinterDialog dialog(DialogKind::kSelectPrinter);
        dialog.SelectRow(2);
        dialog.ClickRow(-1);  // a click beside the rows takes the focused row
        dialog.Command(kSelectContinueButton);
        EXPECT_EQ(SelectedName(), "Gamma");
    }
}

TEST_F(DialogTest, RefusedPrinterWarnsStaysOpenAndEmptiesTheSelection) {
    List({{"Able", true}, {"Unable", false}}, "Able");
    for (const DialogKind kind : {DialogKind::kChoosePrinter, DialogKind::kSelectPrinter}) {
        ThePrinterListState().selectedPrinter = Record({"Earlier", true});
        PrinterDialog dialog(kind);
        dialog.ClickRow(1);
        const std::int32_t confirm =
            kind == DialogKind::kChoosePrinter ? kPrintButton : kSelectContinueButton;
        const CommandOutcome refused = dialog.Command(confirm);
        EXPECT_FALSE(refused.ended);
        EXPECT_EQ(refused.warning, Warning::kUnsupportedChoice);
        EXPECT_EQ(SelectedName(), "");
        EXPECT_STREQ(ThePrinterListState().selectedPrinter.driver, "");
        dialog.ClickRow(0);
        EXPECT_TRUE(dialog.Command(confirm).ended);
        EXPECT_EQ(SelectedName(), "Able");
        EXPECT_EQ(ThePrinterListState().selectedPrinter.modelCode, 1201);
    }
}

struct CancelCase {
    DialogKind kind;
    std::vector<std::int32_t> ignored;
    std::int32_t closing;
};

class Cancel : public DialogTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(Cancel, OnlyTheDialogsOwnButtonsCloseIt) {
    List({{"Able", true}}, "");
    PrinterDialog dialog(GetParam().kind);
    for (const std::int32_t id : GetParam().ignored) {
        EXPECT_FALSE(dialog.Command(id).ended) << id;
    }
    const CommandOutcome outcome = dialog.Command(GetParam().closing);
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(outcome.endValue, GetParam().closing);
    EXPECT_FALSE(dialog.Command(GetParam().closing).ended);  // already over
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, Cancel,
    ::testing::Values(CancelCase{DialogKind::kContinueList, {kCommandCancel, kCommandOk, 1022}, 1016},
                      CancelCase{DialogKind::kContinueList, {kCommandCancel}, 1017},
                      CancelCase{DialogKind::kShowList, {kCommandCancel, kCommandOk, 1016}, 1022},
                      CancelCase{DialogKind::kSelectPrinter, {kCommandCancel, kCommandOk}, 1036},
                      CancelCase{DialogKind::kChoosePrinter, {1016, 1035}, kCommandCancel}));

struct TestPrintCall {
    std::string name, driver, caption;
    std::int32_t kind, orientation;
};

TEST_F(DialogTest, TestPrintPassesTheRowsPrinterAsALocalLandscapePage) {
    List({{"Able", true}, {"Unable", false}}, "");
    ThePrinterListState().listDialogOption = 1;
    std::vector<TestPrintCall> calls;
    PrinterDialog dialog(DialogKind::kChoosePrinter,
                         [&](const char* name, const char* driver, const char* caption,
                             std::int32_t kind, std::int32_t orientation) {
                             calls.push_back({name, driver, caption, kind, orientation});
                             return 1006;  // ignored
                         });
    EXPECT_FALSE(dialog.Command(kTestPrintButton).ended);
    dialog.SelectRow(1);
    EXPECT_EQ(dialog.Command(kTestPrintButton).warning, Warning::kUnsupportedTestPrint);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].name, "Able");
    EXPECT_EQ(calls[0].driver, "Driver of Able");
    EXPECT_EQ(calls[0].caption, kTestPrintCaption);
    EXPECT_EQ(calls[0].kind, 1101);
    EXPECT_EQ(calls[0].orientation, 3);
    EXPECT_FALSE(dialog.Ended());
}

TEST_F(DialogTest, OptionZeroHidesTestPrintAndCancelButtons) {
    List({{"Able", true}}, "");
    int calls = 0;
    for (const std::int32_t option : {0, 7}) {
        ThePrinterListState().listDialogOption = option;
        PrinterDialog dialog(DialogKind::kChoosePrinter, [&](auto...) { return ++calls; });
        std::vector<std::int32_t> visible;
        for (const DialogButton& button : dialog.Buttons()) {
            if (button.visible) visible.push_back(button.id);
        }
        const std::vector<std::int32_t> expected =
            option == 0 ? std::vector<std::int32_t>{1} : std::vector<std::int32_t>{3, 1, 2};
        EXPECT_EQ(visible, expected);
        dialog.Command(kTestPrintButton);
    }
    EXPECT_EQ(calls, 1);  // the hidden button printed nothing
}

TEST_F(DialogTest, ComboChoiceShowsTheRowsDriverPortAndSupportText) {
    List({{"Able", true}, {"Unable", false}}, "Unable");
    PrinterDialog dialog(DialogKind::kChoosePrinter);
    auto shown = [&](std::int32_t id) {
        for (const DialogText& text : dialog.Texts()) {
            if (text.controlId == id) return std::string(text.text);
        }
        return std::string("<none>");
    };
    EXPECT_EQ(shown(kDriverStatic), "Driver of Unable");
    EXPECT_EQ(shown(kSupportStatic), "unable");
    dialog.SelectRow(0);
    EXPECT_EQ(shown(kDriverStatic), "Driver of Able");
    EXPECT_EQ(shown(kPortStatic), "LPT1:");
    EXPECT_EQ(shown(kSupportStatic), "able");
    EXPECT_EQ(shown(1030), kTextN1);
    dialog.SelectRow(5);  // no such entry: unchanged
    EXPECT_EQ(dialog.CurrentRow(), 0);
}

}  // namespace
}  // namespace zeseal::dialogs
