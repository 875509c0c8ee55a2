// The data files the printer commands read from the system directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zeseal::tool {

// Why fileName is missing: the sentence naming the system directory
// searched and the file, or nothing when the file is there and readable.
std::optional<std::string> MissingSystemFile(std::string_view fileName, std::string_view what);

// The same for the supported-model file.
std::optional<std::string> MissingModelFile();

// Throws a ToolError naming the system directory searched and the file when
// fileName (a bare name such as "ZePrintInfoCourt.dat") is not a readable
// file there. what says what the file is ("the supported-model file").
void RequireSystemFile(std::string_view fileName, std::string_view what);

// The supported-model file, which every printer verdict and pattern needs.
void RequireModelFile();

}  // namespace zeseal::tool
