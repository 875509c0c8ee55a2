// Failures the tool reports to the person at the terminal, and the limits it
// holds every input to.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace zeseal::tool {

// A failure whose message is complete as it stands: it names the file or
// value at fault and what is wrong with it. Printed as "zeseal: error: ...".
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest picture (decoded container) the tool builds or accepts. A
// container states its own total length; anything above this is refused
// before memory is set aside for it.
inline constexpr std::uint64_t kMaxPictureBytes = 512ull << 20;

// The largest container text file. The exports take the text length as an
// int32, and the work buffer is three quarters of the text.
inline constexpr std::uint64_t kMaxTextBytes = 1ull << 30;

// The largest picture side, in pixels, the image readers accept.
inline constexpr std::int32_t kMaxImageSide = 20000;

}  // namespace zeseal::tool
