#include "printer_commands.h"

#include <zeseal/zeseal_posix.h>

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <vector>

#include "base/name_cut.h"
#include "platform/posix/spooler/spooler_flag_names.h"
#include "platform/posix/text/cp949_text.h"
#include "seams/spooler.h"
#include "printers/default_printer.h"
#include "printers/printer_list_builder.h"
#include "result_meanings.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

using platform::posix::Cp949ToUtf8;

const std::map<std::string, int> kModes = {{"queued", 0}, {"direct", 1}};

void AddSpoolerOptions(CLI::App* sub, PrinterCommands& c) {
    sub->add_option("--spooler", c.spooler,
                    "cups: the CUPS queues; FILE: the virtual spooler's printers file")
        ->type_name("cups|FILE");
    sub->add_option("--printers", c.printersFile, "The virtual spooler's file (default: ZESEAL_PRINTERS)")
        ->type_name("FILE");
}

int Report(const std::string& what, std::int32_t result, std::ostream& out) {
    out << what << ": " << DescribeResult(result) << "\n";
    return result == 0 ? 0 : 1;
}

// The verdict on one line: the line breaks of the text become blanks.
std::string OneLine(std::string text) {
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += c;
        }
    }
    return line;
}

std::int32_t KindOf(const printers::PrinterRecord& record) {
    const std::string name = record.name;
    const std::string port = record.port;
    return name.find("\\\\") != std::string::npos || port.find("\\\\") != std::string::npos
               ? ZE_KIND_NETWORK
               : ZE_KIND_LOCAL;
}

int RunStatus(const std::string& name, std::ostream& out) {
    return Report("status of '" + name + "'", iZePrinterStatus(name.c_str()), out);
}

int RunJobs(const std::string& name, const std::string& filter, std::ostream& out) {
    std::int32_t count = 0;
    const std::int32_t result = iGetZePrinterJob(name.c_str(), filter.c_str(), &count);
    if (result == ZE_OK || result == ZE_NO_MATCHING_JOB) {
        out << count << " job(s) of '" << name << "' match '" << filter << "'\n";
    }
    // The whole queue, as the spooler holds it.
    std::uint32_t error = 0;
    if (auto printer = platform::ActiveSpooler().Open(name, platform::PrinterAccess::kUse, error)) {
        std::vector<platform::JobInfo> jobs;
        if (printer->ListJobs(0, platform::kAllJobs, jobs)) {
            for (const platform::JobInfo& job : jobs) {
                out << "  [" << job.id << "] "
                    << (job.document ? "\"" + *job.document + "\"" : std::string("(no document)"))
                    << "  " << platform::posix::FormatFlags(job.status, platform::posix::JobStatusNames())
                    << "\n";
            }
        }
    }
    return Report("jobs", result, out);
}

int RunPort(const std::string& name, std::ostream& out) {
    const std::int32_t needed = iGetZePrinterPort(name.c_str(), nullptr, 0);
    std::string port(std::size_t(needed > 0 ? needed : 1), '\0');
    const std::int32_t result = iGetZePrinterPort(name.c_str(), port.data(), std::int32_t(port.size()));
    if (result != 0 || port[0] == '\0') {
        out << "port of '" << name << "': no local printer has that name\n";
        return 1;
    }
    out << "port of '" << name << "': " << port.c_str() << "\n";
    return 0;
}

int RunDefault(std::ostream& out) {
    char name[base::kNameBufferSize] = {};
    if (printers::ReadDefaultPrinterName(name, sizeof name) == 1) {
        out << "default printer: " << (std::string(name) == ",,," ? "(none set)" : name) << "\n";
    }
    const int status = Report("default printer able to issue", iGetZeDefaultPrinter(), out);
    Report("any printer able to issue", iGetZePrinter(), out);
    return status;
}

int RunSet(const std::string& name, const std::string& mode, std::ostream& out) {
    const auto found = kModes.find(mode);
    if (found == kModes.end()) throw ToolError("--mode must be queued or direct");
    return Report("set '" + name + "' to " + mode + " printing",
                  iZePrinterSet(name.c_str(), found->second), out);
}

CLI::App* AddNamed(CLI::App& app, PrinterCommands& c, const char* command, const char* what) {
    CLI::App* sub = app.add_subcommand(command, what);
    sub->add_option("NAME", c.name, "The printer's name")->required();
    AddSpoolerOptions(sub, c);
    return sub;
}

}  // namespace

// Chooses the virtual spooler's file for the library and the tool's own view
// of the printers, which share one spooler choice.
void ChoosePrintersFile(const std::string& file, std::ostream& err) {
    std::string path = file;
    if (path.empty()) {
        const char* env = std::getenv("ZESEAL_PRINTERS");
        if (env == nullptr || *env == '\0') {
            throw ToolError("no printers file: give --printers FILE or set ZESEAL_PRINTERS "
                            "(examples/printers.txt is one)");
        }
        path = env;
    }
    // Let the library say what is wrong with the file, if anything.
    const bool quiet = std::getenv("ZESEAL_DIAGNOSTICS") == nullptr;
    if (quiet) setenv("ZESEAL_DIAGNOSTICS", "stderr", 1);
    err.flush();
    const int chosen = iZeHostUseVirtualSpooler(path.c_str());
    if (quiet) unsetenv("ZESEAL_DIAGNOSTICS");
    if (chosen == -1) throw ToolError("printers file '" + path + "' cannot be read");
    if (chosen != 0) throw ToolError("printers file '" + path + "' is malformed (see above)");
}

