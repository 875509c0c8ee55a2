// Whether a printer is in a state to print: its status word and the
// conditions of its printing jobs, each tested in a fixed order.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zeseal::printers {

struct StatusRule {
    std::uint32_t bit;
    std::int32_t result;
};

// The printer status bits in the order they are tested, with their results.
std::span<const StatusRule> PrinterStatusRules();
// The job status bits in the order they are tested, with their results.
std::span<const StatusRule> JobStatusRules();

// The result of the first rule whose bit is set, or 0.
std::int32_t MatchedRuleResult(std::span<const StatusRule> rules, std::uint32_t status) noexcept;

// Traces "<operation> failed: GetLastError returned <error>" when a printer
// cannot be opened. An unknown or removed printer is an answer for the
// caller (9999), never a reason to end its process.
void ReportOpenFailure(const char* operation, std::uint32_t error) noexcept;

// The readiness of the named printer: 0 ready (also when the spooler cannot
// tell), a printer condition 5000 to 5024, a condition of a printing job
// 5030 to 5037, or 9999 when the printer cannot be opened.
std::int32_t PrinterStatusOf(const std::string& printerName);

}  // namespace zeseal::printers
