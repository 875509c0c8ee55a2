// Where the tool's outputs go: "-" for the standard streams, and a link, a
// FIFO or a device at the output path, each written the way it must be.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "support/tool_runs.h"

namespace zeseal::tool {
namespace {

namespace fs = std::filesystem;

using testing::RunTool;
using testing::RunToolWithInput;
using Outcome = testing::ToolOutcome;

class FileOutputs : public testing::ToolTest {
protected:
    FileOutputs() : ToolTest("zeseal-outputs-test") {
        Write("code.raw", std::string(8 * 128, '\x5a'));
        const Outcome reference = RunTool({"container", "pack", "--raw", Path("code.raw"), "-o", Path("ref.b64")});
        EXPECT_EQ(reference.status, 0) << reference.err;
        expected_ = Text("ref.b64");
    }
    std::string expected_;
};

// Reads a FIFO on its own thread until its writer has come and gone (or
// five seconds pass). The FIFO is opened here, so it has a reader before the
// tool looks for one.
std::future<std::string> ReadFifo(const fs::path& fifo) {
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return std::async(std::launch::async, [fd] {
        std::string text;
        if (fd < 0) return text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        char block[4096];
        while (std::chrono::steady_clock::now() < deadline) {
            const ssize_t n = ::read(fd, block, sizeof block);
            if (n > 0) {
                text.append(block, std::size_t(n));
            } else if (n == 0 && !text.empty()) {
                break;  // the writer closed its end
            } else {
                pollfd wait{fd, POLLIN, 0};
                ::poll(&wait, 1, 50);
                if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        ::close(fd);
        return text;
    });
}

TEST_F(FileOutputs, EachKindOfOutputPathIsWrittenAsItMustBe) {
    enum class Kind { kStandardOutput, kLink, kFifoRead, kFifoUnread, kNullDevice, kFullDevice, kDirectory };
    struct Case {
        const char* what;
        Kind kind;
        int status;
        const char* message;  // in the error stream
    };
    const Case cases[] = {
        {"-o -", Kind::kStandardOutput, 0, ""},
        {"link to a file", Kind::kLink, 0, ""},
        {"FIFO with a reader", Kind::kFifoRead, 0, ""},
        {"FIFO without a reader", Kind::kFifoUnread, 1, "no process is reading"},
        {"null device", Kind::kNullDevice, 0, ""},
        {"full device", Kind::kFullDevice, 1, "No space left on device"},
        {"directory", Kind::kDirectory, 1, "is a directory"},
    };
    for (const Case& c : cases) {
        const fs::path out = dir() / "out";
        fs::remove_all(out);
        fs::remove(dir() / "real.b64");
        std::string target = out.string();
        std::future<std::string> reader;
        switch (c.kind) {
            case Kind::kStandardOutput: target = "-"; break;
            case Kind::kLink:
                Write("real.b64", std::string("old"));
                fs::create_symlink("real.b64", out);
                break;
            case Kind::kFifoRead:
                ASSERT_EQ(::mkfifo(out.c_str(), 0600), 0);
                reader = ReadFifo(out);
                break;
            case Kind::kFifoUnread: ASSERT_EQ(::mkfifo(out.c_str(), 0600), 0); break;
            case Kind::kNullDevice:
            case Kind::kFullDevice:
                if (::mknod(out.c_str(), S_IFCHR | 0666, makedev(1, c.kind == Kind::kNullDevice ? 3 : 7)) != 0) {
                    continue;  // device nodes need root
                }
                break;
            case Kind::kDirectory: fs::create_directory(out); break;
        }
        struct stat before {};
        ::lstat(out.c_str(), &before);

        const Outcome run = RunTool({"container", "pack", "--raw", Path("code.raw"), "-o", target});
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
        if (c.kind == Kind::kStandardOutput) {
            EXPECT_EQ(run.out, expected_) << c.what;  // the data alone: the report went to stderr
            EXPECT_FALSE(fs::exists(dir() / "-")) << c.what;
            continue;
        }
        if (c.kind == Kind::kFifoRead) {
            EXPECT_EQ(reader.get(), expected_) << c.what;
        }
        if (c.kind == Kind::kLink) {
            EXPECT_EQ(Text("real.b64"), expected_) << c.what;
        }
        struct stat after {};
        ASSERT_EQ(::lstat(out.c_str(), &after), 0) << c.what;
        EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << c.what << ": replaced";
    }
}

TEST_F(FileOutputs, ADashInputIsTheStandardInput) {
    const Outcome run = RunToolWithInput({"container", "pack", "--raw", "-", "-o", Path("in.b64")},
                                         std::string(8 * 128, '\x5a'));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Text("in.b64"), expected_);
}

}  // namespace
}  // namespace zeseal::tool
