// The four printer-list dialogs of ZEsealWARDEN.dll, opened through its
// list exports on two printers of the Wine prefix and driven by a dialog
// script as a person would drive them. They need a display (Xvfb) and the
// Korean ANSI code page: scripts/test-wine.sh provides both and sets
// ZESEAL_DIALOG_TESTS; without it these tests are skipped.
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "authoring/data_file_writer.h"
#include "catalogue/data_file_format.h"
#include "dialog_driver.h"
#include "dialogs/dialog_layouts.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/printer_dialog.h"
#include "seams/spooler.h"
#include "printers/model_code.h"
#include "printers/support_texts.h"
#include "wine_printers.h"

namespace zeseal {
namespace {

using testing::DialogDriver;

constexpr char kAble[] = "ZEseal Able Laser";  // listed as supported; the default printer
constexpr char kAbleDriver[] = "ZEseal Able PostScript";
constexpr char kDraft[] = "ZEseal Draft Laser";  // not in the supported-model file
constexpr char kDraftDriver[] = "ZEseal Draft PostScript";
// Ports that are file names: Wine prints to them without asking for a file,
// as it does on FILE: when a display is there.
constexpr char kAblePort[] = "C:\\zeseal-able.ps";
constexpr char kDraftPort[] = "C:\\zeseal-draft.ps";

using ListFunction = int32_t(ZESEAL_CALL*)(HWND, char*, char*, int32_t*, int32_t*, int32_t);

std::string SystemFile(const char* name) {
    char directory[MAX_PATH] = {};
    GetSystemDirectoryA(directory, sizeof directory);
    return std::string(directory) + "\\" + name;
}

std::string Normalized(const char* driver) {
    char name[260];
    printers::NormalizedModelName(driver, name);
    return name;
}

// A text a list view hands out through a structure with pszText and
// cchTextMax (a row's cell, a column's title).
template <typename Info>
std::string ListViewText(HWND list, UINT message, int index, Info info) {
    char text[260] = {};
    info.pszText = text;
    info.cchTextMax = sizeof text;
    SendMessageA(list, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
    return text;
}

std::string ListItemText(HWND list, int row, int column) {
    LVITEMA item{};
    item.iSubItem = column;
    return ListViewText(list, LVM_GETITEMTEXTA, row, item);
}

int ListItemPicture(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

std::string ColumnTitle(HWND list, int column) {
    LVCOLUMNA format{};
    format.mask = LVCF_TEXT;
    return ListViewText(list, LVM_GETCOLUMNA, column, format);
}

std::string ControlText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string WindowTitle(HWND window) {
    char text[260] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Posts the close box's command; the dialogs that ignore it stay open.
void PressCloseBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

struct Outputs {
    std::int32_t result = -99;
    char name[260] = "unchanged";
    char driver[260] = "unchanged";
    std::int32_t kind = -1;
    std::int32_t model = -1;
};

class WineDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (std::getenv("ZESEAL_DIALOG_TESTS") == nullptr || GetACP() != 949) return;
        testing::AddWinePrinter(kAble, kAbleDriver, kAblePort);
        testing::AddWinePrinter(kDraft, kDraftDriver, kDraftPort);
        SetDefaultPrinterA(kAble);
        // The able printer's model is supported (class 0) and known to the
        // court printer list.
        const std::vector<authoring::ModelFileEntry> models = {
            {catalogue::kRecordTag,
             authoring::MakeModelRecord(Normalized(kAbleDriver), {3, 0, 0, 0, 1, 4, 0, 0})}};
        const std::vector<std::uint8_t> modelFile = authoring::BuildModelFile(models);
        const std::vector<std::string> court = {Normalized(kAbleDriver)};
        const std::vector<std::uint8_t> courtFile = authoring::BuildCourtList(court);
        ASSERT_TRUE(testing::WriteWholeFile(SystemFile(catalogue::kModelFileName), modelFile.data(),
                                            static_cast<DWORD>(modelFile.size())));
        ASSERT_TRUE(testing::WriteWholeFile(SystemFile(catalogue::kCourtListFileName),
                                            courtFile.data(), static_cast<DWORD>(courtFile.size())));
        dll_ = LoadLibraryA("ZEsealWARDEN.dll");
    }

    static void TearDownTestSuite() {
        DeleteFileA(SystemFile(catalogue::kModelFileName).c_str());
        DeleteFileA(SystemFile(catalogue::kCourtListFileName).c_str());
        if (dll_ != nullptr) FreeLibrary(dll_);
        dll_ = nullptr;
    }

    void SetUp() override {
        if (std::getenv("ZESEAL_DIALOG_TESTS") == nullptr) {
            GTEST_SKIP() << "the dialog tests run under Xvfb through scripts/test-wine.sh";
        }
        if (GetACP() != 949) GTEST_SKIP() << "the dialog tests need LC_ALL=ko_KR.UTF-8";
        ASSERT_NE(dll_, nullptr);
        // Rows are the local printers in the spooler's order.
        std::vector<platform::LocalPrinter> printers;
        ASSERT_TRUE(platform::ActiveSpooler().ListLocalPrinters(printers));
        for (std::size_t i = 0; i < printers.size(); ++i) {
            if (printers[i].name == kAble) ableRow_ = static_cast<int>(i);
            if (printers[i].name == kDraft) draftRow_ = static_cast<int>(i);
        }
        rowCount_ = static_cast<int>(printers.size());
        ASSERT_GE(ableRow_, 0);
        ASSERT_GE(draftRow_, 0);
    }

    // Runs a list export of the DLL while driver is at work.
    Outputs Call(const char* exportName, std::int32_t optionOrMode, DialogDriver& driver,
                 HWND parent = nullptr) {
        const auto list = reinterpret_cast<ListFunction>(
            reinterpret_cast<void*>(GetProcAddress(dll_, exportName)));
        Outputs out;
        EXPECT_NE(list, nullptr) << exportName;
        if (list == nullptr) return out;
        out.result = list(parent, out.name, out.driver, &out.kind, &out.model, optionOrMode);
        driver.Finish();
        return out;
    }

    // The script's row number (from 1) of a printer.
    std::string Row(int row) const { return std::to_string(row + 1); }

    // What every list dialog shows: one row per printer with its picture and
    // verdict, the two columns, the image list, the default row in view.
    void ExpectPrinterRows(HWND list) const {
        ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), rowCount_);
        EXPECT_EQ(ListItemText(list, ableRow_, 0), kAble);
        EXPECT_EQ(ListItemText(list, ableRow_, 1), dialogs::kVerdictAble);
        EXPECT_EQ(ListItemText(list, draftRow_, 0), kDraft);
        EXPECT_EQ(ListItemText(list, draftRow_, 1), dialogs::kVerdictUnable);
        EXPECT_EQ(ListItemPicture(list, ableRow_), dialogs::kDefaultPrinterPicture);
        EXPECT_EQ(ListItemPicture(list, draftRow_), dialogs::kOtherPrinterPicture);
        EXPECT_EQ(ColumnTitle(list, 0), dialogs::kColumnInstalledPrinter);
        EXPECT_EQ(ColumnTitle(list, 1), dialogs::kColumnAvailability);
        EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), dialogs::kPrinterColumnWidth);
        EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), dialogs::kVerdictColumnWidth);
        const auto pictures = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        ASSERT_NE(pictures, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(pictures), 2);
        int width = 0, height = 0;
        ImageList_GetIconSize(pictures, &width, &height);
        EXPECT_EQ(width, dialogs::kPrinterPictureSize);
        EXPECT_EQ(height, dialogs::kPrinterPictureSize);
    }

    static void ExpectCentredOnTheDesktop(HWND dialog) {
        RECT desktop{}, shown{};
        GetWindowRect(GetDesktopWindow(), &desktop);
        GetWindowRect(dialog, &shown);
        const dialogs::ScreenPoint expected = dialogs::CentreOnOwner(
            {desktop.left, desktop.top, desktop.right, desktop.bottom},
            {shown.left, shown.top, shown.right, shown.bottom});
        EXPECT_EQ(shown.left, expected.x);
        EXPECT_EQ(shown.top, expected.y);
    }

    static void ExpectWarning(const testing::ShownWarning& shown, dialogs::Warning warning) {
        const dialogs::WarningBox box = dialogs::WarningBoxOf(warning);
        EXPECT_EQ(shown.caption, box.caption);
        // A static control shows its line feed as it was given.
        EXPECT_EQ(shown.text, box.text);
    }

    static HMODULE dll_;
    int ableRow_ = -1;
    int draftRow_ = -1;
    int rowCount_ = 0;
};

