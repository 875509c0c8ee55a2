// Writes top-down 8-bit RGB rows as a PNG file, for screenshots a person
// looks at; zlib does the compression and the checksums.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "authoring/container_writer.h"

namespace zeseal::testing {

using authoring::AppendBigEndian32;

inline void AppendChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
                        const std::vector<std::uint8_t>& data) {
    AppendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    AppendBigEndian32(out, static_cast<std::uint32_t>(
                             crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// rgb holds height rows of width * 3 bytes. False when the file cannot be
// written.
inline bool WritePng(const std::string& path, std::uint32_t width, std::uint32_t height,
                     const std::vector<std::uint8_t>& rgb) {
    std::vector<std::uint8_t> filtered;
    filtered.reserve((width * 3 + 1) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        filtered.push_back(0);  // no filter
        const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(y) * width * 3;
        filtered.insert(filtered.end(), row, row + width * 3);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(filtered.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, filtered.data(), static_cast<uLong>(filtered.size()),
                  9) != Z_OK) {
        return false;
    }
    packed.resize(packedSize);

    std::vector<std::uint8_t> header;
    AppendBigEndian32(header, width);
    AppendBigEndian32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AppendChunk(file, "IHDR", header);
    AppendChunk(file, "IDAT", packed);
    AppendChunk(file, "IEND", {});
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return out.good();
}

}  // namespace zeseal::testing
