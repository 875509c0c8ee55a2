// "zeseal densecode encode", "decode" and "verify": the library's own dense
// code, between a file's bytes and the 2528 x 128 picture, and back from the
// picture, from a page it was drawn on or from a scan of a printed page.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zeseal::tool {

// The encoder's picture of a file's bytes, 2528 x 128, bottom row first. The
// code carries the file's first 6600 bytes, zero filled when it has fewer; a
// note goes to err when bytes are cut off.
std::vector<std::uint8_t> EncodeDenseCodeFile(const std::string& path, std::ostream& err);

struct DenseEncodeOptions {
    std::string input;
    std::string output;  // .pgm, .png or .raw
};

struct DenseDecodeOptions {
    std::string input;     // the picture, a page or a scan
    std::string output;    // the 6600 bytes; "-" for the standard output; empty: none (verify)
    std::string at;        // where the code was drawn on the page (a hint for a scan)
    std::int32_t dpi = 0;  // the page's resolution; 0: as the file states it
    bool json = false;     // the report as JSON on the standard output
    std::string overlay;   // a PNG of the scan with the sampled cells drawn on it
};

// The "densecode" command group, registered on the tool's app.
struct DenseCodeCommands {
    CLI::App* encode = nullptr;
    CLI::App* decode = nullptr;
    CLI::App* verify = nullptr;
    DenseEncodeOptions encodeOptions;
    DenseDecodeOptions decodeOptions;
    DenseDecodeOptions verifyOptions;
};
void AddDenseCodeCommands(CLI::App& app, DenseCodeCommands& commands);
// Runs the dense-code command that was parsed; false when none was.
bool RunDenseCodeCommand(const DenseCodeCommands& commands, std::ostream& out, std::ostream& err,
                         int& status);

}  // namespace zeseal::tool
