// Writing the printers file back: through a symbolic link, keeping the
// file's mode and its CR LF line ends; never over a FIFO or a device.
#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <string>

#include "platform/posix/spooler/printers_file_io.h"
#include "seams/spooler.h"
#include "support/temp_printers_file.h"

namespace zeseal::platform {
namespace {

namespace fs = std::filesystem;
using zeseal::testing::PrintersFileChoice;
using zeseal::testing::TempPrintersFile;

TEST(PrintersFileWrite, ALinkedCrLfFileIsChangedInPlaceAndKeepsItsForm) {
    TempPrintersFile file(
        "default = First\r\n[printer First]\r\nport = LPT1:\r\ndriver = Model One\r\ncopies = 1\r\n",
        PrintersFileChoice::kLeftToTheTest);
    fs::permissions(file.path(), fs::perms::owner_read | fs::perms::owner_write);
    const fs::path link = file.folder() / "link.txt";
    fs::create_symlink(file.path().filename(), link);
    ASSERT_EQ(iZeHostUseVirtualSpooler(link.c_str()), 0);

    std::uint32_t error = 0;
    auto printer = ActiveSpooler().Open("First", PrinterAccess::kFull, error);
    ASSERT_TRUE(printer) << error;
    PrinterInfo info;
    ASSERT_TRUE(printer->ReadInfo(info));
    info.deviceMode->copies = 4;
    ASSERT_TRUE(printer->WriteInfo(info));

    EXPECT_TRUE(fs::is_symlink(link));
    const std::string text = file.Text();
    EXPECT_NE(text.find("copies = 4\r\n"), std::string::npos) << text;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "bare LF at " << at << " in\n" << text;
    }
    struct stat held {};
    ASSERT_EQ(::stat(file.path().c_str(), &held), 0);
    EXPECT_TRUE(S_ISREG(held.st_mode));
    EXPECT_EQ(held.st_mode & 0777, 0600u);
    for (const auto& entry : fs::directory_iterator(file.folder())) {
        const fs::path name = entry.path().filename();
        EXPECT_TRUE(name == "link.txt" || name == "printers.txt") << name;
    }
}

TEST(PrintersFileWrite, AFifoOrDeviceInItsPlaceIsNeverReplaced) {
    TempPrintersFile file("", PrintersFileChoice::kLeftToTheTest);
    struct Case {
        const char* what;
        mode_t kind;
        dev_t device;
    };
    const Case cases[] = {{"FIFO", S_IFIFO, 0}, {"device", S_IFCHR, makedev(1, 3)}};
    for (const Case& c : cases) {
        const fs::path node = file.folder() / "node";
        if (::mknod(node.c_str(), c.kind | 0600, c.device) != 0) continue;  // devices need root
        const bool updated = posix::UpdatePrintersFile(
            node.string(), [](const posix::PrintersFile&) { return std::string("default = X\n"); });
        EXPECT_FALSE(updated) << c.what;
        struct stat after {};
        ASSERT_EQ(::lstat(node.c_str(), &after), 0) << c.what;
        EXPECT_EQ(after.st_mode & S_IFMT, c.kind) << c.what;
        fs::remove(node);
    }
}

}  // namespace
}  // namespace zeseal::platform
