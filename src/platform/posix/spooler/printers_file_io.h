// Reading the virtual spooler's file, and changing it under an advisory lock
// with an atomic write-back.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/posix/spooler/printers_file.h"

namespace zeseal::platform::posix {

enum class LoadOutcome { kLoaded, kUnreadable, kMalformed };

// Reads the whole file at path (up to the size limit).
bool ReadPrintersText(const std::string& path, std::string& text, FileProblem& problem);

// Reads and parses the file at path; problem says what went wrong.
LoadOutcome LoadPrintersFile(const std::string& path, PrintersFile& file, FileProblem& problem);

// Sends "printers file 'PATH', line N: REASON" to the diagnostic stream.
void ReportFileProblem(const std::string& path, const FileProblem& problem);

// Holds an exclusive lock on the file while edit works on its current
// contents; when edit returns new text, it replaces the file atomically
// before the lock is released: a symbolic link stays, the file it leads to
// is replaced, keeping its mode, owner (where allowed) and CR LF line ends
// when its first line has them. A FIFO or device is never replaced. Returns
// false when the file cannot be locked, read or parsed, when edit returns
// nothing, or when the write fails.
bool UpdatePrintersFile(const std::string& path,
                        const std::function<std::optional<std::string>(const PrintersFile&)>& edit);

}  // namespace zeseal::platform::posix
