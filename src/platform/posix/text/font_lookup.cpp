#include "platform/posix/text/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string_view>
#include <tuple>

#include "base/ascii_case.h"
#include "frame/frame_lock.h"
#include "platform/posix/text/cp949_text.h"

namespace zeseal::platform::posix {
namespace {

// "궁서체" and its proportional face "궁서" in code page 949.
constexpr std::string_view kGungseoCp949 = "\xB1\xC3\xBC\xAD\xC3\xBC";
constexpr std::string_view kGungseoProportionalCp949 = "\xB1\xC3\xBC\xAD";
constexpr const char* kGungseoStandIn = "NanumMyeongjo";

struct PatternOwner {
    FcPattern* p;
    explicit PatternOwner(FcPattern* pattern) : p(pattern) {}
    ~PatternOwner() {
        if (p != nullptr) FcPatternDestroy(p);
    }
    PatternOwner(const PatternOwner&) = delete;
    PatternOwner& operator=(const PatternOwner&) = delete;
};

// Family names as fontconfig gives them are UTF-8, where no byte of a
// multibyte character is an ASCII letter: every byte is folded on its own,
// not by the code page 949 rule of base::SameIgnoringCase.
bool SameFamily(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return base::AsciiLower(x) == base::AsciiLower(y);
    });
}

bool CoversKorean(FcPattern* font) {
    FcLangSet* langs = nullptr;
    return FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch &&
           FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ko")) == FcLangEqual;
}

// What one step of the fallback order asks fontconfig for.
struct Request {
    const char* family;      // nullptr: any
    bool korean;             // the face must cover Korean
    bool familyMustMatch;    // the matched family must be the one asked for
};

bool Match(const Request& request, std::int32_t weight, bool italic, FontFile& found) {
    PatternOwner pattern(FcPatternCreate());
    if (pattern.p == nullptr) return false;
    if (request.family != nullptr) {
        FcPatternAddString(pattern.p, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.family));
    }
    if (request.korean) {
        FcLangSet* langs = FcLangSetCreate();
        FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>("ko"));
        FcPatternAddLangSet(pattern.p, FC_LANG, langs);
        FcLangSetDestroy(langs);
    }
    FcPatternAddInteger(pattern.p, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.p, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.p, FcMatchPattern);
    FcDefaultSubstitute(pattern.p);
    FcResult result = FcResultNoMatch;
    PatternOwner font(FcFontMatch(nullptr, pattern.p, &result));
    if (font.p == nullptr || result != FcResultMatch) return false;

    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0;
    int fontWeight = FC_WEIGHT_REGULAR;
    if (FcPatternGetString(font.p, FC_FILE, 0, &file) != FcResultMatch) return false;
    // The font may lack any of these; the value set above then stands.
    FcPatternGetString(font.p, FC_FAMILY, 0, &family);
    FcPatternGetInteger(font.p, FC_INDEX, 0, &index);
    FcPatternGetInteger(font.p, FC_WEIGHT, 0, &fontWeight);
    const std::string familyName = family != nullptr ? reinterpret_cast<const char*>(family) : "";
    if (request.familyMustMatch) {
        // A family is known by any of its names (fontconfig lists the
        // localised ones too).
        bool same = false;
        for (int i = 0; !same; ++i) {
            FcChar8* name = nullptr;
            if (FcPatternGetString(font.p, FC_FAMILY, i, &name) != FcResultMatch) break;
            same = SameFamily(reinterpret_cast<const char*>(name), request.family);
        }
        if (!same) return false;
    }
    if (request.korean && !CoversKorean(font.p)) return false;
    found.path = reinterpret_cast<const char*>(file);
    found.index = index;
    found.bold = fontWeight >= FC_WEIGHT_DEMIBOLD;
    found.family = familyName;
    return true;
}

FontFile Resolve(std::string_view faceName, std::int32_t weight, bool italic) {
    FontFile found;
    if (FcInit() != FcTrue) return found;
    const std::string family = FamilyForFace(faceName);
    const Request order[] = {
        {family.empty() ? nullptr : family.c_str(), false, true},
        {"serif", true, false},
        {nullptr, true, false},
        {"serif", false, false},
    };
    for (const Request& request : order) {
        if (request.familyMustMatch && request.family == nullptr) continue;
        if (Match(request, weight, italic, found)) return found;
    }
    return FontFile{};
}

}  // namespace

std::string FamilyForFace(std::string_view faceName) {
    if (faceName == kGungseoCp949 || faceName == kGungseoProportionalCp949) return kGungseoStandIn;
    return Cp949ToUtf8(faceName);
}

FontFile FindFontFile(std::string_view faceName, std::int32_t weight, bool italic) {
    static std::mutex mutex;
    static std::map<std::tuple<std::string, bool, bool>, FontFile> known;
    const auto key = std::make_tuple(std::string(faceName), weight >= 600, italic);
    frame::FrameLock lock(mutex);
    if (const auto it = known.find(key); it != known.end()) return it->second;
    FontFile found = Resolve(faceName, weight, italic);
    if (!found.path.empty()) known.emplace(key, found);
    return found;
}

}  // namespace zeseal::platform::posix
