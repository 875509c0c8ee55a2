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
#include "printers/support_texts.h"
#include "result_meanings.h"
#include "system_files.h"
#include "tool_error.h"

namespace zeseal::tool {
void ExplainOpenFailure(const std::string& name, platform::PrinterAccess access, std::ostream& err) {
    std::uint32_t error = 0;
    if (platform::ActiveSpooler().Open(name, access, error)) return;
    if (error == platform::kErrorInvalidPrinterName) {
        err << "zeseal: no printer named '" << name << "'\n";
    } else if (error == platform::kErrorAccessDenied) {
        err << "zeseal: printer '" << name << "': access denied\n";
    } else {
        err << "zeseal: printer '" << name << "' cannot be opened (system error " << error << ")\n";
    }
}

std::string SettingsFailureReason(const std::string& name) {
    std::uint32_t error = 0;
    const auto printer = platform::ActiveSpooler().Open(name, platform::PrinterAccess::kFull, error);
    if (!printer) {
        if (error == platform::kErrorInvalidPrinterName) return "no printer named '" + name + "'";
        if (error == platform::kErrorAccessDenied) {
            return "no permission to change the settings of '" + name + "'";
        }
        return "printer '" + name + "' cannot be opened to change it (system error " + std::to_string(error) +
               ")";
    }
    platform::PrinterInfo info;
    if (!printer->ReadInfo(info)) {
        return "the settings of '" + name + "' cannot be read (system error " +
               std::to_string(printer->LastError()) + ")";
    }
    platform::DeviceMode mode;
    if (info.deviceMode) {
        mode = *info.deviceMode;
    } else if (!printer->CurrentDeviceMode(mode)) {
        return "the device settings of '" + name + "' cannot be read (system error " +
               std::to_string(printer->LastError()) + ")";
    }
    mode.copies = 1;
    if (!printer->PassThroughDriver(mode)) {
        return "the driver of '" + name + "' refused one copy (system error " +
               std::to_string(printer->LastError()) + ")";
    }
    return "the spooler did not store the new settings of '" + name +
           "' (a printers file that cannot be written, or a scheduler that refused them)";
}

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

// Whether the printer is set to work offline. The library answers 5024, the
// code of a printing printer, for it.
bool WorksOffline(const std::string& name) {
    std::uint32_t error = 0;
    const auto printer = platform::ActiveSpooler().Open(name, platform::PrinterAccess::kUse, error);
    platform::PrinterInfo info;
    return printer && printer->ReadInfo(info) && (info.attributes & platform::kPrinterAttributeWorkOffline) != 0;
}

int RunStatus(const std::string& name, bool json, std::ostream& out, std::ostream& err) {
    const std::int32_t result = iZePrinterStatus(name.c_str());
    const bool offline = result == ZE_STATUS_PRINTING && WorksOffline(name);
    if (json) {
        out << "{\"printer\": " << JsonString(name) << ", \"result\": " << JsonResult(result)
            << ", \"work_offline\": " << (offline ? "true" : "false") << "}\n";
    } else if (offline) {
        out << "status of '" << name << "': " << result << " the printer is set to work offline\n";
    } else {
        Report("status of '" + name + "'", result, out);
    }
    if (result == ZE_FAULT) ExplainOpenFailure(name, platform::PrinterAccess::kUse, err);
    return result == 0 ? 0 : 1;
}

// Whether a job counts for the filter, as the library counts: ALL takes
// every job, any other filter the jobs whose document name holds it.
bool JobMatches(const platform::JobInfo& job, const std::string& filter) {
    return filter == "ALL" || (job.document && job.document->find(filter) != std::string::npos);
}

int RunJobs(const std::string& name, const std::string& filter, bool json, std::ostream& out,
            std::ostream& err) {
    std::int32_t count = 0;
    const std::int32_t result = iGetZePrinterJob(name.c_str(), filter.c_str(), &count);
    const bool counted = result == ZE_OK || result == ZE_NO_MATCHING_JOB;
    // The whole queue, as the spooler holds it.
    std::vector<platform::JobInfo> jobs;
    std::uint32_t error = 0;
    bool listed = false;
    if (auto printer = platform::ActiveSpooler().Open(name, platform::PrinterAccess::kUse, error)) {
        listed = printer->ListJobs(0, platform::kAllJobs, jobs);
    }
    if (json) {
        out << "{\"printer\": " << JsonString(name) << ", \"filter\": " << JsonString(filter)
            << ", \"count\": " << (counted ? std::to_string(count) : std::string("null"))
            << ", \"result\": " << JsonResult(result) << ", \"jobs\": ";
        if (!listed) {
            out << "null}\n";
        } else {
            out << "[";
            for (std::size_t i = 0; i < jobs.size(); ++i) {
                const platform::JobInfo& job = jobs[i];
                out << (i == 0 ? "" : ", ") << "{\"id\": " << job.id << ", \"document\": "
                    << (job.document ? JsonString(*job.document) : std::string("null"))
                    << ", \"status\": "
                    << JsonString(platform::posix::FormatFlags(job.status, platform::posix::JobStatusNames()))
                    << ", \"matches\": " << (JobMatches(job, filter) ? "true" : "false") << "}";
            }
            out << "]}\n";
        }
    } else {
        if (counted) out << count << " job(s) of '" << name << "' match '" << filter << "'\n";
        for (const platform::JobInfo& job : jobs) {
            out << (JobMatches(job, filter) ? "* [" : "  [") << job.id << "] "
                << (job.document ? "\"" + *job.document + "\"" : std::string("(no document)")) << "  "
                << platform::posix::FormatFlags(job.status, platform::posix::JobStatusNames()) << "\n";
        }
        if (!jobs.empty()) out << "(* a job that matches)\n";
        Report("jobs", result, out);
    }
    if (result == ZE_FAULT) ExplainOpenFailure(name, platform::PrinterAccess::kUse, err);
    return result == 0 ? 0 : 1;
}

int RunPort(const std::string& name, bool json, std::ostream& out, std::ostream& err) {
    const std::int32_t needed = iGetZePrinterPort(name.c_str(), nullptr, 0);
    std::string port(std::size_t(needed > 0 ? needed : 1), '\0');
    const std::int32_t result = iGetZePrinterPort(name.c_str(), port.data(), std::int32_t(port.size()));
    const bool found = result == 0 && port[0] != '\0';
    if (json) {
        out << "{\"printer\": " << JsonString(name)
            << ", \"port\": " << (found ? JsonString(port.c_str()) : std::string("null"))
            << ", \"result\": " << JsonResult(result) << "}\n";
    } else if (found) {
        out << "port of '" << name << "': " << port.c_str() << "\n";
    } else {
        out << "port of '" << name << "': no local printer has that name\n";
    }
    if (!found) ExplainOpenFailure(name, platform::PrinterAccess::kUse, err);
    return found ? 0 : 1;
}

int RunDefault(bool json, std::ostream& out) {
    char name[base::kNameBufferSize] = {};
    const bool read = printers::ReadDefaultPrinterName(name, sizeof name) == 1;
    const bool set = read && std::string(name) != ",,,";
    const std::int32_t defaultAble = iGetZeDefaultPrinter();
    const std::int32_t anyAble = iGetZePrinter();
    if (json) {
        out << "{\"default\": " << (set ? JsonString(name) : std::string("null"))
            << ", \"default_able\": " << JsonResult(defaultAble) << ", \"any_able\": " << JsonResult(anyAble)
            << "}\n";
        return defaultAble == 0 ? 0 : 1;
    }
    if (read) out << "default printer: " << (set ? name : "(none set)") << "\n";
    const int status = Report("default printer able to issue", defaultAble, out);
    Report("any printer able to issue", anyAble, out);
    return status;
}

int RunSet(const std::string& name, const std::string& mode, std::ostream& out, std::ostream& err) {
    const auto found = kModes.find(mode);
    if (found == kModes.end()) throw ToolError("--mode must be queued or direct");
    const std::int32_t result = iZePrinterSet(name.c_str(), found->second);
    Report("set '" + name + "' to " + mode + " printing", result, out);
    if (result == ZE_SETTINGS_FAILED) err << "zeseal: " << SettingsFailureReason(name) << "\n";
    return result == 0 ? 0 : 1;
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
#ifndef ZESEAL_TOOL_HAS_CUPS
        throw ToolError("the CUPS scheduler cannot be reached: this zeseal was built without CUPS "
                        "(ZESEAL_WITH_CUPS=OFF, or no libcups)");
#endif
        if (iZeHostUseCupsSpooler(nullptr) != 0) {
            throw ToolError("the CUPS scheduler cannot be reached (CUPS_SERVER chooses another)");
        }
        return;
    }
    ChoosePrintersFile(spooler.empty() ? printersFile : spooler, err);
}

