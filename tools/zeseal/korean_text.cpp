#include "korean_text.h"

#include <iconv.h>

#include <cstdio>

namespace zeseal::tool {

std::string Cp949ToUtf8(std::string_view text) {
    iconv_t converter = iconv_open("UTF-8", "CP949");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::string in(text);
    std::string out;
    char* from = in.data();
    std::size_t fromLeft = in.size();
    char buffer[256];
    while (fromLeft > 0) {
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        const std::size_t done = iconv(converter, &from, &fromLeft, &to, &toLeft);
        out.append(buffer, sizeof buffer - toLeft);
        if (done == static_cast<std::size_t>(-1) && toLeft == sizeof buffer && fromLeft > 0) {
            // An unconvertible byte: show it and go on after it.
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(*from));
            out += escaped;
            ++from;
            --fromLeft;
        }
    }
    iconv_close(converter);
    return out;
}

std::optional<std::string> Utf8ToCp949(std::string_view text) {
    iconv_t converter = iconv_open("CP949", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in(text);
    std::string out;
    char* from = in.data();
    std::size_t fromLeft = in.size();
    char buffer[256];
    bool failed = false;
    while (fromLeft > 0 && !failed) {
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        const std::size_t done = iconv(converter, &from, &fromLeft, &to, &toLeft);
        out.append(buffer, sizeof buffer - toLeft);
        failed = done == static_cast<std::size_t>(-1) && toLeft == sizeof buffer;
    }
    iconv_close(converter);
    if (failed) return std::nullopt;
    return out;
}

}  // namespace zeseal::tool
