#include "catalogue/model_name.h"

#include "catalogue/model_lookup.h"

namespace zeseal::catalogue {
namespace {

constexpr char ToUpperAscii(char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

void NormalizeModelName(char* name) noexcept {
    if (name == nullptr) return;
    char* out = name;
    for (const char* in = name; *in != '\0'; ++in) {
        if (*in != ' ') *out++ = ToUpperAscii(*in);
    }
    *out = '\0';
}

bool SameNameIgnoringCase(const char* name, const char* field, std::size_t fieldSize) noexcept {
    std::size_t i = 0;
    for (; i < fieldSize && field[i] != '\0'; ++i) {
        if (ToUpperAscii(name[i]) != ToUpperAscii(field[i])) return false;  // also name's end
    }
    return name[i] == '\0';
}

}  // namespace zeseal::catalogue
