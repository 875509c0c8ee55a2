// The winspool spooler against a printer added to the Wine prefix: the
// PostScript driver with a small PPD, printing to the port FILE:.
#include <windows.h>
#include <winspool.h>

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "seams/spooler.h"
#include "printers/printer_list_builder.h"
#include "printers/printer_list_state.h"
#include "import_hook.h"
#include "wine_printers.h"

namespace zeseal {
namespace {

using namespace zeseal::platform;
using testing::FileStart;

constexpr char kPrinter[] = "ZEseal Wine Laser";
constexpr char kDriver[] = "ZEseal Wine PostScript";

// Wine's EnumJobsA is a stub that fails without an error code; there the
// job list counts as unreadable.
bool SpoolerListsJobs() {
    HANDLE printer = nullptr;
    std::string name = kPrinter;
    if (!OpenPrinterA(name.data(), &printer, nullptr)) return false;
    DWORD needed = 0, returned = 0;
    SetLastError(ERROR_SUCCESS);
    const BOOL ok = EnumJobsA(printer, 0, 0xFFFFFFFF, 1, nullptr, 0, &needed, &returned);
    const bool answered = ok || GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    ClosePrinter(printer);
    return answered;
}

class WinspoolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::AddWinePrinter(kPrinter, kDriver); }

    std::unique_ptr<PrinterHandle> OpenFull() {
        std::uint32_t error = 99;
        auto printer = ActiveSpooler().Open(kPrinter, PrinterAccess::kFull, error);
        EXPECT_EQ(error, 0u);
        return printer;
    }
};

TEST_F(WinspoolTest, TheAddedPrinterIsListedWithItsPortAndDriver) {
    std::vector<LocalPrinter> printers;
    ASSERT_TRUE(ActiveSpooler().ListLocalPrinters(printers));
    const auto it = std::find_if(printers.begin(), printers.end(),
                                 [](const LocalPrinter& p) { return p.name == kPrinter; });
    ASSERT_NE(it, printers.end());
    EXPECT_EQ(it->port, "FILE:");
    EXPECT_EQ(it->driver, kDriver);
}

TEST_F(WinspoolTest, AnUnknownNameIsRefusedWithItsSystemError) {
    for (const PrinterAccess access : {PrinterAccess::kUse, PrinterAccess::kFull}) {
        std::uint32_t error = 0;
        EXPECT_EQ(ActiveSpooler().Open("No Such Printer", access, error), nullptr);
        EXPECT_EQ(error, kErrorInvalidPrinterName);
    }
}

TEST_F(WinspoolTest, TheRecordAndTheDriversDeviceModeRead) {
    const auto printer = OpenFull();
    ASSERT_NE(printer, nullptr);
    PrinterInfo info;
    ASSERT_TRUE(printer->ReadInfo(info));
    EXPECT_EQ(info.name, kPrinter);
    EXPECT_EQ(info.port, "FILE:");
    EXPECT_EQ(info.driver, kDriver);
    EXPECT_EQ(info.jobCount, 0u);
    DeviceMode mode;
    ASSERT_TRUE(printer->CurrentDeviceMode(mode));
    mode.fields = kDeviceModeOrientation | kDeviceModeCopies;
    mode.orientation = kOrientationLandscape;
    mode.copies = 1;
    ASSERT_TRUE(printer->PassThroughDriver(mode));
    EXPECT_EQ(mode.orientation, kOrientationLandscape);
    std::vector<JobInfo> jobs;
    const bool listable = SpoolerListsJobs();
    EXPECT_EQ(printer->ListJobs(0, kAllJobs, jobs), listable);
    EXPECT_TRUE(jobs.empty());
    EXPECT_EQ(printer->ListJobs(0, info.jobCount, jobs), listable);
    EXPECT_TRUE(jobs.empty());
}

TEST_F(WinspoolTest, PrinterSetSwitchesSpoolingAndTheChangeLasts) {
    struct Step {
        std::int32_t mode;
        std::uint32_t set, cleared;
    };
    const Step steps[] = {
        {1, kPrinterAttributeDirect, kPrinterAttributeQueued},
        {1, kPrinterAttributeDirect, kPrinterAttributeQueued},  // already so: nothing written
        {0, kPrinterAttributeQueued, 0},
    };
    for (const Step& step : steps) {
        ASSERT_EQ(iZePrinterSet(kPrinter, step.mode), ZE_OK) << "mode " << step.mode;
        const auto printer = OpenFull();
        ASSERT_NE(printer, nullptr);
        PrinterInfo info;
        ASSERT_TRUE(printer->ReadInfo(info));
        EXPECT_EQ(info.attributes & step.set, step.set) << "mode " << step.mode;
        EXPECT_EQ(info.attributes & step.cleared, 0u) << "mode " << step.mode;
        ASSERT_TRUE(info.dataType.has_value());
        EXPECT_EQ(*info.dataType, "RAW");
    }
    EXPECT_EQ(iZePrinterSet("No Such Printer", 0), ZE_SETTINGS_FAILED);
}

