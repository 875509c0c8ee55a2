#include "platform/posix/spooler/printers_file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "frame/diagnostics.h"
#include "platform/posix/files/atomic_file.h"
#include "platform/posix/files/regular_file.h"

namespace zeseal::platform::posix {
namespace {

// Reads the whole open file, refusing one above the size limit.
bool ReadAll(int fd, std::string& text, FileProblem& problem) {
    text.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            problem.reason = std::string("cannot be read: ") + std::strerror(errno);
            return false;
        }
        if (got == 0) return true;
        if (text.size() + std::size_t(got) > kMaxPrintersFileBytes) {
            problem.reason = "the file is larger than " + std::to_string(kMaxPrintersFileBytes) + " bytes";
            return false;
        }
        text.append(buffer, std::size_t(got));
    }
}

// Closes the descriptor, and with it the lock, on every path.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Opens the printers file for reading; a FIFO, a device or a directory is
// refused at once rather than read (or waited on).
int OpenPrintersFile(const std::string& path, FileProblem& problem) {
    bool notRegular = false;
    const int fd = OpenRegularFileForReading(path.c_str(), &notRegular);
    if (fd < 0) {
        problem.reason = notRegular ? std::string("is not a regular file")
                                    : std::string("cannot be opened: ") + std::strerror(errno);
    }
    return fd;
}

// True when the text's first line ends in CR LF: the file is written back
// with the same line ends.
bool UsesCrLf(const std::string& text) {
    const std::size_t end = text.find('\n');
    return end != std::string::npos && end > 0 && text[end - 1] == '\r';
}

// Gives every bare LF of text a CR before it.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

}  // namespace

bool ReadPrintersText(const std::string& path, std::string& text, FileProblem& problem) {
    problem = {};
    const FileDescriptor fd(OpenPrintersFile(path, problem));
    if (fd.get() < 0) return false;
    return ReadAll(fd.get(), text, problem);
}

LoadOutcome LoadPrintersFile(const std::string& path, PrintersFile& file, FileProblem& problem) {
    std::string text;
    if (!ReadPrintersText(path, text, problem)) return LoadOutcome::kUnreadable;
    auto parsed = ParsePrintersFile(text, problem);
    if (!parsed) return LoadOutcome::kMalformed;
    file = std::move(*parsed);
    return LoadOutcome::kLoaded;
}

void ReportFileProblem(const std::string& path, const FileProblem& problem) {
    std::string line = "printers file '" + path + "'";
    if (problem.line != 0) line += ", line " + std::to_string(problem.line);
    line += ": " + problem.reason + "\n";
    frame::DiagnosticText(line);
}

bool UpdatePrintersFile(const std::string& path,
                        const std::function<std::optional<std::string>(const PrintersFile&)>& edit) {
    // The lock sits on the file itself. A writer that waited may find, once it
    // holds the lock, that the name now belongs to the file another writer
    // renamed into place; it then starts again on that file. Each new start
    // follows another writer's finished write, and a busy writer can overtake
    // a waiting one many times in a row, so the bound is only a backstop.
    for (int attempt = 0; attempt < 100000; ++attempt) {
        FileProblem opening;
        const FileDescriptor fd(OpenPrintersFile(path, opening));
        if (fd.get() < 0) {
            ReportFileProblem(path, opening);
            return false;
        }
        int locked;
        do {
            locked = flock(fd.get(), LOCK_EX);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) return false;
        struct stat held = {};
        struct stat named = {};
        if (fstat(fd.get(), &held) != 0) return false;
        if (stat(path.c_str(), &named) != 0) return false;
        if (held.st_dev != named.st_dev || held.st_ino != named.st_ino) continue;

        std::string text;
        FileProblem problem;
        if (!ReadAll(fd.get(), text, problem)) {
            ReportFileProblem(path, problem);
            return false;
        }
        const auto file = ParsePrintersFile(text, problem);
        if (!file) {
            ReportFileProblem(path, problem);
            return false;
        }
        std::optional<std::string> changed = edit(*file);
        if (!changed) return false;
        if (UsesCrLf(text)) changed = WithCrLf(*changed);
        AtomicWriteFailure failure;
        const bool written = WriteFileAtomically(
            path,
            [&](std::FILE* out) {
                return std::fwrite(changed->data(), 1, changed->size(), out) == changed->size();
            },
            &failure);
        if (!written) {
            problem.line = 0;
            problem.reason = std::string("cannot ") + failure.step + " the file" +
                             (failure.error != 0 ? std::string(": ") + std::strerror(failure.error) : "");
            ReportFileProblem(path, problem);
        }
        return written;
    }
    return false;
}

}  // namespace zeseal::platform::posix
