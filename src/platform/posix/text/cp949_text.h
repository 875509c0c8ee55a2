// Text of code page 949 (the Korean code page the library works in) as
// Unicode code points or UTF-8, and back: for the POSIX text rasteriser, the
// font lookup, the terminal and the tool.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zeseal::platform::posix {

// Decodes CP949 text. Bytes that do not decode become U+FFFD, one per byte.
std::u32string DecodeCp949(std::string_view text);

// The same text as UTF-8.
std::string Cp949ToUtf8(std::string_view text);

// UTF-8 text in code page 949; nothing when the text is not UTF-8 or holds a
// character that code page 949 has no place for.
std::optional<std::string> Utf8ToCp949(std::string_view text);

}  // namespace zeseal::platform::posix