TEST_F(WinspoolTest, QueriesAnswerForThePrinter) {
    char port[260] = {};
    EXPECT_EQ(iGetZePrinterPort(kPrinter, port, sizeof port), ZE_OK);
    EXPECT_STREQ(port, "FILE:");
    EXPECT_EQ(iZePrinterStatus(kPrinter), ZE_OK);
    std::int32_t count = -1;
    if (SpoolerListsJobs()) {
        EXPECT_EQ(iGetZePrinterJob(kPrinter, "ALL", &count), ZE_OK);
        EXPECT_EQ(count, 0);
    } else {
        EXPECT_EQ(iGetZePrinterJob(kPrinter, "ALL", &count), ZE_NO_MATCHING_JOB);
        EXPECT_EQ(count, -1);
    }
}

TEST_F(WinspoolTest, TheListBuildClassifiesTheAddedPrinter) {
    ASSERT_TRUE(printers::AllocatePrinterList(printers::CountLocalPrinters() + 1));
    const auto& state = printers::ThePrinterListState();
    const std::int32_t listed =
        printers::BuildPrinterList(state.printerList.get(), state.printerListCapacity);
    ASSERT_GE(listed, 1);
    bool found = false;
    for (std::int32_t i = 0; i < listed; ++i) {
        if (std::strcmp(state.printerList[i].name, kPrinter) != 0) continue;
        found = true;
        EXPECT_STREQ(state.printerList[i].port, "FILE:");
        EXPECT_EQ(state.printerList[i].support, 0);  // a file is no printer that can issue
    }
    EXPECT_TRUE(found);
    printers::ReleasePrinterList();
}

// Wine's port FILE: writes a document without an output name to the file
// "FILE:" in the current directory.
TEST_F(WinspoolTest, ADocumentPrintedToAFileIsPostScript) {
    DeleteFileA("FILE:");
    const auto printer = OpenFull();
    ASSERT_NE(printer, nullptr);
    DeviceMode mode;
    ASSERT_TRUE(printer->CurrentDeviceMode(mode));
    auto document = printer->StartDocument("ZEseal Wine document", mode);
    ASSERT_NE(document, nullptr);
    HDC page = document->StartPage();
    ASSERT_NE(page, nullptr);
    EXPECT_GT(GetDeviceCaps(page, LOGPIXELSX), 0);
    Rectangle(page, 100, 100, 400, 300);
    EXPECT_TRUE(document->EndPage());
    EXPECT_TRUE(document->EndDocument());
    document.reset();
    EXPECT_EQ(FileStart("FILE:", 4), "%!PS");
    DeleteFileA("FILE:");
}

// The test page sets the printer for direct printing, then prints one
// landscape page through the PostScript driver.
TEST_F(WinspoolTest, TheTestPagePrintsAPostScriptFile) {
    DeleteFileA("FILE:");
    ASSERT_EQ(iZeTestPrinting(kPrinter, kDriver, "ZEseal test page", ZE_KIND_LOCAL, 3), ZE_OK);
    const std::string start = FileStart("FILE:", 4096);
    EXPECT_EQ(start.substr(0, 4), "%!PS");
    EXPECT_NE(start.find("%%Orientation: Landscape"), std::string::npos) << start;
    const auto printer = OpenFull();
    ASSERT_NE(printer, nullptr);
    PrinterInfo info;
    ASSERT_TRUE(printer->ReadInfo(info));
    EXPECT_EQ(info.attributes & kPrinterAttributeDirect, kPrinterAttributeDirect);
    DeleteFileA("FILE:");
    ASSERT_EQ(iZePrinterSet(kPrinter, 0), ZE_OK);
}

// What the library hands to the driver and the spooler, caught at the
// program's import table while a Catching object lives.
struct CaughtCalls {
    std::vector<DWORD> documentPropertiesModes;
    bool passThroughOneBlock = false;   // DM_IN_BUFFER | DM_OUT_BUFFER with input == output
    DEVMODEA passThroughInput = {};     // as the driver was given it
    bool refusePassThrough = false;     // the driver answers -1
    bool correctPassThrough = false;    // the driver sets dmScale to 77
    std::vector<DEVMODEA> written;      // the DEVMODE of each level-2 SetPrinterA
    std::vector<std::string> dataTypes; // lpszDatatype of each StartDocA
};
CaughtCalls caught;
decltype(&DocumentPropertiesA) realDocumentProperties = nullptr;
decltype(&SetPrinterA) realSetPrinter = nullptr;
decltype(&StartDocA) realStartDoc = nullptr;

constexpr DWORD kPassThrough = DM_IN_BUFFER | DM_OUT_BUFFER;
constexpr short kDriverScale = 77;

LONG WINAPI CatchDocumentProperties(HWND window, HANDLE printer, LPSTR name, PDEVMODEA out,
                                    PDEVMODEA in, DWORD mode) {
    caught.documentPropertiesModes.push_back(mode);
    if (mode == kPassThrough) {
        caught.passThroughOneBlock = in != nullptr && in == out;
        if (in != nullptr) caught.passThroughInput = *in;
        if (caught.refusePassThrough) return -1;
    }
    const LONG answer = realDocumentProperties(window, printer, name, out, in, mode);
    if (mode == kPassThrough && answer == IDOK && caught.correctPassThrough) {
        out->dmFields |= DM_SCALE;
        out->dmScale = kDriverScale;
    }
    return answer;
}

