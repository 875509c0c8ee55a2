// The classification texts shown beside each printer, in code page 949.
#pragma once

namespace zeseal::printers {

// "[지원 가능]": able to issue.
inline constexpr char kSupportedText[] = "[\xC1\xF6\xBF\xF8 \xB0\xA1\xB4\xC9]";

// "[지원 불가] \n\n지원불가 포트": the port is refused.
inline constexpr char kRefusedPortText[] =
    "[\xC1\xF6\xBF\xF8 \xBA\xD2\xB0\xA1] \n\n\xC1\xF6\xBF\xF8\xBA\xD2\xB0\xA1 \xC6\xF7\xC6\xAE";

// "[지원 불가] \n\n멀티포트 사용": the port names several ports.
inline constexpr char kMultiPortText[] =
    "[\xC1\xF6\xBF\xF8 \xBA\xD2\xB0\xA1] \n\n\xB8\xD6\xC6\xBC\xC6\xF7\xC6\xAE \xBB\xE7\xBF\xEB";

// "[지원 불가] \n\n등록되지 않은 프린터": the driver is not registered.
inline constexpr char kUnregisteredText[] =
    "[\xC1\xF6\xBF\xF8 \xBA\xD2\xB0\xA1] \n\n\xB5\xEE\xB7\xCF\xB5\xC7\xC1\xF6 \xBE\xCA\xC0\xBA "
    "\xC7\xC1\xB8\xB0\xC5\xCD";

}  // namespace zeseal::printers
