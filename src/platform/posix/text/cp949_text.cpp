#include "platform/posix/text/cp949_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "base/byte_order.h"

namespace zeseal::platform::posix {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

std::u32string DecodeCp949(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    if (IsAscii(text)) {
        for (const char c : text) out.push_back(static_cast<unsigned char>(c));
        return out;
    }
    const Converter converter("UTF-32LE", "CP949");
    if (!converter.ok()) {
        for (const char c : text) {
            out.push_back(static_cast<unsigned char>(c) < 0x80 ? char32_t(c) : U'\uFFFD');
        }
        return out;
    }
    std::size_t at = 0;
    while (at < text.size()) {
        // One character at a time: an ASCII byte, or a lead byte and its trail.
        const std::size_t length =
            static_cast<unsigned char>(text[at]) < 0x80 || at + 1 >= text.size() ? 1 : 2;
        char in[2];
        std::memcpy(in, text.data() + at, length);
        unsigned char decoded[8];
        char* inPtr = in;
        std::size_t inLeft = length;
        char* outPtr = reinterpret_cast<char*>(decoded);
        std::size_t outLeft = sizeof decoded;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0 || sizeof decoded - outLeft != 4) {
            out.push_back(U'\uFFFD');
            at += 1;
            continue;
        }
        out.push_back(base::ReadLe32(decoded));  // UTF-32LE
        at += length;
    }
    return out;
}

std::optional<std::string> Utf8ToCp949(std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    const Converter converter("CP949", "UTF-8");
    if (!converter.ok()) return std::nullopt;
    std::string in(text);
    std::string out;
    char* from = in.data();
    std::size_t fromLeft = in.size();
    while (fromLeft > 0) {
        char buffer[256];
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        const std::size_t done = iconv(converter.get(), &from, &fromLeft, &to, &toLeft);
        out.append(buffer, sizeof buffer - toLeft);
        // Only a full buffer may stop the conversion; anything else is text
        // that does not convert (EILSEQ) or ends inside a character (EINVAL).
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) return std::nullopt;
    }
    return out;
}

std::string Cp949ToUtf8(std::string_view text) {
    std::string out;
    for (const char32_t c : DecodeCp949(text)) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace zeseal::platform::posix
