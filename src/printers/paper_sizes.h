// The named paper sizes that printers are set up with: the virtual printers'
// "paper" key and the tool's pages. Each is the size of the DEVMODE paper
// code beside it, portrait, in tenths of a millimetre.
//
// Header only: the POSIX printers file sits in the platform library, which
// links below the printer code, and still reads this table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/ascii_case.h"

namespace zeseal::printers {

struct PaperSize {
    std::string_view name;
    std::int16_t devmodeCode;  // DMPAPER_*
    std::int32_t widthTenthMm;
    std::int32_t heightTenthMm;
    std::string_view measure;  // as the sheet is known
};

// B5 is the size drivers give that name, JIS B5 (DMPAPER_B5, 182 x 257 mm);
// the smaller ISO B5 has the code of the B5 envelope (DMPAPER_ENV_B5).
inline constexpr std::array<PaperSize, 6> kPaperSizes = {{
    {"A4", 9, 2100, 2970, "210 x 297 mm"},
    {"A5", 11, 1480, 2100, "148 x 210 mm"},
    {"B5", 13, 1820, 2570, "182 x 257 mm"},
    {"B5-ISO", 34, 1760, 2500, "176 x 250 mm"},
    {"Letter", 1, 2159, 2794, "8.5 x 11 in"},
    {"Legal", 5, 2159, 3556, "8.5 x 14 in"},
}};

// The size of that name, ignoring case; nullptr for any other name.
inline const PaperSize* FindPaperSize(std::string_view name) noexcept {
    for (const PaperSize& size : kPaperSizes) {
        if (base::SameIgnoringCase(name, size.name)) return &size;
    }
    return nullptr;
}

// "A4, A5, B5, B5-ISO, Letter, Legal", for messages.
inline std::string PaperSizeNames() {
    std::string names;
    for (const PaperSize& size : kPaperSizes) {
        if (!names.empty()) names += ", ";
        names += size.name;
    }
    return names;
}

}  // namespace zeseal::printers
