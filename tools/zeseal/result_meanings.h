// What each result code of the library's C interface means, in one table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zeseal::tool {

struct ResultMeaning {
    std::int32_t code;
    std::string_view meaning;  // one line, fit to follow the code in a report
    std::string_view detail = {};  // the causes behind a catch-all code, or empty
};

// Every code the C interface returns, in ascending order.
std::span<const ResultMeaning> AllResultMeanings();

// The meaning of a code, or "unknown result code" for one not in the table.
std::string_view MeaningOf(std::int32_t code);

// The longer explanation of a catch-all code, or empty.
std::string_view DetailOf(std::int32_t code);

// "3004 a chunk length in the container is negative".
std::string DescribeResult(std::int32_t code);

}  // namespace zeseal::tool