// The verdict as a key that stays the same whatever its display text.
std::string ReasonOf(const printers::PrinterRecord& record) {
    const std::string_view text = record.supportText;
    if (text == printers::kSupportedText) return "supported";
    if (KindOf(record) == ZE_KIND_NETWORK) return "network-connection";
    if (text == printers::kRefusedPortText) return "unsupported-port";
    if (text == printers::kMultiPortText) return "multi-port";
    if (text == printers::kUnregisteredText) return "unregistered";
    return "unknown";
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
                << ", \"default\": " << (std::string(r.name) == defaultName ? "true" : "false")
                << ", \"reason\": " << JsonString(ReasonOf(r)) << "}";
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
    c.status->add_flag("--json", c.json, "Print the answer as JSON");
    c.jobs = AddNamed(app, c, "jobs", "Count a printer's jobs of one document, and list its queue");
    c.jobs->add_flag("--json", c.json, "Print the count and the queue as JSON");
    c.jobs->add_option("FILTER", c.filter,
                       "Part of the document name (case-sensitive); ALL counts every job")
        ->capture_default_str();
    c.port = AddNamed(app, c, "port", "Show the port a printer is attached to");
    c.port->add_flag("--json", c.json, "Print the answer as JSON");
    c.set = AddNamed(app, c, "set", "Set a printer to one copy, raw data and a spooling mode");
    c.set->add_option("--mode", c.mode, "queued: spool whole jobs first; direct: print at once")
        ->required()
        ->check(CLI::IsMember({"queued", "direct"}));
    c.set->footer("The change is written back into the printers file. On CUPS, copies-default\n"
                  "becomes 1; CUPS always spools, so the mode changes nothing there.");

    c.defaultPrinter = app.add_subcommand(
        "default", "Show the default printer and whether it, or any printer, is able to issue");
    c.defaultPrinter->add_flag("--json", c.json, "Print the answers as JSON");
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
    // The verdicts need the supported-model file: without it every printer
    // would read as unregistered. The answers of default name it afterwards.
    if (c.printers->parsed()) RequireModelFile();
    if (c.printers->parsed()) return RunPrinterList(c.json, out);
    if (c.status->parsed()) return RunStatus(c.name, c.json, out, err);
    if (c.jobs->parsed()) return RunJobs(c.name, c.filter, c.json, out, err);
    if (c.port->parsed()) return RunPort(c.name, c.json, out, err);
    if (c.defaultPrinter->parsed()) {
        const int status = RunDefault(c.json, out);
        if (status != 0) {
            if (auto missing = MissingModelFile()) err << "zeseal: " << *missing << "\n";
        }
        return status;
    }
    return RunSet(c.name, c.mode, out, err);
}

}  // namespace zeseal::tool
