// The library's Korean texts are in code page 949; the terminal reads UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zeseal::tool {

// The text in UTF-8. Bytes that do not convert are shown as \xNN.
std::string Cp949ToUtf8(std::string_view text);

// The text in code page 949, or nothing when a character has no place in it
// or the text is not UTF-8.
std::optional<std::string> Utf8ToCp949(std::string_view text);

}  // namespace zeseal::tool
