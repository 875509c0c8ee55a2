#include "container_commands.h"

#include <zeseal/zeseal.h>

#include <algorithm>
#include <cstring>
#include <ostream>

#include "base/byte_order.h"
#include "file_io.h"
#include "image_io.h"
#include "mark_text.h"
#include "result_meanings.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

constexpr std::int32_t kMarkDpi = 300;  // marks are placed and sized in 1/300 inch

const char* KindName(MarkKind kind) {
    return kind == MarkKind::kWatermark ? "watermark" : "water code";
}

struct Decoded {
    std::int32_t code = 0;
    MarkBuffers buffers;
};

// Decodes through the data export of the kind, with buffers sized from the text.
Decoded DecodeWithExport(MarkKind kind, const MarkText& text, std::string_view name) {
    Decoded decoded;
    decoded.buffers = SizeMarkBuffers(text, name);
    const auto length = static_cast<std::int32_t>(text.text.size());
    decoded.code = kind == MarkKind::kWatermark
                       ? iZeWaterMarkData(text.text.c_str(), decoded.buffers.work.data.get(),
                                          decoded.buffers.raster.data.get(), length)
                       : iZeWaterCodeData(text.text.c_str(), decoded.buffers.work.data.get(),
                                          decoded.buffers.raster.data.get(), length);
    return decoded;
}

// A water code's pixels are stored bottom row first.
std::vector<std::uint8_t> FlipRows(const std::uint8_t* rows, std::size_t rowBytes,
                                   std::size_t count) {
    std::vector<std::uint8_t> flipped(rowBytes * count);
    for (std::size_t r = 0; r < count; ++r) {
        std::memcpy(flipped.data() + r * rowBytes, rows + (count - 1 - r) * rowBytes, rowBytes);
    }
    return flipped;
}

// The payload of a picture: a MarkRaster for a watermark, bottom-up grey rows
// for a water code.
std::vector<std::uint8_t> PicturePayload(const PackOptions& options, std::string& described,
                                         std::ostream& err) {
    Image image = ReadImageFile(options.input);
    if (image.dpi != 0 && image.dpi != kMarkDpi) {
        err << "zeseal: note: " << options.input << " states " << image.dpi
            << " dpi; marks print at 300 pixels per inch, so it prints "
            << (image.dpi > kMarkDpi ? "larger" : "smaller") << " than its own resolution says\n";
    }
    if (options.kind == MarkKind::kWaterCode) {
        if (options.bits == 24) throw ToolError("a water code is 8-bit grey; --bits 24 does not apply");
        image = ToGray(std::move(image));
        if (image.height != 128 && image.height != 248) {
            err << "zeseal: warning: " << options.input << " has " << image.height
                << " rows; water-code layouts have 248 (layout 1) or 128 (others)\n";
        }
        described = std::to_string(image.width) + "x" + std::to_string(image.height) + " grey";
        return FlipRows(image.pixels.data(), image.RowBytes(), std::size_t(image.height));
    }
    const std::int32_t bits = options.bits != 0 ? options.bits : image.channels * 8;
    image = bits == 8 ? ToGray(std::move(image)) : ToRgb(std::move(image));
    described = std::to_string(image.width) + "x" + std::to_string(image.height) + ", " +
                std::to_string(bits) + " bits";
    return authoring::MakeMarkRaster(image.width, image.height, bits, image.pixels);
}

// The rows of a water code layout: 248 for layout 1, 128 for any other.
std::int32_t WaterCodeRows(std::int32_t layout) { return layout == 1 ? 248 : 128; }

// Turns a decoded picture into a PNG: a watermark's MarkRaster, or a water
// code's bottom-up rows at the layout's row count.
Image PictureOf(MarkKind kind, const std::uint8_t* bytes, std::size_t length,
                std::int32_t layout, std::string_view name) {
    Image image;
    image.dpi = kMarkDpi;
    if (kind == MarkKind::kWatermark) {
        if (length < 12) throw ToolError(std::string(name) + ": too short for a picture header");
        const std::int32_t bits = static_cast<std::int32_t>(base::ReadBe32(bytes + 8));
        if (bits != 8 && bits != 24) {
            throw ToolError(std::string(name) + ": the picture's depth is " + std::to_string(bits) +
                            " bits; only 8 and 24 make a picture");
        }
        image.channels = bits / 8;
        const std::int64_t width = static_cast<std::int32_t>(base::ReadBe32(bytes));
        const std::int64_t height = static_cast<std::int32_t>(base::ReadBe32(bytes + 4));
        CheckImageSize(width, height, image.channels, name);
        image.width = static_cast<std::int32_t>(width);
        image.height = static_cast<std::int32_t>(height);
        const std::size_t needed = image.RowBytes() * std::size_t(image.height);
        if (needed > length - 12) {
            throw ToolError(std::string(name) + ": the picture header asks for " +
                            std::to_string(needed) + " bytes of pixels; the container holds " +
                            std::to_string(length - 12));
        }
        image.pixels.assign(bytes + 12, bytes + 12 + needed);
        return image;
    }
    const std::int32_t rows = WaterCodeRows(layout);
    const std::size_t width = length / std::size_t(rows);
    image.channels = 1;
    CheckImageSize(static_cast<std::int64_t>(width), rows, 1, name);
    image.width = static_cast<std::int32_t>(width);
    image.height = rows;
    image.pixels = FlipRows(bytes, width, std::size_t(rows));
    return image;
}

