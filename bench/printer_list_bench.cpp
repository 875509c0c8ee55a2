// BuildPrinterList over 200 and over 10,000 printers of the virtual spooler
// (with a model lookup and a job listing per printer), each beside one parse
// of its printers file.
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
constexpr int kManyPrinters = 10000;
constexpr int kModels = 20;

// Printers files of 200 and 10,000 printers (a mix of able and refused ones,
// two jobs each) and a supported-model file of 20 models. Made once, removed
// at exit; Use() chooses one of the files.
class BenchPrinters {
public:
    BenchPrinters()
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

        for (const int count : {kPrinters, kManyPrinters}) {
            std::string& text = texts_[count == kPrinters ? 0 : 1];
            text = PrintersText(count);
            std::ofstream(FileFor(count)) << text;
        }
    }
    // The choices are undone by the benchmark itself (Release): at exit the
    // library's own state may already be gone, and choosing then wrote into
    // freed memory.
    ~BenchPrinters() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Text(int count) const { return texts_[count == kPrinters ? 0 : 1]; }
    void Use(int count) const {
        iZeHostSetSystemDirectory(path_.c_str());
        iZeHostUseVirtualSpooler(FileFor(count).c_str());
    }
    void Release() const {
        iZeHostUseVirtualSpooler(nullptr);
        iZeHostSetSystemDirectory(nullptr);
    }

private:
    static std::string PrintersText(int count) {
        const char* ports[] = {"LPT1:", "USB001", "192.168.0.", "LPT1", "LPT1:,LPT2:", "10_0_0_"};
        std::ostringstream text;
        text << "# " << count << " printers for the benchmark\ndefault = Printer 0\n";
        for (int i = 0; i < count; ++i) {
            std::string port = ports[i % 6];
            if (port.back() == '.' || port.back() == '_') port += std::to_string(i % 250);
            text << "\n[printer Printer " << i << "]\nport = " << port
                 << "\ndriver = Bench Model " << (i % (kModels + 5))
                 << "\nattributes = PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_LOCAL\n"
                 << "job = " << 2 * i + 1 << ", JOB_STATUS_PRINTING, Certificate " << i << "\n"
                 << "job = " << 2 * i + 2 << ", JOB_STATUS_SPOOLING, Letter " << i << "\n";
        }
        return text.str();
    }
    std::filesystem::path FileFor(int count) const {
        return path_ / ("printers-" + std::to_string(count) + ".txt");
    }

    std::filesystem::path path_;
    std::string texts_[2];
};

const BenchPrinters& Fixture() {
    static BenchPrinters fixture;
    return fixture;
}

void BuildList(benchmark::State& state, int count) {
    Fixture().Use(count);
    std::vector<zeseal::printers::PrinterRecord> records(std::size_t(count) + 1);
    std::int32_t written = 0;
    for (auto _ : state) {
        written = zeseal::printers::BuildPrinterList(records.data(), records.size());
        benchmark::DoNotOptimize(records.data());
    }
    Fixture().Release();
    if (written != count) state.SkipWithError("the list is not complete");
}

// The floor: parsing the printers file once. The build reads and parses the
// file once for the enumeration; each printer's job listing finds the parse
// still current from the file's identity.
void ParseOnce(benchmark::State& state, int count) {
    const std::string& text = Fixture().Text(count);
    for (auto _ : state) {
        zeseal::platform::posix::FileProblem problem;
        benchmark::DoNotOptimize(zeseal::platform::posix::ParsePrintersFile(text, problem));
    }
}

void BuildPrinterList200(benchmark::State& state) { BuildList(state, kPrinters); }
void ParsePrintersFileOnce(benchmark::State& state) { ParseOnce(state, kPrinters); }
void BuildPrinterList10000(benchmark::State& state) { BuildList(state, kManyPrinters); }
void ParsePrintersFileOnce10000(benchmark::State& state) { ParseOnce(state, kManyPrinters); }

BENCHMARK(BuildPrinterList200)->Unit(benchmark::kMillisecond);
BENCHMARK(ParsePrintersFileOnce)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildPrinterList10000)->Unit(benchmark::kMillisecond);
BENCHMARK(ParsePrintersFileOnce10000)->Unit(benchmark::kMillisecond);

ZESEAL_COMPARE(BuildPrinterList200, ParsePrintersFileOnce, zeseal::bench::Target::MaxMilliseconds(10));
ZESEAL_COMPARE(BuildPrinterList10000, ParsePrintersFileOnce10000,
               zeseal::bench::Target::MaxMilliseconds(300));

}  // namespace
