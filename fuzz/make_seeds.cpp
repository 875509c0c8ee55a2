// Writes the seed corpora of the fuzz targets: zeseal_fuzz_seeds <corpus-dir>
// fills <corpus-dir>/<target>/ with small inputs of every shape the decoders
// know, valid ones and each kind of broken one. Files of the same name are
// overwritten; other files are left alone. The output is deterministic.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "authoring/bmp_writer.h"
#include "authoring/container_writer.h"
#include "authoring/data_file_writer.h"
#include "base/byte_order.h"

namespace {

namespace fs = std::filesystem;
namespace authoring = zeseal::authoring;
using Bytes = std::vector<std::uint8_t>;

fs::path gRoot;
std::size_t gFiles = 0;
std::size_t gBytes = 0;

void Write(const std::string& target, const std::string& name, std::span<const std::uint8_t> bytes) {
    const fs::path dir = gRoot / target;
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (dir / name).string());
    ++gFiles;
    gBytes += bytes.size();
}

void WriteText(const std::string& target, const std::string& name, const std::string& text) {
    Write(target, name, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// A fixed pseudo-random sequence, so the seeds never change between runs.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    std::uint8_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(state_ >> 24);
    }

private:
    std::uint32_t state_;
};

Bytes NoiseBytes(std::size_t n, std::uint32_t seed) {
    Noise noise(seed);
    Bytes out(n);
    for (auto& b : out) b = noise.Next();
    return out;
}

// A dense black-and-white code: square modules of module x module pixels,
// one grey byte per pixel, rows stored bottom row first.
Bytes CodePixels(std::int32_t width, std::int32_t rows, std::int32_t module, std::uint32_t seed) {
    Noise noise(seed);
    const std::int32_t across = (width + module - 1) / module;
    const std::int32_t down = (rows + module - 1) / module;
    std::vector<std::uint8_t> modules(std::size_t(across) * std::size_t(down));
    for (auto& m : modules) m = (noise.Next() & 1) != 0 ? 0 : 255;
    Bytes out(std::size_t(width) * std::size_t(rows));
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < width; ++c) {
            out[std::size_t(r) * std::size_t(width) + std::size_t(c)] =
                modules[std::size_t(r / module) * std::size_t(across) + std::size_t(c / module)];
        }
    }
    return out;
}

// A MarkRaster with a soft gradient, grey or colour.
Bytes Watermark(std::int32_t width, std::int32_t height, std::int32_t depth) {
    const std::int32_t channels = depth / 8;
    Bytes rows(std::size_t(width) * std::size_t(height) * std::size_t(channels));
    std::size_t at = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            for (std::int32_t ch = 0; ch < channels; ++ch) {
                rows[at++] = static_cast<std::uint8_t>(128 + (x * 7 + y * 5 + ch * 40) % 128);
            }
        }
    }
    return authoring::MakeMarkRaster(width, height, depth, rows);
}

Bytes Zlib(std::span<const std::uint8_t> plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    Bytes packed(size);
    if (compress2(packed.data(), &size, plain.data(), static_cast<uLong>(plain.size()), 9) != Z_OK) {
        throw std::runtime_error("zlib could not compress");
    }
    packed.resize(size);
    return packed;
}

