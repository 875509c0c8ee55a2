#include "dialogs/printer_list_calls.h"

#include <zeseal/zeseal.h>
#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "authoring/data_file_writer.h"
#include "catalogue/data_file_format.h"
#include "dialogs/dialog_state.h"
#include "platform/posix/dialogs/scripted_presenter.h"
#include "printers/printer_list_state.h"
#include "support/installed_models.h"
#include "support/temp_printers_file.h"

namespace zeseal::dialogs {
namespace {

using zeseal::testing::InstallModels;
using zeseal::testing::TempPrintersFile;
using zeseal::testing::TempSystemDirectory;

constexpr const char* kAble = "[printer Able]\nport = LPT1:\ndriver = Model A\n";
constexpr const char* kTwo = "[printer Two]\nport = USB001\ndriver = Model Two\n";
constexpr const char* kUnregistered = "[printer Odd]\nport = USB002\ndriver = Odd One\n";
constexpr const char* kShared = "[printer \\\\SRV\\Q]\nport = \\\\SRV\\Q\ndriver = Model A\n";

enum class CourtList { kMissing, kListsModelA };

// The data files, the printers and the dialog script of one call.
struct CallSetup {
    std::string printers;
    CourtList court = CourtList::kListsModelA;
    std::string script;
};

class ListExports : public ::testing::Test {
protected:
    void Prepare(const CallSetup& setup) {
        InstallModels(dir_, {{"MODELA", 0}, {"MODELTWO", 1}, {"ODDONE", 2}});
        if (setup.court == CourtList::kListsModelA) {
            const std::vector<std::string> names = {"MODELA", "MODELTWO"};
            dir_.Write(catalogue::kCourtListFileName, authoring::BuildCourtList(names));
        }
        printers_ = std::make_unique<TempPrintersFile>(setup.printers);
        ASSERT_EQ(iZeHostSetDialogScript(setup.script.c_str()), 0);
    }
    void TearDown() override {
        iZeHostSetDialogScript(nullptr);
        // Every call leaves no list and no module behind.
        EXPECT_FALSE(printers::ThePrinterListState().printerList);
        EXPECT_EQ(printers::ThePrinterListState().moduleInstance, nullptr);
    }
    static std::vector<std::string> Transcript() {
        const platform::posix::ScriptedPresenter* script = platform::posix::ActiveScript();
        return script ? script->Transcript() : std::vector<std::string>{};
    }

