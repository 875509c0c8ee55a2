#include "cli.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <charconv>
#include <iostream>
#include <map>
#include <new>
#include <ostream>
#include <regex>

#include "choose_command.h"
#include "container_commands.h"
#include "data_file_commands.h"
#include "densecode_commands.h"
#include "draw_command.h"
#include "file_io.h"
#include "json_text.h"
#include "paper.h"
#include "printer_commands.h"
#include "testpage_commands.h"
#include "result_meanings.h"
#include "seal_commands.h"
#include "tool_error.h"

#ifndef ZESEAL_TOOL_VERSION
#define ZESEAL_TOOL_VERSION "unknown"
#endif

namespace zeseal::tool {
namespace {

constexpr int kUsageError = 2;

const std::map<std::string, MarkKind> kKinds = {
    {"watermark", MarkKind::kWatermark},
    {"watercode", MarkKind::kWaterCode},
};

// Accepts the kind names, in any case; its own description stays out of the help.
CLI::Validator KindChoice() {
    return CLI::Validator(
        [](std::string& value) -> std::string {
            std::string lower = value;
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (const auto found = kKinds.find(lower); found != kKinds.end()) {
                value = std::to_string(static_cast<int>(found->second));
                return {};
            }
            return "'" + value + "' is not a mark kind: give watermark or watercode";
        },
        "");
}

// A command-line error as the tool words it: CLI11's own check texts
// ("Check fish value in {...} FAILED") never reach the user.
std::string UsageMessage(const CLI::App*, const CLI::Error& e) {
    std::string message = e.what();
    static const std::regex check(R"(Check (.*) value in .* FAILED)");
    std::smatch match;
    if (std::regex_search(message, match, check)) {
        message = match.prefix().str() + "'" + match[1].str() + "' is not an accepted value";
    }
    if (message == "A subcommand is required") message = "a command is required";
    return "zeseal: error: " + message + "\nRun 'zeseal --help', or 'zeseal COMMAND --help', for the options.\n";
}

// "zeseal codes": the whole table, or the meaning of the codes given.
int RunCodes(const std::vector<std::string>& codes, bool json, std::ostream& out) {
    std::vector<std::int32_t> chosen;
    if (codes.empty()) {
        for (const ResultMeaning& entry : AllResultMeanings()) chosen.push_back(entry.code);
    }
    for (const std::string& text : codes) {
        std::int32_t code = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
        if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
            throw ToolError("'" + text + "' is not a result code");
        }
        chosen.push_back(code);
    }
    if (json) {
        out << "[";
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            const std::string_view detail = DetailOf(chosen[i]);
            out << (i == 0 ? "\n" : ",\n") << "  {\"code\": " << chosen[i]
                << ", \"meaning\": " << JsonString(std::string(MeaningOf(chosen[i])))
                << ", \"detail\": " << (detail.empty() ? std::string("null") : JsonString(std::string(detail)))
                << "}";
        }
        out << (chosen.empty() ? "]\n" : "\n]\n");
        return 0;
    }
    for (const std::int32_t code : chosen) {
        out << DescribeResult(code) << "\n";
        if (const std::string_view detail = DetailOf(code); !detail.empty()) {
            out << "    " << detail << "\n";
        }
    }
    return 0;
}

bool KnownCommand(const CLI::App& app, const std::string& word) {
    for (const CLI::App* sub : app.get_subcommands({})) {
        if (sub->check_name(word)) return true;
    }
    return false;
}

struct Commands {
    CLI::App* containerPack = nullptr;
    CLI::App* containerUnpack = nullptr;
    CLI::App* draw = nullptr;
    CLI::App* codes = nullptr;
    CLI::Option* packAs = nullptr;
    PackOptions pack;
    UnpackOptions unpack;
    DrawOptions drawOptions;
    std::string watermarkAt = "0,0";
    std::string waterCodeAt = "0,0";
    std::string denseCodeAt = "250,2100";
    DenseCodeCommands denseCode;
    std::vector<std::string> codeList;
    bool codesJson = false;
    DataFileCommands dataFiles;
    CdpCommand cdp;
    PrinterCommands printers;
    ChooseCommand choose;
    TestPageCommands testPage;
};

