#include "frame/caller_buffers.h"

#include <cstring>

#include "frame/fault_frame.h"

namespace zeseal::frame {
namespace {

constexpr std::int32_t kFaulted = -1;

// The length of the text in a buffer of size bytes, inside a fault frame.
bool BoundedLength(const char* buffer, std::size_t size, std::size_t& length) noexcept {
    if (buffer == nullptr) return false;
    return Guarded(kFaulted, [&] {
               length = 0;
               while (length < size && buffer[length] != '\0') ++length;
               return 0;
           }) == 0;
}

}  // namespace

bool ReadCallerBuffer(const char* buffer, std::size_t size, std::string& text) noexcept {
    std::size_t length = 0;
    if (!BoundedLength(buffer, size, length)) return false;
    try {
        text.assign(length, '\0');
    } catch (...) {
        return false;
    }
    return Guarded(kFaulted, [&] {
               std::memcpy(text.data(), buffer, length);
               return 0;
           }) == 0;
}

bool EmptyCallerBuffer(char* buffer, std::size_t size) noexcept {
    std::size_t length = 0;
    if (!BoundedLength(buffer, size, length)) return false;
    return Guarded(kFaulted, [&] {
               std::memset(buffer, 0, length);
               return 0;
           }) == 0;
}

bool StoreCallerBuffer(char* buffer, std::size_t size, std::string_view text) noexcept {
    if (buffer == nullptr || size == 0) return false;
    const std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
    return Guarded(kFaulted, [&] {
               std::memcpy(buffer, text.data(), length);
               buffer[length] = '\0';
               return 0;
           }) == 0;
}

}  // namespace zeseal::frame
