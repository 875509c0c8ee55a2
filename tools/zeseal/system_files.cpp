#include "system_files.h"

#include <filesystem>
#include <fstream>
#include <string>

#include "catalogue/data_file_format.h"
#include "seams/system_directory.h"
#include "tool_error.h"

namespace zeseal::tool {

std::optional<std::string> MissingSystemFile(std::string_view fileName, std::string_view what) {
    const std::string dir = platform::SystemDirectory();
    const std::string path = platform::SystemFilePath(fileName);
    std::error_code error;
    if (!path.empty() && std::filesystem::is_regular_file(path, error) &&
        std::ifstream(path, std::ios::binary).good()) {
        return std::nullopt;
    }
    std::string message = std::string(what) + " " + std::string(fileName) + " is not in the system directory '" +
                          dir + "'";
    message += " (the directory comes from ZESEAL_SYSTEM_DIR, else it is the library's built-in one;"
               " an installed example is share/zeseal/examples/system)";
    return message;
}

std::optional<std::string> MissingModelFile() {
    return MissingSystemFile(catalogue::kModelFileName, "the supported-model file");
}

void RequireSystemFile(std::string_view fileName, std::string_view what) {
    if (auto missing = MissingSystemFile(fileName, what)) throw ToolError(*missing);
}

void RequireModelFile() { RequireSystemFile(catalogue::kModelFileName, "the supported-model file"); }

}  // namespace zeseal::tool
