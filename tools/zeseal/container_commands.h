// "zeseal container pack" and "zeseal container unpack": between pictures
// (or raw water-code bytes) and the Base64 container text the mark exports
// take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "authoring/container_writer.h"

namespace zeseal::tool {

enum class MarkKind { kWatermark, kWaterCode };

struct PackOptions {
    std::string input;
    std::string output;
    MarkKind kind = MarkKind::kWatermark;
    bool raw = false;              // pack the file's bytes as they are
    std::int32_t bits = 0;         // 8 or 24 to force the depth; 0 follows the picture
    std::size_t chunk = authoring::kMaxChunkShare;  // most picture bytes per chunk
};

// Packs the input, checks that the library decodes the text back to the same
// bytes, and writes the text (one line) to the output atomically. Returns
// the exit status; throws ToolError for bad input.
int RunPack(const PackOptions& options, std::ostream& out, std::ostream& err);

struct UnpackOptions {
    std::string input;
    std::string output;  // empty: report only
    MarkKind kind = MarkKind::kWatermark;
    bool png = false;          // write a PNG picture instead of the raw bytes
    std::int32_t layout = 2;   // a water code's row count for png: 1 gives 248, others 128
};

// Decodes the text through iZeWaterMarkData or iZeWaterCodeData, reports the
// result code and what the container holds, and writes the picture bytes
// when an output is given. Returns 0 only when the export returned 0.
int RunUnpack(const UnpackOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zeseal::tool
