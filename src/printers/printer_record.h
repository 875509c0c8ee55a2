// One listed printer, as the list dialogs show it, and the fixed name
// buffers that the printer code works in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/name_cut.h"

namespace zeseal::printers {

// Names in records are held in name buffers (base/name_cut.h).
inline constexpr std::size_t kRecordNameSize = base::kNameBufferSize;
inline constexpr std::size_t kRecordPortSize = 129;
inline constexpr std::size_t kRecordSupportTextSize = 129;

// Model codes.
inline constexpr std::int32_t kModelCodeClass0 = 1201;
inline constexpr std::int32_t kModelCodeClass1 = 1202;

struct PrinterRecord {
    char name[kRecordNameSize];      // as enumerated
    char driver[kRecordNameSize];    // as enumerated, case kept: the model name
    char port[kRecordPortSize];      // upper case (ASCII letters)
    char supportText[kRecordSupportTextSize];  // a classification text, code page 949
    std::int32_t modelCode;          // 1201, 1202 or 0
    std::int32_t modelState;         // -1 when the model lookup failed, else 0
    std::int32_t support;            // 1 able to issue, 0 not
};

// Copies text into a fixed field, cut to fit, always NUL-terminated.
template <std::size_t N>
void CopyToField(char (&field)[N], std::string_view text) noexcept {
    const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
    for (std::size_t i = 0; i < length; ++i) field[i] = text[i];
    field[length] = '\0';
}

}  // namespace zeseal::printers
