// Binary PGM ("P5") and PPM ("P6"): a text header of magic, width, height and
// largest sample value, separated by blanks and "#" comments, then exactly
// one blank and the samples, one byte each up to 255, two bytes (most
// significant first) above.
#include "pnm_reader.h"

#include <cstdint>
#include <string>

#include "base/byte_order.h"
#include "image_io.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

bool IsBlank(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

class HeaderReader {
public:
    HeaderReader(std::span<const std::uint8_t> bytes, std::string_view name)
        : bytes_(bytes), name_(name) {}

    // Reads the next number, skipping blanks and comments before it. The
    // number must be followed by a blank or a comment.
    std::int64_t Number(const char* what) {
        SkipBlanksAndComments();
        if (at_ >= bytes_.size()) Fail(std::string("the header ends before the ") + what);
        std::int64_t value = 0;
        std::size_t digits = 0;
        while (at_ < bytes_.size() && bytes_[at_] >= '0' && bytes_[at_] <= '9') {
            // Ten digits already exceed every limit; stop before overflowing.
            if (++digits > 10) Fail(std::string("the ") + what + " is too large");
            value = value * 10 + (bytes_[at_] - '0');
            ++at_;
        }
        if (digits == 0) Fail(std::string("the ") + what + " is not a number");
        if (at_ >= bytes_.size()) Fail(std::string("the header ends after the ") + what);
        if (!IsBlank(bytes_[at_]) && bytes_[at_] != '#') {
            Fail(std::string("the ") + what + " is followed by an unexpected character");
        }
        return value;
    }

    // The one blank that separates the header from the samples.
    std::size_t SampleStart() {
        if (at_ >= bytes_.size() || !IsBlank(bytes_[at_])) {
            Fail("the largest sample value must be followed by one blank");
        }
        return at_ + 1;
    }

    [[noreturn]] void Fail(const std::string& message) const {
        throw ToolError(std::string(name_) + ": malformed PNM header: " + message);
    }

    void Skip(std::size_t count) { at_ += count; }

private:
    void SkipBlanksAndComments() {
        while (at_ < bytes_.size()) {
            if (IsBlank(bytes_[at_])) {
                ++at_;
            } else if (bytes_[at_] == '#') {
                while (at_ < bytes_.size() && bytes_[at_] != '\n' && bytes_[at_] != '\r') ++at_;
            } else {
                break;
            }
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::string_view name_;
    std::size_t at_ = 0;
};

}  // namespace

Image DecodePnm(std::span<const std::uint8_t> bytes, std::string_view name) {
    const std::string where(name);
    if (bytes.size() < 2 || bytes[0] != 'P') throw ToolError(where + ": not a PNM file");
    std::int32_t channels = 0;
    switch (bytes[1]) {
    case '5': channels = 1; break;
    case '6': channels = 3; break;
    case '2':
    case '3':
        throw ToolError(where + ": text PNM (P" + std::string(1, char(bytes[1])) +
                        ") is not supported; save it as binary P5 or P6");
    default:
        throw ToolError(where + ": PNM type P" + std::string(1, char(bytes[1])) +
                        " is not supported; use binary PGM (P5) or PPM (P6)");
    }

    HeaderReader header(bytes, name);
    header.Skip(2);
    if (bytes.size() > 2 && !IsBlank(bytes[2]) && bytes[2] != '#') {
        header.Fail("the magic number must be followed by a blank");
    }
    const std::int64_t width = header.Number("width");
    const std::int64_t height = header.Number("height");
    const std::int64_t maxValue = header.Number("largest sample value");
    if (maxValue < 1 || maxValue > 65535) {
        header.Fail("the largest sample value " + std::to_string(maxValue) +
                    " is outside 1 to 65535");
    }
    const std::size_t start = header.SampleStart();
    CheckImageSize(width, height, channels, name);

    const std::size_t sampleBytes = maxValue > 255 ? 2 : 1;
    const std::size_t samples = std::size_t(width) * std::size_t(height) * std::size_t(channels);
    const std::size_t needed = samples * sampleBytes;
    const std::size_t available = bytes.size() - start;
    if (available < needed) {
        throw ToolError(where + ": truncated: the header promises " + std::to_string(needed) +
                        " bytes of pixels, the file holds " + std::to_string(available));
    }

    Image image;
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    image.channels = channels;
    image.pixels.resize(samples);
    const std::uint8_t* in = bytes.data() + start;
    const auto max = static_cast<std::uint32_t>(maxValue);
    for (std::size_t i = 0; i < samples; ++i) {
        std::uint32_t v = sampleBytes == 2 ? base::ReadBe16(in + 2 * i) : in[i];
        // A sample above the stated largest value is a damaged file.
        if (v > max) {
            throw ToolError(where + ": sample " + std::to_string(i) + " is " + std::to_string(v) +
                            ", above the largest value " + std::to_string(max));
        }
        if (max != 255) v = (v * 255 + max / 2) / max;
        image.pixels[i] = static_cast<std::uint8_t>(v);
    }
    return image;
}

}  // namespace zeseal::tool
