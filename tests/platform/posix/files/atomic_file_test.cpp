#include "platform/posix/files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace zeseal::platform::posix {
namespace {

namespace fs = std::filesystem;

enum class Before {
    kNothing,
    kFile0600,
    kDirectory,
    kNoParent,
    kLinkToFile0600,  // out.bin -> real.bin
    kDanglingLink,    // out.bin -> real.bin, which does not exist
    kFifo,
    kDevice,          // a copy of the null device's node
    kFileOfAnotherOwner,
};

struct WriteCase {
    const char* what;
    Before before;
    bool writerSucceeds;
    bool written;
    const char* contents;  // of the file afterwards; nullptr: no file
    mode_t mode;           // of the file afterwards
    const char* step;      // of the failure
    int error;
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(AtomicFile, ReplacesWholeOrNotAtAllAndLeavesNoTemporaryFile) {
    const WriteCase cases[] = {
        {"new file", Before::kNothing, true, true, "new", 0644, "", 0},
        {"replaced file keeps its mode", Before::kFile0600, true, true, "new", 0600, "", 0},
        {"writer gives up", Before::kFile0600, false, false, "old", 0600, "write", 0},
        {"directory", Before::kDirectory, true, false, nullptr, 0, "replace", EISDIR},
        {"missing folder", Before::kNoParent, true, false, nullptr, 0,
         "create a temporary file beside", ENOENT},
        {"link: its file is replaced", Before::kLinkToFile0600, true, true, "new", 0600, "", 0},
        {"dangling link: its file is made", Before::kDanglingLink, true, true, "new", 0644, "", 0},
        {"FIFO is never replaced", Before::kFifo, true, false, nullptr, 0, "replace", EINVAL},
        {"device is never replaced", Before::kDevice, true, false, nullptr, 0, "replace", EINVAL},
        {"another owner's file keeps its owner", Before::kFileOfAnotherOwner, true, true, "new", 0600,
         "", 0},
    };
    const mode_t savedMask = ::umask(022);
    for (const WriteCase& c : cases) {
        const fs::path folder =
            fs::temp_directory_path() / ("zeseal-atomic-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::path path = folder / "out.bin";
        switch (c.before) {
            case Before::kFile0600:
                std::ofstream(path) << "old";
                fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
                break;
            case Before::kDirectory: fs::create_directory(path); break;
            case Before::kNoParent: path = folder / "missing" / "out.bin"; break;
            case Before::kLinkToFile0600:
                std::ofstream(folder / "real.bin") << "old";
                fs::permissions(folder / "real.bin", fs::perms::owner_read | fs::perms::owner_write);
                fs::create_symlink("real.bin", path);
                break;
            case Before::kDanglingLink: fs::create_symlink("real.bin", path); break;
            case Before::kFifo: ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); break;
            case Before::kDevice:
                if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
                    fs::remove_all(folder);
                    continue;  // not allowed to make device nodes here
                }
                break;
            case Before::kFileOfAnotherOwner:
                std::ofstream(path) << "old";
                fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
                if (::geteuid() != 0 || ::chown(path.c_str(), 4321, 4322) != 0) {
                    fs::remove_all(folder);
                    continue;  // only root can give a file away
                }
                break;
            case Before::kNothing: break;
        }
        struct stat before {};
        ::lstat(path.c_str(), &before);

        AtomicWriteFailure failure;
        const bool written = WriteFileAtomically(
            path.string(),
            [&](std::FILE* file) { return std::fputs("new", file) >= 0 && c.writerSucceeds; },
            &failure);
        EXPECT_EQ(written, c.written) << c.what;
        EXPECT_STREQ(failure.step, c.step) << c.what;
        EXPECT_EQ(failure.error, c.error) << c.what << ": " << std::strerror(failure.error);
        if (c.contents != nullptr) {
            EXPECT_EQ(Read(path), c.contents) << c.what;
            struct stat info {};
            ASSERT_EQ(::stat(path.c_str(), &info), 0) << c.what;
            EXPECT_EQ(info.st_mode & 0777, c.mode) << c.what;
            if (c.before == Before::kFileOfAnotherOwner) {
                EXPECT_EQ(info.st_uid, 4321u) << c.what;
                EXPECT_EQ(info.st_gid, 4322u) << c.what;
            }
        }
        // A link stays a link, a FIFO a FIFO and a device a device.
        struct stat after {};
        if (c.before != Before::kNothing && c.before != Before::kNoParent) {
            ASSERT_EQ(::lstat(path.c_str(), &after), 0) << c.what;
            const bool keptKind = c.before == Before::kFile0600 || c.before == Before::kFileOfAnotherOwner
                                      ? S_ISREG(after.st_mode)
                                      : (after.st_mode & S_IFMT) == (before.st_mode & S_IFMT);
            EXPECT_TRUE(keptKind) << c.what;
        }
        for (const auto& entry : fs::directory_iterator(folder)) {
            const fs::path name = entry.path().filename();
            EXPECT_TRUE(name == "out.bin" || name == "real.bin") << c.what << ": " << name;  // no temporary file left
        }
        fs::remove_all(folder);
    }
    ::umask(savedMask);
}

}  // namespace
}  // namespace zeseal::platform::posix
