// The copy-detection pattern of a printer model: the name looked up for a
// printer, and the pattern image built from the model's record.
#pragma once

#include <cstdint>

#include "base/name_cut.h"

namespace zeseal::marks {

// The buffer size callers are told to allocate for an image (the size of an
// 8-bit BMP file image of 622 x 304 pixels); it bounds the 140470 written.
inline constexpr std::int32_t kCopyDetectorBufferSize = 622 * 304 + 1078;

// The name a printer's pattern is looked up under, into name (zeroed first):
// with kind 1101 the model name as a name buffer keeps it (base::CutLongName);
// with any other kind "NETWORKPRINTER".
// Returns false, name left empty, for kind 1101 without a model name.
bool ChooseDetectorName(const char* modelName, std::int32_t kind,
                        char (&name)[base::kNameBufferSize]) noexcept;

// Builds the pattern image of the model named into out (which must hold
// kPatternImageSize bytes). The name is normalised, reported on the debugger
// output and looked up; a model without a record of its own gets the
// "DEFAULT" record and the plainer variant. Returns 0; 60000 when neither
// the model nor "DEFAULT" has a record; 60001 when the supported-model file
// is missing or corrupt; -1 when rendering failed (no font, no memory); -2
// for a null name. out is written only on success.
std::int32_t BuildCopyDetectorImage(const char* modelName, std::uint8_t* out) noexcept;

}  // namespace zeseal::marks