HMODULE WineDialogs::dll_ = nullptr;

TEST_F(WineDialogs, SelectingDialogConfirmsTheDefaultRowWithoutAClick) {
    // An arrow key moves the selection but is no click: the default row
    // still counts.
    const char* key = draftRow_ > ableRow_ ? "down" : "up";
    DialogDriver driver(std::string(key) + "; press 1035", "116-default-row");
    driver.onOpen = [&](HWND dialog, int kind) {
        EXPECT_EQ(kind, 116);
        EXPECT_EQ(WindowTitle(dialog), dialogs::kTitle116);
        ExpectCentredOnTheDesktop(dialog);
        HWND list = GetDlgItem(dialog, dialogs::kSelectListView);
        ExpectPrinterRows(list);
        EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);
        EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), ableRow_);
        EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), ableRow_);
        EXPECT_EQ(ControlText(dialog, dialogs::kSelectInstruction), dialogs::kChoosePrompt);
    };
    const Outputs out = Call("iGetZePrinterListChk", 3, driver);
    EXPECT_EQ(out.result, ZE_OK);
    EXPECT_STREQ(out.name, kAble);
    EXPECT_STREQ(out.driver, kAbleDriver);
    EXPECT_EQ(out.kind, ZE_KIND_LOCAL);
    EXPECT_EQ(out.model, ZE_MODEL_CLASS_1);
    EXPECT_EQ(driver.Transcript(), (std::vector<std::string>{"open 116", "closed 116"}));
    EXPECT_TRUE(driver.Warnings().empty());
}

