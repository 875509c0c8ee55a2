#include "result_meanings.h"

#include <zeseal/zeseal.h>

#include <algorithm>
#include <array>

namespace zeseal::tool {
namespace {

constexpr std::array kMeanings = std::to_array<ResultMeaning>({
    {ZE_OK, "success"},
    {ZE_NO_LOCAL_PRINTER, "no local printer"},
    {ZE_NO_ABLE_PRINTER, "no printer able to issue, or a fault"},
    {ZE_SETTINGS_FAILED, "the printer settings were not applied, or a fault"},
    {ZE_NO_MATCHING_JOB, "no matching job, or the job list is not readable"},
    {ZE_DIALOG_NOT_CONFIRMED, "the dialog closed without a confirmed printer"},
    {ZE_TEST_PRINT_REFUSED, "the printer settings for the test page failed"},
    {ZE_CHOSEN_PRINTER_UNABLE, "the chosen printer is unable to issue"},
    {ZE_KIND_LOCAL, "a printer attached to this machine"},
    {ZE_KIND_NETWORK, "a printer reached through a shared printer"},
    {ZE_MODEL_CLASS_1, "printer model class 1"},
    {ZE_MODEL_CLASS_2, "printer model class 2"},
    {ZE_WATERMARK_FAILED, "the watermark was not drawn, or its container is unusable",
     "A container is unusable when a chunk is above 30000 bytes, reaches past the end of the "
     "text, or inflates to nothing, when it delivers more bytes than its stated total, when it "
     "is shorter than two words, or when its compressed data is damaged. Drawing fails when the "
     "picture's depth is not 8 or 24 bits, its header asks for more pixels than the container "
     "delivered, or the page is unknown."},
    {ZE_WATERMARK_NO_BYTES, "the Base64 text gave no bytes"},
    {ZE_WATERMARK_NO_MEMORY, "out of memory while decompressing the watermark"},
    {ZE_WATERMARK_BAD_CHUNK, "a chunk length in the container is negative"},
    {ZE_WATERMARK_BAD_TOTAL, "the container's total length is below 1"},
    {ZE_WATERCODE_FAILED,
     "the water code was not drawn, its container is unusable, or a fault was caught",
     "A container is unusable for the same reasons as a watermark's (see 2000). Drawing fails "
     "when the byte count is negative or asks for more than the container delivered, or the "
     "page is unknown."},
    {ZE_WATERCODE_NO_BYTES, "the Base64 text gave no bytes"},
    {ZE_WATERCODE_NO_MEMORY, "out of memory while decompressing the water code"},
    {ZE_WATERCODE_BAD_CHUNK, "a chunk length in the container is negative"},
    {ZE_WATERCODE_BAD_TOTAL, "the container's total length is below 1"},
    {ZE_COPYDETECTOR_FAILED, "the copy-detection pattern was not built or not drawn, or a fault",
     "A pattern is not built when the supported-model file in the system directory is missing "
     "or corrupt, when neither the model (NETWORKPRINTER for a network printer) nor DEFAULT "
     "has a record, or when no font can be had. An image is not drawn when its headers or rows "
     "reach past its file-size field, or the page is unknown."},
    {ZE_COURTLOGO_FAILED, "the court logo was not drawn, or a fault",
     "A logo is not drawn when its headers, colour table or rows reach past its length (or its "
     "file-size field), when it is not 1, 4, 8 or 24 bits uncompressed, or the page is unknown. "
     "An installed logo file (court_ink, court_laser) must also exist, start with \"BM\" and "
     "state its own size."},
    {ZE_COURTLOGO_SIZE, "the court logo size (the constant answer of the size query)"},
    {ZE_STATUS_ERROR, "the printer is in an error state"},
    {ZE_STATUS_BUSY, "the printer is busy"},
    {ZE_STATUS_DOOR_OPEN, "a printer door is open"},
    {ZE_STATUS_INITIALIZING, "the printer is initializing"},
    {ZE_STATUS_IO_ACTIVE, "the printer is exchanging data"},
    {ZE_STATUS_MANUAL_FEED, "the printer waits for manual feed"},
    {ZE_STATUS_NO_TONER, "the printer is out of toner"},
    {ZE_STATUS_NOT_AVAILABLE, "the printer is not available"},
    {ZE_STATUS_OFFLINE, "the printer is offline"},
    {ZE_STATUS_OUT_OF_MEMORY, "the printer is out of memory"},
    {ZE_STATUS_OUTPUT_BIN_FULL, "the printer's output bin is full"},
    {ZE_STATUS_PAPER_JAM, "paper is jammed in the printer"},
    {ZE_STATUS_PAPER_OUT, "the printer is out of paper"},
    {ZE_STATUS_PAPER_PROBLEM, "the printer has a paper problem"},
    {ZE_STATUS_PAUSED, "the printer is paused"},
    {ZE_STATUS_PENDING_DELETION, "the printer is being deleted"},
    {ZE_STATUS_POWER_SAVE, "the printer is in power-save mode"},
    {ZE_STATUS_PROCESSING, "the printer is processing a job"},
    {ZE_STATUS_SERVER_UNKNOWN, "the printer's server is unknown"},
    {ZE_STATUS_TONER_LOW, "the printer's toner is low"},
    {ZE_STATUS_USER_INTERVENTION, "the printer needs the user's attention"},
    {ZE_STATUS_WAITING, "the printer is waiting"},
    {ZE_STATUS_WARMING_UP, "the printer is warming up"},
    {ZE_STATUS_PRINTING, "the printer is printing"},
    {ZE_JOB_ERROR, "a printing job is in error"},
    {ZE_JOB_OFFLINE, "a printing job waits for an offline printer"},
    {ZE_JOB_BLOCKED, "a printing job is blocked by another"},
    {ZE_JOB_PAPER_OUT, "a printing job waits for paper"},
    {ZE_JOB_PAUSED, "a printing job is paused"},
    {ZE_JOB_RESTART, "a printing job is restarting"},
    {ZE_JOB_SPOOLING, "a printing job is spooling"},
    {ZE_JOB_USER_INTERVENTION, "a printing job needs the user's attention"},
    {ZE_FAULT, "a fault was caught, or the printer could not be opened or read"},
    {ZE_COURT_LIST_UNREADABLE, "confirmed, but the court printer list cannot be opened"},
    {ZE_COURT_LIST_REGISTERED, "confirmed; the driver is in the court printer list"},
    {ZE_COURT_LIST_UNKNOWN, "confirmed; the driver is not in the court printer list"},
});

constexpr bool Ascending() {
    for (std::size_t i = 1; i < kMeanings.size(); ++i) {
        if (kMeanings[i - 1].code >= kMeanings[i].code) return false;
    }
    return true;
}
static_assert(Ascending(), "the result table must stay sorted for the lookup");

const ResultMeaning* Find(std::int32_t code) {
    const auto found = std::lower_bound(
        kMeanings.begin(), kMeanings.end(), code,
        [](const ResultMeaning& entry, std::int32_t value) { return entry.code < value; });
    return found != kMeanings.end() && found->code == code ? &*found : nullptr;
}

}  // namespace

std::string_view MeaningOf(std::int32_t code) {
    const ResultMeaning* entry = Find(code);
    return entry != nullptr ? entry->meaning : "unknown result code";
}

std::span<const ResultMeaning> AllResultMeanings() { return kMeanings; }

std::string_view DetailOf(std::int32_t code) {
    const ResultMeaning* entry = Find(code);
    return entry != nullptr ? entry->detail : std::string_view{};
}

std::string DescribeResult(std::int32_t code) {
    return std::to_string(code) + " " + std::string(MeaningOf(code));
}

}  // namespace zeseal::tool