void AddContainerCommands(CLI::App& app, Commands& c) {
    CLI::App* container = app.add_subcommand(
        "container", "Pack pictures into container text, or unpack and check container text");
    container->require_subcommand(1);

    c.containerPack = container->add_subcommand(
        "pack", "Pack a picture (PNG, PGM or PPM) or a raw file into Base64 container text");
    CLI::App* pack = c.containerPack;
    pack->add_option("INPUT", c.pack.input, "Picture or, with --raw, any file")
        ->required()
        ->type_name("FILE");
    pack->add_option("-o,--output", c.pack.output, "Text file to write (replaced atomically)")
        ->required()
        ->type_name("FILE");
    CLI::Option* raw = pack->add_flag(
        "--raw", c.pack.raw, "Pack the file's bytes as they are (e.g. water-code pixels)");
    pack->add_option("--bits", c.pack.bits,
                     "Force the picture's depth: 8 (grey) or 24 (colour); default follows the "
                     "picture")
        ->check(CLI::IsMember({8, 24}))
        ->excludes(raw);
    pack->add_option("--chunk", c.pack.chunk,
                     "Most picture bytes per compressed chunk (chunks never exceed 30000 "
                     "compressed bytes)")
        ->check(CLI::Range(std::size_t{1}, authoring::kMaxChunkShare))
        ->capture_default_str();
    c.packAs = pack->add_option("--as", c.pack.kind,
                                "What the picture is for: watermark (a picture with a header) or "
                                "watercode (grey rows, bottom row first)")
                   ->transform(KindChoice())
                   ->option_text("watermark|watercode (default watermark; with --raw watercode)");
    pack->footer(
        "A watermark picture is stored as its width, height and depth followed by its rows.\n"
        "The text is checked by decoding it through the library before it is written.\n\n"
        "Examples:\n"
        "  zeseal container pack emblem.png -o emblem.b64\n"
        "  zeseal container pack code.raw --raw -o code.b64");

    c.containerUnpack = container->add_subcommand(
        "unpack", "Decode container text through the library and report what it holds");
    CLI::App* unpack = c.containerUnpack;
    unpack->add_option("TEXTFILE", c.unpack.input, "Base64 container text")
        ->required()
        ->type_name("FILE");
    unpack->add_option("-o,--output", c.unpack.output,
                       "Write the decoded picture bytes here (replaced atomically)")
        ->type_name("FILE");
    unpack->add_option("--as", c.unpack.kind,
                       "Decode with iZeWaterMarkData (watermark) or iZeWaterCodeData "
                       "(watercode)")
        ->transform(KindChoice())
        ->option_text("watermark|watercode (default watermark)");
    unpack->add_flag("--png", c.unpack.png,
                     "Write a PNG picture instead of the raw bytes (a water code is shown at "
                     "its layout's row count)");
    unpack->add_option("--layout", c.unpack.layout,
                       "Water-code layout for --png: 1 has 248 rows, any other 128")
        ->capture_default_str();
    unpack->footer(
        "Blanks and line breaks in the text are ignored. The exit status is 0 only when the\n"
        "library's result code is 0.\n\n"
        "Example:\n"
        "  zeseal container unpack code.b64 --as watercode --png -o code.png");
}

void AddDrawCommand(CLI::App& app, Commands& c) {
    c.draw = app.add_subcommand("draw", "Draw marks on a new page and save it as a PNG");
    CLI::App* draw = c.draw;
    DrawOptions& d = c.drawOptions;
    draw->add_option("-o,--output", d.output, "PNG file to write")->required()->type_name("FILE");
    draw->add_option("--paper", d.paper, "Paper: " + PaperNames() + ", or WxH in pixels")
        ->type_name("PAPER")
        ->capture_default_str();
    draw->add_option("--dpi", d.dpi, "Page resolution in dots per inch")
        ->check(CLI::Range(1, kMaxPageDpi))
        ->capture_default_str();
    CLI::Option* watermark =
        draw->add_option("--watermark", d.watermark, "Watermark container text file")
            ->type_name("FILE");
    draw->add_option("--wm-at", c.watermarkAt,
                     "Watermark position X,Y in 1/300 inch (x counts from the page's left "
                     "edge plus 30; x = 0 is the edge itself)")
        ->needs(watermark)
        ->type_name("X,Y")
        ->capture_default_str();
    CLI::Option* waterCode =
        draw->add_option("--watercode", d.waterCode, "Water-code container text file")
            ->type_name("FILE");
    draw->add_option("--wc-at", c.waterCodeAt, "Water-code position X,Y in 1/300 inch")
        ->needs(waterCode)
        ->type_name("X,Y")
        ->capture_default_str();
    draw->add_option("--wc-bytes", d.waterCodeBytes,
                     "Water-code pixel bytes to use (columns x rows); 0 takes the layout's "
                     "full width")
        ->check(CLI::NonNegativeNumber)
        ->needs(waterCode)
        ->capture_default_str();
    draw->add_option("--layout", d.layout,
                     "Water-code layout: 1 has 248 rows (1928 columns by default), any other "
                     "128 rows (2528 columns by default)")
        ->needs(waterCode)
        ->capture_default_str();
    AddSealDrawOptions(*draw, d.seal);
    CLI::Option* denseCode = draw->add_option(
        "--densecode", d.denseCode,
        "Any file: its first 6600 bytes are encoded into the library's dense code and drawn "
        "as a 2528x128 water code")
        ->type_name("FILE");
    draw->add_option("--dc-at,--at", c.denseCodeAt,
                     "Dense-code position X,Y in 1/300 inch (default: where the test page puts it)")
        ->needs(denseCode)
        ->type_name("X,Y")
        ->capture_default_str();
    draw->footer(
        "The watermark is copied onto the page first; the water code, the dense code, the\n"
        "copy-detection pattern and the court logo are then ANDed over it, so only their dark\n"
        "pixels print.\n"
        "The pattern and the installed logos come from the system directory (ZESEAL_SYSTEM_DIR).\n"
        "Each export's result code is reported; when one fails, no file is written. Missing\n"
        "directories above the output are created.\n\n"
        "Example:\n"
        "  zeseal draw --watermark examples/watermark.b64 --wm-at 100,100 \\\n"
        "              --watercode examples/watercode.b64 --wc-at 250,2100 --layout 3 \\\n"
        "              -o out/page.png");
}