TEST_F(WineDialogs, SelectingDialogRefusesAClickedUnsupportedRowThenTakesTheNextClick) {
    DialogDriver driver("click " + Row(draftRow_) + "; press 1035; click " + Row(ableRow_) +
                            "; press 1035",
                        "116-clicks");
    driver.onOpen = [](HWND dialog, int) { PressCloseBox(dialog); };  // ignored
    const Outputs out = Call("iGetZePrinterListChk", 3, driver);
    EXPECT_EQ(out.result, ZE_OK);
    EXPECT_STREQ(out.name, kAble);
    ASSERT_EQ(driver.Warnings().size(), 1u);
    ExpectWarning(driver.Warnings()[0], dialogs::Warning::kUnsupportedChoice);
    EXPECT_EQ(driver.Transcript(),
              (std::vector<std::string>{"open 116", "warning", "closed 116"}));
}

TEST_F(WineDialogs, SelectingDialogIgnoresEscapeAndEndsOnlyOnItsButtons) {
    DialogDriver driver("click " + Row(draftRow_) + "; press 1035; escape; press 1036", "116-cancel");
    const Outputs out = Call("iGetZePrinterListChk", 3, driver);
    // Only a confirmed choice is handed back.
    EXPECT_EQ(out.result, ZE_DIALOG_NOT_CONFIRMED);
    EXPECT_STREQ(out.name, "unchanged");
    EXPECT_STREQ(out.driver, "unchanged");
    EXPECT_EQ(driver.Warnings().size(), 1u);
    EXPECT_EQ(driver.Transcript(), (std::vector<std::string>{"open 116", "warning", "closed 116"}));
}

TEST_F(WineDialogs, ChoosingDialogWarnsForTheUnsupportedPrinterAndTestPrintsOnTheSupportedOne) {
    DeleteFileA(kAblePort);
    DialogDriver driver("select " + Row(draftRow_) + "; press 3; press 1; select " + Row(ableRow_) +
                            "; press 3; press 1",
                        "101-choose");
    driver.onOpen = [&](HWND dialog, int kind) {
        EXPECT_EQ(kind, 101);
        EXPECT_EQ(WindowTitle(dialog), dialogs::kTitle101);
        ExpectCentredOnTheDesktop(dialog);
        HWND combo = GetDlgItem(dialog, dialogs::kPrinterCombo);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), rowCount_);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), ableRow_);
        EXPECT_EQ(ControlText(dialog, dialogs::kDriverStatic), kAbleDriver);
        EXPECT_EQ(ControlText(dialog, dialogs::kPortStatic), "C:\\ZESEAL-ABLE.PS");
        EXPECT_EQ(ControlText(dialog, dialogs::kSupportStatic), printers::kSupportedText);
        for (const int id : {dialogs::kTestPrintButton, dialogs::kPrintButton, dialogs::kCancelButton}) {
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, id))) << id;
        }
    };
    // Each choice in the combo box shows its printer's driver, port and
    // support text.
    std::vector<std::string> shownDrivers;
    driver.afterCommand = [&](HWND dialog, std::size_t command) {
        if (command == 0) {
            EXPECT_EQ(ControlText(dialog, dialogs::kDriverStatic), kDraftDriver);
            EXPECT_EQ(ControlText(dialog, dialogs::kPortStatic), "C:\\ZESEAL-DRAFT.PS");
            EXPECT_EQ(ControlText(dialog, dialogs::kSupportStatic), printers::kUnregisteredText);
        }
        shownDrivers.push_back(ControlText(dialog, dialogs::kDriverStatic));
    };
    const Outputs out = Call("iGetZePrinterList", 1, driver);
    EXPECT_EQ(out.result, ZE_COURT_LIST_REGISTERED);
    EXPECT_STREQ(out.name, kAble);
    EXPECT_EQ(out.kind, ZE_KIND_LOCAL);
    EXPECT_EQ(shownDrivers, (std::vector<std::string>{kDraftDriver, kDraftDriver, kDraftDriver,
                                                      kAbleDriver, kAbleDriver}));
    ASSERT_EQ(driver.Warnings().size(), 2u);
    ExpectWarning(driver.Warnings()[0], dialogs::Warning::kUnsupportedTestPrint);
    ExpectWarning(driver.Warnings()[1], dialogs::Warning::kUnsupportedChoice);
    // The test print went to the able printer, whose port is a file.
    EXPECT_EQ(testing::FileStart(kAblePort, 4), "%!PS");
    DeleteFileA(kAblePort);
    iZePrinterSet(kAble, 0);
}

