#include "platform/posix/text/freetype_line.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace zeseal::platform::posix {

struct FreeTypeLine::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Handles() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }
};

FreeTypeLine::FreeTypeLine(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}
FreeTypeLine::~FreeTypeLine() = default;

std::unique_ptr<FreeTypeLine> FreeTypeLine::Load(const std::string& path, int index,
                                                 std::int32_t height, bool embolden) {
    if (height == 0 || height == INT32_MIN) return nullptr;
    auto handles = std::make_unique<Handles>();
    if (FT_Init_FreeType(&handles->library) != 0) return nullptr;
    if (FT_New_Face(handles->library, path.c_str(), index, &handles->face) != 0) return nullptr;
    FT_Face face = handles->face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;

    // The Windows cell: usWinAscent + usWinDescent, in font units.
    double ascentUnits = face->ascender;
    double descentUnits = -double(face->descender);
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent;
        descentUnits = os2->usWinDescent;
    }
    const double cellUnits = ascentUnits + descentUnits;
    if (cellUnits <= 0) return nullptr;
    const double upem = face->units_per_EM;
    const double ppem = height > 0 ? double(height) * upem / cellUnits : -double(height);
    if (ppem < 1 || ppem > 4096) return nullptr;
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72) != 0) {
        return nullptr;
    }

    std::unique_ptr<FreeTypeLine> line(new FreeTypeLine(std::move(handles)));
    line->metrics_.ascent = static_cast<std::int32_t>(std::lround(ascentUnits * ppem / upem));
    line->metrics_.descent = static_cast<std::int32_t>(std::lround(descentUnits * ppem / upem));
    if (height > 0) line->metrics_.descent = height - line->metrics_.ascent;
    if (embolden) line->emboldenStrength_ = std::max<long>(64, std::lround(ppem * 64 / 24));
    return line;
}

std::int32_t FreeTypeLine::Advance(const std::u32string& text) {
    std::int64_t total = 0;
    for (const char32_t c : text) {
        FT_Face face = handles_->face;
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) continue;
        total += (face->glyph->advance.x + emboldenStrength_ + 32) >> 6;
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(total, INT32_MAX));
}

void FreeTypeLine::Draw(const std::u32string& text, std::int32_t left, std::int32_t top,
                        const ClipBox& clipIn, Raster raster, std::uint8_t value) {
    const ClipBox clip{std::max(clipIn.left, 0), std::max(clipIn.top, 0),
                       std::min(clipIn.right, raster.width), std::min(clipIn.bottom, raster.height)};
    if (clip.left >= clip.right || clip.top >= clip.bottom) return;
    FT_Face face = handles_->face;
    std::int64_t penX = left;
    const std::int64_t baseline = std::int64_t{top} + metrics_.ascent;
    for (const char32_t c : text) {
        if (penX >= clip.right) break;
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) continue;
        FT_GlyphSlot slot = face->glyph;
        if (emboldenStrength_ != 0 && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            FT_Outline_EmboldenXY(&slot->outline, emboldenStrength_, 0);  // a failure leaves it thin
        }
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) continue;
        const FT_Bitmap& bitmap = slot->bitmap;
        const std::int64_t x0 = penX + slot->bitmap_left;
        const std::int64_t y0 = baseline - slot->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const std::int64_t y = y0 + row;
            if (y < clip.top || y >= clip.bottom) continue;
            const unsigned char* bits = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
            std::uint8_t* out = raster.pixels + y * raster.width;
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const std::int64_t x = x0 + col;
                if (x < clip.left || x >= clip.right) continue;
                if ((bits[col >> 3] & (0x80 >> (col & 7))) != 0) out[x] = value;
            }
        }
        penX += (slot->advance.x + emboldenStrength_ + 32) >> 6;
    }
}

}  // namespace zeseal::platform::posix