BOOL WINAPI CatchSetPrinter(HANDLE printer, DWORD level, LPBYTE record, DWORD command) {
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(record);
    if (level == 2 && info->pDevMode != nullptr) caught.written.push_back(*info->pDevMode);
    return realSetPrinter(printer, level, record, command);
}

int WINAPI CatchStartDoc(HDC dc, const DOCINFOA* doc) {
    caught.dataTypes.push_back(doc->lpszDatatype != nullptr ? doc->lpszDatatype : "(none)");
    return realStartDoc(dc, doc);
}

class Catching {
public:
    Catching() {
        caught = CaughtCalls{};
        realDocumentProperties = reinterpret_cast<decltype(realDocumentProperties)>(properties_.Real());
        realSetPrinter = reinterpret_cast<decltype(realSetPrinter)>(setPrinter_.Real());
        realStartDoc = reinterpret_cast<decltype(realStartDoc)>(startDoc_.Real());
        EXPECT_TRUE(properties_.Hooked() && setPrinter_.Hooked() && startDoc_.Hooked());
    }

private:
    testing::ImportHook properties_{"winspool.drv", "DocumentPropertiesA",
                                    reinterpret_cast<void*>(&CatchDocumentProperties)};
    testing::ImportHook setPrinter_{"winspool.drv", "SetPrinterA", reinterpret_cast<void*>(&CatchSetPrinter)};
    testing::ImportHook startDoc_{"gdi32.dll", "StartDocA", reinterpret_cast<void*>(&CatchStartDoc)};
};

// Stores queued spooling for the printer, and a DEVMODE with a scale of its
// own, which the driver's current DEVMODE does not have.
void StoreQueuedWithScale(short scale) {
    std::string name = kPrinter;
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterA(name.data(), &printer, &defaults));
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> record(needed);
    ASSERT_TRUE(GetPrinterA(printer, 2, record.data(), needed, &needed));
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(record.data());
    ASSERT_NE(info->pDevMode, nullptr);
    info->pDevMode->dmFields |= DM_SCALE;
    info->pDevMode->dmScale = scale;
    info->Attributes = (info->Attributes & ~DWORD{PRINTER_ATTRIBUTE_DIRECT}) | PRINTER_ATTRIBUTE_QUEUED;
    info->pSecurityDescriptor = nullptr;
    ASSERT_TRUE(SetPrinterA(printer, 2, record.data(), 0));
    ClosePrinter(printer);
}

// The settings pass the printer's own DEVMODE through the driver, one block
// as input and output, and write back what the driver made of it.
TEST_F(WinspoolTest, PrinterSetWritesTheStoredDeviceModeAsTheDriverCorrectedIt) {
    constexpr short kStoredScale = 55;
    StoreQueuedWithScale(kStoredScale);
    {
        Catching catching;
        caught.correctPassThrough = true;
        ASSERT_EQ(iZePrinterSet(kPrinter, 1), ZE_OK);
        EXPECT_EQ(caught.documentPropertiesModes, std::vector<DWORD>{kPassThrough});
        EXPECT_TRUE(caught.passThroughOneBlock);
        EXPECT_EQ(caught.passThroughInput.dmScale, kStoredScale);
        EXPECT_EQ(caught.passThroughInput.dmCopies, 1);
        ASSERT_EQ(caught.written.size(), 1u);
        EXPECT_EQ(caught.written[0].dmScale, kDriverScale);
        EXPECT_EQ(caught.written[0].dmCopies, 1);
    }
}

// The test page asks the driver three times (size, current settings, one
// pass of the page's settings), hands the document over as RAW data, and
// prints even when the driver refuses the pass.
class TestPageDriverCalls : public WinspoolTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TestPageDriverCalls, ThreeDriverCallsAndARawDocument) {
    DeleteFileA("FILE:");
    {
        Catching catching;
        caught.refusePassThrough = GetParam();
        ASSERT_EQ(iZeTestPrinting(kPrinter, kDriver, "ZEseal test page", ZE_KIND_NETWORK, 3), ZE_OK);
        EXPECT_EQ(caught.documentPropertiesModes, (std::vector<DWORD>{0, DM_OUT_BUFFER, kPassThrough}));
        EXPECT_TRUE(caught.passThroughOneBlock);
        EXPECT_EQ(caught.passThroughInput.dmOrientation, DMORIENT_LANDSCAPE);
        EXPECT_EQ(caught.dataTypes, std::vector<std::string>{"RAW"});
    }
    EXPECT_EQ(FileStart("FILE:", 4), "%!PS");
    DeleteFileA("FILE:");
}

INSTANTIATE_TEST_SUITE_P(DriverAnswers, TestPageDriverCalls, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Refused" : "Accepted";
                         });

}  // namespace
}  // namespace zeseal
