#include "json_text.h"

#include <cstdio>

#include "result_meanings.h"

namespace zeseal::tool {

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': json += "\\\""; break;
            case '\\': json += "\\\\"; break;
            case '\n': json += "\\n"; break;
            case '\t': json += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                    json += escaped;
                } else {
                    json += c;
                }
        }
    }
    return json + "\"";
}

std::string JsonResult(std::int32_t code) {
    return "{\"code\": " + std::to_string(code) + ", \"meaning\": " + JsonString(std::string(MeaningOf(code))) +
           "}";
}

}  // namespace zeseal::tool
