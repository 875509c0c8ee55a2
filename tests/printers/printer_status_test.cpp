#include "printers/printer_status.h"

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include "support/case_names.h"
#include "support/temp_printers_file.h"

namespace zeseal::printers {
namespace {

using zeseal::testing::CapturedDiagnostics;
using zeseal::testing::CaseNameFromWhat;
using zeseal::testing::TempPrintersFile;

struct Expected {
    std::uint32_t bit;
    std::int32_t result;
};

// The tables in their order, written out independently of the code.
constexpr Expected kPrinterOrder[] = {
    {0x00000002, 5000}, {0x00000200, 5001}, {0x00400000, 5002}, {0x00008000, 5003},
    {0x00000100, 5004}, {0x00000020, 5005}, {0x00040000, 5006}, {0x00001000, 5007},
    {0x00000080, 5008}, {0x00200000, 5009}, {0x00000800, 5010}, {0x00000008, 5011},
    {0x00000010, 5012}, {0x00000040, 5013}, {0x00000001, 5014}, {0x00000004, 5015},
    {0x01000000, 5016}, {0x00004000, 5018}, {0x00800000, 5019}, {0x00020000, 5020},
    {0x00100000, 5021}, {0x00002000, 5022}, {0x00010000, 5023}, {0x00000400, 5024},
};
constexpr Expected kJobOrder[] = {
    {0x0002, 5030}, {0x0020, 5031}, {0x0200, 5032}, {0x0040, 5033},
    {0x0001, 5034}, {0x0800, 5035}, {0x0008, 5036}, {0x0400, 5037},
};

// Each bit decides when it and every bit after it are set: the order holds.
template <std::size_t N>
void ExpectOrder(std::span<const StatusRule> rules, const Expected (&order)[N]) {
    ASSERT_EQ(rules.size(), N);
    for (std::size_t i = 0; i < N; ++i) {
        std::uint32_t status = 0;
        for (std::size_t j = i; j < N; ++j) status |= order[j].bit;
        EXPECT_EQ(MatchedRuleResult(rules, status), order[i].result) << "row " << i + 1;
        EXPECT_EQ(MatchedRuleResult(rules, order[i].bit), order[i].result) << "row " << i + 1;
    }
}

TEST(PrinterStatusRules, PrinterBitsAreTestedInTheirOrder) {
    ExpectOrder(PrinterStatusRules(), kPrinterOrder);
    EXPECT_EQ(MatchedRuleResult(PrinterStatusRules(), 0x00080000), 0);  // PAGE_PUNT decides nothing
}

TEST(PrinterStatusRules, JobBitsAreTestedInTheirOrder) {
    ExpectOrder(JobStatusRules(), kJobOrder);
}

struct StatusCase {
    const char* what;
    const char* section;  // the lines of printer P after its port and driver
    std::int32_t result;
};

class PrinterStatusExport : public ::testing::TestWithParam<StatusCase> {};

TEST_P(PrinterStatusExport, AnswersForThePrinterAndItsJobs) {
    TempPrintersFile file(std::string("[printer P]\nport = LPT1:\ndriver = D\n") + GetParam().section);
    EXPECT_EQ(iZePrinterStatus("P"), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrinterStatusExport,
    ::testing::Values(
        StatusCase{"ready", "", 0},
        StatusCase{"offline before paper out",
                   "status = PRINTER_STATUS_PAPER_OUT | PRINTER_STATUS_OFFLINE\n", 5008},
        StatusCase{"work offline reads as printing",
                   "attributes = PRINTER_ATTRIBUTE_WORK_OFFLINE\nstatus = PRINTER_STATUS_ERROR\n"
                   "job = 1, JOB_STATUS_PRINTING | JOB_STATUS_ERROR, Doc\n",
                   5024},
        StatusCase{"page punt decides nothing, the jobs do",
                   "status = PRINTER_STATUS_PAGE_PUNT\njob = 1, JOB_STATUS_PRINTING | "
                   "JOB_STATUS_OFFLINE, Doc\n",
                   5031},
        StatusCase{"an error job that is not printing is ignored",
                   "job = 1, JOB_STATUS_ERROR, Doc\n", 0},
        StatusCase{"the same job while printing",
                   "job = 1, JOB_STATUS_ERROR | JOB_STATUS_PRINTING, Doc\n", 5030},
        StatusCase{"paused before spooling",
                   "job = 1, JOB_STATUS_PRINTING | JOB_STATUS_PAUSED | JOB_STATUS_SPOOLING, Doc\n",
                   5034},
        StatusCase{"the first printing job with a condition decides",
                   "job = 1, JOB_STATUS_PRINTING, A\njob = 2, JOB_STATUS_PRINTING | "
                   "JOB_STATUS_RESTART, B\njob = 3, JOB_STATUS_PRINTING | JOB_STATUS_ERROR, C\n",
                   5035},
        StatusCase{"unreadable record counts as ready",
                   "status = PRINTER_STATUS_ERROR\nfail = read-info\n", 0},
        StatusCase{"unreadable jobs count as ready",
                   "status = PRINTER_STATUS_ERROR\nfail = list-jobs\n", 0}),
    CaseNameFromWhat());

TEST(PrinterStatusExport, UnknownPrinterGives9999AndATraceInsteadOfEndingTheProcess) {
    CapturedDiagnostics diagnostics;
    TempPrintersFile file("[printer P]\nport = LPT1:\ndriver = D\n");
    EXPECT_EQ(iZePrinterStatus("Removed Printer"), ZE_FAULT);
    EXPECT_EQ(iZePrinterStatus(nullptr), ZE_FAULT);
    EXPECT_NE(diagnostics.Text().find("OpenPrinter() failed: GetLastError returned 1801\n"),
              std::string::npos)
        << diagnostics.Text();
}

TEST(PrinterStatusExport, PrinterWithoutFullAccessCannotBeAsked) {
    TempPrintersFile file("[printer P]\nport = LPT1:\ndriver = D\naccess = use\n");
    EXPECT_EQ(iZePrinterStatus("P"), ZE_FAULT);
}

}  // namespace
}  // namespace zeseal::printers
