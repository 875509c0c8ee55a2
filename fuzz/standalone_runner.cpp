// Replays fuzz inputs without libFuzzer, for builds made with any compiler.
//
// Every file named on the command line, and every file below each directory
// named there (recursively, in name order), goes once through
// LLVMFuzzerTestOneInput. Arguments of libFuzzer's "-name=value" form are
// ignored, so one test command serves both kinds of build. Hidden files, such
// as the .keep that holds an empty directory in git, are skipped.
//
// Each input is copied into a heap block of exactly its size, as libFuzzer
// does, so a read past the end of the input is caught by AddressSanitizer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

bool IsHidden(const fs::path& path) {
    const std::string name = path.filename().string();
    return !name.empty() && name.front() == '.';
}

// Adds the inputs named by one argument. Returns false when it names nothing.
bool Collect(const fs::path& argument, std::vector<fs::path>& inputs) {
    std::error_code error;
    if (fs::is_directory(argument, error)) {
        std::vector<fs::path> found;
        for (auto it = fs::recursive_directory_iterator(argument, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (IsHidden(it->path())) {
                if (it->is_directory(error)) it.disable_recursion_pending();
                continue;
            }
            if (it->is_regular_file(error)) found.push_back(it->path());
        }
        if (error) {
            std::fprintf(stderr, "cannot list %s: %s\n", argument.string().c_str(),
                         error.message().c_str());
            return false;
        }
        std::sort(found.begin(), found.end());
        inputs.insert(inputs.end(), found.begin(), found.end());
        return true;
    }
    if (fs::is_regular_file(argument, error)) {
        inputs.push_back(argument);
        return true;
    }
    std::fprintf(stderr, "no such input: %s\n", argument.string().c_str());
    return false;
}

bool ReadWhole(const fs::path& path, std::vector<char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);

    std::vector<fs::path> inputs;
    bool named = false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') continue;
        named = true;
        if (!Collect(argv[i], inputs)) return 2;
    }
    if (!named) {
        std::fprintf(stderr, "usage: %s FILE_OR_DIRECTORY...\n", argv[0]);
        return 2;
    }

    std::vector<char> bytes;
    for (const fs::path& path : inputs) {
        if (!ReadWhole(path, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
            return 2;
        }
        // Named before it runs, so a crash shows which input caused it.
        std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.string().c_str(), bytes.size());
        std::fflush(stderr);
        std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), exact.get());
        LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    }
    std::fprintf(stderr, "replayed %zu inputs\n", inputs.size());
    return 0;
}
