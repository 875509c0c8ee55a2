// "zeseal choose": lets a person choose a printer in the library's list
// dialogs at the terminal (or a dialog script choose unattended), then shows
// the outputs and the result code with its meaning.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace zeseal::tool {

struct ChooseCommand {
    CLI::App* command = nullptr;
    std::string printersFile;          // empty: ZESEAL_PRINTERS
    std::string spooler;               // "cups", a printers file, or empty: printersFile
    std::optional<std::int32_t> mode;  // none: the choosing dialog
    std::int32_t option = 1;           // the choosing dialog's extra buttons
    std::optional<std::string> script; // none: the terminal
};

void AddChooseCommand(CLI::App& app, ChooseCommand& command);

// Runs the export with its dialogs answered by script (mode: none for
// iGetZePrinterList with option, else iGetZePrinterListChk), shows the
// outputs and the result, and returns the chosen printer's name (empty when
// none was chosen). Throws ToolError when the script does not parse.
std::string ChooseWithScript(const std::optional<std::string>& script,
                             std::optional<std::int32_t> mode, std::int32_t option,
                             std::ostream& out, std::ostream& err, int& status);

// Runs the command when it was parsed; returns false otherwise.
bool RunChooseCommand(const ChooseCommand& command, std::ostream& out, std::ostream& err,
                      int& status);

}  // namespace zeseal::tool