// A container assembled by hand: the stated total, then the given chunks
// (each with its length word), then the given end words.
Bytes Container(std::int32_t total, const std::vector<Bytes>& chunks, bool endMarker = true) {
    Bytes out;
    authoring::AppendBigEndian32(out, static_cast<std::uint32_t>(total));
    for (const Bytes& chunk : chunks) {
        authoring::AppendBigEndian32(out, static_cast<std::uint32_t>(chunk.size()));
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    if (endMarker) authoring::AppendBigEndian32(out, 0);
    return out;
}

Bytes WithTerminator(Bytes share) {
    share.push_back(0);
    return share;
}

Bytes Words(std::initializer_list<std::uint32_t> words, std::size_t extraBytes = 0) {
    Bytes out;
    for (const std::uint32_t w : words) authoring::AppendBigEndian32(out, w);
    out.resize(out.size() + extraBytes, 0x5A);
    return out;
}

struct Named {
    std::string name;
    Bytes bytes;
};

const Bytes& Find(const std::vector<Named>& list, const std::string& name) {
    for (const Named& n : list) {
        if (n.name == name) return n.bytes;
    }
    throw std::logic_error("no seed named " + name);
}

// Containers, valid and broken, shared by several targets.
std::vector<Named> Containers() {
    std::vector<Named> c;
    const Bytes small = NoiseBytes(100, 1);
    c.push_back({"single_chunk", authoring::PackContainer(small)});
    c.push_back({"multi_chunk", authoring::PackContainer(NoiseBytes(1000, 2), 300)});
    c.push_back({"one_byte_chunks", authoring::PackContainer(NoiseBytes(9, 3), 1)});
    c.push_back({"code_16x128", authoring::PackContainer(CodePixels(16, 128, 2, 4))});
    c.push_back({"code_2528x128", authoring::PackContainer(CodePixels(2528, 128, 32, 5))});
    c.push_back({"code_1928x248", authoring::PackContainer(CodePixels(1928, 248, 62, 6))});
    c.push_back({"watermark_8bit", authoring::PackContainer(Watermark(12, 10, 8))});
    c.push_back({"watermark_24bit", authoring::PackContainer(Watermark(8, 6, 24))});

    Bytes noEnd = authoring::PackContainer(small);
    noEnd.resize(noEnd.size() - 4);
    c.push_back({"no_end_marker", noEnd});
    Bytes trailing = authoring::PackContainer(small);
    trailing.insert(trailing.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34});
    c.push_back({"after_end_marker", trailing});
    c.push_back({"short_of_total", Container(1000, {Zlib(WithTerminator(small))})});
    c.push_back({"terminator_only", Container(5, {Zlib(Bytes{0})})});

    c.push_back({"total_zero", Container(0, {Zlib(WithTerminator(small))})});
    c.push_back({"total_negative", Container(-16, {Zlib(WithTerminator(small))})});
    c.push_back({"negative_chunk", Words({10, 0xFFFFFFFB}, 8)});
    c.push_back({"chunk_too_long", Words({10, 30001}, 16)});
    c.push_back({"chunk_past_end", Words({10, 100}, 10)});
    c.push_back({"truncated_3", Bytes{0, 0, 1}});
    c.push_back({"truncated_7", Bytes{0, 0, 0, 10, 0, 0, 0}});
    c.push_back({"length_word_cut", Words({100}, 2)});
    c.push_back({"empty_chunk", Container(10, {Zlib(Bytes{})})});
    c.push_back({"exceeds_total", Container(10, {Zlib(WithTerminator(small))})});
    c.push_back({"inflates_past_buffer", Container(60000, {Zlib(Bytes(50000, 7))})});
    Bytes damaged = authoring::PackContainer(NoiseBytes(400, 7));
    damaged[damaged.size() / 2] ^= 0x40;
    c.push_back({"damaged_stream", damaged});
    Bytes cut = authoring::PackContainer(NoiseBytes(400, 8));
    cut.resize(cut.size() - 12);  // drops the end marker and the stream's tail
    c.push_back({"stream_cut_short", cut});
    return c;
}

