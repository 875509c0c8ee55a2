#include "frame/caller_text.h"

#include <cstring>

#include "frame/fault_frame.h"

namespace zeseal::frame {
namespace {

constexpr std::int32_t kFaulted = -1;

}  // namespace

bool CopyCallerText(const char* text, std::string& copy) noexcept {
    if (text == nullptr) return false;
    std::size_t length = 0;
    if (Guarded(kFaulted, [&] {
            length = std::strlen(text);
            return 0;
        }) != 0) {
        return false;
    }
    try {
        copy.assign(length, '\0');
    } catch (...) {
        return false;
    }
    return Guarded(kFaulted, [&] {
               std::memcpy(copy.data(), text, length);
               return 0;
           }) == 0;
}

bool StoreCallerValue(std::int32_t* target, std::int32_t value) noexcept {
    if (target == nullptr) return false;
    return Guarded(kFaulted, [&] {
               *target = value;
               return 0;
           }) == 0;
}

}  // namespace zeseal::frame
