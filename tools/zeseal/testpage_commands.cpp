#include "testpage_commands.h"

#include <zeseal/zeseal.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>

#include "base/name_cut.h"
#include "choose_command.h"
#include "draw_command.h"
#include "file_io.h"
#include "platform/posix/spooler/spooler_choice.h"
#include "platform/posix/spooler/spooler_flag_names.h"
#include "platform/posix/spooler/virtual_spooler.h"
#include "platform/posix/text/cp949_text.h"
#include "seams/spooler.h"
#include "printer_commands.h"
#include "printers/default_printer.h"
#include "result_meanings.h"
#include "system_files.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

using platform::posix::Utf8ToCp949;

// The caption the printer-list dialog passes.
constexpr const char* kDialogCaption = "Ostrevane 등기사항증명서 발급 출력 테스트";

namespace fs = std::filesystem;

std::set<fs::path> PngFilesIn(const fs::path& folder) {
    std::set<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".png") files.insert(entry.path());
    }
    return files;
}

fs::path OutputFolder() {
    const auto file = platform::posix::LoadChosenPrintersFile();
    if (!file) throw ToolError("the printers file cannot be used");
    return platform::posix::OutputFolderOf(platform::posix::VirtualSpoolerFile(), *file);
}

std::string DriverOf(const std::string& name) {
    std::uint32_t error = 0;
    auto printer = platform::ActiveSpooler().Open(name, platform::PrinterAccess::kUse, error);
    platform::PrinterInfo info;
    if (!printer || !printer->ReadInfo(info)) return {};
    return info.driver;
}

// The settings the test page may change on a local printer.
struct PrinterSettings {
    bool read = false;
    std::uint32_t attributes = 0;
    std::string dataType;
    int copies = 0;
};

PrinterSettings ReadSettings(const std::string& name) {
    PrinterSettings settings;
    std::uint32_t error = 0;
    const auto printer = platform::ActiveSpooler().Open(name, platform::PrinterAccess::kUse, error);
    platform::PrinterInfo info;
    if (!printer || !printer->ReadInfo(info)) return settings;
    settings.read = true;
    settings.attributes = info.attributes;
    settings.dataType = info.dataType.value_or("(none)");
    platform::DeviceMode mode;
    if (info.deviceMode) {
        settings.copies = info.deviceMode->copies;
    } else if (printer->CurrentDeviceMode(mode)) {
        settings.copies = mode.copies;
    }
    return settings;
}

// Names each setting the test page changed, or says that none changed.
void ReportChangedSettings(const PrinterSettings& before, const PrinterSettings& after, std::ostream& out) {
    if (!before.read || !after.read) return;
    const auto names = platform::posix::PrinterAttributeNames();
    bool changed = false;
    if (before.attributes != after.attributes) {
        out << "changed attributes: " << platform::posix::FormatFlags(before.attributes, names) << " -> "
            << platform::posix::FormatFlags(after.attributes, names) << "\n";
        changed = true;
    }
    if (before.dataType != after.dataType) {
        out << "changed data type: " << before.dataType << " -> " << after.dataType << "\n";
        changed = true;
    }
    if (before.copies != after.copies) {
        out << "changed copies: " << before.copies << " -> " << after.copies << "\n";
        changed = true;
    }
    if (!changed) out << "the printer's settings were left as they were\n";
}

// The ids of the printer's jobs in its queue now.
std::set<std::uint32_t> JobIds(const std::string& name) {
    std::set<std::uint32_t> ids;
    std::uint32_t error = 0;
    const auto printer = platform::ActiveSpooler().Open(name, platform::PrinterAccess::kUse, error);
    std::vector<platform::JobInfo> jobs;
    if (printer && printer->ListJobs(0, platform::kAllJobs, jobs)) {
        for (const platform::JobInfo& job : jobs) ids.insert(job.id);
    }
    return ids;
}

