#include "catalogue/model_name.h"

#include <algorithm>
#include <string_view>

#include "base/ascii_case.h"

namespace zeseal::catalogue {

void NormalizeModelName(char* name) noexcept {
    if (name == nullptr) return;
    base::UpperCaseInPlace(name);
    char* out = name;
    for (const char* in = name; *in != '\0'; ++in) {
        if (*in != ' ') *out++ = *in;
    }
    *out = '\0';
}

bool SameNameIgnoringCase(const char* name, const char* field, std::size_t fieldSize) noexcept {
    const std::size_t stored = static_cast<std::size_t>(std::find(field, field + fieldSize, '\0') - field);
    return base::SameIgnoringCase(name, std::string_view(field, stored));
}

}  // namespace zeseal::catalogue