// What a decoded picture holds, and whether the drawing export would take it.
void DescribePicture(MarkKind kind, const std::uint8_t* bytes, std::size_t length,
                     std::ostream& out) {
    if (kind == MarkKind::kWatermark) {
        if (length < 12) {
            out << "picture: " << length << " bytes, too short for a picture header; "
                << "iZeWaterMark would return 2000\n";
            return;
        }
        const std::int64_t width = static_cast<std::int32_t>(base::ReadBe32(bytes));
        const std::int64_t height = static_cast<std::int32_t>(base::ReadBe32(bytes + 4));
        const std::int32_t bits = static_cast<std::int32_t>(base::ReadBe32(bytes + 8));
        out << "picture: " << width << "x" << height << ", " << bits << " bits per pixel\n";
        if (bits != 8 && bits != 24) {
            out << "  iZeWaterMark would return 2000: the depth is not 8 or 24 bits\n";
        } else if (width < 1 || height < 1) {
            out << "  iZeWaterMark would return 2000: the picture has no pixels\n";
        } else if (static_cast<std::uint64_t>(width * height) * std::uint64_t(bits / 8) > length - 12) {
            out << "  iZeWaterMark would return 2000: the header asks for more pixels than "
                   "the container delivered\n";
        }
        return;
    }
    out << "water code: " << length << " bytes: layout 1 reads " << length / 248
        << " columns of 248 rows";
    if (length % 248 != 0) out << " (" << length % 248 << " bytes left over)";
    out << "; other layouts read " << length / 128 << " columns of 128 rows";
    if (length % 128 != 0) out << " (" << length % 128 << " bytes left over)";
    out << "\n";
}

}  // namespace

int RunPack(const PackOptions& options, std::ostream& out, std::ostream& err) {
    if (options.chunk < 1 || options.chunk > authoring::kMaxChunkShare) {
        throw ToolError("--chunk must be 1 to " + std::to_string(authoring::kMaxChunkShare));
    }
    CheckOutputPath(options.output);
    std::string described;
    std::vector<std::uint8_t> payload;
    if (options.raw) {
        payload = ReadWholeFile(options.input, kMaxPictureBytes);
        described = "raw bytes";
    } else {
        payload = PicturePayload(options, described, err);
    }
    if (payload.empty()) throw ToolError(options.input + " is empty: there is nothing to pack");
    if (payload.size() > kMaxPictureBytes) {
        throw ToolError(options.input + ": the picture needs more than " +
                        std::to_string(kMaxPictureBytes >> 20) + " MiB");
    }

    const std::vector<std::uint8_t> container = authoring::PackContainer(payload, options.chunk);
    const std::string text = authoring::EncodeBase64(container);

    // The text must decode, through the library itself, to exactly the payload.
    const MarkText mark = ParseMarkText(text);
    const Decoded check = DecodeWithExport(options.kind, mark, options.output);
    const ContainerReport report = InspectContainer(container);
    if (check.code != 0 || !report.usable || report.delivered != payload.size() ||
        std::memcmp(check.buffers.raster.data.get(), payload.data(), payload.size()) != 0) {
        throw ToolError("the packed container does not decode back to the input (" +
                        DescribeResult(check.code) + "); nothing was written");
    }

    WriteFileAtomically(options.output, text + "\n");
    out << "packed " << options.input << " (" << described << ") as a " << KindName(options.kind)
        << ": " << payload.size() << " bytes in " << report.chunks << " chunk"
        << (report.chunks == 1 ? "" : "s") << ", " << container.size() << " container bytes, "
        << text.size() << " Base64 characters -> " << options.output << "\n";
    return 0;
}

int RunUnpack(const UnpackOptions& options, std::ostream& out, std::ostream& err) {
    const MarkText mark = LoadMarkText(options.input, err);
    const Decoded decoded = DecodeWithExport(options.kind, mark, options.input);
    const char* exportName =
        options.kind == MarkKind::kWatermark ? "iZeWaterMarkData" : "iZeWaterCodeData";
    out << exportName << ": " << DescribeResult(decoded.code) << "\n";

    const ContainerReport report = InspectContainer(DecodeBase64Prefix(mark.text, mark.text.size()));
    if (decoded.code != 0) {
        if (!report.problem.empty()) out << "  cause: " << report.problem << "\n";
        return 1;
    }
    if (!report.usable) {
        // The library accepted what this tool's reading rejects: the number
        // of bytes delivered is then unknown, so nothing is written.
        err << "zeseal: error: the library decoded " << options.input
            << " but the tool cannot account for it (" << report.problem << ")\n";
        return 1;
    }
    out << "container: " << report.chunks << " chunk" << (report.chunks == 1 ? "" : "s")
        << ", states " << report.statedTotal << " bytes, delivers " << report.delivered << "\n";
    if (report.delivered < static_cast<std::uint64_t>(report.statedTotal)) {
        err << "zeseal: warning: the container delivers " << report.delivered << " of the "
            << report.statedTotal << " bytes it states\n";
    }
    const std::uint8_t* picture = decoded.buffers.raster.data.get();
    const std::size_t length = static_cast<std::size_t>(report.delivered);
    DescribePicture(options.kind, picture, length, out);

    if (!options.output.empty()) {
        if (options.png) {
            WritePngFile(options.output,
                         PictureOf(options.kind, picture, length, options.layout, options.input));
        } else {
            WriteFileAtomically(options.output, std::span<const std::uint8_t>(picture, length));
        }
        out << "wrote " << (options.png ? "a PNG picture" : std::to_string(length) + " bytes")
            << " to " << options.output << "\n";
    }
    return 0;
}

}  // namespace zeseal::tool
