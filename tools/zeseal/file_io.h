// Whole-file reads with a size cap, and writes that replace a file whole or
// not at all.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zeseal::tool {

// The name that means the standard input for an input file and the
// standard output for an output file.
inline constexpr char kStandardStream[] = "-";

// The streams "-" reads and writes (the command line sets them).
void UseStandardStreams(std::istream* in, std::ostream* out);

// Checks, before any work, that path can take an output: "-", or a name
// that is not a directory and whose folder exists (made here when missing).
// Throws ToolError otherwise.
void CheckOutputPath(const std::string& path);

// Reads the whole of a regular file, or the standard input for "-". Throws ToolError when the file cannot be
// read, is not a regular file, or holds more than maxBytes bytes (checked
// while reading, so a file that grows or lies about its size is still caught).
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uint64_t maxBytes);

// Writes bytes to path whole or not at all, as the library writes its files
// (platform/posix/files/atomic_file.h): an existing file keeps its permission
// bits; a symbolic link stays and its file is replaced. "-" writes to the
// standard output, and a device or FIFO is written straight through (a FIFO
// without a reader is an error). Missing parent directories are created first. Throws ToolError on
// failure, after removing the temporary file.
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);
void WriteFileAtomically(const std::string& path, std::string_view text);

// Creates the directories above path when they are missing. Throws ToolError
// when that fails.
void EnsureParentDirectory(const std::string& path);

}  // namespace zeseal::tool
