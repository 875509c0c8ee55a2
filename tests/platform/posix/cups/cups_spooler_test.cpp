// The CUPS backend against a private scheduler started by
// scripts/private-cupsd.sh (ZESEAL_TEST_CUPS_DIR names its folder). Every
// queue either writes to a file, to this test's own loopback listener, or is
// disabled, so nothing leaves the machine.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <zeseal/zeseal.h>
#include <zeseal/zeseal_posix.h>

#include <cstdlib>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <vector>

#include "platform/posix/page/png_writer.h"
#include "seams/spooler.h"
#include "printers/default_printer.h"
#include "printers/printer_list_builder.h"
#include "support/png_file.h"
#include "densecode/reader/page_reader.h"
#include "testpage/test_page.h"

namespace zeseal {
namespace {

using namespace zeseal::platform;

std::string SchedulerDir() {
    const char* dir = std::getenv("ZESEAL_TEST_CUPS_DIR");
    return dir != nullptr ? dir : "";
}

int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

bool SchedulerRuns() {
    return !SchedulerDir().empty() &&
           Shell("CUPS_SERVER='" + SchedulerDir() + "/s' lpstat -r | grep -q 'is running'") == 0;
}

// A PPD whose make-and-model is nickName and whose filter passes the PNG
// pages through untouched: A4 paper at 300 dpi.
std::string WritePassThroughPpd(const std::string& path, const std::string& nickName) {
    std::ofstream(path) << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                           "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
                           "*PCFileName: \"ZSTEST.PPD\"\n*Manufacturer: \"Test\"\n*Product: \"(Test)\"\n"
                           "*ModelName: \"" << nickName << "\"\n*ShortNickName: \"" << nickName
                        << "\"\n*NickName: \"" << nickName
                        << "\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n"
                           "*ColorDevice: True\n*DefaultColorSpace: RGB\n*FileSystem: False\n"
                           "*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
                           "*cupsFilter2: \"image/png application/vnd.cups-raw 0 gziptoany\"\n"
                           "*OpenUI *PageSize/Media Size: PickOne\n*DefaultPageSize: A4\n"
                           "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageSize\n"
                           "*OpenUI *PageRegion/Region: PickOne\n*DefaultPageRegion: A4\n"
                           "*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageRegion\n"
                           "*DefaultImageableArea: A4\n*ImageableArea A4: \"0 0 595 842\"\n"
                           "*DefaultPaperDimension: A4\n*PaperDimension A4: \"595 842\"\n"
                           "*OpenUI *Resolution/Resolution: PickOne\n*DefaultResolution: 300dpi\n"
                           "*Resolution 300dpi/300 dpi: \"\"\n*CloseUI: *Resolution\n";
    return path;
}

class CupsSpoolerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!SchedulerRuns()) return;
        const std::string dir = SchedulerDir();
        setenv("CUPS_SERVER", (dir + "/s").c_str(), 1);
        const std::string laserPpd = WritePassThroughPpd(dir + "/laser.ppd", "Talvo Laser 5100");
        const std::string inkPpd = WritePassThroughPpd(dir + "/ink.ppd", "Orrin InkJet 350");
        Shell("lpadmin -p zs-laser -E -v file:" + dir + "/out/laser.prn -P " + laserPpd);
        // Queues whose devices lie beyond this machine: created without -E, so
        // they stay stopped and refuse jobs.
        Shell("lpadmin -p zs-network -v socket://192.168.0.10:9100 -P " + inkPpd);
        Shell("lpadmin -p zs-usb -v usb://Orrin/InkJet%20350 -P " + inkPpd);
        Shell("lpadmin -p zs-parallel -v parallel:/dev/lp0 -P " + inkPpd);
        Shell("lpadmin -p zs-shared -v ipp://server.invalid/printers/Office -P " + inkPpd);
        for (const char* queue : {"zs-network", "zs-usb", "zs-parallel", "zs-shared"}) {
            Shell(std::string("cupsdisable ") + queue + "; cupsreject " + queue);
        }
    }

    void SetUp() override {
        if (!SchedulerRuns()) GTEST_SKIP() << "no private CUPS scheduler: set ZESEAL_TEST_CUPS_DIR "
                                              "(scripts/private-cupsd.sh starts one)";
        ASSERT_EQ(iZeHostUseCupsSpooler((SchedulerDir() + "/s").c_str()), 0);
        ASSERT_EQ(iZeHostSetSystemDirectory(ZESEAL_EXAMPLE_SYSTEM_DIR), 0);
    }

    void TearDown() override {
        if (!SchedulerRuns()) return;
        Shell("cancel -a zs-laser; lpadmin -p zs-laser -o printer-state-reasons=none; "
              "cupsenable zs-laser; cupsaccept zs-laser");
        iZeHostUseVirtualSpooler(nullptr);
    }

    static PrinterInfo Info(const std::string& name) {
        std::uint32_t error = 0;
        auto printer = ActiveSpooler().Open(name, PrinterAccess::kUse, error);
        PrinterInfo info;
        EXPECT_TRUE(printer && printer->ReadInfo(info)) << name << " error " << error;
        return info;
    }
};

