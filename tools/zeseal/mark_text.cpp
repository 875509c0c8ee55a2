#include "mark_text.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "base/byte_order.h"
#include "codec/base64.h"
#include "file_io.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::size_t BytesOfDigits(std::size_t digits) {
    const std::size_t rest = digits % 4;
    return digits / 4 * 3 + (rest >= 2 ? rest - 1 : 0);
}

// The bytes of the most compressed and the most inflated chunk the exports accept.
constexpr std::int64_t kMaxChunkBytes = 30000;
constexpr std::size_t kMaxInflatedChunk = 45000;

// A character for a message: quoted when printable, else in hexadecimal.
std::string Printable(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x21 && u < 0x7F) return std::string("'") + c + "'";
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", u);
    return hex;
}

}  // namespace

std::vector<std::uint8_t> DecodeBase64Prefix(std::string_view text, std::size_t maxChars) {
    const std::size_t limit = std::min(text.size(), maxChars);
    std::vector<std::uint8_t> out(codec::Base64MaxDecodedSize(limit));
    out.resize(codec::Base64DecodePrefix(text.data(), limit, out.data()));
    return out;
}

MarkText ParseMarkText(std::string_view raw) {
    MarkText mark;
    mark.text.reserve(raw.size());
    for (const char c : raw) {
        if (!IsBlank(c)) mark.text += c;
    }
    if (mark.text.size() > static_cast<std::size_t>(INT32_MAX) - 8) {
        throw ToolError("the container text is too long to hand to the library");
    }
    mark.digits = codec::Base64LeadingDigits(mark.text.data(), mark.text.size());
    mark.decodedBytes = BytesOfDigits(mark.digits);
    return mark;
}

MarkText LoadMarkText(const std::string& path, std::ostream& warn) {
    const std::vector<std::uint8_t> raw = ReadWholeFile(path, kMaxTextBytes);
    MarkText mark =
        ParseMarkText(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
    // Only "=" fill may follow the digits.
    std::size_t end = mark.digits;
    while (end < mark.text.size() && mark.text[end] == '=') ++end;
    if (end < mark.text.size()) {
        warn << "zeseal: warning: " << path << ": the Base64 text stops at character "
             << mark.digits + 1 << " (" << Printable(mark.text[end])
             << "); the library decodes only the " << mark.digits << " characters before it\n";
    }
    return mark;
}

MarkBuffers SizeMarkBuffers(const MarkText& text, std::string_view name) {
    MarkBuffers buffers;
    const std::vector<std::uint8_t> head = DecodeBase64Prefix(text.text, 8);
    if (head.size() >= 4) buffers.statedTotal = static_cast<std::int32_t>(base::ReadBe32(head.data()));
    if (buffers.statedTotal > static_cast<std::int64_t>(kMaxPictureBytes)) {
        throw ToolError(std::string(name) + ": the container states a picture of " +
                        std::to_string(buffers.statedTotal) + " bytes, more than the " +
                        std::to_string(kMaxPictureBytes >> 20) + " MiB this tool accepts");
    }
    const std::size_t length = text.text.size();
    buffers.work.size = 3 * ((length + 3) / 4) + 3;
    buffers.work.data = std::make_unique_for_overwrite<std::uint8_t[]>(buffers.work.size);
    buffers.raster.size = buffers.statedTotal >= 1 ? static_cast<std::size_t>(buffers.statedTotal) : 1;
    buffers.raster.data = std::make_unique_for_overwrite<std::uint8_t[]>(buffers.raster.size);
    return buffers;
}

ContainerReport InspectContainer(std::span<const std::uint8_t> container) {
    ContainerReport report;
    const auto fail = [&](std::string problem) {
        report.problem = std::move(problem);
        return report;
    };
    if (container.empty()) return fail("the text gave no bytes");
    if (container.size() < 4) return fail("the container is shorter than its length word");
    report.statedTotal = static_cast<std::int32_t>(base::ReadBe32(container.data()));
    if (report.statedTotal < 1) {
        return fail("the container states a total length of " + std::to_string(report.statedTotal));
    }
    if (container.size() < 8) return fail("the container ends before its first chunk length");

    std::vector<std::uint8_t> inflated(kMaxInflatedChunk);
    std::size_t at = 4;
    for (;;) {
        const std::string chunk = "chunk " + std::to_string(report.chunks + 1);
        const std::string where = " (at byte " + std::to_string(at) + ")";
        if (container.size() - at < 4) {
            return fail("the container ends inside the length of " + chunk + where);
        }
        const std::int64_t length = static_cast<std::int32_t>(base::ReadBe32(container.data() + at));
        at += 4;
        if (length < 0) return fail(chunk + where + " states a negative length, " + std::to_string(length));
        if (length == 0) break;
        if (length > kMaxChunkBytes) {
            return fail(chunk + where + " holds " + std::to_string(length) + " bytes, above 30000");
        }
        if (static_cast<std::size_t>(length) > container.size() - at) {
            return fail(chunk + where + " holds " + std::to_string(length) +
                        " bytes but only " + std::to_string(container.size() - at) + " remain");
        }
        uLongf size = static_cast<uLongf>(inflated.size());
        const int z = uncompress(inflated.data(), &size, container.data() + at, static_cast<uLong>(length));
        if (z == Z_BUF_ERROR) return fail(chunk + where + " inflates to more than 45000 bytes");
        if (z != Z_OK) {
            return fail(chunk + where + " is damaged or cut short (zlib " + std::to_string(z) + ")");
        }
        if (size == 0) return fail(chunk + where + " inflates to nothing");
        at += static_cast<std::size_t>(length);
        ++report.chunks;
        report.delivered += size - 1;  // each chunk ends with a terminator byte
        if (report.delivered > static_cast<std::uint64_t>(report.statedTotal)) {
            return fail("the chunks deliver more than the stated " + std::to_string(report.statedTotal) + " bytes");
        }
        if (at >= container.size()) break;
    }
    report.usable = true;
    return report;
}

}  // namespace zeseal::tool
