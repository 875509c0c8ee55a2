// Code page 949 from UTF-8, for tests that hold the library's escaped Korean
// texts against their bytes.
#pragma once

#include <iconv.h>

#include <string>

namespace zeseal::testing {

// Converts UTF-8 text to code page 949 with the C library's converter, a
// source independent of the escaped bytes in the header.
inline std::string ToCodePage949(const std::string& utf8) {
    iconv_t converter = iconv_open("CP949", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) return "<no CP949 converter>";
    std::string in = utf8;
    std::string out(in.size() * 2 + 4, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t fromLeft = in.size();
    std::size_t toLeft = out.size();
    const std::size_t done = iconv(converter, &from, &fromLeft, &to, &toLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1)) return "<conversion failed>";
    out.resize(out.size() - toLeft);
    return out;
}

}  // namespace zeseal::testing
