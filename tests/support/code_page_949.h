// Code page 949 from UTF-8, for tests that hold the library's escaped Korean
// texts against their bytes.
#pragma once

#include <string>

#include "platform/posix/text/cp949_text.h"

namespace zeseal::testing {

// Converts UTF-8 text to code page 949 with the library's converter, which
// asks the C library (iconv): a source independent of the escaped bytes.
inline std::string ToCodePage949(const std::string& utf8) {
    return platform::posix::Utf8ToCp949(utf8).value_or("<conversion failed>");
}

}  // namespace zeseal::testing