    TempSystemDirectory dir_;
    std::unique_ptr<TempPrintersFile> printers_;
    char name_[260] = "stale name";
    char driver_[260] = "stale driver";
    std::int32_t kind_ = -5;
    std::int32_t model_ = -5;
};

struct ChooseCase {
    const char* what;
    CallSetup setup;
    std::int32_t option;
    std::int32_t result;
    const char* name;
    const char* driver;
    std::int32_t kind;
    std::int32_t model;
};

class ChoosePrinter : public ListExports, public ::testing::WithParamInterface<ChooseCase> {};

TEST_P(ChoosePrinter, GivesTheResultAndOutputsOfTheChoice) {
    const ChooseCase& c = GetParam();
    Prepare(c.setup);
    if (c.result == ZE_NO_LOCAL_PRINTER || std::string(c.what).find("entry") != std::string::npos) {
        std::strcpy(driver_, "model a");
    }
    EXPECT_EQ(iGetZePrinterList(nullptr, name_, driver_, &kind_, &model_, c.option), c.result);
    EXPECT_STREQ(name_, c.name);
    EXPECT_STREQ(driver_, c.driver);
    EXPECT_EQ(kind_, c.kind);
    EXPECT_EQ(model_, c.model);
    // The chosen printer is forgotten once the caller has it.
    EXPECT_STREQ(printers::ThePrinterListState().selectedPrinter.name, "");
}

const std::string kDefaultAble = std::string("default = Able\n") + kAble + kTwo + kUnregistered;

INSTANTIATE_TEST_SUITE_P(
    Results, ChoosePrinter,
    ::testing::Values(
        ChooseCase{"registered", {kDefaultAble, CourtList::kListsModelA, "enter"}, 0,
                   70000, "Able", "MODEL A", 1101, 1201},
        ChooseCase{"second_class", {kDefaultAble, CourtList::kListsModelA, "select 2; press 1"},
                   1, 70000, "Two", "MODEL TWO", 1101, 1202},
        ChooseCase{"no_default_clicked_second",
                   {std::string(kTwo) + kAble, CourtList::kListsModelA, "click 2; press 1"}, 1,
                   70000, "Able", "MODEL A", 1101, 1201},
        ChooseCase{"court_list_missing", {kDefaultAble, CourtList::kMissing, "press 1"}, 0,
                   60004, "Able", "MODEL A", 1101, 1201},
        ChooseCase{"refused_then_cancelled",
                   {kDefaultAble, CourtList::kListsModelA, "select 3; press 1; press 2"}, 1, 1005,
                   "", "", -5, -5},
        ChooseCase{"escape_with_buttons_hidden", {kDefaultAble, CourtList::kListsModelA, "escape"},
                   0, 1005, "", "", -5, -5},
        ChooseCase{"script_runs_out", {kDefaultAble, CourtList::kListsModelA, "select 2"}, 0, 1005,
                   "", "", -5, -5},
        ChooseCase{"no_printer", {"", CourtList::kListsModelA, "press 1"}, 0, 1000, "stale name",
                   "model a", -5, -5},
        ChooseCase{"only_shared_printer_and_driver_on_entry",
                   {kShared, CourtList::kListsModelA, "press 1"}, 0, 1008, "stale name",
                   "MODEL A", -5, -5},
        ChooseCase{"two_printers_on_one_driver_first_fails",
                   {std::string("default = Able\n") + kShared + kAble, CourtList::kListsModelA,
                    "press 1"},
                   0, 70000, "Able", "MODEL A", 1101, 1201}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(ListExports, UnregisteredCourtDriverGives80000) {
    Prepare({std::string("default = Able\n") + kAble, CourtList::kListsModelA, "press 1"});
    dir_.Write(catalogue::kCourtListFileName,
               authoring::BuildCourtList(std::vector<std::string>{"SOMETHINGELSE"}));
    EXPECT_EQ(iGetZePrinterList(nullptr, name_, driver_, &kind_, &model_, 0), 80000);
    EXPECT_STREQ(name_, "Able");
}

TEST_F(ListExports, RefusedChoiceShowsW1AndAConfirmedOneEndsTheDialog) {
    Prepare({kDefaultAble, CourtList::kListsModelA, "select 3; press 1; select 1; press 1"});
    EXPECT_EQ(iGetZePrinterList(nullptr, name_, driver_, &kind_, &model_, 1), 70000);
    EXPECT_EQ(Transcript(), (std::vector<std::string>{"open 101", "warning W1", "end 1"}));
}

TEST_F(ListExports, FaultingOutputGives9999AndStillReleasesTheList) {
    Prepare({kDefaultAble, CourtList::kListsModelA, "press 1"});
    char* bad = reinterpret_cast<char*>(16);
    EXPECT_EQ(iGetZePrinterList(nullptr, bad, driver_, &kind_, &model_, 0), ZE_FAULT);
    ASSERT_EQ(iZeHostSetDialogScript("press 1035"), 0);
    EXPECT_EQ(iGetZePrinterListChk(nullptr, bad, driver_, &kind_, &model_, 3), ZE_FAULT);
}

TEST_F(ListExports, TestPrintFromTheChoosingDialogPrintsOnTheRowsPrinter) {
    Prepare({std::string("output = printed\n") + kTwo + kUnregistered, CourtList::kListsModelA,
             "press 3; select 2; press 3; escape"});
    EXPECT_EQ(iGetZePrinterList(nullptr, name_, driver_, &kind_, &model_, 1), 1005);
    EXPECT_EQ(Transcript(), (std::vector<std::string>{"open 101", "warning W2", "end 2"}));
    // One page printed, on the first row's printer only.
    std::vector<std::string> pages;
    for (const auto& entry : std::filesystem::directory_iterator(printers_->folder() / "printed")) {
        pages.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(pages.size(), 1u);
}

struct ShowCase {
    const char* what;
    std::string printers;
    std::int32_t mode;
    std::string script;
    std::int32_t result;
    std::vector<std::string> transcript;
    const char* name;
    std::int32_t model;
};

class ShowList : public ListExports, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowList, GivesTheModesResult) {
    const ShowCase& c = GetParam();
    Prepare({c.printers, CourtList::kListsModelA, c.script});
    EXPECT_EQ(iGetZePrinterListChk(nullptr, name_, driver_, &kind_, &model_, c.mode), c.result);
    EXPECT_EQ(Transcript(), c.transcript);
    EXPECT_STREQ(name_, c.name);
    EXPECT_EQ(model_, c.model);
    EXPECT_EQ(dialogs::TheDialogState().printerImageList, nullptr);
}

const std::string kTwoAble = std::string("default = Two\n") + kAble + kTwo + kUnregistered;

INSTANTIATE_TEST_SUITE_P(
    Modes, ShowList,
    ::testing::Values(
        ShowCase{"mode1_confirmed", kTwoAble, 1, "escape; press 1022", 0,
                 {"open 103", "end 1022"}, "stale name", -5},
        ShowCase{"mode1_not_shown", kTwoAble, 1, "escape", 0, {"open 103", "unfinished"},
                 "stale name", -5},
        ShowCase{"mode2_continue", kTwoAble, 2, "press 2; press 1016", 0,
                 {"open 102", "end 1016"}, "stale name", -5},
        ShowCase{"mode2_cancel", kTwoAble, 2, "press 1017", 1005, {"open 102", "end 1017"},
                 "stale name", -5},
        ShowCase{"mode3_default_row", kTwoAble, 3, "down; press 1035", 0,
                 {"open 116", "end 1035"}, "Two", 1202},
        ShowCase{"mode3_clicked_row", kTwoAble, 3, "click 1; press 1035", 0,
                 {"open 116", "end 1035"}, "Able", 1201},
        ShowCase{"mode3_refused_then_cancelled", kTwoAble, 3, "click 3; press 1035; press 1036",
                 1005, {"open 116", "warning W1", "end 1036"}, "stale name", -5},
        ShowCase{"mode4", kTwoAble, 4, "press 1035", -1, {}, "stale name", -5},
        ShowCase{"mode1_no_printer", "", 1, "press 1022", 1000, {}, "stale name", -5},
        ShowCase{"mode2_no_printer", kShared, 2, "press 1016", 1000, {}, "stale name", -5},
        ShowCase{"mode3_no_printer", "", 3, "press 1035", 1000, {}, "stale name", -5},
        ShowCase{"mode4_no_printer", "", 4, "press 1035", 1000, {}, "stale name", -5}),
    [](const auto& info) { return std::string(info.param.what); });

// A presenter that confirms a record of its own making.
class ConfirmingPresenter final : public DialogPresenter {
public:
    explicit ConfirmingPresenter(printers::PrinterRecord record) : record_(record) {}
    std::int32_t Run(dialogs::PrinterDialog&, HWND) override {
        dialogs::ConfirmSelectedPrinter(record_);
        return dialogs::kChoosePrinterConfirmed;
    }

private:
    printers::PrinterRecord record_;
};

TEST_F(ListExports, ChoiceThroughASharedPrinterIsKind1102) {
    Prepare({kAble, CourtList::kListsModelA, ""});
    for (const char* port : {"\\\\SRV\\Q", "LPT1:"}) {
        printers::PrinterRecord record{};
        printers::CopyToField(record.name, "Able");
        printers::CopyToField(record.driver, "Model A");
        printers::CopyToField(record.port, port);
        record.modelCode = 1201;
        ConfirmingPresenter presenter(record);
        EXPECT_EQ(ChoosePrinterFromList({nullptr, name_, driver_, &kind_, &model_}, 0,
                                        {&presenter, {}}),
                  70000);
        EXPECT_EQ(kind_, std::string(port) == "LPT1:" ? 1101 : 1102);
    }
}

// The final check looks for the driver in driverOut among the local
// printers, ignoring case. Here the list is empty and the only printer, on a
// shared port, has the driver 갂 (0x81 0x41). 갵 (0x81 0x61) differs from it
// in a second byte that has the value of a letter: it is another driver, so
// the check finds no printer for it and leaves the result alone.
TEST_F(ListExports, FinalCheckKeepsDoubleByteDriversApart) {
    struct Case {
        const char* driverOnEntry;
        std::int32_t result;
    };
    for (const Case& c : {Case{"\x81\x41", 1008}, Case{"\x81\x61", 1000}}) {
        printers_.reset();
        Prepare({"[printer Shared]\nport = \\\\SRV\\Q\ndriver = \x81\x41\n",
                 CourtList::kListsModelA, "press 1"});
        std::strcpy(driver_, c.driverOnEntry);
        EXPECT_EQ(iGetZePrinterList(nullptr, name_, driver_, &kind_, &model_, 0), c.result)
            << c.driverOnEntry;
        EXPECT_STREQ(driver_, c.driverOnEntry);  // upper-casing leaves a second byte alone
    }
}

TEST_F(ListExports, WithoutAPresenterTheDialogIsNotConfirmed) {
    Prepare({kAble, CourtList::kListsModelA, ""});
    EXPECT_EQ(ChoosePrinterFromList({nullptr, name_, driver_, &kind_, &model_}, 0, {}), 1005);
    EXPECT_EQ(ShowPrinterListDialog({nullptr, name_, driver_, &kind_, &model_}, 1, {}), 0);
    EXPECT_EQ(ShowPrinterListDialog({nullptr, name_, driver_, &kind_, &model_}, 2, {}), 1005);
}

TEST_F(ListExports, UnterminatedDriverBufferIsReadOnlyToItsSize) {
    Prepare({kShared, CourtList::kListsModelA, ""});
    std::vector<char> big(400, 'x');
    std::memcpy(big.data(), "model a", 7);  // no terminator within 260 bytes
    EXPECT_EQ(iGetZePrinterList(nullptr, name_, big.data(), &kind_, &model_, 0), 1000);
    EXPECT_EQ(big[260], 'x');
}

struct IssueModelCase {
    const char* driver;
    CourtList court;
    std::int32_t result;
};

class IssueModel : public ListExports, public ::testing::WithParamInterface<IssueModelCase> {};

TEST_P(IssueModel, AnswersFromTheCourtList) {
    Prepare({"", GetParam().court, ""});
    EXPECT_EQ(LookupIssueModel(GetParam().driver), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Drivers, IssueModel,
                         ::testing::Values(IssueModelCase{"Model A", CourtList::kListsModelA, 70000},
                                           IssueModelCase{"mo del a", CourtList::kListsModelA, 70000},
                                           IssueModelCase{"Model B", CourtList::kListsModelA, 80000},
                                           IssueModelCase{"", CourtList::kListsModelA, 80000},
                                           IssueModelCase{"Model A", CourtList::kMissing, 60004}));

}  // namespace
}  // namespace zeseal::dialogs