// Prints the test page and names what it became: the new page files of the
// virtual spooler, or the job a CUPS queue took.
int PrintTestPage(const TestPageCommands& c, const std::string& name, std::ostream& out, std::ostream& err) {
    const std::string detector = c.detector.empty() ? DriverOf(name) : c.detector;
    const auto caption = Utf8ToCp949(c.caption.empty() ? kDialogCaption : c.caption);
    if (!caption) throw ToolError("--caption must be UTF-8 text that code page 949 can hold");
    const bool cups = platform::posix::ChosenSpoolerBackend() == platform::posix::SpoolerBackend::kCups;
    const fs::path folder = cups ? fs::path() : OutputFolder();
    const std::set<fs::path> before = cups ? std::set<fs::path>() : PngFilesIn(folder);
    const std::set<std::uint32_t> jobsBefore = cups ? JobIds(name) : std::set<std::uint32_t>();
    const PrinterSettings settingsBefore = ReadSettings(name);
    const std::int32_t result =
        iZeTestPrinting(name.c_str(), detector.c_str(), caption->c_str(), c.kind, c.orientation);
    out << "test page on '" << name << "': " << DescribeResult(result) << "\n";
    if (result == ZE_TEST_PRINT_REFUSED) {
        err << "zeseal: " << SettingsFailureReason(name) << "\n";
    } else if (result != ZE_OK) {
        ExplainOpenFailure(name, platform::PrinterAccess::kUse, err);
    }
    if (result != ZE_OK) return 1;
    ReportChangedSettings(settingsBefore, ReadSettings(name), out);
    if (cups) {
        // A finished job may have left the queue already; a new one is named.
        std::vector<std::uint32_t> added;
        for (const std::uint32_t id : JobIds(name)) {
            if (jobsBefore.count(id) == 0) added.push_back(id);
        }
        if (added.empty()) {
            out << "the page went to the CUPS queue '" << name << "' (its job has left the queue)\n";
        }
        for (const std::uint32_t id : added) out << "the page is job " << id << " of the CUPS queue '" << name << "'\n";
        return 0;
    }
    std::vector<fs::path> printed;
    for (const fs::path& file : PngFilesIn(folder)) {
        if (before.count(file) == 0) printed.push_back(file);
    }
    if (printed.empty()) {
        out << "no page was printed: the printer cannot be opened, or its spooler refused the "
               "document or the page\n";
        ExplainOpenFailure(name, platform::PrinterAccess::kUse, err);
        return 1;
    }
    for (const fs::path& file : printed) out << file.lexically_normal().string() << "\n";
    return 0;
}

int RunDemo(const TestPageCommands& c, std::ostream& out, std::ostream& err) {
    // Everything the demo needs is checked before anything is printed.
    const fs::path examples(c.examples);
    for (const char* mark : {"watermark.b64", "watercode.b64"}) {
        std::error_code error;
        if (!fs::is_regular_file(examples / mark, error)) {
            throw ToolError("the example mark " + (examples / mark).string() +
                            " is missing (--examples names the folder of the example marks)");
        }
    }
    CheckOutputPath(c.output);
    RequireModelFile();
    RequireSystemFile("court_ink", "the court logo file");
    char defaultName[base::kNameBufferSize] = {};
    if (printers::ReadDefaultPrinterName(defaultName, sizeof defaultName) != 1 ||
        std::string(defaultName) == ",,,") {
        throw ToolError("the printers file names no default printer");
    }

    out << "== The printers ==\n";
    RunPrinterList(false, out);

    out << "\n== Choosing a printer, unattended (the default row, then print) ==\n";
    int chosenStatus = 0;
    ChooseWithScript(std::string("enter"), std::nullopt, 1, out, err, chosenStatus);

    out << "\n== A test page on the default printer ==\n";
    char name[base::kNameBufferSize] = {};
    if (printers::ReadDefaultPrinterName(name, sizeof name) != 1 || std::string(name) == ",,,") {
        throw ToolError("the printers file names no default printer");
    }
    const int printed = PrintTestPage(c, name, out, err);

    out << "\n== The certificate page ==\n";
    DrawOptions draw;
    draw.watermark = (examples / "watermark.b64").string();
    draw.watermarkAt = {100, 100};
    draw.waterCode = (examples / "watercode.b64").string();
    draw.waterCodeAt = {250, 2100};
    draw.layout = 3;
    draw.seal.cdpModel = "TalvoLaser5100";
    draw.seal.cdpAt = "3900,200";
    draw.seal.kind = ZE_KIND_LOCAL;
    draw.seal.logoModel = 1201;
    draw.seal.logoAt = "440,560";
    draw.denseCode.clear();
    draw.output = c.output;
    const int drawn = RunDraw(draw, out, err);
    return printed == 0 && drawn == 0 ? 0 : 1;
}