void Base64Seeds() {
    const std::string t = "base64";
    WriteText(t, "empty", "");
    WriteText(t, "one_group", "TWFu");
    WriteText(t, "pad_one", "TWE=");
    WriteText(t, "pad_two", "TQ==");
    WriteText(t, "two_digits", "TQ");
    WriteText(t, "single_digit", "T");
    WriteText(t, "five_digits", "TWFuT");
    WriteText(t, "fifteen", "QUJDREVGR0hJSkt");
    WriteText(t, "sixteen", "QUJDREVGR0hJSktM");
    WriteText(t, "seventeen", "QUJDREVGR0hJSktMT");
    WriteText(t, "alphabet", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    WriteText(t, "url_safe_digits", "ab-_cd");
    WriteText(t, "blank_inside", "TWFu TWFu");
    WriteText(t, "nul_inside", std::string("TWFuTWFu\0TWFu", 13));
    WriteText(t, "high_bytes", "TWFu\xFF\x80TWFu");
    std::string wrapped = authoring::EncodeBase64(NoiseBytes(120, 9));
    wrapped.insert(76, "\r\n");
    WriteText(t, "line_wrapped", wrapped);
    WriteText(t, "long", authoring::EncodeBase64(NoiseBytes(600, 10)));
    // The non-digit in every position of a 16-character block.
    for (int at = 0; at < 16; ++at) {
        std::string s = "QUJDREVGR0hJSktMTU5PUFFS";
        s[static_cast<std::size_t>(at)] = '=';
        WriteText(t, "stop_at_" + std::to_string(at), s);
    }
}

void ContainerSeeds(const std::vector<Named>& containers) {
    for (const Named& c : containers) Write("container", c.name, c.bytes);
}

void MarkDataSeeds(const std::vector<Named>& containers) {
    for (const char* target : {"watermark_data", "watercode_data"}) {
        for (const Named& c : containers) WriteText(target, c.name, authoring::EncodeBase64(c.bytes));
        const std::string code = authoring::EncodeBase64(Find(containers, "code_16x128"));
        WriteText(target, "trailing_newline", code + "\n");
        WriteText(target, "unpadded", code.substr(0, code.find('=')));
        std::string wrapped = code.substr(0, 76);
        wrapped += '\n';  // decoding stops at the line end
        wrapped += code.substr(76);
        WriteText(target, "wrapped", wrapped);
        WriteText(target, "no_digits", "====");
        WriteText(target, "empty", "");
    }
}

// A watercode_draw input: flags, layout, x, y, rasterBytes, then the payload.
Bytes DrawInput(std::uint8_t flags, std::uint8_t layout, std::int32_t x, std::int32_t y,
                std::int32_t rasterBytes, std::span<const std::uint8_t> payload) {
    Bytes out{flags, layout};
    authoring::AppendBigEndian32(out, static_cast<std::uint32_t>(x));
    authoring::AppendBigEndian32(out, static_cast<std::uint32_t>(y));
    authoring::AppendBigEndian32(out, static_cast<std::uint32_t>(rasterBytes));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

void DrawSeeds(const std::vector<Named>& containers) {
    const std::string t = "watercode_draw";
    constexpr std::uint8_t kWatermark = 1;
    constexpr std::uint8_t kPackHere = 2;
    auto page = [](int which) { return static_cast<std::uint8_t>(which << 2); };

    const Bytes code16 = CodePixels(16, 128, 2, 11);
    const Bytes code16Container = authoring::PackContainer(code16);
    for (int p = 0; p < 4; ++p) {
        Write(t, "code_16x128_page" + std::to_string(p),
              DrawInput(page(p), 2, 20, 40, 2048, code16Container));
    }
    Write(t, "code_at_edge", DrawInput(0, 2, 0, 0, 2048, code16Container));
    Write(t, "code_off_left", DrawInput(page(2), 2, -40, 10, 2048, code16Container));
    Write(t, "code_off_bottom", DrawInput(page(1), 2, 10, 290, 2048, code16Container));
    Write(t, "code_padded_rows", DrawInput(0, 2, 5, 5, 13 * 128, authoring::PackContainer(CodePixels(13, 128, 1, 12))));
    Write(t, "code_layout1", DrawInput(page(3), 1, 10, 10, 9 * 248, authoring::PackContainer(CodePixels(9, 248, 3, 13))));
    Write(t, "code_default_width", DrawInput(page(2), 0, 1, 1, 0, Find(containers, "code_2528x128")));
    Write(t, "code_default_width_layout1", DrawInput(page(1), 1, 1, 1, 0, Find(containers, "code_1928x248")));
    Write(t, "code_too_few_bytes", DrawInput(0, 2, 1, 1, 4096, code16Container));
    Write(t, "code_negative_bytes", DrawInput(0, 2, 1, 1, -2048, code16Container));
    Write(t, "code_picture_here", DrawInput(kPackHere | page(1), 2, 3, 3, 2048, code16));

    const Bytes grey = Watermark(40, 30, 8);
    const Bytes colour = Watermark(33, 21, 24);
    for (int p = 0; p < 4; ++p) {
        Write(t, "watermark_8bit_page" + std::to_string(p),
              DrawInput(kWatermark | kPackHere | page(p), 0, 10, 20, 0, grey));
        Write(t, "watermark_24bit_page" + std::to_string(p),
              DrawInput(kWatermark | kPackHere | page(p), 0, 100, 80, 0, colour));
    }
    Write(t, "watermark_container", DrawInput(kWatermark, 0, 7, 7, 0, Find(containers, "watermark_8bit")));
    Bytes depth16 = Watermark(4, 4, 8);
    depth16[11] = 16;
    Write(t, "watermark_depth16", DrawInput(kWatermark | kPackHere, 0, 0, 0, 0, depth16));
    Bytes tooTall = Watermark(4, 4, 8);
    tooTall[7] = 5;
    Write(t, "watermark_header_too_tall", DrawInput(kWatermark | kPackHere, 0, 0, 0, 0, tooTall));
    Write(t, "watermark_header_cut", DrawInput(kWatermark | kPackHere, 0, 0, 0, 0, Bytes{0, 0, 0, 4, 0}));

    for (const std::string broken : {"negative_chunk", "total_zero", "damaged_stream"}) {
        Write(t, "code_" + broken, DrawInput(0, 2, 0, 0, 0, Find(containers, broken)));
        Write(t, "watermark_" + broken, DrawInput(kWatermark, 0, 0, 0, 0, Find(containers, broken)));
    }
}

void SetLittleEndian32(Bytes& bytes, std::size_t offset, std::int32_t value) {
    zeseal::base::WriteLe32(&bytes[offset], static_cast<std::uint32_t>(value));
}

authoring::ModelFileEntry ModelEntry(const std::string& name, std::int16_t shape, std::int16_t pitch,
                                     std::int32_t tag = 74) {
    return {tag, authoring::MakeModelRecord(name, {1, 0, 0, 0, shape, pitch, 1, 0})};
}

void ModelFileSeeds() {
    const std::string t = "model_file";
    using Entries = std::vector<authoring::ModelFileEntry>;
    const Bytes normal = authoring::BuildModelFile(
        Entries{ModelEntry("DEFAULT", 11, 4), ModelEntry("InkOne", 12, 3), ModelEntry("LaserTwo", 22, 5)});
    Write(t, "three_records", normal);
    Write(t, "filler_entries", authoring::BuildModelFile(Entries{
        {0, {}}, ModelEntry("A", 11, 1), {0, {}}, {0, {}}, ModelEntry("DEFAULT", 21, 6, 66)}));
    Write(t, "empty", Bytes{});
    Write(t, "count_only", Bytes{1, 0, 0, 0});
    Bytes cut = normal;
    cut.resize(4 + 78 + 30);
    Write(t, "cut_in_record", cut);
    Bytes badTag = normal;
    badTag[4 + 78] = 17;
    Write(t, "bad_tag", badTag);
    Bytes badChecksum = normal;
    badChecksum[4 + 4 + 70] ^= 1;
    Write(t, "bad_checksum", badChecksum);
    Bytes negative = normal;
    SetLittleEndian32(negative, 0, -2);
    Write(t, "negative_count", negative);
    Bytes tooMany = normal;
    SetLittleEndian32(tooMany, 0, 0x7FFFFFFF);
    Write(t, "count_too_high", tooMany);
    zeseal::catalogue::ModelRecord unterminated{};
    for (char& c : unterminated.modelName) c = 'U';
    Write(t, "unterminated_name", authoring::BuildModelFile(Entries{{74, unterminated}, ModelEntry("DEFAULT", 11, 2)}));
    Write(t, "noise", NoiseBytes(4 + 78 * 2, 21));
}

// BMP files of every depth and header form the readers know, whole and in
// each way they are refused.
std::vector<Named> BmpFiles() {
    const auto indexed = [](std::int32_t w, std::int32_t h, std::int32_t bits) {
        authoring::IndexedPicture p{w, h, bits, {{255, 255, 255}, {0, 0, 0}}, {}, 72};
        for (std::int32_t i = 0; i < w * h; ++i) p.indices.push_back(static_cast<std::uint8_t>((i / 3) & 1));
        return authoring::EncodeIndexedBmp(p);
    };
    std::vector<Named> files;
    const Bytes eight = indexed(9, 7, 8);
    const Bytes one = indexed(13, 5, 1);
    files.push_back({"indexed_8bit", eight});
    files.push_back({"indexed_1bit", one});
    // 24 bits: 4 x 2 pixels of 12 bytes a row.
    Bytes deep(54 + 24, 0x40);
    deep[0] = 'B';
    deep[1] = 'M';
    SetLittleEndian32(deep, 2, static_cast<std::int32_t>(deep.size()));
    SetLittleEndian32(deep, 10, 54);
    SetLittleEndian32(deep, 14, 40);
    SetLittleEndian32(deep, 18, 4);
    SetLittleEndian32(deep, 22, -2);  // top-down rows
    deep[26] = 1;
    deep[28] = 24;
    for (std::size_t i = 30; i < 54; ++i) deep[i] = 0;
    files.push_back({"deep_top_down", deep});
    // The 12-byte core header: 3 x 2, 1 bit, 3-byte colour entries.
    Bytes core(14 + 12 + 6 + 8, 0);
    core[0] = 'B';
    core[1] = 'M';
    SetLittleEndian32(core, 2, static_cast<std::int32_t>(core.size()));
    SetLittleEndian32(core, 10, 14 + 12 + 6);
    SetLittleEndian32(core, 14, 12);
    core[18] = 3;
    core[20] = 2;
    core[22] = 1;
    core[24] = 1;
    core[26] = core[27] = core[28] = 255;
    core[32] = core[36] = 0xA0;
    files.push_back({"core_header", core});
    Bytes gap = eight;  // rows four bytes after the colour table
    gap.insert(gap.begin() + 1078, 4, 1);
    SetLittleEndian32(gap, 2, static_cast<std::int32_t>(gap.size()));
    SetLittleEndian32(gap, 10, 1082);
    files.push_back({"offset_gap", gap});
    const auto changed = [&](const char* name, std::size_t at, std::int32_t v, bool wide = true) {
        Bytes f = eight;
        if (wide) SetLittleEndian32(f, at, v);
        else f[at] = static_cast<std::uint8_t>(v);
        files.push_back({name, f});
    };
    changed("width_too_wide", 18, 100000);
    changed("height_too_tall", 22, 8);
    changed("width_zero", 18, 0);
    changed("depth_16", 28, 16, false);
    changed("compressed", 30, 1);
    changed("info_size_20", 14, 20);
    changed("info_size_huge", 14, 0x7FFFFFF0);
    changed("offset_past_end", 10, 5000);
    changed("size_field_short", 2, static_cast<std::int32_t>(eight.size()) - 1);
    changed("size_field_huge", 2, 0x7FFFFFFF);
    changed("colours_used_many", 46, 100000);
    Bytes cut = eight;
    cut.pop_back();
    files.push_back({"one_byte_cut", cut});
    Bytes signature = eight;
    signature[0] = 'X';
    files.push_back({"bad_signature", signature});
    files.push_back({"header_only", Bytes(eight.begin(), eight.begin() + 30)});
    files.push_back({"empty", Bytes{}});
    files.push_back({"noise", NoiseBytes(200, 33)});
    return files;
}

void BmpSeeds() {
    const std::vector<Named> files = BmpFiles();
    for (const Named& f : files) {
        // caller_bmp: export and page, x, y, then the image.
        for (const std::uint8_t mode : {0, 3}) {
            Bytes input = {mode, 0, 2, 0, 3};
            input.insert(input.end(), f.bytes.begin(), f.bytes.end());
            Write("caller_bmp", f.name + (mode == 0 ? "_logo" : "_detector_600dpi"), input);
        }
        // court_logo: page, imageLength, x, y, then the image.
        const auto length = static_cast<std::uint32_t>(f.bytes.size());
        for (const auto& [suffix, stated] : {std::pair<std::string, std::uint32_t>{"", length},
                                             {"_short", length / 2}, {"_negative", 0xFFFFFFFFu}}) {
            Bytes input = {0};
            authoring::AppendBigEndian32(input, stated);
            input.insert(input.end(), {0, 1, 0, 1});
            input.insert(input.end(), f.bytes.begin(), f.bytes.end());
            Write("court_logo", f.name + suffix, input);
        }
        Write("logo_file", f.name, f.bytes);
    }
}

void CourtListSeeds() {
    const std::string t = "court_list";
    const std::vector<std::string> names = {"CourtInk1", "courtlaser2", std::string(131, 'L')};
    const Bytes normal = authoring::BuildCourtList(names);
    Write(t, "three_names", normal);
    Write(t, "empty", Bytes{});
    Write(t, "count_only", Bytes{3, 0, 0, 0});
    Bytes cut = normal;
    cut.resize(4 + 136 + 60);
    Write(t, "cut_in_name", cut);
    Bytes lengths = normal;
    SetLittleEndian32(lengths, 4, 100000);
    SetLittleEndian32(lengths, 4 + 136, -5);
    Write(t, "lengths_outside_field", lengths);
    Bytes unterminated = normal;
    for (std::size_t i = 0; i < 132; ++i) unterminated[4 + 4 + i] = 'F';
    Write(t, "unterminated_name", unterminated);
    Bytes negative = normal;
    SetLittleEndian32(negative, 0, -1);
    Write(t, "negative_count", negative);
}

Bytes Concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// A 256 x 64 picture (top row first) of a frame's corner as a scan at
// `scale` pixels a code pixel would show it: the two long sides and the
// short side, two code pixels thick, and a timing square's place.
Bytes FrameCorner(double scale, int left, int top) {
    constexpr int kWidth = 256, kHeight = 64;
    Bytes picture(std::size_t(kWidth) * kHeight, 255);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double u = (x - left + 0.5) / scale;
            const double v = (y - top + 0.5) / scale;
            const bool inside = u >= 0 && v >= 0 && v < 128;
            const bool frame = inside && (u < 2 || v < 2 || v >= 126);
            const bool square = u >= 111 && u < 114 && v >= 7 && v < 10;
            if (frame || square) picture[std::size_t(y) * kWidth + std::size_t(x)] = 0;
        }
    }
    return picture;
}