int Dispatch(Commands& c, std::ostream& out, std::ostream& err) {
    if (c.containerPack->parsed()) {
        // Raw bytes are a water code's pixels unless --as says otherwise.
        if (c.pack.raw && c.packAs->count() == 0) c.pack.kind = MarkKind::kWaterCode;
        return RunPack(c.pack, out, err);
    }
    if (c.containerUnpack->parsed()) return RunUnpack(c.unpack, out, err);
    if (c.draw->parsed()) {
        c.drawOptions.watermarkAt = ParsePosition(c.watermarkAt);
        c.drawOptions.waterCodeAt = ParsePosition(c.waterCodeAt);
        c.drawOptions.denseCodeAt = ParsePosition(c.denseCodeAt);
        return RunDraw(c.drawOptions, out, err);
    }
    if (c.codes->parsed()) return RunCodes(c.codeList, c.codesJson, out);
    if (DataFileCommandParsed(c.dataFiles)) return RunDataFileCommand(c.dataFiles, out, err);
    if (c.cdp.command->parsed()) return RunCdp(c.cdp, out, err);
    if (PrinterCommandParsed(c.printers)) return RunPrinterCommand(c.printers, out, err);
    if (int status = 0; RunChooseCommand(c.choose, out, err, status)) return status;
    if (int status = 0; RunDenseCodeCommand(c.denseCode, out, err, status)) return status;
    if (int status = 0; RunTestPageCommand(c.testPage, out, err, status)) return status;
    return kUsageError;
}

}  // namespace

namespace {

// True when an output is the standard output ("-o -"): the command's report
// then goes to the standard error stream, away from the data.
bool OutputIsStandardOutput(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-o-" || arg == "--output=-") return true;
        if ((arg == "-o" || arg == "--output") && i + 1 < argc &&
            std::string_view(argv[i + 1]) == kStandardStream) {
            return true;
        }
    }
    return false;
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    return RunCli(argc, argv, std::cin, out, err);
}

int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err) {
    CLI::App app("Calls the zeseal certificate printing library as a host does and shows what it "
                 "answers: packs and checks mark container text, draws the marks on a page saved "
                 "as PNG, builds and lists the data files, encodes and reads the dense code, lists "
                 "and classifies the printers, answers printer queries, changes printer settings, "
                 "prints the test page and shows the printer-list dialogs.",
                 "zeseal");
    app.set_version_flag("-V,--version", "zeseal " ZESEAL_TOOL_VERSION);
    app.set_help_all_flag("--help-all", "Show help for every command");
    app.require_subcommand(1);
    app.failure_message(UsageMessage);
    app.footer("Run 'zeseal COMMAND --help' for a command's options.");

    Commands commands;
    AddContainerCommands(app, commands);
    AddDrawCommand(app, commands);
    AddDataFileCommands(app, commands.dataFiles);
    AddCdpCommand(app, commands.cdp);
    AddPrinterCommands(app, commands.printers);
    AddChooseCommand(app, commands.choose);
    AddDenseCodeCommands(app, commands.denseCode);
    AddTestPageCommands(app, commands.testPage);
    commands.codes = app.add_subcommand("codes", "List the library's result codes and meanings");
    commands.codes->add_option("CODE", commands.codeList, "Codes to explain (default: all)");
    commands.codes->add_flag("--json", commands.codesJson, "Print the codes as JSON");

    // CLI11 would only say that a command is required; name the word instead.
    if (argc > 1 && argv[1][0] != '-' && !KnownCommand(app, argv[1])) {
        std::string known;
        for (const CLI::App* sub : app.get_subcommands({})) {
            known += (known.empty() ? "" : ", ") + sub->get_name();
        }
        err << "zeseal: error: unknown command '" << argv[1] << "' (commands: " << known << ")\n";
        return kUsageError;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e, out, err);
        return status == 0 ? 0 : kUsageError;
    }

    UseStandardStreams(&in, &out);
    try {
        return Dispatch(commands, OutputIsStandardOutput(argc, argv) ? err : out, err);
    } catch (const ToolError& e) {
        err << "zeseal: error: " << e.what() << "\n";
    } catch (const std::bad_alloc&) {
        err << "zeseal: error: out of memory\n";
    } catch (const std::exception& e) {
        err << "zeseal: error: " << e.what() << "\n";
    }
    return 1;
}

}  // namespace zeseal::tool
