#include "printers/printer_jobs.h"

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include "support/temp_printers_file.h"

namespace zeseal::printers {
namespace {

using zeseal::testing::CapturedDiagnostics;
using zeseal::testing::TempPrintersFile;

constexpr const char* kQueue =
    "[printer Q]\nport = LPT1:\ndriver = D\n"
    "job = 11, JOB_STATUS_PRINTING, Certificate 2026-001\n"
    "job = 12, JOB_STATUS_SPOOLING, certificate copy\n"
    "job = 13, 0, Small letter\n"
    "job = 14, JOB_STATUS_PAUSED\n"  // no document name
    "[printer Empty]\nport = LPT2:\ndriver = D\n";

struct FilterCase {
    const char* printer;
    const char* filter;
    std::int32_t result;
    std::int32_t count;
};

class JobFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(JobFilter, CountsTheMatchingJobs) {
    TempPrintersFile file(kQueue);
    std::int32_t count = -7;
    EXPECT_EQ(iGetZePrinterJob(GetParam().printer, GetParam().filter, &count), GetParam().result);
    EXPECT_EQ(count, GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JobFilter,
    ::testing::Values(FilterCase{"Q", "ALL", 0, 4},          // every job, named or not
                      FilterCase{"Empty", "ALL", 0, 0},      // "ALL" succeeds on an empty queue
                      FilterCase{"Q", "all", 0, 1},          // an ordinary filter: "Small letter"
                      FilterCase{"Q", "Certificate", 0, 1},  // case-sensitive substring
                      FilterCase{"Q", "ertificate", 0, 2},
                      FilterCase{"Q", "", 0, 3},             // every job with a document name
                      FilterCase{"Q", "Invoice", 1004, 0},   // no match: the count 0 is stored
                      FilterCase{"Empty", "", 1004, 0}));

TEST(JobFilter, FailuresKeepTheCountAndGiveTheirCodes) {
    TempPrintersFile file(
        "[printer NoInfo]\nport = LPT1:\ndriver = D\nfail = read-info\n"
        "[printer NoJobs]\nport = LPT1:\ndriver = D\nfail = list-jobs\n");
    std::int32_t count = -7;
    EXPECT_EQ(iGetZePrinterJob("NoInfo", "ALL", &count), ZE_FAULT);
    EXPECT_EQ(iGetZePrinterJob("NoJobs", "ALL", &count), ZE_NO_MATCHING_JOB);
    EXPECT_EQ(iGetZePrinterJob("Missing", "ALL", &count), ZE_FAULT);
    EXPECT_EQ(count, -7);
    EXPECT_EQ(iGetZePrinterJob("NoInfo", nullptr, &count), ZE_FAULT);
}

TEST(JobFilter, UnknownPrinterIsTracedAndAnswered) {
    CapturedDiagnostics diagnostics;
    TempPrintersFile file(kQueue);
    std::int32_t count = -7;
    EXPECT_EQ(iGetZePrinterJob("Missing", "Certificate", &count), ZE_FAULT);
    EXPECT_EQ(diagnostics.Text(),
              "##### iGetZePrinterJob - OpenPrinter - [Missing] [Certificate]\n"
              "OpenPrinter failed: GetLastError returned 1801\n");
}

TEST(JobFilter, BadCountPointerIsAFault) {
    TempPrintersFile file(kQueue);
    EXPECT_EQ(iGetZePrinterJob("Q", "ALL", nullptr), ZE_FAULT);
    EXPECT_EQ(iGetZePrinterJob("Q", "ALL", reinterpret_cast<std::int32_t*>(8)), ZE_FAULT);
}

TEST(ListPrinterJobs, WritesTheJobLinesToTheDiagnosticStream) {
    CapturedDiagnostics diagnostics;
    TempPrintersFile file(kQueue);
    EXPECT_EQ(ListPrinterJobs("Q"), 1);
    EXPECT_EQ(ListPrinterJobs("Missing"), 0);
    EXPECT_EQ(diagnostics.Text(),
              "4 jobs\n[11] [Certificate 2026-001]\n[12] [certificate copy]\n[13] [Small letter]\n"
              "[14] []\n");
}

}  // namespace
}  // namespace zeseal::printers