void AddPrintersOption(CLI::App& command, TestPageCommands& c) {
    command.add_option("--spooler", c.spooler,
                       "cups: the CUPS queues; FILE: the virtual spooler's printers file")
        ->type_name("cups|FILE");
    command.add_option("--printers", c.printersFile, "The virtual spooler's file (default: ZESEAL_PRINTERS)")
        ->type_name("FILE");
}

}  // namespace

void AddTestPageCommands(CLI::App& app, TestPageCommands& c) {
    c.testpage = app.add_subcommand(
        "testpage", "Print the library's test page on a printer and name the page's PNG file");
    c.testpage->add_option("NAME", c.name, "The printer's name")->required();
    AddPrintersOption(*c.testpage, c);
    c.testpage->add_option("--detector", c.detector,
                           "The model whose copy-detection pattern is printed (default: the "
                           "printer's driver)")
        ->type_name("MODEL");
    c.testpage->add_option("--caption", c.caption, "The line in the middle of the page (UTF-8)")
        ->type_name("TEXT");
    c.testpage->add_option("--kind", c.kind,
                           "1101 a local printer (first set to direct printing); any other "
                           "value a network printer")
        ->capture_default_str();
    c.testpage->add_option("--orientation", c.orientation,
                           "1 portrait, 2 or more landscape (the dense code needs landscape); "
                           "0 leaves the page's orientation unset and, with --kind 1101, sets the "
                           "printer to queued instead of direct printing")
        ->capture_default_str();
    c.testpage->footer(
        "With --kind 1101 the printer is first set to one copy, raw data and direct printing\n"
        "(queued with --orientation 0); each setting changed is named. On the virtual spooler\n"
        "the page lands in the printers file's output folder as job-<id>-page-1.png; on CUPS\n"
        "(--spooler cups, no printers file needed) the queue's job is named.\n\n"
        "Example (on a copy: the printers file is changed, and pages land beside it):\n"
        "  mkdir -p /tmp/zeseal && cp examples/printers.txt /tmp/zeseal/\n"
        "  zeseal testpage 'Talvo Laser (Office)' --printers /tmp/zeseal/printers.txt");

    c.demo = app.add_subcommand(
        "demo", "List the printers, print a test page on the default printer and render a "
                "certificate page");
    AddPrintersOption(*c.demo, c);
    c.demo->add_option("--examples", c.examples, "The folder of the example marks")
        ->capture_default_str();
    c.demo->add_option("-o,--output", c.output, "The certificate page (PNG)")->capture_default_str();
    c.demo->footer("The pattern and the logo come from the system directory (ZESEAL_SYSTEM_DIR).");
}

bool RunTestPageCommand(const TestPageCommands& c, std::ostream& out, std::ostream& err,
                        int& status) {
    if (c.testpage != nullptr && c.testpage->parsed()) {
        ChooseSpooler(c.spooler, c.printersFile, err);
        status = PrintTestPage(c, c.name, out, err);
        return true;
    }
    if (c.demo != nullptr && c.demo->parsed()) {
        ChooseSpooler(c.spooler, c.printersFile, err);
        status = RunDemo(c, out, err);
        return true;
    }
    return false;
}

}  // namespace zeseal::tool
