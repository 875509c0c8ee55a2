// Helpers of the data-file fuzz targets: the input bytes as an open stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace zeseal::fuzz {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

// A read-only stream over the bytes (which must outlive it); an empty input
// reads as an empty file.
inline OpenFile StreamOver(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return OpenFile(std::fopen("/dev/null", "rb"));
    return OpenFile(fmemopen(const_cast<std::uint8_t*>(data), size, "rb"));
}

}  // namespace zeseal::fuzz
