// PNG through libpng. libpng reports errors by longjmp, so each setjmp lives
// in a small function that touches only a heap-held state object: no C++
// object with a destructor is skipped, and no local is read after the jump.
#include "png_codec.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "image_io.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

// Ancillary chunks (text, colour profiles) are never needed; cap what one
// may make libpng allocate.
constexpr png_alloc_size_t kMaxChunkAllocation = 8u << 20;

struct PngReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
    char message[256] = "";

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int channels = 0;
    std::size_t rowBytes = 0;
    std::int32_t dpi = 0;
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;

    ~PngReadState() {
        if (png != nullptr) png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    }
};

// Error callbacks run inside libpng: they copy the message into fixed
// storage (nothing that can throw) and jump back to the setjmp.
void KeepMessage(char (&to)[256], png_const_charp message) {
    std::snprintf(to, sizeof to, "%s", message != nullptr ? message : "unknown libpng error");
}

void OnReadError(png_structp png, png_const_charp message) {
    KeepMessage(static_cast<PngReadState*>(png_get_error_ptr(png))->message, message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (length > state->bytes.size() - state->at) png_error(png, "the file is truncated");
    std::memcpy(out, state->bytes.data() + state->at, length);
    state->at += length;
}

// Reads the header and sets the transforms; the caller checks the size.
bool ReadPngHeader(PngReadState* s) {
    if (setjmp(png_jmpbuf(s->png))) return false;
    png_set_read_fn(s->png, s, ReadFromMemory);
    png_set_user_limits(s->png, kMaxImageSide, kMaxImageSide);
    png_set_chunk_malloc_max(s->png, kMaxChunkAllocation);
    png_read_info(s->png, s->info);

    // Palette to RGB, low-bit grey to 8 bits, tRNS to an alpha channel, 16
    // bits to 8; interlaced files are put together by png_read_image.
    png_set_expand(s->png);
    png_set_strip_16(s->png);
    png_set_interlace_handling(s->png);
    png_read_update_info(s->png, s->info);

    s->width = png_get_image_width(s->png, s->info);
    s->height = png_get_image_height(s->png, s->info);
    s->channels = png_get_channels(s->png, s->info);
    s->rowBytes = png_get_rowbytes(s->png, s->info);
    png_uint_32 resX = 0;
    png_uint_32 resY = 0;
    int unit = 0;
    if (png_get_pHYs(s->png, s->info, &resX, &resY, &unit) != 0 && unit == PNG_RESOLUTION_METER &&
        resX == resY && resX != 0) {
        s->dpi = static_cast<std::int32_t>((std::uint64_t{resX} * 254 + 5000) / 10000);
    }
    return true;
}

bool ReadPngRows(PngReadState* s) {
    if (setjmp(png_jmpbuf(s->png))) return false;
    png_read_image(s->png, s->rows.data());
    return true;
}

// Composites pixels with an alpha channel over white paper and drops alpha.
std::vector<std::uint8_t> OverWhite(const std::vector<std::uint8_t>& in, int channels) {
    const int colour = channels - 1;
    std::vector<std::uint8_t> out(in.size() / channels * colour);
    std::size_t o = 0;
    for (std::size_t i = 0; i < in.size(); i += channels) {
        const std::uint32_t alpha = in[i + colour];
        for (int c = 0; c < colour; ++c) {
            out[o++] = static_cast<std::uint8_t>((in[i + c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
    return out;
}

struct PngWriteState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint8_t> out;
    char message[256] = "";
    const Image* image = nullptr;

    ~PngWriteState() {
        if (png != nullptr) png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    }
};

void OnWriteError(png_structp png, png_const_charp message) {
    KeepMessage(static_cast<PngWriteState*>(png_get_error_ptr(png))->message, message);
    png_longjmp(png, 1);
}

// No exception may cross libpng's frames: a failed append becomes a libpng
// error, raised once the catch block has been left.
void WriteToMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<PngWriteState*>(png_get_io_ptr(png));
    bool appended = true;
    try {
        state->out.insert(state->out.end(), data, data + length);
    } catch (...) {
        appended = false;
    }
    if (!appended) png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

bool WritePngBody(PngWriteState* s) {
    if (setjmp(png_jmpbuf(s->png))) return false;
    const Image& image = *s->image;
    png_set_write_fn(s->png, s, WriteToMemory, FlushNothing);
    png_set_IHDR(s->png, s->info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8,
                 image.channels == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (image.dpi > 0) {
        const auto perMetre = static_cast<png_uint_32>((std::uint64_t(image.dpi) * 10000 + 127) / 254);
        png_set_pHYs(s->png, s->info, perMetre, perMetre, PNG_RESOLUTION_METER);
    }
    png_write_info(s->png, s->info);
    for (std::int32_t y = 0; y < image.height; ++y) {
        png_write_row(s->png, image.pixels.data() + std::size_t(y) * image.RowBytes());
    }
    png_write_end(s->png, nullptr);
    return true;
}

}  // namespace

Image DecodePng(std::span<const std::uint8_t> bytes, std::string_view name) {
    const std::string where(name);
    auto state = std::make_unique<PngReadState>();
    state->bytes = bytes;
    state->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state.get(), OnReadError, OnWarning);
    if (state->png == nullptr) throw ToolError(where + ": cannot start the PNG reader");
    state->info = png_create_info_struct(state->png);
    if (state->info == nullptr) throw ToolError(where + ": cannot start the PNG reader");

    if (!ReadPngHeader(state.get())) throw ToolError(where + ": bad PNG: " + std::string(state->message));
    if (state->channels < 1 || state->channels > 4) {
        throw ToolError(where + ": bad PNG: unexpected channel count");
    }
    const int colour = state->channels >= 3 ? 3 : 1;
    CheckImageSize(state->width, state->height, state->channels, name);
    if (state->rowBytes != std::size_t(state->width) * std::size_t(state->channels)) {
        throw ToolError(where + ": bad PNG: unexpected row layout");
    }

    state->pixels.resize(state->rowBytes * state->height);
    state->rows.resize(state->height);
    for (png_uint_32 y = 0; y < state->height; ++y) {
        state->rows[y] = state->pixels.data() + std::size_t(y) * state->rowBytes;
    }
    if (!ReadPngRows(state.get())) throw ToolError(where + ": bad PNG: " + std::string(state->message));

    Image image;
    image.width = static_cast<std::int32_t>(state->width);
    image.height = static_cast<std::int32_t>(state->height);
    image.channels = colour;
    image.dpi = state->dpi;
    image.pixels = state->channels == colour ? std::move(state->pixels)
                                             : OverWhite(state->pixels, state->channels);
    return image;
}

std::vector<std::uint8_t> EncodePng(const Image& image) {
    if ((image.channels != 1 && image.channels != 3) || image.width < 1 || image.height < 1 ||
        image.pixels.size() != image.RowBytes() * std::size_t(image.height)) {
        throw ToolError("cannot write a PNG of an inconsistent picture");
    }
    auto state = std::make_unique<PngWriteState>();
    state->image = &image;
    state->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state.get(), OnWriteError, OnWarning);
    if (state->png == nullptr) throw ToolError("cannot start the PNG writer");
    state->info = png_create_info_struct(state->png);
    if (state->info == nullptr) throw ToolError("cannot start the PNG writer");
    if (!WritePngBody(state.get())) throw ToolError("cannot encode the PNG: " + std::string(state->message));
    return std::move(state->out);
}

}  // namespace zeseal::tool
