// The tool's JSON output: string literals and result codes.
#pragma once

#include <cstdint>
#include <string>

namespace zeseal::tool {

// Text as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

// A result code with its meaning: {"code": 5030, "meaning": "..."}.
std::string JsonResult(std::int32_t code);

}  // namespace zeseal::tool
