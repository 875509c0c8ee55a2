// The printer commands: "printers", "status", "jobs", "port", "default" and
// "set". They ask the library about the printers of a CUPS scheduler
// (--spooler cups) or of the virtual spooler's file (--spooler FILE,
// --printers FILE, or ZESEAL_PRINTERS) and show each result code with its
// meaning.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "json_text.h"
#include "seams/spooler.h"

namespace CLI {
class App;
}

namespace zeseal::tool {

struct PrinterCommands {
    CLI::App* printers = nullptr;
    CLI::App* status = nullptr;
    CLI::App* jobs = nullptr;
    CLI::App* port = nullptr;
    CLI::App* defaultPrinter = nullptr;
    CLI::App* set = nullptr;
    std::string printersFile;  // empty: ZESEAL_PRINTERS
    std::string spooler;       // "cups", a printers file, or empty: printersFile
    std::string name;
    std::string filter = "ALL";
    std::string mode;
    bool json = false;
};

// Adds the printer commands to app.
void AddPrinterCommands(CLI::App& app, PrinterCommands& commands);

// True when one of the commands was parsed.
bool PrinterCommandParsed(const PrinterCommands& commands);

// Runs the parsed command; returns the exit status (0 only when the
// library's answer is 0). Throws ToolError when no spooler can be used.
int RunPrinterCommand(const PrinterCommands& commands, std::ostream& out, std::ostream& err);

// Chooses the virtual spooler's file (file, or ZESEAL_PRINTERS when file is
// empty) for the library and the tool. Throws ToolError when there is none
// or it cannot be used; the library's reason goes to err.
void ChoosePrintersFile(const std::string& file, std::ostream& err);

// Chooses the spooler of a --spooler value: "cups" for the default CUPS
// scheduler, any other value a printers file, empty: printersFile. Throws
// ToolError when it cannot be used.
void ChooseSpooler(const std::string& spooler, const std::string& printersFile, std::ostream& err);

// Writes why a printer cannot be opened with access ("no printer named
// 'X'", access denied, or the system error) as one line to err; nothing when
// it can be opened.
void ExplainOpenFailure(const std::string& name, platform::PrinterAccess access, std::ostream& err);

// Why changing a printer's settings failed: the steps before the change,
// taken again without writing anything.
std::string SettingsFailureReason(const std::string& name);

// "printers": the classified list, as a table or as JSON.
int RunPrinterList(bool json, std::ostream& out);

}  // namespace zeseal::tool