TEST_F(CupsSpoolerTest, ListsTheQueuesWithTheirPortsAndMakeAndModel) {
    std::vector<LocalPrinter> printers;
    ASSERT_TRUE(ActiveSpooler().ListLocalPrinters(printers));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"zs-laser", "FILE:"}, {"zs-network", "192.168.0.10"}, {"zs-parallel", "LPT1:"},
        {"zs-shared", "\\\\server.invalid\\Office"}, {"zs-usb", "USB001"}};
    for (const auto& entry : expected) {
        const std::string& name = entry.first;
        const std::string& port = entry.second;
        const auto found = std::find_if(printers.begin(), printers.end(),
                                        [&](const LocalPrinter& p) { return p.name == name; });
        ASSERT_NE(found, printers.end()) << name;
        EXPECT_EQ(found->port, port) << name;
    }
    EXPECT_EQ(Info("zs-laser").driver, "Talvo Laser 5100");

    // The shared queue is a printer connection: the list leaves it out.
    std::vector<printers::PrinterRecord> records(printers::CountLocalPrinters() + 1);
    const std::int32_t written = printers::BuildPrinterList(records.data(), records.size());
    ASSERT_GT(written, 0);
    bool laserListed = false;
    for (std::int32_t i = 0; i < written; ++i) {
        EXPECT_STRNE(records[std::size_t(i)].name, "zs-shared");
        if (std::string(records[std::size_t(i)].name) == "zs-laser") laserListed = true;
    }
    EXPECT_TRUE(laserListed);
}

TEST_F(CupsSpoolerTest, UnknownQueueIsAnInvalidPrinterName) {
    std::uint32_t error = 0;
    EXPECT_EQ(ActiveSpooler().Open("zs-missing", PrinterAccess::kUse, error), nullptr);
    EXPECT_EQ(error, kErrorInvalidPrinterName);
    EXPECT_EQ(ActiveSpooler().Open("bad/name", PrinterAccess::kUse, error), nullptr);
    EXPECT_EQ(error, kErrorInvalidPrinterName);
}

struct StateCase {
    const char* command;  // run on zs-laser
    std::int32_t result;  // iZePrinterStatus afterwards
};

class CupsStatusTest : public CupsSpoolerTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(CupsStatusTest, StatusExportReadsTheQueueState) {
    ASSERT_EQ(Shell(GetParam().command), 0) << GetParam().command;
    EXPECT_EQ(iZePrinterStatus("zs-laser"), GetParam().result) << GetParam().command;
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, CupsStatusTest,
    ::testing::Values(StateCase{"true", ZE_OK},
                      StateCase{"lpadmin -p zs-laser -o printer-state-reasons=media-empty-error",
                                ZE_STATUS_PAPER_OUT},
                      StateCase{"lpadmin -p zs-laser -o printer-state-reasons=media-jam-error",
                                ZE_STATUS_PAPER_JAM},
                      StateCase{"lpadmin -p zs-laser -o printer-state-reasons=toner-low-report",
                                ZE_STATUS_TONER_LOW},
                      StateCase{"lpadmin -p zs-laser -o printer-state-reasons=door-open-error",
                                ZE_STATUS_DOOR_OPEN},
                      StateCase{"cupsdisable zs-laser", ZE_STATUS_PAUSED},
                      // Not accepting jobs is work-offline, which reads as printing.
                      StateCase{"cupsreject zs-laser", ZE_STATUS_PRINTING}));

