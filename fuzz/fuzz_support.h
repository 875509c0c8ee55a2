// Helpers shared by the fuzz targets.
//
// A failed check prints where and what, then aborts: libFuzzer keeps the
// input as a crash, and the replay runner ends with a non-zero status.
// Buffers handed to the library are exactly as large as its contract asks,
// each in its own heap block, so AddressSanitizer reports any access past
// what a caller has to provide.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

#include "base/byte_order.h"
#include "codec/image_container.h"

#define ZESEAL_FUZZ_CHECK(condition)                                                     \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,        \
                         #condition);                                                    \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

// Keeps a helper out of the fuzzer's coverage instrumentation (and out of
// its callers, where it would be instrumented again). For the checks that
// walk whole pages byte by byte: instrumented, each comparison there cost
// more than the drawing checked, and guided the fuzzer nowhere.
#if defined(__clang__)
#define ZESEAL_FUZZ_UNGUIDED __attribute__((noinline, no_sanitize("coverage")))
#else
#define ZESEAL_FUZZ_UNGUIDED __attribute__((noinline))
#endif

namespace zeseal::fuzz {

// Where a target keeps the files it writes on every run: a memory file
// system where there is one. On a disk, replacing a file's contents makes
// the file system flush it when it is closed, which cost more than the run.
inline std::filesystem::path ScratchRoot() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

// True when after holds no bit that before lacks, over size bytes each.
ZESEAL_FUZZ_UNGUIDED inline bool OnlyClearsBits(const std::uint8_t* before, const std::uint8_t* after,
                                                std::size_t size) noexcept {
    std::uint8_t added = 0;
    for (std::size_t i = 0; i < size; ++i) added |= static_cast<std::uint8_t>(after[i] & ~before[i]);
    return added == 0;
}

// A container may state any total length up to 2^31 - 1, and a caller must
// provide that much raster. Inputs stating more than this are not run.
inline constexpr std::uint32_t kMaxStatedTotal = 16u << 20;

// The most picture bytes the container's chunks can inflate to, read from
// their length words alone: each chunk gives at most kInflateBufferSize - 1
// bytes, and deflate at most 1032 bytes per compressed byte. The chain ends
// at the first length word the decoder refuses, as the decoder does.
//
// The decoder writes the picture and nothing else, so a raster of this many
// bytes (when fewer than the stated total) is all it may touch; sizing the
// block so keeps every run cheap however large a total the input states,
// and AddressSanitizer still reports any write past the picture.
inline std::size_t MostPictureBytes(const std::uint8_t* container, std::size_t size) noexcept {
    std::size_t most = 0;
    std::size_t at = 4;
    while (size >= at + 4) {
        const auto length = static_cast<std::int32_t>(base::ReadBe32(container + at));
        at += 4;
        if (length <= 0 || length > codec::kChunkBufferSize) break;
        if (static_cast<std::size_t>(length) > size - at) break;
        const std::size_t share = std::min<std::size_t>(codec::kInflateBufferSize - 1,
                                                        1032 * static_cast<std::size_t>(length));
        most += share;
        at += static_cast<std::size_t>(length);
    }
    return most;
}

// The raster block for a container stating `stated` bytes: the stated total,
// or the most its chunks can give when that is less; at least one byte.
inline std::size_t RasterBytesFor(std::int32_t stated, const std::uint8_t* container,
                                  std::size_t size) noexcept {
    if (stated <= 0) return 1;
    return std::max<std::size_t>(
        1, std::min<std::size_t>(static_cast<std::size_t>(stated), MostPictureBytes(container, size)));
}

// The byte every buffer starts filled with, to tell untouched bytes apart.
inline constexpr std::uint8_t kUntouched = 0xA5;

// A heap block of exactly size bytes, filled with kUntouched.
class ExactBuffer {
public:
    explicit ExactBuffer(std::size_t size) : data_(new std::uint8_t[size]), size_(size) {
        if (size != 0) std::memset(data_.get(), kUntouched, size);
    }

    std::uint8_t* data() noexcept { return data_.get(); }
    const std::uint8_t* data() const noexcept { return data_.get(); }
    std::size_t size() const noexcept { return size_; }

    // True when no byte has changed since construction.
    bool Untouched() const noexcept {
        // Every byte equals the first, and the first is the fill.
        if (size_ == 0) return true;
        return data_[0] == kUntouched && std::memcmp(data_.get(), data_.get() + 1, size_ - 1) == 0;
    }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_;
};

// One heap block of `capacity` bytes kept from run to run, lent out as
// exactly `size` bytes: its last ones, with those before them poisoned, so
// AddressSanitizer reports an access before the lent bytes as well as one
// after. For rasters of megabytes: a fresh block of that size each run costs
// more in mapping and page faults than the reading of it. The lent bytes
// are not cleared.
class ReusedTailBuffer {
public:
    explicit ReusedTailBuffer(std::size_t capacity) : block_(new std::uint8_t[capacity]), capacity_(capacity) {}

    // size must be at most the capacity.
    std::uint8_t* Lend(std::size_t size) noexcept {
        ASAN_UNPOISON_MEMORY_REGION(block_.get(), capacity_);
        ASAN_POISON_MEMORY_REGION(block_.get(), capacity_ - size);
        return block_.get() + (capacity_ - size);
    }

private:
    std::unique_ptr<std::uint8_t[]> block_;
    std::size_t capacity_;
};

// A NUL-terminated copy of the input in a block of exactly size + 1 bytes.
inline std::unique_ptr<char[]> TerminatedCopy(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<char[]> text(new char[size + 1]);
    if (size != 0) std::memcpy(text.get(), data, size);
    text[size] = '\0';
    return text;
}

// The work buffer a mark export needs for textLength characters:
// 3 x ceil(textLength / 4), nothing for a negative length.
inline std::size_t WorkBytesFor(std::int32_t textLength) noexcept {
    if (textLength <= 0) return 0;
    const auto n = static_cast<std::size_t>(textLength);
    return 3 * ((n + 3) / 4);
}

// Fills buffer with the pattern repeated (cut off at the end), or with
// `empty` when the pattern has no bytes. Copies in doubling blocks: a
// byte-by-byte loop over a large buffer costs more than the code under test
// once every comparison in it is traced.
inline void FillRepeating(std::uint8_t* out, std::size_t size, const std::uint8_t* pattern,
                          std::size_t patternSize, std::uint8_t empty) {
    if (size == 0) return;
    if (patternSize == 0) {
        std::memset(out, empty, size);
        return;
    }
    std::size_t filled = patternSize < size ? patternSize : size;
    std::memcpy(out, pattern, filled);
    while (filled < size) {
        const std::size_t more = filled < size - filled ? filled : size - filled;
        std::memcpy(out + filled, out, more);
        filled += more;
    }
}

inline void FillRepeating(ExactBuffer& buffer, const std::uint8_t* pattern, std::size_t patternSize,
                          std::uint8_t empty) {
    FillRepeating(buffer.data(), buffer.size(), pattern, patternSize, empty);
}

}  // namespace zeseal::fuzz
