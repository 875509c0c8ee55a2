// The caller's fixed-size name buffers (260 bytes each, as the interface
// documents), read and written inside fault frames and never past their
// documented size.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zeseal::frame {

// Reads the text in a caller buffer of size bytes: up to its terminator, or
// the whole buffer when it holds none. False for a null or faulting pointer.
bool ReadCallerBuffer(const char* buffer, std::size_t size, std::string& text) noexcept;

// Sets every character up to the buffer's terminator (or all size bytes when
// it holds none) to NUL. False for a null or faulting pointer.
bool EmptyCallerBuffer(char* buffer, std::size_t size) noexcept;

// Stores text and its terminator, cut to size - 1 characters. False for a
// null or faulting pointer.
bool StoreCallerBuffer(char* buffer, std::size_t size, std::string_view text) noexcept;

}  // namespace zeseal::frame
