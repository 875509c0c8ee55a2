#include "image_io.h"

#include <algorithm>

#include "file_io.h"
#include "png_codec.h"
#include "pnm_reader.h"
#include "scan_formats.h"
#include "tool_error.h"

namespace zeseal::tool {

void CheckImageSize(std::int64_t width, std::int64_t height, std::int32_t channels,
                    std::string_view name) {
    const std::string where(name);
    if (width < 1 || height < 1) {
        throw ToolError(where + ": the picture has no pixels (" + std::to_string(width) + "x" +
                        std::to_string(height) + ")");
    }
    if (width > kMaxImageSide || height > kMaxImageSide) {
        throw ToolError(where + ": the picture is " + std::to_string(width) + "x" +
                        std::to_string(height) + " pixels; each side must be at most " +
                        std::to_string(kMaxImageSide));
    }
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) *
            static_cast<std::uint64_t>(channels) >
        kMaxPictureBytes) {
        throw ToolError(where + ": the picture needs more than " +
                        std::to_string(kMaxPictureBytes >> 20) + " MiB");
    }
}

bool LooksLikePng(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::equal(kSignature, kSignature + 8, bytes.begin());
}

Image DecodeImage(std::span<const std::uint8_t> bytes, std::string_view name) {
    if (LooksLikePng(bytes)) return DecodePng(bytes, name);
    if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '7') {
        return DecodePnm(bytes, name);
    }
    if (LooksLikeTiff(bytes)) return DecodeTiff(bytes, name);
    if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes, name);
    throw ToolError(std::string(name) +
                    ": not a picture this tool reads (PNG, PGM \"P5\", PPM \"P6\", TIFF or JPEG)");
}

bool LooksLikePicture(std::span<const std::uint8_t> bytes) {
    return LooksLikePng(bytes) || (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '7') ||
           LooksLikeTiff(bytes) || LooksLikeJpeg(bytes);
}

Image ReadImageFile(const std::string& path) {
    // A 16-bit PNM at the largest accepted size is twice the picture, plus a header.
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path, 2 * kMaxPictureBytes + 4096);
    return DecodeImage(bytes, path);
}

Image ToGray(Image image) {
    if (image.channels == 1) return image;
    Image gray;
    gray.width = image.width;
    gray.height = image.height;
    gray.channels = 1;
    gray.dpi = image.dpi;
    const std::size_t count = std::size_t(image.width) * std::size_t(image.height);
    gray.pixels.resize(count);
    const std::uint8_t* in = image.pixels.data();
    for (std::size_t i = 0; i < count; ++i, in += 3) {
        // Fixed-point luma: the weights sum to 1000, so white stays 255.
        gray.pixels[i] = static_cast<std::uint8_t>((299u * in[0] + 587u * in[1] + 114u * in[2] + 500u) / 1000u);
    }
    return gray;
}

Image ToRgb(Image image) {
    if (image.channels == 3) return image;
    Image rgb;
    rgb.width = image.width;
    rgb.height = image.height;
    rgb.channels = 3;
    rgb.dpi = image.dpi;
    rgb.pixels.resize(image.pixels.size() * 3);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        rgb.pixels[3 * i] = rgb.pixels[3 * i + 1] = rgb.pixels[3 * i + 2] = image.pixels[i];
    }
    return rgb;
}

void WritePngFile(const std::string& path, const Image& image) {
    WriteFileAtomically(path, EncodePng(image));
}

}  // namespace zeseal::tool
