#include "data_file_commands.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "catalogue/data_file_format.h"
#include "catalogue/model_record.h"
#include "data_file_listing.h"
#include "data_file_sources.h"
#include "file_io.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

// Larger sources or data files than this are refused unread: a model file
// of this size holds over 800000 entries.
constexpr std::uint64_t kMaxDataFileBytes = 64ull << 20;

std::string ReadText(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path, kMaxDataFileBytes);
    return std::string(bytes.begin(), bytes.end());
}

// Prints the diagnostics; true when there are errors.
bool Report(const std::vector<Diagnostic>& diagnostics, const std::string& input,
            std::ostream& err) {
    for (const Diagnostic& d : diagnostics) err << FormatDiagnostic(input, d) << "\n";
    if (!HasErrors(diagnostics)) return false;
    err << "zeseal: error: " << input << " has errors; nothing was written\n";
    return true;
}

void AddBuild(CLI::App& parent, CLI::App*& command, DataFileCommands& c, const char* what,
              const char* source, const char* output, const std::string& footer) {
    command = parent.add_subcommand("build", std::string("Build ") + what + " from " + source);
    command->add_option("SOURCE", c.input, source)->required()->type_name("FILE");
    command->add_option("-o,--output", c.output,
                        std::string("The file to write (replaced atomically), e.g. ") + output)
        ->required()
        ->type_name("FILE");
    command->footer(footer);
}

void AddList(CLI::App& parent, CLI::App*& command, DataFileCommands& c, const char* what) {
    command = parent.add_subcommand(
        "list", std::string("Print every entry of ") + what + " and name any bad one");
    command->add_option("FILE", c.input, what)->required()->type_name("FILE");
    command->add_flag("--json", c.json, "Print the entries and problems as one JSON object");
}

// The commands themselves. Build commands print every diagnostic and write
// nothing when one is an error.
int RunCatalogueBuild(const std::string& input, const std::string& output, std::ostream& out,
                      std::ostream& err) {
    const CatalogueSource source = ParseCatalogueSource(ReadText(input));
    if (Report(source.diagnostics, input, err)) return 1;

    const std::vector<std::uint8_t> file = authoring::BuildModelFile(source.entries);
    // Every record must read back through the library's own decoding.
    std::size_t records = 0;
    for (std::size_t i = 0; i < source.entries.size(); ++i) {
        if (source.entries[i].tag == catalogue::kFillerTag) continue;
        ++records;
        catalogue::ModelRecord back{};
        const std::uint8_t* bytes = file.data() + catalogue::kCountBytes +
                                    i * catalogue::kModelEntryBytes + catalogue::kTagBytes;
        if (catalogue::DecodeModelRecord(bytes, back) != catalogue::kRecordDecoded) {
            throw ToolError("record " + std::to_string(records) +
                            " does not decode back; nothing was written");
        }
    }
    WriteFileAtomically(output, file);
    out << "wrote " << records << " record" << (records == 1 ? "" : "s");
    if (records != source.entries.size()) {
        out << " and " << source.entries.size() - records << " filler entr"
            << (source.entries.size() - records == 1 ? "y" : "ies");
    }
    out << " (" << file.size() << " bytes) to " << output << "\n";
    return 0;
}

int RunCatalogueList(const std::string& input, bool json, std::ostream& out, std::ostream& err) {
    const std::vector<std::uint8_t> file = ReadWholeFile(input, kMaxDataFileBytes);
    return ListModelFile(file, input, json, out, err) ? 0 : 1;
}

int RunCourtListBuild(const std::string& input, const std::string& output, std::ostream& out,
                      std::ostream& err) {
    const CourtListSource source = ParseCourtListSource(ReadText(input));
    if (Report(source.diagnostics, input, err)) return 1;
    const std::vector<std::uint8_t> file = authoring::BuildCourtList(source.names);
    WriteFileAtomically(output, file);
    out << "wrote " << source.names.size() << " name" << (source.names.size() == 1 ? "" : "s")
        << " (" << file.size() << " bytes) to " << output << "\n";
    return 0;
}

int RunCourtListList(const std::string& input, bool json, std::ostream& out, std::ostream& err) {
    const std::vector<std::uint8_t> file = ReadWholeFile(input, kMaxDataFileBytes);
    return ListCourtList(file, input, json, out, err) ? 0 : 1;
}

}  // namespace

void AddDataFileCommands(CLI::App& app, DataFileCommands& c) {
    CLI::App* catalogue = app.add_subcommand(
        "catalogue", "Build or list the supported-model file (ZePrintInfoCourt.dat)");
    catalogue->require_subcommand(1);
    AddBuild(*catalogue, c.catalogueBuild, c, "the supported-model file",
             "a catalogue source (CSV)", catalogue::kModelFileName,
             "Each row: name,pen_width,reserved1,reserved2,reserved3,dot_shape,dot_pitch,\n"
             "smooth_pattern,support_class[,tag]\n"
             "  - names are stored as written (at most 49 bytes); lookups upper-case the name\n"
             "    they are given and remove its spaces, so a stored name with a space never\n"
             "    matches;\n"
             "  - the settings are whole numbers from -32768 to 32767;\n"
             "  - the tag is 74 when left out; 66 is read alike; 0 makes a filler entry that\n"
             "    takes room but holds no record (its other fields may be left empty);\n"
             "  - blank lines and lines starting with # are skipped; a first row starting\n"
             "    with 'name' is a header; a field may be \"quoted\".\n"
             "Problems are reported with their line numbers.\n\n"
             "Example:\n"
             "  zeseal catalogue build examples/catalogue.csv -o system/ZePrintInfoCourt.dat");
    AddList(*catalogue, c.catalogueList, c, "a supported-model file");

    CLI::App* courtList = app.add_subcommand(
        "courtlist", "Build or list the court printer list (ZeCourtPrtChk.dat)");
    courtList->require_subcommand(1);
    AddBuild(*courtList, c.courtListBuild, c, "the court printer list",
             "a list of printer names, one a line", catalogue::kCourtListFileName,
             "Each line holds one model name (at most 131 bytes; blanks around it are\n"
             "dropped). Blank lines and lines starting with # are skipped. Lookups compare\n"
             "ignoring case, with the spaces removed from the name they are given.\n\n"
             "Example:\n"
             "  zeseal courtlist build examples/court-printers.txt -o system/ZeCourtPrtChk.dat");
    AddList(*courtList, c.courtListList, c, "a court printer list");
}

bool DataFileCommandParsed(const DataFileCommands& c) {
    return c.catalogueBuild->parsed() || c.catalogueList->parsed() ||
           c.courtListBuild->parsed() || c.courtListList->parsed();
}

int RunDataFileCommand(const DataFileCommands& c, std::ostream& out, std::ostream& err) {
    if (c.catalogueBuild->parsed()) return RunCatalogueBuild(c.input, c.output, out, err);
    if (c.catalogueList->parsed()) return RunCatalogueList(c.input, c.json, out, err);
    if (c.courtListBuild->parsed()) return RunCourtListBuild(c.input, c.output, out, err);
    return RunCourtListList(c.input, c.json, out, err);
}

}  // namespace zeseal::tool
