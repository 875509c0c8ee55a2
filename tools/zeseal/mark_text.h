// Container text as the tool hands it to the watermark and water-code
// exports: loading it from a file, sizing the caller's buffers from it, and
// reading the decoded container back for a report.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zeseal::tool {

// The text of a container file with its blanks and line breaks removed (the
// decoder stops at the first one), and how much of it the decoder reads.
struct MarkText {
    std::string text;
    std::size_t digits = 0;        // leading Base64 digits: what the decoder reads
    std::size_t decodedBytes = 0;  // the bytes those digits give
};

// Takes the raw file contents apart. Throws ToolError when the text is too
// long to pass to the exports.
MarkText ParseMarkText(std::string_view raw);

// Reads a container text file. Writes a warning to warn when decoding will
// stop before the end of the text (a character outside the Base64 alphabet
// other than the trailing "=" fill), since the rest would be ignored.
MarkText LoadMarkText(const std::string& path, std::ostream& warn);

// Decodes the leading Base64 digits of text, at most maxChars of them, the
// way the exports do: stop at the first non-digit; a last group of one digit
// gives nothing.
std::vector<std::uint8_t> DecodeBase64Prefix(std::string_view text, std::size_t maxChars);

// Bytes that may be left uninitialised; only what a decoder wrote is read.
struct ByteBuffer {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
};

// The buffers an export needs for a text: work holds 3 x ceil(length / 4)
// bytes plus a spare group; raster holds the total length the container
// states (at least one byte, so a text stating less still gets a valid
// pointer and the export's own answer). Throws ToolError when the stated
// total is above kMaxPictureBytes, before any of it is set aside.
struct MarkBuffers {
    ByteBuffer work;
    ByteBuffer raster;
    std::int64_t statedTotal = -1;  // -1 when the text is too short to state one
};
MarkBuffers SizeMarkBuffers(const MarkText& text, std::string_view name);

// The container read chunk by chunk with the exports' rules, for reports:
// after a successful decode it tells how many picture bytes were delivered
// (which may be fewer than stated); after a failure it says why.
struct ContainerReport {
    bool usable = false;
    std::int64_t statedTotal = -1;
    std::uint64_t delivered = 0;
    std::uint32_t chunks = 0;
    std::string problem;  // empty when usable
};
ContainerReport InspectContainer(std::span<const std::uint8_t> container);

}  // namespace zeseal::tool
