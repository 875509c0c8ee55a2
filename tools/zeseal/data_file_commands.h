// "zeseal catalogue build|list" and "zeseal courtlist build|list": make and
// inspect the supported-model file and the court printer list, which the
// library only reads.
#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace zeseal::tool {

struct DataFileCommands {
    CLI::App* catalogueBuild = nullptr;
    CLI::App* catalogueList = nullptr;
    CLI::App* courtListBuild = nullptr;
    CLI::App* courtListList = nullptr;
    std::string input;
    std::string output;
    bool json = false;
};

// Adds the "catalogue" and "courtlist" commands to app.
void AddDataFileCommands(CLI::App& app, DataFileCommands& commands);

// True when one of the commands was parsed.
bool DataFileCommandParsed(const DataFileCommands& commands);

// Runs the parsed command; returns the exit status. Throws ToolError for
// input that cannot be read.
int RunDataFileCommand(const DataFileCommands& commands, std::ostream& out, std::ostream& err);

}  // namespace zeseal::tool