TEST_F(WineDialogs, ChoosingDialogWithoutTheOptionHidesTestPrintAndCancelButEscapeStillCancels) {
    DialogDriver driver("press 3; escape", "101-no-option");
    driver.onOpen = [](HWND dialog, int) {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, dialogs::kTestPrintButton)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, dialogs::kCancelButton)));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, dialogs::kPrintButton)));
    };
    const Outputs out = Call("iGetZePrinterList", 0, driver);
    EXPECT_EQ(out.result, ZE_DIALOG_NOT_CONFIRMED);
    EXPECT_EQ(driver.Transcript(),
              (std::vector<std::string>{"open 101", "refused press 3", "closed 101"}));
}

TEST_F(WineDialogs, ChoosingDialogConfirmsTheDefaultPrinterWithEnter) {
    DialogDriver driver("enter", "101-enter");
    const Outputs out = Call("iGetZePrinterList", 0, driver);
    EXPECT_EQ(out.result, ZE_COURT_LIST_REGISTERED);
    EXPECT_STREQ(out.name, kAble);
}

// A window of the caller's that owns the dialog, at a known place.
class OwnerWindow {
public:
    OwnerWindow() {
        window_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 700,
                                  620, nullptr, nullptr, nullptr, nullptr);
    }
    ~OwnerWindow() { DestroyWindow(window_); }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST_F(WineDialogs, ADialogIsCentredOnItsOwnerOrOnTheDesktopWhenTheOwnerIsMinimised) {
    for (const bool minimised : {false, true}) {
        SCOPED_TRACE(minimised ? "minimised owner" : "owner");
        OwnerWindow owner;
        ASSERT_NE(owner.get(), nullptr);
        if (minimised) ShowWindow(owner.get(), SW_MINIMIZE);
        DialogDriver driver("press 1022", minimised ? "103-minimised-owner" : "103-owner");
        driver.onOpen = [&](HWND dialog, int) {
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner.get());
            RECT centre{}, shown{};
            GetWindowRect(minimised ? GetDesktopWindow() : owner.get(), &centre);
            GetWindowRect(dialog, &shown);
            const dialogs::ScreenPoint expected = dialogs::CentreOnOwner(
                {centre.left, centre.top, centre.right, centre.bottom},
                {shown.left, shown.top, shown.right, shown.bottom});
            EXPECT_EQ(shown.left, expected.x);
            EXPECT_EQ(shown.top, expected.y);
        };
        EXPECT_EQ(Call("iGetZePrinterListChk", 1, driver, owner.get()).result, ZE_OK);
        EXPECT_EQ(driver.Transcript(), (std::vector<std::string>{"open 103", "closed 103"}));
    }
}

struct ListCase {
    const char* name;
    std::int32_t mode;
    int kind;
    const char* script;
    std::int32_t result;
};

class WineListDialogs : public WineDialogs, public ::testing::WithParamInterface<ListCase> {};

TEST_P(WineListDialogs, EndOnlyOnTheirButtons) {
    const ListCase& c = GetParam();
    DialogDriver driver(c.script, std::string(c.name));
    driver.onOpen = [&](HWND dialog, int kind) {
        EXPECT_EQ(kind, c.kind);
        ExpectCentredOnTheDesktop(dialog);
        HWND list = GetDlgItem(dialog, kind == 102 ? dialogs::kContinueListView : dialogs::kShowListView);
        ExpectPrinterRows(list);
        EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0);
        EXPECT_EQ(WindowTitle(dialog), kind == 102 ? dialogs::kTitle102 : dialogs::kTitle103);
        PressCloseBox(dialog);
    };
    const Outputs out = Call("iGetZePrinterListChk", c.mode, driver);
    EXPECT_EQ(out.result, c.result);
    const std::string kind = std::to_string(c.kind);
    EXPECT_EQ(driver.Transcript(), (std::vector<std::string>{"open " + kind, "closed " + kind}));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WineListDialogs,
    ::testing::Values(ListCase{"102-continue", 2, 102, "escape; press 1016", ZE_OK},
                      ListCase{"102-cancel", 2, 102, "escape; press 1017", ZE_DIALOG_NOT_CONFIRMED},
                      ListCase{"103-confirm", 1, 103, "escape; press 1022", ZE_OK}),
    [](const ::testing::TestParamInfo<ListCase>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return "dialog_" + name;
    });

}  // namespace
}  // namespace zeseal