TEST_F(CupsSpoolerTest, HeldJobsAreCountedByTheirDocumentName) {
    const std::string png = SchedulerDir() + "/small.png";
    const std::vector<std::uint8_t> white(3 * 4 * 4, 0xFF);
    ASSERT_TRUE(platform::posix::SaveRgbPng(png, 4, 4, white.data(), 300, 300));
    ASSERT_EQ(Shell("lp -d zs-laser -H indefinite -t certificate-0042 " + png), 0);
    ASSERT_EQ(Shell("lp -d zs-laser -H indefinite -t other-document " + png), 0);
    std::int32_t count = -1;
    EXPECT_EQ(iGetZePrinterJob("zs-laser", "certificate", &count), ZE_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(iGetZePrinterJob("zs-laser", "ALL", &count), ZE_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(iGetZePrinterJob("zs-laser", "absent", &count), ZE_NO_MATCHING_JOB);

    std::uint32_t error = 0;
    auto printer = ActiveSpooler().Open("zs-laser", PrinterAccess::kUse, error);
    ASSERT_TRUE(printer);
    std::vector<JobInfo> jobs;
    ASSERT_TRUE(printer->ListJobs(0, kAllJobs, jobs));
    ASSERT_EQ(jobs.size(), 2u);
    for (const JobInfo& job : jobs) EXPECT_NE(job.status & kJobStatusPaused, 0u) << job.id;
    ASSERT_TRUE(printer->ListJobs(1, 5, jobs));
    EXPECT_EQ(jobs.size(), 1u);
}

TEST_F(CupsSpoolerTest, DefaultPrinterIsTheSchedulersDefault) {
    ASSERT_EQ(Shell("lpadmin -d zs-laser"), 0);
    char name[260] = {};
    ASSERT_EQ(printers::ReadDefaultPrinterName(name, sizeof name), 1);
    EXPECT_STREQ(name, "zs-laser");
    EXPECT_NE(Info("zs-laser").attributes & kPrinterAttributeDefault, 0u);
}

// A destination may name an instance of a queue; the default printer is
// the queue.
TEST_F(CupsSpoolerTest, DefaultDestinationWithAnInstanceNamesItsQueue) {
    ASSERT_EQ(Shell("lpadmin -d zs-network"), 0);
    const char* saved = std::getenv("LPDEST");
    const std::string savedLpdest = saved != nullptr ? saved : "";
    for (const char* variable : {"LPDEST", "PRINTER"}) {
        unsetenv("LPDEST");
        setenv(variable, "zs-laser/draft", 1);
        char name[260] = {};
        EXPECT_EQ(printers::ReadDefaultPrinterName(name, sizeof name), 1) << variable;
        EXPECT_STREQ(name, "zs-laser") << variable;
        EXPECT_NE(Info("zs-laser").attributes & kPrinterAttributeDefault, 0u) << variable;
        unsetenv(variable);
    }
    if (saved != nullptr) setenv("LPDEST", savedLpdest.c_str(), 1);
}

// A queue whose job list wants a login (the scheduler's zs-jobs-need-login
// policy): the list counts as unreadable, never as empty.
TEST_F(CupsSpoolerTest, AJobListThatNeedsALoginIsUnreadable) {
    ASSERT_EQ(Shell("lpadmin -p zs-locked -E -v file:/dev/null -o printer-op-policy=zs-jobs-need-login"), 0);
    std::uint32_t error = 0;
    auto printer = ActiveSpooler().Open("zs-locked", PrinterAccess::kUse, error);
    ASSERT_TRUE(printer);
    std::vector<JobInfo> jobs;
    EXPECT_FALSE(printer->ListJobs(0, kAllJobs, jobs));
    EXPECT_EQ(printer->LastError(), kErrorAccessDenied);

    std::int32_t count = -1;
    EXPECT_EQ(iGetZePrinterJob("zs-locked", "ALL", &count), ZE_NO_MATCHING_JOB);
    EXPECT_EQ(count, -1);
    // A paused queue whose jobs cannot be read: the scheduler cannot tell.
    ASSERT_EQ(Shell("cupsdisable zs-locked"), 0);
    EXPECT_EQ(iZePrinterStatus("zs-locked"), ZE_OK);
    Shell("lpadmin -x zs-locked");
}

TEST_F(CupsSpoolerTest, OneCopySettingSurvivesASchedulerRestart) {
    ASSERT_EQ(Shell("lpadmin -p zs-laser -o copies-default=3"), 0);
    ASSERT_EQ(Info("zs-laser").deviceMode->copies, 3);
    EXPECT_EQ(iZePrinterSet("zs-laser", 1), ZE_OK);
    ASSERT_EQ(Shell(std::string(ZESEAL_PRIVATE_CUPSD) + " restart " + SchedulerDir()), 0);
    ASSERT_EQ(iZeHostUseCupsSpooler((SchedulerDir() + "/s").c_str()), 0);
    const PrinterInfo info = Info("zs-laser");
    ASSERT_TRUE(info.deviceMode);
    EXPECT_EQ(info.deviceMode->copies, 1);
    // CUPS always spools: the queue still reads as queued.
    EXPECT_NE(info.attributes & kPrinterAttributeQueued, 0u);
}

// Accepts one connection on a loopback port and collects what arrives.
class LoopbackListener {
public:
    LoopbackListener() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd_, 1) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        received_ = std::async(std::launch::async, [fd = fd_] {
            std::string bytes;
            const int client = accept(fd, nullptr, nullptr);
            if (client < 0) return bytes;
            char buffer[65536];
            for (ssize_t n; (n = read(client, buffer, sizeof buffer)) > 0;) bytes.append(buffer, std::size_t(n));
            close(client);
            return bytes;
        });
    }
    ~LoopbackListener() {
        if (fd_ >= 0) {
            shutdown(fd_, SHUT_RDWR);
            close(fd_);
        }
    }
    int Port() const { return port_; }
    std::string Received(std::chrono::seconds timeout) {
        if (!received_.valid() || received_.wait_for(timeout) != std::future_status::ready) return "";
        return received_.get();
    }

private:
    int fd_ = -1;
    int port_ = 0;
    std::future<std::string> received_;
};

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(CupsSpoolerTest, PrintedPageArrivesByteForByteAsAPng) {
    LoopbackListener listener;
    ASSERT_GT(listener.Port(), 0);
    const std::string ppd = WritePassThroughPpd(SchedulerDir() + "/socket.ppd", "Talvo Laser 5100");
    ASSERT_EQ(Shell("lpadmin -p zs-socket -E -v socket://127.0.0.1:" + std::to_string(listener.Port()) +
                    " -P " + ppd),
              0);

    std::uint32_t error = 0;
    auto printer = ActiveSpooler().Open("zs-socket", PrinterAccess::kUse, error);
    ASSERT_TRUE(printer);
    auto document = printer->StartDocument("zs blank page", DeviceMode{});
    ASSERT_TRUE(document);
    EXPECT_GT(document->JobId(), 0u);
    HDC page = document->StartPage();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(document->EndDocument());

    // A4 at the queue's 300 dpi, white: what the library encodes for it.
    const std::string expectedPath = SchedulerDir() + "/expected.png";
    std::vector<std::uint8_t> white(std::size_t(2480) * 3508 * 3, 0xFF);
    ASSERT_TRUE(platform::posix::SaveRgbPng(expectedPath, 2480, 3508, white.data(), 300, 300));
    const std::string received = listener.Received(std::chrono::seconds(60));
    Shell("lpadmin -x zs-socket");
    EXPECT_EQ(received.size(), FileBytes(expectedPath).size());
    EXPECT_TRUE(received == FileBytes(expectedPath));
}