// --spooler cups asks the client's default CUPS scheduler (CUPS_SERVER, or
// the client configuration); any other value is a printers file. The choice
// is made in the library and in the tool's own view of the printers.
void ChooseSpooler(const std::string& spooler, const std::string& printersFile, std::ostream& err) {
    if (spooler == "cups") {
        if (iZeHostUseCupsSpooler(nullptr) != 0) {
            throw ToolError("the CUPS scheduler cannot be reached (CUPS_SERVER chooses another)");
        }
        return;
    }
    ChoosePrintersFile(spooler.empty() ? printersFile : spooler, err);
}

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': json += "\\\""; break;
            case '\\': json += "\\\\"; break;
            case '\n': json += "\\n"; break;
            case '\t': json += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                    json += escaped;
                } else {
                    json += c;
                }
        }
    }
    return json + "\"";
}

int RunPrinterList(bool json, std::ostream& out) {
    std::vector<printers::PrinterRecord> records(printers::CountLocalPrinters() + 1);
    const std::int32_t written = printers::BuildPrinterList(records.data(), records.size());
    if (written < 0) throw ToolError("the printer list could not be built");
    char defaultName[base::kNameBufferSize] = {};
    printers::ReadDefaultPrinterName(defaultName, sizeof defaultName);

    if (json) {
        out << "[";
        for (std::int32_t i = 0; i < written; ++i) {
            const printers::PrinterRecord& r = records[std::size_t(i)];
            out << (i == 0 ? "\n" : ",\n") << "  {\"name\": " << JsonString(r.name)
                << ", \"driver\": " << JsonString(r.driver) << ", \"port\": " << JsonString(r.port)
                << ", \"verdict\": " << JsonString(Cp949ToUtf8(r.supportText))
                << ", \"support\": " << r.support << ", \"kind\": " << KindOf(r)
                << ", \"model\": " << r.modelCode
                << ", \"default\": " << (std::string(r.name) == defaultName ? "true" : "false") << "}";
        }
        out << (written > 0 ? "\n]\n" : "]\n");
        return 0;
    }
    if (written == 0) {
        out << "no printer to list\n";
        return 0;
    }
    for (std::int32_t i = 0; i < written; ++i) {
        const printers::PrinterRecord& r = records[std::size_t(i)];
        out << (std::string(r.name) == defaultName ? "* " : "  ") << r.name << "\n"
            << "      " << OneLine(Cp949ToUtf8(r.supportText)) << "  support " << r.support
            << "  kind " << KindOf(r) << "  model " << r.modelCode << "\n"
            << "      port " << r.port << "  driver " << r.driver << "\n";
    }
    out << "(* the default printer)\n";
    return 0;
}

void AddPrinterCommands(CLI::App& app, PrinterCommands& c) {
    c.printers = app.add_subcommand(
        "printers", "List the local printers, each with its verdict: able to issue or not, and why");
    c.printers->add_flag("--json", c.json, "Print the list as JSON");
    AddSpoolerOptions(c.printers, c);
    c.printers->footer(
        "Printer connections (a name or port holding \\\\) are not listed. The verdict\n"
        "needs the supported-model file in the system directory (ZESEAL_SYSTEM_DIR).\n\n"
        "Example:\n"
        "  zeseal printers --printers examples/printers.txt --json\n"
        "  zeseal printers --spooler cups");

    c.status = AddNamed(app, c, "status", "Tell whether a printer is ready to print");
    c.jobs = AddNamed(app, c, "jobs", "Count a printer's jobs of one document, and list its queue");
    c.jobs->add_option("FILTER", c.filter,
                       "Part of the document name (case-sensitive); ALL counts every job")
        ->capture_default_str();
    c.port = AddNamed(app, c, "port", "Show the port a printer is attached to");
    c.set = AddNamed(app, c, "set", "Set a printer to one copy, raw data and a spooling mode");
    c.set->add_option("--mode", c.mode, "queued: spool whole jobs first; direct: print at once")
        ->required()
        ->check(CLI::IsMember({"queued", "direct"}));
    c.set->footer("The change is written back into the printers file. On CUPS, copies-default\n"
                  "becomes 1; CUPS always spools, so the mode changes nothing there.");

    c.defaultPrinter = app.add_subcommand(
        "default", "Show the default printer and whether it, or any printer, is able to issue");
    AddSpoolerOptions(c.defaultPrinter, c);
}

bool PrinterCommandParsed(const PrinterCommands& c) {
    for (const CLI::App* command : {c.printers, c.status, c.jobs, c.port, c.defaultPrinter, c.set}) {
        if (command != nullptr && command->parsed()) return true;
    }
    return false;
}

int RunPrinterCommand(const PrinterCommands& c, std::ostream& out, std::ostream& err) {
    ChooseSpooler(c.spooler, c.printersFile, err);
    if (c.printers->parsed()) return RunPrinterList(c.json, out);
    if (c.status->parsed()) return RunStatus(c.name, out);
    if (c.jobs->parsed()) return RunJobs(c.name, c.filter, out);
    if (c.port->parsed()) return RunPort(c.name, out);
    if (c.defaultPrinter->parsed()) return RunDefault(out);
    return RunSet(c.name, c.mode, out);
}

}  // namespace zeseal::tool
