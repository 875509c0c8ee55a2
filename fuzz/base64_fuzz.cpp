// Base64 decoding of arbitrary bytes.
//
// The input is the text. Checked:
//  - no decoder writes more than Base64MaxDecodedSize of what it may read
//    (each output block is exactly that large);
//  - the prefix decoder agrees with a plain bit-at-a-time decoder;
//  - Base64Decode on a NUL-terminated copy, and Base64DecodeCounted with the
//    full length, with a shorter one and with a length past the NUL, give the
//    same bytes as the prefix decoder on the same characters;
//  - a negative length decodes nothing and writes nothing;
//  - encoding the input and decoding the text gives the input back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "authoring/container_writer.h"
#include "codec/base64.h"
#include "fuzz_support.h"

namespace {

using zeseal::fuzz::ExactBuffer;

int DigitValue(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Six bits per digit until the first non-digit or the limit; every complete
// byte is written. A trailing single digit thus gives no byte.
std::size_t ReferenceDecode(const unsigned char* text, std::size_t limit, std::uint8_t* out) {
    std::uint32_t bits = 0;
    int held = 0;
    std::size_t written = 0;
    for (std::size_t i = 0; i < limit; ++i) {
        const int v = DigitValue(text[i]);
        if (v < 0) break;
        bits = (bits << 6) | static_cast<std::uint32_t>(v);
        held += 6;
        if (held >= 8) {
            held -= 8;
            out[written++] = static_cast<std::uint8_t>(bits >> held);
            bits &= (1u << held) - 1;
        }
    }
    return written;
}

// Decodes the first limit characters with the prefix decoder into a block of
// exactly the documented size and checks it against the reference.
std::size_t CheckedPrefix(const char* text, std::size_t limit, ExactBuffer& out) {
    ZESEAL_FUZZ_CHECK(out.size() == zeseal::codec::Base64MaxDecodedSize(limit));
    const std::size_t n = zeseal::codec::Base64DecodePrefix(text, limit, out.data());
    ZESEAL_FUZZ_CHECK(n <= out.size());
    ExactBuffer expected(out.size());
    const std::size_t m =
        ReferenceDecode(reinterpret_cast<const unsigned char*>(text), limit, expected.data());
    ZESEAL_FUZZ_CHECK(n == m);
    ZESEAL_FUZZ_CHECK(n == 0 || std::memcmp(out.data(), expected.data(), n) == 0);
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace codec = zeseal::codec;
    if (size > (1u << 20)) return 0;  // int32 lengths below; far above any useful input

    // The text exactly as given, without a terminator.
    ExactBuffer raw(size);
    if (size != 0) std::memcpy(raw.data(), data, size);
    const char* text = reinterpret_cast<const char*>(raw.data());

    ExactBuffer full(codec::Base64MaxDecodedSize(size));
    const std::size_t n = CheckedPrefix(text, size, full);

    // A NUL-terminated copy decodes to the same bytes: a NUL ends the text
    // just as any other non-digit does.
    const auto terminated = zeseal::fuzz::TerminatedCopy(data, size);
    const std::size_t textLength = std::strlen(terminated.get());
    {
        ExactBuffer out(codec::Base64MaxDecodedSize(textLength));
        const std::int32_t m = codec::Base64Decode(out.data(), terminated.get());
        ZESEAL_FUZZ_CHECK(m >= 0 && static_cast<std::size_t>(m) == n);
        ZESEAL_FUZZ_CHECK(n == 0 || std::memcmp(out.data(), full.data(), n) == 0);
    }

    // Counted decoding: the full length, a shorter one, and one reaching past
    // the terminator (a caller may state its buffer's size rather than the
    // text's). Each result is a prefix of the full decode.
    const std::int32_t whole = static_cast<std::int32_t>(size);
    const std::int32_t shorter =
        size == 0 ? 0 : static_cast<std::int32_t>(std::size_t{data[0]} * size / 256);
    const std::int32_t lengths[] = {whole, shorter, whole + 19};
    for (const std::int32_t length : lengths) {
        ExactBuffer out(codec::Base64MaxDecodedSize(static_cast<std::size_t>(length)));
        std::int32_t decoded = -1;
        const bool pastText = length > whole;
        const char* source = pastText ? terminated.get() : text;
        ZESEAL_FUZZ_CHECK(codec::Base64DecodeCounted(source, length, out.data(), &decoded) == 0);
        ZESEAL_FUZZ_CHECK(decoded >= 0 && static_cast<std::size_t>(decoded) <= out.size());
        ZESEAL_FUZZ_CHECK(static_cast<std::size_t>(decoded) <= n);
        ZESEAL_FUZZ_CHECK(decoded == 0 || std::memcmp(out.data(), full.data(),
                                                      static_cast<std::size_t>(decoded)) == 0);
        if (length >= whole) ZESEAL_FUZZ_CHECK(static_cast<std::size_t>(decoded) == n);
    }

    // A negative length decodes nothing and leaves the output alone.
    {
        ExactBuffer out(4);
        std::int32_t decoded = -1;
        ZESEAL_FUZZ_CHECK(codec::Base64DecodeCounted(text, -1 - whole, out.data(), &decoded) == 0);
        ZESEAL_FUZZ_CHECK(decoded == 0);
        ZESEAL_FUZZ_CHECK(out.Untouched());
    }

    // Round trip: the encoder's padding ends the text, so every byte returns.
    const std::string encoded = zeseal::authoring::EncodeBase64({data, size});
    ExactBuffer back(codec::Base64MaxDecodedSize(encoded.size()));
    const std::size_t backLength = CheckedPrefix(encoded.c_str(), encoded.size(), back);
    ZESEAL_FUZZ_CHECK(backLength == size);
    ZESEAL_FUZZ_CHECK(size == 0 || std::memcmp(back.data(), data, size) == 0);
    return 0;
}
