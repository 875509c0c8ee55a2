// The "testpage" and "demo" commands. testpage prints the library's test
// page on a printer of the virtual spooler and names the PNG file the page
// landed in; demo lists the printers, prints a test page on the default
// printer and renders a certificate page with the example marks.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace zeseal::tool {

struct TestPageCommands {
    CLI::App* testpage = nullptr;
    CLI::App* demo = nullptr;
    std::string printersFile;  // empty: ZESEAL_PRINTERS
    std::string spooler;       // "cups", a printers file, or empty: printersFile
    std::string name;
    std::string detector;  // empty: the printer's driver, as the printer-list dialog passes
    std::string caption;   // UTF-8; empty: the dialog's caption
    std::int32_t kind = 1101;
    std::int32_t orientation = 2;
    std::string examples = "examples";  // demo: where the example marks are
    std::string output = "out/page.png";  // demo: the certificate page
};

void AddTestPageCommands(CLI::App& app, TestPageCommands& commands);

// Runs testpage or demo when one was parsed (status set to the exit
// status); returns false otherwise.
bool RunTestPageCommand(const TestPageCommands& commands, std::ostream& out, std::ostream& err,
                        int& status);

}  // namespace zeseal::tool
