#include "printers/printer_settings.h"

#include <zeseal/zeseal.h>

#include "seams/spooler.h"

namespace zeseal::printers {
namespace {

using namespace zeseal::platform;

// The bits that direct printing keeps; every other bit, queued spooling
// among them, is cleared.
constexpr std::uint32_t kKeptForDirect = kPrinterAttributeDefault | kPrinterAttributeShared |
                                         kPrinterAttributeLocal | kPrinterAttributeWorkOffline |
                                         kPrinterAttributeEnableBidi;

}  // namespace

AttributeChange AttributesForMode(std::uint32_t attributes, std::int32_t mode) noexcept {
    if (mode == 0) {
        return {attributes | kPrinterAttributeQueued, (attributes & kPrinterAttributeQueued) != 0};
    }
    return {kPrinterAttributeDirect | (attributes & kKeptForDirect),
            (attributes & kPrinterAttributeDirect) != 0};
}

std::int32_t ApplyPrinterSettings(const std::string& printerName, std::int32_t mode) {
    std::uint32_t error = 0;
    const auto printer = ActiveSpooler().Open(printerName, PrinterAccess::kFull, error);
    if (!printer) return ZE_SETTINGS_FAILED;
    PrinterInfo info;
    if (!printer->ReadInfo(info)) return ZE_SETTINGS_FAILED;
    if (!info.deviceMode) {
        DeviceMode current;
        if (!printer->CurrentDeviceMode(current)) return ZE_SETTINGS_FAILED;
        info.deviceMode = current;
    }
    info.deviceMode->copies = 1;
    if (!info.dataType || *info.dataType != "RAW") info.dataType = "RAW";
    if (!printer->PassThroughDriver(*info.deviceMode)) return ZE_SETTINGS_FAILED;

    const AttributeChange change = AttributesForMode(info.attributes, mode);
    if (change.alreadyInState) return ZE_OK;
    info.attributes = change.attributes;
    return printer->WriteInfo(info) ? ZE_OK : ZE_SETTINGS_FAILED;
}

}  // namespace zeseal::printers
