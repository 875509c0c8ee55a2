// The fault frame of the guarded exports.
//
// A guarded body that raises a processor fault (a bad caller pointer, an
// illegal instruction, an integer division by zero), or throws, makes the
// export return its fixed code instead of ending the process. Each platform
// realises RunGuarded in its own way (signals on POSIX, a vectored exception
// handler on Windows); what the body still held in frame heap blocks is
// freed and its frame locks are unlocked (frame/frame_heap.h,
// frame/frame_lock.h).
#pragma once

#include <cstdint>
#include <type_traits>

namespace zeseal::frame {

using GuardedBody = std::int32_t (*)(void* context);

// Runs body(context). Returns its result, or faultCode after a caught
// processor fault or exception.
std::int32_t RunGuarded(std::int32_t faultCode, GuardedBody body, void* context) noexcept;

template <class Body>
std::int32_t Guarded(std::int32_t faultCode, Body&& body) noexcept {
    using BodyType = std::remove_reference_t<Body>;
    return RunGuarded(
        faultCode,
        [](void* context) -> std::int32_t { return (*static_cast<BodyType*>(context))(); },
        const_cast<void*>(static_cast<const void*>(&body)));
}

// For exports without a fault frame: processor faults still reach the
// caller, but no C++ exception ever crosses the C interface.
template <class Body>
std::int32_t ContainExceptions(std::int32_t code, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return code;
    }
}

}  // namespace zeseal::frame
