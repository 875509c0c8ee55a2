// "zeseal densecode encode" and "zeseal densecode decode": the library's own
// dense code, between a file's bytes and the 2528 x 128 picture, and back
// from the picture or from a page it was drawn on.
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
    std::string input;     // the picture, or a page with --at
    std::string output;    // the 6600 bytes; "-" for the standard output
    std::string at;        // empty: the input is the picture itself
    std::int32_t dpi = 0;  // the page's resolution; 0: as the file states it
};

// The "densecode" command group, registered on the tool's app.
struct DenseCodeCommands {
    CLI::App* encode = nullptr;
    CLI::App* decode = nullptr;
    DenseEncodeOptions encodeOptions;
    DenseDecodeOptions decodeOptions;
};
void AddDenseCodeCommands(CLI::App& app, DenseCodeCommands& commands);
// Runs the dense-code command that was parsed; false when none was.
bool RunDenseCodeCommand(const DenseCodeCommands& commands, std::ostream& out, std::ostream& err,
                         int& status);

}  // namespace zeseal::tool
