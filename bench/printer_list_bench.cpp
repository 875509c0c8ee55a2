// BuildPrinterList over 200 printers of the virtual spooler (with a model
// lookup and a job listing per printer), beside one parse of the printers file.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zeseal/zeseal_posix.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/data_file_writer.h"
#include "catalogue/data_file_format.h"
#include "comparison.h"
#include "platform/posix/spooler/printers_file.h"
#include "printers/printer_list_builder.h"

namespace {

constexpr int kPrinters = 200;
constexpr int kModels = 20;

// A printers file of 200 printers (a mix of able and refused ones, two jobs
// each) and a supported-model file of 20 models. Made once, removed at exit.
class TwoHundredPrinters {
public:
    TwoHundredPrinters()
        : path_(std::filesystem::temp_directory_path() /
                ("zeseal-bench-printers-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path_);
        std::vector<zeseal::authoring::ModelFileEntry> entries;
        for (int i = 0; i < kModels; ++i) {
            entries.push_back({zeseal::catalogue::kRecordTag,
                               zeseal::authoring::MakeModelRecord(
                                   "BENCHMODEL" + std::to_string(i),
                                   {1, 0, 0, 0, 22, 4, 0, std::int16_t(i % 3)})});
        }
        const auto models = zeseal::authoring::BuildModelFile(entries);
        std::ofstream(path_ / zeseal::catalogue::kModelFileName, std::ios::binary)
            .write(reinterpret_cast<const char*>(models.data()), std::streamsize(models.size()));

        const char* ports[] = {"LPT1:", "USB001", "192.168.0.", "LPT1", "LPT1:,LPT2:", "10_0_0_"};
        std::ostringstream text;
        text << "# " << kPrinters << " printers for the benchmark\ndefault = Printer 0\n";
        for (int i = 0; i < kPrinters; ++i) {
            std::string port = ports[i % 6];
            if (port.back() == '.' || port.back() == '_') port += std::to_string(i % 250);
            text << "\n[printer Printer " << i << "]\nport = " << port
                 << "\ndriver = Bench Model " << (i % (kModels + 5))
                 << "\nattributes = PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_LOCAL\n"
                 << "job = " << 2 * i + 1 << ", JOB_STATUS_PRINTING, Certificate " << i << "\n"
                 << "job = " << 2 * i + 2 << ", JOB_STATUS_SPOOLING, Letter " << i << "\n";
        }
        text_ = text.str();
        std::ofstream(path_ / "printers.txt") << text_;
        iZeHostSetSystemDirectory(path_.c_str());
        iZeHostUseVirtualSpooler((path_ / "printers.txt").c_str());
    }
    ~TwoHundredPrinters() {
        iZeHostUseVirtualSpooler(nullptr);
        iZeHostSetSystemDirectory(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& text() const { return text_; }

private:
    std::filesystem::path path_;
    std::string text_;
};

TwoHundredPrinters& Fixture() {
    static TwoHundredPrinters fixture;
    return fixture;
}

void BuildPrinterList200(benchmark::State& state) {
    Fixture();
    std::vector<zeseal::printers::PrinterRecord> records(kPrinters + 1);
    std::int32_t written = 0;
    for (auto _ : state) {
        written = zeseal::printers::BuildPrinterList(records.data(), records.size());
        benchmark::DoNotOptimize(records.data());
    }
    if (written != kPrinters) state.SkipWithError("the list is not complete");
}
BENCHMARK(BuildPrinterList200)->Unit(benchmark::kMillisecond);

// The floor: reading and parsing the printers file once. The build reads
// the file for the enumeration and for each printer's job listing, but parses
// it only when its text has changed.
void ParsePrintersFileOnce(benchmark::State& state) {
    const std::string& text = Fixture().text();
    for (auto _ : state) {
        zeseal::platform::posix::FileProblem problem;
        benchmark::DoNotOptimize(zeseal::platform::posix::ParsePrintersFile(text, problem));
    }
}
BENCHMARK(ParsePrintersFileOnce)->Unit(benchmark::kMillisecond);

ZESEAL_COMPARE(BuildPrinterList200, ParsePrintersFileOnce, zeseal::bench::Target::MaxMilliseconds(10));

}  // namespace
