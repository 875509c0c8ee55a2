#include "platform/posix/spooler/virtual_spooler.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "seams/page_device.h"
#include "seams/spooler.h"
#include "support/temp_printers_file.h"

namespace zeseal::platform {
namespace {

using zeseal::testing::CapturedDiagnostics;
using zeseal::testing::TempPrintersFile;

constexpr const char* kTwoPrinters =
    "default = First\n"
    "[printer First]\n"
    "port = LPT1:\n"
    "driver = Model One\n"
    "resolution = 100\n"
    "job = 40, JOB_STATUS_PRINTING, Letter\n"
    "[printer Second]\n"
    "port = USB001\n"
    "driver = Model Two\n"
    "access = use\n";

std::unique_ptr<PrinterHandle> OpenOrFail(std::string_view name, PrinterAccess access) {
    std::uint32_t error = 0;
    auto printer = ActiveSpooler().Open(name, access, error);
    EXPECT_TRUE(printer) << name << ": error " << error;
    return printer;
}

TEST(VirtualSpooler, ListsTheFilesPrintersInOrder) {
    TempPrintersFile file(kTwoPrinters);
    std::vector<LocalPrinter> printers;
    ASSERT_TRUE(ActiveSpooler().ListLocalPrinters(printers));
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_EQ(printers[0].name, "First");
    EXPECT_EQ(printers[0].port, "LPT1:");
    EXPECT_EQ(printers[1].driver, "Model Two");
}

TEST(VirtualSpooler, OpenReportsUnknownNamesAndRefusedAccess) {
    TempPrintersFile file(kTwoPrinters);
    std::uint32_t error = 0;
    EXPECT_FALSE(ActiveSpooler().Open("Third", PrinterAccess::kUse, error));
    EXPECT_EQ(error, kErrorInvalidPrinterName);
    EXPECT_FALSE(ActiveSpooler().Open("Second", PrinterAccess::kFull, error));
    EXPECT_EQ(error, kErrorAccessDenied);
    EXPECT_TRUE(ActiveSpooler().Open("second", PrinterAccess::kUse, error));

    // A printer opened for use only may not change its settings.
    auto first = OpenOrFail("First", PrinterAccess::kUse);
    PrinterInfo info;
    ASSERT_TRUE(first->ReadInfo(info));
    EXPECT_FALSE(first->WriteInfo(info));
    EXPECT_EQ(first->LastError(), kErrorAccessDenied);
}

TEST(VirtualSpooler, MissingOrMalformedFileHasNoPrintersAndSaysWhy) {
    CapturedDiagnostics diagnostics;
    TempPrintersFile file(kTwoPrinters);
    std::vector<LocalPrinter> printers;

    const std::string missing = (file.folder() / "nowhere.txt").string();
    EXPECT_EQ(iZeHostUseVirtualSpooler(missing.c_str()), -1);
    EXPECT_TRUE(ActiveSpooler().ListLocalPrinters(printers) == false || printers.empty());
    EXPECT_TRUE(printers.empty());
    EXPECT_NE(diagnostics.Text().find("printers file '" + missing + "': cannot be opened"),
              std::string::npos)
        << diagnostics.Text();

    file.Rewrite("[printer A]\nport = X\ndriver = D\ncopies = many\n");
    EXPECT_EQ(iZeHostUseVirtualSpooler(file.path().c_str()), -2);
    ActiveSpooler().ListLocalPrinters(printers);
    EXPECT_TRUE(printers.empty());
    EXPECT_NE(diagnostics.Text().find("', line 4: 'copies' must be"), std::string::npos)
        << diagnostics.Text();
}

TEST(VirtualSpooler, EnvironmentChoosesTheFileWhenTheHostDoesNot) {
    TempPrintersFile file(kTwoPrinters);
    iZeHostUseVirtualSpooler(nullptr);
    std::vector<LocalPrinter> printers;
    unsetenv("ZESEAL_PRINTERS");
    EXPECT_TRUE(ActiveSpooler().ListLocalPrinters(printers));
    EXPECT_TRUE(printers.empty());
    setenv("ZESEAL_PRINTERS", file.path().c_str(), 1);
    EXPECT_TRUE(ActiveSpooler().ListLocalPrinters(printers));
    EXPECT_EQ(printers.size(), 2u);
    unsetenv("ZESEAL_PRINTERS");
}

TEST(VirtualSpooler, WrittenSettingsLastInTheFile) {
    TempPrintersFile file(kTwoPrinters);
    auto printer = OpenOrFail("First", PrinterAccess::kFull);
    PrinterInfo info;
    ASSERT_TRUE(printer->ReadInfo(info));
    info.attributes = kPrinterAttributeDirect;
    info.dataType = "EMF";
    info.deviceMode->copies = 4;
    ASSERT_TRUE(printer->WriteInfo(info));

    auto reopened = OpenOrFail("First", PrinterAccess::kUse);
    PrinterInfo after;
    ASSERT_TRUE(reopened->ReadInfo(after));
    EXPECT_EQ(after.attributes, kPrinterAttributeDirect);
    EXPECT_EQ(after.dataType, "EMF");
    EXPECT_EQ(after.deviceMode->copies, 4);
    EXPECT_NE(file.Text().find("attributes = PRINTER_ATTRIBUTE_DIRECT\n"), std::string::npos);
}

// Two processes change their own printer fifty times each; with the lock
// and the re-read under it, neither loses the other's last change.
TEST(VirtualSpooler, ConcurrentWritersKeepEachOthersChanges) {
    TempPrintersFile file(
        "[printer A]\nport = LPT1:\ndriver = D\n[printer B]\nport = LPT2:\ndriver = D\n");
    constexpr int kRounds = 50;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            bool ok = true;
            for (int round = 1; round <= kRounds && ok; ++round) {
                std::uint32_t error = 0;
                auto printer = ActiveSpooler().Open(child == 0 ? "A" : "B", PrinterAccess::kFull, error);
                PrinterInfo info;
                ok = printer && printer->ReadInfo(info);
                if (ok) {
                    info.deviceMode->copies = static_cast<std::int16_t>(round);
                    ok = printer->WriteInfo(info);
                }
            }
            _exit(ok ? 0 : 1);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (const char* name : {"A", "B"}) {
        PrinterInfo info;
        ASSERT_TRUE(OpenOrFail(name, PrinterAccess::kUse)->ReadInfo(info));
        EXPECT_EQ(info.deviceMode->copies, kRounds) << name;
    }
}

// Two handles of one printer opened before either writes: each write puts
// only the fields its caller changed onto the record as the file has it
// now, so the second write, made from a stale copy, keeps the first one's.
TEST(VirtualSpooler, AWriteFromAStaleCopyKeepsTheOtherHandlesChange) {
    using Change = void (*)(PrinterInfo&);
    struct Case {
        const char* what;
        Change first;
        Change second;
        Change expected;  // both changes, applied to the record as it was
    };
    const Change orientation = [](PrinterInfo& i) { i.deviceMode->orientation = kOrientationLandscape; };
    const Change direct = [](PrinterInfo& i) { i.attributes |= kPrinterAttributeDirect; };
    const Change copies = [](PrinterInfo& i) { i.deviceMode->copies = 7; };
    const Change dataType = [](PrinterInfo& i) { i.dataType = "EMF"; };
    const Change noQueued = [](PrinterInfo& i) { i.attributes &= ~kPrinterAttributeQueued; };
    const Change shared = [](PrinterInfo& i) { i.attributes |= kPrinterAttributeShared; };
    const Change noDeviceMode = [](PrinterInfo& i) { i.deviceMode.reset(); };
    const Case cases[] = {
        {"orientation, then the direct bit", orientation, direct,
         [](PrinterInfo& i) { i.deviceMode->orientation = kOrientationLandscape; i.attributes |= kPrinterAttributeDirect; }},
        {"copies, then the data type", copies, dataType,
         [](PrinterInfo& i) { i.deviceMode->copies = 7; i.dataType = "EMF"; }},
        {"one attribute bit cleared, another set", noQueued, shared,
         [](PrinterInfo& i) { i.attributes = (i.attributes & ~kPrinterAttributeQueued) | kPrinterAttributeShared; }},
        {"the data type, then the device mode dropped", dataType, noDeviceMode,
         [](PrinterInfo& i) { i.dataType = "EMF"; i.deviceMode.reset(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempPrintersFile file(
            "[printer P]\nport = LPT1:\ndriver = D\n"
            "attributes = PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_LOCAL\n");
        auto one = OpenOrFail("P", PrinterAccess::kFull);
        auto two = OpenOrFail("P", PrinterAccess::kFull);
        PrinterInfo original;
        ASSERT_TRUE(one->ReadInfo(original));
        PrinterInfo info = original;
        c.first(info);
        ASSERT_TRUE(one->WriteInfo(info));
        ASSERT_TRUE(two->ReadInfo(info));  // still the record as it was opened
        c.second(info);
        ASSERT_TRUE(two->WriteInfo(info));

        PrinterInfo expected = original;
        c.expected(expected);
        PrinterInfo after;
        ASSERT_TRUE(OpenOrFail("P", PrinterAccess::kUse)->ReadInfo(after));
        EXPECT_EQ(after.attributes, expected.attributes);
        EXPECT_EQ(after.dataType, expected.dataType);
        ASSERT_EQ(after.deviceMode.has_value(), expected.deviceMode.has_value());
        if (after.deviceMode) {
            EXPECT_EQ(after.deviceMode->copies, expected.deviceMode->copies);
            EXPECT_EQ(after.deviceMode->orientation, expected.deviceMode->orientation);
        }
    }
}

// Stress: two processes change different fields of the same two printers
// 500 times each. Before each change a process checks that the fields it
// owns still hold what it last wrote there, so any change lost to the other
// process's write fails the run. (Found with ctest -R Stress.)
TEST(VirtualSpoolerStress, TwoProcessesChangingDifferentFieldsLoseNothing) {
    // Each write is flushed to disk; in memory (where there is a tmpfs) the
    // thousand writes take a fraction of a second instead of several.
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp != nullptr ? oldTmp : "";
    if (access("/dev/shm", W_OK) == 0) setenv("TMPDIR", "/dev/shm", 1);
    TempPrintersFile file(
        "[printer A]\nport = LPT1:\ndriver = D\n[printer B]\nport = LPT2:\ndriver = D\n");
    if (oldTmp != nullptr) {
        setenv("TMPDIR", savedTmp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    constexpr int kRounds = 500;
    // Process 0 owns the copies and the direct bit; process 1 the data type,
    // the orientation and the shared bit.
    const auto apply = [](int process, int round, PrinterInfo& info) {
        const bool odd = round % 2 != 0;
        if (process == 0) {
            info.deviceMode->copies = static_cast<std::int16_t>(round);
            info.attributes = odd ? info.attributes | kPrinterAttributeDirect
                                  : info.attributes & ~kPrinterAttributeDirect;
        } else {
            info.dataType = "T" + std::to_string(round);
            info.deviceMode->orientation = odd ? kOrientationLandscape : kOrientationPortrait;
            info.attributes = odd ? info.attributes | kPrinterAttributeShared
                                  : info.attributes & ~kPrinterAttributeShared;
        }
    };
    const auto holds = [&](int process, int round, const PrinterInfo& info) {
        PrinterInfo expected = info;
        apply(process, round, expected);
        return info.deviceMode && info.attributes == expected.attributes &&
               info.dataType == expected.dataType &&
               info.deviceMode->copies == expected.deviceMode->copies &&
               info.deviceMode->orientation == expected.deviceMode->orientation;
    };
    pid_t children[2];
    for (int process = 0; process < 2; ++process) {
        children[process] = fork();
        ASSERT_GE(children[process], 0);
        if (children[process] != 0) continue;
        int lastRound[2] = {0, 0};  // per printer; 0: not written yet
        int code = 0;
        for (int round = 1; round <= kRounds && code == 0; ++round) {
            const int target = (round / 2 + process) % 2;
            std::uint32_t error = 0;
            auto printer = ActiveSpooler().Open(target == 0 ? "A" : "B", PrinterAccess::kFull, error);
            PrinterInfo info;
            if (!printer || !printer->ReadInfo(info)) {
                code = 1;
            } else if (lastRound[target] != 0 && !holds(process, lastRound[target], info)) {
                code = 2;  // the other process's write undid this one's
            } else {
                apply(process, round, info);
                sched_yield();
                if (!printer->WriteInfo(info)) code = 3;
                lastRound[target] = round;
            }
        }
        _exit(code);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: cannot open or read, 2: a change was lost, 3: cannot write";
    }
    // Each process's last writes to A and B were in its final two rounds.
    for (const char* name : {"A", "B"}) {
        PrinterInfo info;
        ASSERT_TRUE(OpenOrFail(name, PrinterAccess::kUse)->ReadInfo(info));
        ASSERT_TRUE(info.deviceMode);
        EXPECT_GE(info.deviceMode->copies, kRounds - 1) << name;
        EXPECT_TRUE(info.dataType == "T" + std::to_string(kRounds) ||
                    info.dataType == "T" + std::to_string(kRounds - 1))
            << name;
    }
}

// The parsed file is kept between calls; every way the file can change
// between two calls must still show in the next one, including changes too
// quick or too small to alter its size or modification time.
TEST(VirtualSpooler, AChangedFileIsSeenByTheNextCall) {
    const auto copiesOf = [](const char* name) {
        PrinterInfo info;
        std::uint32_t error = 0;
        auto printer = ActiveSpooler().Open(name, PrinterAccess::kUse, error);
        return printer && printer->ReadInfo(info) && info.deviceMode ? int{info.deviceMode->copies} : -1;
    };
    const auto setTimes = [](const std::filesystem::path& path, const timespec& modified) {
        const timespec times[2] = {modified, modified};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    };
    const std::string before = "[printer P]\nport = LPT1:\ndriver = D\ncopies = 1\n";
    const std::string after = "[printer P]\nport = LPT1:\ndriver = D\ncopies = 2\n";
    struct Case {
        const char* what;
        bool ageFirst;  // the file was last changed long before it is read
        void (*change)(const TempPrintersFile&, const std::string&);
    };
    const Case cases[] = {
        {"rewritten in place at once, same size", false,
         [](const TempPrintersFile& f, const std::string& text) { f.Rewrite(text); }},
        {"rewritten in place, same size, old time put back", true,
         [](const TempPrintersFile& f, const std::string& text) {
             struct stat st = {};
             ASSERT_EQ(stat(f.path().c_str(), &st), 0);
             f.Rewrite(text);
             const timespec times[2] = {st.st_mtim, st.st_mtim};
             ASSERT_EQ(utimensat(AT_FDCWD, f.path().c_str(), times, 0), 0);
         }},
        {"replaced by another file under its name", true,
         [](const TempPrintersFile& f, const std::string& text) {
             const auto other = f.folder() / "other.txt";
             std::ofstream(other, std::ios::binary) << text;
             std::filesystem::rename(other, f.path());
         }},
        {"grown", true,
         [](const TempPrintersFile& f, const std::string& text) { f.Rewrite(text + "# more\n"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempPrintersFile file(before);
        if (c.ageFirst) {
            // Setting the time changes the file's change time to now; once
            // that is past the untrusted margin, the kept parse is used on
            // the strength of the file's identity alone.
            setTimes(file.path(), timespec{std::time(nullptr) - 60, 0});
            usleep(100'000);
        }
        EXPECT_EQ(copiesOf("P"), 1);
        EXPECT_EQ(copiesOf("p"), 1);  // used again from the kept parse
        c.change(file, after);
        EXPECT_EQ(copiesOf("P"), 2);
    }
}

TEST(VirtualSpooler, PrintedPagesLandAsPngNamedByJobAndPage) {
    TempPrintersFile file(kTwoPrinters);
    auto printer = OpenOrFail("First", PrinterAccess::kUse);
    DeviceMode landscape;
    landscape.orientation = kOrientationLandscape;
    auto document = printer->StartDocument("Test", landscape);
    ASSERT_TRUE(document);
    EXPECT_GT(document->JobId(), 40u);  // above every queued job

    for (int page = 0; page < 2; ++page) {
        HDC dc = document->StartPage();
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(document->StartPage(), nullptr);  // one page at a time
        const auto device = AttachPageDevice(dc);
        ASSERT_TRUE(device);
        EXPECT_EQ(device->DotsPerInchX(), 100);
        const PageRect box = device->ClipBox();
        EXPECT_EQ(box.right, 1169);  // A4 at 100 dpi, turned
        EXPECT_EQ(box.bottom, 827);
        ASSERT_TRUE(document->EndPage());
    }
    ASSERT_TRUE(document->EndDocument());
    const std::string prefix = "job-" + std::to_string(document->JobId()) + "-page-";
    const auto output = file.folder() / "printed";
    EXPECT_TRUE(std::filesystem::exists(output / (prefix + "1.png")));
    EXPECT_TRUE(std::filesystem::exists(output / (prefix + "2.png")));

    // The next document takes a new id; one abandoned leaves nothing behind.
    const std::uint32_t firstId = document->JobId();
    document.reset();
    auto abandoned = printer->StartDocument("Test", DeviceMode{});
    ASSERT_TRUE(abandoned);
    EXPECT_NE(abandoned->JobId(), firstId);
    ASSERT_NE(abandoned->StartPage(), nullptr);
    ASSERT_TRUE(abandoned->EndPage());
    abandoned.reset();
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(output)) ++files;
    EXPECT_EQ(files, 2u);
}

TEST(VirtualSpooler, APageLeftOpenIsEndedWithTheDocumentOrDroppedWithIt) {
    TempPrintersFile file(kTwoPrinters);
    auto printer = OpenOrFail("First", PrinterAccess::kUse);
    auto ended = printer->StartDocument("Test", DeviceMode{});
    ASSERT_TRUE(ended);
    EXPECT_FALSE(ended->EndPage());  // no page open yet
    const HDC endedPage = ended->StartPage();
    ASSERT_NE(endedPage, nullptr);
    ASSERT_TRUE(ended->EndDocument());
    EXPECT_FALSE(AttachPageDevice(endedPage));
    EXPECT_TRUE(std::filesystem::exists(file.folder() / "printed" /
                                        ("job-" + std::to_string(ended->JobId()) + "-page-1.png")));

    auto dropped = printer->StartDocument("Test", DeviceMode{});
    ASSERT_TRUE(dropped);
    const HDC droppedPage = dropped->StartPage();
    ASSERT_TRUE(AttachPageDevice(droppedPage));
    dropped.reset();
    EXPECT_FALSE(AttachPageDevice(droppedPage));  // the handle names no page any more
}

TEST(VirtualSpooler, SimulatedFailuresFailTheirCalls) {
    TempPrintersFile file(
        "[printer A]\nport = LPT1:\ndriver = D\n"
        "fail = read-info list-jobs driver write-info start-document\n");
    auto printer = OpenOrFail("A", PrinterAccess::kFull);
    PrinterInfo info;
    std::vector<JobInfo> jobs;
    DeviceMode mode;
    EXPECT_FALSE(printer->ReadInfo(info));
    EXPECT_FALSE(printer->ListJobs(0, kAllJobs, jobs));
    EXPECT_FALSE(printer->CurrentDeviceMode(mode));
    EXPECT_FALSE(printer->PassThroughDriver(mode));
    EXPECT_FALSE(printer->WriteInfo(info));
    EXPECT_FALSE(printer->StartDocument("Test", mode));
}

}  // namespace
}  // namespace zeseal::platform
