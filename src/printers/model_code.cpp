#include "printers/model_code.h"

#include "catalogue/model_lookup.h"
#include "catalogue/model_name.h"
#include "catalogue/model_record.h"
#include "printers/printer_record.h"

namespace zeseal::printers {

void NormalizedModelName(std::string_view driver, char (&out)[base::kNameBufferSize]) noexcept {
    CopyToField(out, base::CutLongName(driver));
    catalogue::NormalizeModelName(out);
}

std::int32_t LookupModelCode(std::string_view driver) noexcept {
    char name[base::kNameBufferSize];
    NormalizedModelName(driver, name);
    const std::int32_t found = catalogue::LookupSupportedModel(name);
    if (found != catalogue::kModelFound) return found;
    switch (catalogue::CurrentModelRecord().supportClass) {
        case 0: return kModelClass0;
        case 1: return kModelClass1;
        default: return 0;
    }
}

}  // namespace zeseal::printers