void DenseScanSeeds() {
    const std::string t = "densecode_read";
    // Width 256, height 64, no padding; then the resolution, the map flag
    // and the map: origin (10, 4), 0.45 pixels a code pixel along x and y.
    const Bytes noMap(13, 0);
    const Bytes frameMap = {1, 0x02, 0x80, 0x01, 0x00, 0x01, 0xCD, 0x00, 0x00, 0x00, 0x00, 0x01, 0xCD};
    Write(t, "frame_135dpi_unknown", Concat(Concat({255, 252, 0, 0}, noMap), FrameCorner(0.45, 10, 4)));
    Write(t, "frame_135dpi_stated", Concat(Concat({255, 252, 0, 115}, noMap), FrameCorner(0.45, 10, 4)));
    Write(t, "frame_135dpi_mapped", Concat(Concat({255, 252, 0, 115}, frameMap), FrameCorner(0.45, 10, 4)));
    Write(t, "blank", Concat({255, 252, 0, 0}, noMap));
    Write(t, "noise", Concat({200, 200, 1, 0}, Concat(noMap, NoiseBytes(1000, 45))));
}

void DenseCodeSeeds() {
    const std::string t = "densecode_decode";
    Write(t, "picture_blank", Bytes{0, 255});
    Write(t, "picture_black", Bytes{0, 0});
    Write(t, "picture_noise", Concat({0}, NoiseBytes(997, 31)));
    Write(t, "damaged_none", Bytes{1, 0, 0, 0, 7});
    Write(t, "damaged_some", Concat({1, 0, 0, 1, 2}, NoiseBytes(3 * 300, 32)));
    Write(t, "damaged_too_much", Concat({1, 0, 0, 1, 3}, NoiseBytes(3 * 6000, 33)));
    Write(t, "unsure_some", Concat({3, 0, 0, 2, 1}, NoiseBytes(2 * 3 * 400, 34)));
    // Page rasters: width, height, channels, padding, resolutions, position.
    Write(t, "page_white_300dpi", Concat({2, 0x0B, 0xB8, 70, 1, 3, 0x01, 0x2C, 25, 0, 0, 0, 0}, {255}));
    Write(t, "page_noise_600dpi", Concat({2, 0x0B, 0xB7, 100, 0, 0, 0x02, 0x58, 100, 0xFF, 0xF0, 0xFF, 0xF0}, NoiseBytes(509, 35)));
    Write(t, "page_off_page", Concat({2, 0x00, 0x10, 4, 1, 2, 0x01, 0x2C, 25, 0x10, 0x00, 0x00, 0x00}, {0}));
    Write(t, "page_low_resolution", Concat({2, 0x01, 0x00, 10, 1, 0, 0x00, 0x96, 0, 0, 0, 0, 0}, {0, 255}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    try {
        gRoot = argv[1];
        const std::vector<Named> containers = Containers();
        Base64Seeds();
        ContainerSeeds(containers);
        MarkDataSeeds(containers);
        DrawSeeds(containers);
        ModelFileSeeds();
        CourtListSeeds();
        BmpSeeds();
        DenseCodeSeeds();
        DenseScanSeeds();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("wrote %zu seeds, %zu bytes\n", gFiles, gBytes);
    return 0;
}
