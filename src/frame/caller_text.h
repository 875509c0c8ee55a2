// Reading and writing through the caller's pointers inside a fault frame.
//
// A guarded export copies the caller's strings into its own storage first
// and stores its outputs last, each step in a frame of its own: a bad
// pointer then gives the export's fault code, while the work in between runs
// on the library's own copies and is never abandoned half-way by a jump.
#pragma once

#include <cstdint>
#include <string>

namespace zeseal::frame {

// Copies a NUL-terminated caller string. False for a null pointer, for one
// that faults while being read, or when memory runs out.
bool CopyCallerText(const char* text, std::string& copy) noexcept;

// Stores value through the caller's pointer. False for a null or faulting pointer.
bool StoreCallerValue(std::int32_t* target, std::int32_t value) noexcept;

}  // namespace zeseal::frame
