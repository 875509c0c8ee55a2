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

// The bytes of a file as the code carries them: its first 6600 bytes, zero
// filled when it has fewer. A note goes to err when bytes are cut off.
std::vector<std::uint8_t> DenseCodeInput(const std::string& path, std::ostream& err);

// The encoder's picture of those bytes: 2528 x 128, bottom row first.
std::vector<std::uint8_t> EncodeDenseCodeFile(const std::string& path, std::ostream& err);

struct DenseEncodeOptions {
    std::string input;
    std::string output;  // .pgm, .png or .raw
};

// Writes the picture: PGM or PNG (top row first, 300 dpi in the PNG), or
// .raw, the library's block exactly (bottom row first, 323,584 bytes).
int RunDenseEncode(const DenseEncodeOptions& options, std::ostream& out, std::ostream& err);

struct DenseDecodeOptions {
    std::string input;     // the picture, or a page with --at
    std::string output;    // the 6600 bytes; "-" for the standard output
    std::string at;        // empty: the input is the picture itself
    std::int32_t dpi = 0;  // the page's resolution; 0: as the file states it
};

// Reads the code, prints the corrections per codeword and writes the bytes.
// Returns 1 without writing when a codeword cannot be corrected.
int RunDenseDecode(const DenseDecodeOptions& options, std::ostream& out, std::ostream& err);

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
