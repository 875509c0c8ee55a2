// Helpers shared by the fuzz targets.
//
// A failed check prints where and what, then aborts: libFuzzer keeps the
// input as a crash, and the replay runner ends with a non-zero status.
// Buffers handed to the library are exactly as large as its contract asks,
// each in its own heap block, so AddressSanitizer reports any access past
// what a caller has to provide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#define ZESEAL_FUZZ_CHECK(condition)                                                     \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,        \
                         #condition);                                                    \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

namespace zeseal::fuzz {

// A container may state any total length up to 2^31 - 1, and a caller must
// provide that much raster. Inputs stating more than this are not run, so a
// fuzz run never allocates more than a few blocks of this size.
inline constexpr std::uint32_t kMaxStatedTotal = 16u << 20;

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
        for (std::size_t i = 0; i < size_; ++i) {
            if (data_[i] != kUntouched) return false;
        }
        return true;
    }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_;
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
inline void FillRepeating(ExactBuffer& buffer, const std::uint8_t* pattern, std::size_t patternSize,
                          std::uint8_t empty) {
    std::uint8_t* out = buffer.data();
    const std::size_t size = buffer.size();
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

}  // namespace zeseal::fuzz
