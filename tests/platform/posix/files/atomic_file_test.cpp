#include "platform/posix/files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
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

enum class Before { kNothing, kFile0600, kDirectory, kNoParent };

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
            case Before::kNothing: break;
        }

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
        }
        for (const auto& entry : fs::directory_iterator(folder)) {
            EXPECT_EQ(entry.path().filename(), "out.bin") << c.what;  // no temporary file left
        }
        fs::remove_all(folder);
    }
    ::umask(savedMask);
}

}  // namespace
}  // namespace zeseal::platform::posix
