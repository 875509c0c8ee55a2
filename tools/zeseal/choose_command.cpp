#include "choose_command.h"

#include <zeseal/zeseal.h>
#include <zeseal/zeseal_posix.h>

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cstdio>
#include <ostream>

#include "base/name_cut.h"
#include "dialogs/dialog_script.h"
#include "platform/posix/dialogs/scripted_presenter.h"
#include "printer_commands.h"
#include "result_meanings.h"
#include "system_files.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

std::string Described(std::int32_t result) {
    if (result == -1) return "-1 no dialog for this mode";
    return DescribeResult(result);
}

}  // namespace

void AddChooseCommand(CLI::App& app, ChooseCommand& c) {
    c.command = app.add_subcommand(
        "choose",
        "Choose a printer in the list dialog at the terminal (or with --script), then show the "
        "outputs and the result");
    c.command->add_option("--mode", c.mode,
                          "Show dialog 103 (1), 102 (2) or 116 (3) through iGetZePrinterListChk; "
                          "without it, the choosing dialog of iGetZePrinterList");
    c.command->add_option("--option", c.option,
                          "iGetZePrinterList's option: 0 hides the test-print and cancel buttons")
        ->capture_default_str();
    c.command->add_option("--script", c.script,
                          "Answer the dialogs with a script instead of the terminal, e.g. "
                          "\"click 2; press 1035\" (commands: click N, select N, up, down, "
                          "press ID, escape, close, enter)");
    c.command->add_option("--spooler", c.spooler,
                          "cups: the CUPS queues; FILE: the virtual spooler's printers file")
        ->type_name("cups|FILE");
    c.command->add_option("--printers", c.printersFile,
                          "The virtual spooler's file (default: ZESEAL_PRINTERS)")
        ->type_name("FILE");
}

std::string ChooseWithScript(const std::optional<std::string>& script,
                             std::optional<std::int32_t> mode, std::int32_t option,
                             std::ostream& out, std::ostream& err, int& status) {
    if (script) {
        const dialogs::ScriptParse parse = dialogs::ParseDialogScript(*script);
        if (!parse.error.empty() || iZeHostSetDialogScript(script->c_str()) != 0) {
            throw ToolError("the dialog script does not parse: " + parse.error);
        }
    }
    char name[base::kNameBufferSize] = "";
    char driver[base::kNameBufferSize] = "";
    std::int32_t kind = 0;
    std::int32_t model = 0;
    out.flush();
    std::fflush(stdout);
    const std::int32_t result =
        mode ? iGetZePrinterListChk(nullptr, name, driver, &kind, &model, *mode)
             : iGetZePrinterList(nullptr, name, driver, &kind, &model, option);
    if (script) {
        // A mistake the script made while it ran (a row the dialog lacks).
        if (const platform::posix::ScriptedPresenter* running = platform::posix::ActiveScript()) {
            for (const std::string& line : running->Transcript()) {
                if (line.rfind("error: ", 0) == 0) err << "zeseal: dialog script " << line << "\n";
            }
        }
        iZeHostSetDialogScript(nullptr);
    }

    if (name[0] != '\0') {
        out << "name:   " << name << "\n"
            << "driver: " << driver << "\n"
            << "kind:   " << kind << "\n"
            << "model:  " << model << "\n";
    }
    out << (mode ? "iGetZePrinterListChk" : "iGetZePrinterList") << ": " << Described(result)
        << "\n";
    // Success is a confirmed choice: 0 for the showing dialogs, or a court
    // list answer after the choosing dialog.
    const bool confirmed = mode ? result == 0
                                : (result == ZE_COURT_LIST_REGISTERED ||
                                   result == ZE_COURT_LIST_UNKNOWN ||
                                   result == ZE_COURT_LIST_UNREADABLE);
    status = confirmed ? 0 : 1;
    return confirmed ? std::string(name) : std::string();
}

bool RunChooseCommand(const ChooseCommand& c, std::ostream& out, std::ostream& err, int& status) {
    if (c.command == nullptr || !c.command->parsed()) return false;
    ChooseSpooler(c.spooler, c.printersFile, err);
    RequireModelFile();
    if (!c.script && (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))) {
        err << "zeseal: note: no terminal and no --script: the dialog cannot be shown\n";
    }
    ChooseWithScript(c.script, c.mode, c.option, out, err, status);
    return true;
}

}  // namespace zeseal::tool
