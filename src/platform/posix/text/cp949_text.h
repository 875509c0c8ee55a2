// Text of code page 949 (the Korean code page the library works in) as
// Unicode code points, for the POSIX text rasteriser and font lookup.
#pragma once

#include <string>
#include <string_view>

namespace zeseal::platform::posix {

// Decodes CP949 text. Bytes that do not decode become U+FFFD, one per byte.
std::u32string DecodeCp949(std::string_view text);

// The same text as UTF-8.
std::string Cp949ToUtf8(std::string_view text);

}  // namespace zeseal::platform::posix
