#include "marks/copy_detector.h"

#include <cstring>
#include <string_view>

#include "catalogue/model_lookup.h"
#include "catalogue/model_name.h"
#include "catalogue/model_record.h"
#include "frame/trace_log.h"
#include "marks/copy_detector_pattern.h"
#include "marks/copy_detector_style.h"

namespace zeseal::marks {
namespace {
// The printer kind the copy-detection export draws for: a printer on this machine.
constexpr std::int32_t kLocalPrinterKind = 1101;

// BuildCopyDetectorImage's own results; the others are the lookup's.
constexpr std::int32_t kPatternNotRendered = -1;
constexpr std::int32_t kModelNameMissing = -2;

constexpr char kNetworkPrinterName[] = "NETWORKPRINTER";
constexpr char kDefaultModelName[] = "DEFAULT";

// The part of name that a name buffer keeps. Reads no further than the
// 260th character, so a long name is measured only as far as it can be used.
std::string_view KeptName(const char* name) noexcept {
    std::size_t length = 0;
    while (length < base::kNameBufferSize && name[length] != '\0') ++length;
    return base::CutLongName({name, length});
}

}  // namespace

bool ChooseDetectorName(const char* modelName, std::int32_t kind,
                        char (&name)[base::kNameBufferSize]) noexcept {
    std::memset(name, 0, sizeof name);
    if (kind != kLocalPrinterKind) {
        std::memcpy(name, kNetworkPrinterName, sizeof kNetworkPrinterName);
        return true;
    }
    if (modelName == nullptr) return false;
    const std::string_view kept = KeptName(modelName);
    std::memcpy(name, kept.data(), kept.size());
    return true;
}

std::int32_t BuildCopyDetectorImage(const char* modelName, std::uint8_t* out) noexcept {
    if (modelName == nullptr) return kModelNameMissing;
    char name[base::kNameBufferSize] = {};
    const std::string_view kept = KeptName(modelName);
    std::memcpy(name, kept.data(), kept.size());
    catalogue::NormalizeModelName(name);
    frame::TraceLog("szPrinterModelName = %s\n", name);

    bool useFallback = false;
    std::int32_t found = catalogue::LookupSupportedModel(name);
    if (found == catalogue::kModelNotFound) {
        found = catalogue::LookupSupportedModel(kDefaultModelName);
        useFallback = true;
    }
    if (found != catalogue::kModelFound) return found;

    const CopyDetectorStyle style =
        MakeCopyDetectorStyle(catalogue::CurrentModelRecord(), useFallback);
    return BuildPatternImage(style, out) ? 0 : kPatternNotRendered;
}

}  // namespace zeseal::marks