TEST_F(CupsSpoolerTest, TestPageArrivesAsAFileWhoseDenseCodeDecodes) {
    const std::string output = SchedulerDir() + "/out/laser.prn";
    std::remove(output.c_str());
    ASSERT_EQ(iZeTestPrinting("zs-laser", "TalvoLaser5100", "caption", ZE_KIND_LOCAL, 2), ZE_OK);
    // The file device writes the job when it has passed the filter.
    testing::RgbImage page;
    for (int tries = 0; tries < 600 && page.width == 0; ++tries) {
        if (Shell("lpstat -o zs-laser | grep -q .") != 0) page = testing::ReadRgbPng(output);
        if (page.width == 0) usleep(100000);
    }
    ASSERT_EQ(page.width, 3508);  // A4 landscape at the queue's 300 dpi
    ASSERT_EQ(page.height, 2480);
    densecode::DensePageRaster raster;
    raster.pixels = page.rgb.data();
    raster.width = page.width;
    raster.height = page.height;
    raster.rowBytes = std::size_t(page.width) * 3;
    raster.dpiX = raster.dpiY = 300;
    const densecode::DenseCodeReading reading =
        densecode::ReadDenseCodeFromPage(raster, testpage::kDenseCodeX, testpage::kDenseCodeY);
    ASSERT_TRUE(reading.ok()) << int(reading.status);
    ASSERT_GE(reading.bytes.size(), testpage::kDenseCodeText.size());
    EXPECT_EQ(std::string(reading.bytes.begin(), reading.bytes.begin() + testpage::kDenseCodeText.size()),
              testpage::kDenseCodeText);
}

}  // namespace
}  // namespace zeseal
