// Finds the font file for a face name of the library's texts, through
// fontconfig.
//
// The Windows faces "궁서체" and "궁서" (a Korean brush-style serif, fixed
// and proportional) have no counterpart on a Debian system; both are stood
// in for by NanumMyeongjo (fonts-nanum).
// The order tried for them, and for any other face name, is:
//   1. the face's own family (for "궁서체": NanumMyeongjo);
//   2. a serif face that covers Korean;
//   3. any face that covers Korean;
//   4. fontconfig's choice for "serif", whatever it covers.
// Weight 600 and above asks for a bold face, and italic for an italic one;
// a face without them is used as it is (the rasteriser emboldens).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zeseal::platform::posix {

struct FontFile {
    std::string path;  // empty when fontconfig finds no font at all
    int index = 0;     // the face within the file
    bool bold = false;    // the file's face is bold itself
    std::string family;   // as fontconfig names it, for diagnostics and tests
};

// faceName is in code page 949. Results are remembered for the life of the
// process, as fontconfig's own lookups are slow.
FontFile FindFontFile(std::string_view faceName, std::int32_t weight, bool italic);

// The family that stands in for a face name (CP949), or the name itself in
// UTF-8 when no stand-in is set for it.
std::string FamilyForFace(std::string_view faceName);

}  // namespace zeseal::platform::posix
