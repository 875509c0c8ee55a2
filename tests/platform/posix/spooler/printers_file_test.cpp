#include "platform/posix/spooler/printers_file.h"

#include <gtest/gtest.h>

#include "platform/posix/spooler/spooler_flag_names.h"
#include "seams/spooler.h"

namespace zeseal::platform::posix {
namespace {

constexpr const char* kFile =
    "# two printers\n"
    "default = Office Laser\n"
    "output = pages\n"
    "\n"
    "[printer Office Laser]\n"
    "  port = 192.168.0.20\n"
    "  driver = Model One\n"
    "  status = PRINTER_STATUS_PAPER_OUT | printer_status_offline\n"
    "  attributes = PRINTER_ATTRIBUTE_QUEUED 0x40\n"
    "  # a comment inside the section\n"
    "  job = 7, JOB_STATUS_PRINTING | JOB_STATUS_ERROR, Report, final.pdf\n"
    "  job = 8, 0\n"
    "  job = 9, none,\n"
    "\n"
    "[printer Plain]\n"
    "port = LPT1:\n"
    "driver = Model Two\n"
    "datatype = none\n"
    "devmode = no\n"
    "copies = 3\n"
    "orientation = landscape\n"
    "resolution = 300 dpi\n"
    "paper = 215.9x279.4mm\n"
    "access = use\n"
    "fail = driver write-info\n";

TEST(PrintersFile, ReadsEveryKeyAndTheDefaults) {
    FileProblem problem;
    const auto file = ParsePrintersFile(kFile, problem);
    ASSERT_TRUE(file) << problem.line << ": " << problem.reason;
    EXPECT_EQ(file->defaultPrinter, "Office Laser");
    EXPECT_EQ(file->output, "pages");
    ASSERT_EQ(file->printers.size(), 2u);

    const VirtualPrinter& office = file->printers[0];
    EXPECT_EQ(office.port, "192.168.0.20");
    EXPECT_EQ(office.status, kPrinterStatusPaperOut | kPrinterStatusOffline);
    EXPECT_EQ(office.attributes, kPrinterAttributeQueued | kPrinterAttributeLocal);
    EXPECT_EQ(office.dataType, "RAW");
    EXPECT_TRUE(office.hasDeviceMode);
    EXPECT_EQ(office.resolution, 600);
    EXPECT_EQ(office.paperWidthTenthMm, 2100);
    EXPECT_TRUE(office.fullAccess);
    ASSERT_EQ(office.jobs.size(), 3u);
    EXPECT_EQ(office.jobs[0].id, 7u);
    EXPECT_EQ(office.jobs[0].status, kJobStatusPrinting | kJobStatusError);
    EXPECT_EQ(office.jobs[0].document, "Report, final.pdf");
    EXPECT_FALSE(office.jobs[1].document.has_value());  // no document name at all
    EXPECT_EQ(office.jobs[2].document, "");             // an empty one

    const VirtualPrinter& plain = file->printers[1];
    EXPECT_FALSE(plain.dataType.has_value());
    EXPECT_FALSE(plain.hasDeviceMode);
    EXPECT_EQ(plain.copies, 3);
    EXPECT_EQ(plain.orientation, 2);
    EXPECT_EQ(plain.resolution, 300);
    EXPECT_EQ(plain.paperWidthTenthMm, 2159);
    EXPECT_EQ(plain.paperHeightTenthMm, 2794);
    EXPECT_FALSE(plain.fullAccess);
    EXPECT_EQ(plain.failures, kFailDriver | kFailWriteInfo);
}

using namespace std::string_view_literals;

struct BadFile {
    std::string_view text;
    std::size_t line;
    const char* reason;  // a part of the reason
};

class MalformedPrintersFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(MalformedPrintersFile, NamesTheLineAndTheReason) {
    FileProblem problem;
    EXPECT_FALSE(ParsePrintersFile(GetParam().text, problem));
    EXPECT_EQ(problem.line, GetParam().line);
    EXPECT_NE(problem.reason.find(GetParam().reason), std::string::npos) << problem.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedPrintersFile,
    ::testing::Values(
        BadFile{"just words\n", 1, "expected 'key = value'"},
        BadFile{"port = LPT1:\n", 1, "belongs inside a [printer NAME] section"},
        BadFile{"colour = blue\n", 1, "unknown key 'colour'"},
        BadFile{"[printer A]\nport = X\ndriver = D\ndefault = A\n", 4, "belongs before the first"},
        BadFile{"[printer]\n", 1, "must be '[printer NAME]'"},
        BadFile{"[printer A\n", 1, "must end with ']'"},
        BadFile{"[printer A,B]\n", 1, "cannot contain ','"},
        BadFile{"[printer A]\nport = X\ndriver = D\n[printer a]\n", 4, "already defined on line 1"},
        BadFile{"[printer A]\nport = X\n", 1, "has no 'driver'"},
        BadFile{"[printer A]\ndriver = D\n", 1, "has no 'port'"},
        BadFile{"[printer A]\nport = X\nport = Y\n", 3, "given twice"},
        BadFile{"[printer A]\nstatus = PRINTER_STATUS_SLEEPY\n", 2, "PRINTER_STATUS_SLEEPY"},
        BadFile{"[printer A]\nattributes = PRINTER_STATUS_OFFLINE\n", 2, "unknown attributes flag"},
        BadFile{"[printer A]\ncopies = 0\n", 2, "'copies' must be"},
        BadFile{"[printer A]\norientation = sideways\n", 2, "'orientation' must be"},
        BadFile{"[printer A]\nresolution = 0\n", 2, "'resolution' must be"},
        BadFile{"[printer A]\npaper = A0\n", 2, "unknown paper 'A0'"},
        BadFile{"[printer A]\nport = X\ndriver = D\nresolution = 2400\n", 1, "pixels long"},
        BadFile{"[printer A]\naccess = root\n", 2, "'access' must be"},
        BadFile{"[printer A]\nfail = everything\n", 2, "unknown failure"},
        BadFile{"[printer A]\njob = 7\n", 2, "a job is"},
        BadFile{"[printer A]\njob = 0, 0\n", 2, "job id"},
        BadFile{"[printer A]\njob = 7, JOB_STATUS_LOST\n", 2, "JOB_STATUS_LOST"},
        BadFile{"[printer A]\njob = 7, 0\njob = 7, 0\n", 3, "listed twice"},
        BadFile{"default = A\ndefault = B\n", 2, "given twice"},
        BadFile{"output =\n", 1, "needs a folder"},
        BadFile{"[printer A]\nport = X\0Y\n"sv, 2, "NUL"}));

TEST(PrintersFile, RewritesOnlyTheChangedKeysAndKeepsEverythingElse) {
    FileProblem problem;
    const auto file = ParsePrintersFile(kFile, problem);
    ASSERT_TRUE(file);
    VirtualPrinter changed = file->printers[0];
    changed.attributes = kPrinterAttributeDirect | kPrinterAttributeLocal;  // a line to replace
    changed.copies = 2;                                                     // a line to add
    const std::string text = RewriteSettings(*file, 0, changed);

    const auto again = ParsePrintersFile(text, problem);
    ASSERT_TRUE(again) << problem.reason;
    EXPECT_EQ(again->printers[0].attributes, kPrinterAttributeDirect | kPrinterAttributeLocal);
    EXPECT_EQ(again->printers[0].copies, 2);
    EXPECT_EQ(again->printers[0].jobs.size(), 3u);
    EXPECT_EQ(again->printers[1].copies, 3);
    EXPECT_NE(text.find("# a comment inside the section\n"), std::string::npos);
    EXPECT_NE(text.find("  attributes = PRINTER_ATTRIBUTE_DIRECT | PRINTER_ATTRIBUTE_LOCAL\n"),
              std::string::npos);
    // The new key joins its own section, indented like its neighbours.
    EXPECT_NE(text.find("  job = 9, none,\n  copies = 2\n\n[printer Plain]"), std::string::npos)
        << text;
    // Nothing changed: the text comes back as it was.
    EXPECT_EQ(RewriteSettings(*file, 1, file->printers[1]), kFile);
}

// A value that ends in a CR of its own ("\r\r\n" in a file edited with
// mixed line ends) must survive a rewrite: once it came back empty, and the
// file no longer parsed.
TEST(PrintersFile, RewriteKeepsACarriageReturnThatEndsALine) {
    for (const std::string_view text : {"[printer A]\r\nport = P\r\ndriver = \r\r\n"sv,
                                        "[printer A]\nport = P\r\r\ndriver = D\n# note\r\r\n"sv}) {
        FileProblem problem;
        const auto file = ParsePrintersFile(text, problem);
        ASSERT_TRUE(file) << problem.reason;
        VirtualPrinter changed = file->printers[0];
        changed.copies = 5;
        const auto again = ParsePrintersFile(RewriteSettings(*file, 0, changed), problem);
        ASSERT_TRUE(again) << problem.reason;
        EXPECT_EQ(again->printers[0].port, file->printers[0].port);
        EXPECT_EQ(again->printers[0].driver, file->printers[0].driver);
        EXPECT_EQ(again->printers[0].copies, 5);
        // Unchanged, every line reads back as it was.
        const auto same = ParsePrintersFile(RewriteSettings(*file, 0, file->printers[0]), problem);
        ASSERT_TRUE(same) << problem.reason;
        EXPECT_EQ(same->lines, file->lines);
    }
}

TEST(SpoolerFlagNames, FormatAndParseRoundTrip) {
    std::string unknown;
    for (const std::uint32_t flags : {0u, 0x1u, 0x80041u, 0x80000000u | 0x2u}) {
        const std::string text = FormatFlags(flags, PrinterAttributeNames());
        EXPECT_EQ(ParseFlags(text, PrinterAttributeNames(), unknown), flags) << text;
    }
    EXPECT_EQ(FormatFlags(0, JobStatusNames()), "0");
    EXPECT_EQ(FormatFlags(0x10000, PrinterAttributeNames()), "0x10000");
}

}  // namespace
}  // namespace zeseal::platform::posix
