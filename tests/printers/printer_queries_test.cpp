#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include <cstring>

#include "printers/default_printer.h"
#include "support/case_names.h"
#include "support/installed_models.h"
#include "support/temp_printers_file.h"

namespace zeseal::printers {
namespace {

using zeseal::testing::CaseNameFromWhat;
using zeseal::testing::InstallModels;
using zeseal::testing::TempPrintersFile;
using zeseal::testing::TempSystemDirectory;

constexpr const char* kAble = "[printer Able]\nport = LPT1:\ndriver = Model A\n";

struct QueryCase {
    const char* what;
    std::string printers;
    bool models;
    std::int32_t defaultResult;
    std::int32_t anyResult;
};

class PrinterQueries : public ::testing::TestWithParam<QueryCase> {};

TEST_P(PrinterQueries, AnswerTheDefaultAndTheAnyPrinterQuestions) {
    TempSystemDirectory dir;
    if (GetParam().models) InstallModels(dir, {{"MODELA", 0}, {"MODELTWO", 2}});
    TempPrintersFile file(GetParam().printers);
    EXPECT_EQ(iGetZeDefaultPrinter(), GetParam().defaultResult);
    EXPECT_EQ(iGetZePrinter(), GetParam().anyResult);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrinterQueries,
    ::testing::Values(
        QueryCase{"no printer", "default = Able\n", true, 1000, 1000},
        QueryCase{"no printer and no model file", "", false, 1000, 1000},
        QueryCase{"able default", std::string("default = Able\n") + kAble, true, 0, 0},
        QueryCase{"default named in another case", std::string("default = ABLE\n") + kAble, true, 0, 0},
        QueryCase{"registered with another class",
                  "default = Two\n[printer Two]\nport = USB001\ndriver = Model Two\n", true, 0, 0},
        QueryCase{"no default set", kAble, true, 1001, 0},
        QueryCase{"default not among the printers", std::string("default = Gone\n") + kAble, true,
                  1001, 0},
        QueryCase{"default forwards to a shared printer",
                  std::string("default = Fwd\n[printer Fwd]\nport = \\\\SRV\\Q\ndriver = Model A\n") +
                      kAble,
                  true, 1001, 0},
        QueryCase{"default lists two ports",
                  std::string("default = Two Ports\n[printer Two Ports]\nport = LPT1:,LPT2:\n"
                              "driver = Model A\n") +
                      kAble,
                  true, 1001, 0},
        QueryCase{"default with an unregistered driver",
                  std::string("default = Other\n[printer Other]\nport = LPT1:\ndriver = Other\n") +
                      kAble,
                  true, 1001, 0},
        QueryCase{"only an unable printer",
                  "default = Old\n[printer Old]\nport = LPT1\ndriver = Model A\n", true, 1001, 1001},
        QueryCase{"model file missing", std::string("default = Able\n") + kAble, false, 1001,
                  1001}),
    CaseNameFromWhat());

TEST(ReadDefaultPrinterName, CutsTheProfileValueAtTheFirstComma) {
    char name[260];
    {
        TempPrintersFile file(std::string("default = Able\n") + kAble);
        ASSERT_EQ(ReadDefaultPrinterName(name, sizeof name), 1);
        EXPECT_STREQ(name, "Able");
    }
    TempPrintersFile file(kAble);
    ASSERT_EQ(ReadDefaultPrinterName(name, sizeof name), 1);
    EXPECT_STREQ(name, ",,,");  // no default: a name no printer bears
}

constexpr const char* kPorts =
    "[printer Office Laser]\nport = LPT1:\ndriver = D\n"
    "[printer OfficeLaser]\nport = USB002\ndriver = D\n";

struct PortCase {
    const char* name;
    std::int32_t size;
    std::int32_t result;
    const char* copied;  // what portOut holds afterwards
};

class PrinterPort : public ::testing::TestWithParam<PortCase> {};

TEST_P(PrinterPort, CopiesThePortWhenItFitsAndElseAsksForTheSize) {
    TempPrintersFile file(kPorts);
    char port[16];
    std::strcpy(port, "untouched");
    EXPECT_EQ(iGetZePrinterPort(GetParam().name, port, GetParam().size), GetParam().result);
    EXPECT_STREQ(port, GetParam().copied);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrinterPort,
    ::testing::Values(PortCase{"Office Laser", 6, 0, "LPT1:"},
                      PortCase{"Office Laser", 5, 6, "untouched"},
                      PortCase{"Office Laser", 0, 6, "untouched"},
                      PortCase{"Office Laser", -1, 6, "untouched"},
                      PortCase{"OfficeLaser", 16, 0, "USB002"},    // the exact name wins
                      PortCase{"office laser", 16, 0, "LPT1:"},    // else the first normalised match
                      PortCase{"OFFICELASER", 16, 0, "LPT1:"},
                      PortCase{"Nobody", 16, 0, "untouched"},
                      PortCase{"", 16, 0, "untouched"}));

TEST(PrinterPort, LongNamesStillFindTheirPrinter) {
    const std::string longName(300, 'L');
    TempPrintersFile file("[printer " + longName + "]\nport = COM1:\ndriver = D\n");
    char port[16] = "untouched";
    EXPECT_EQ(iGetZePrinterPort(longName.c_str(), port, sizeof port), 0);
    EXPECT_STREQ(port, "COM1:");
    // A name cut as a name buffer cuts it matches the same printer.
    std::strcpy(port, "untouched");
    EXPECT_EQ(iGetZePrinterPort(longName.substr(0, 258).c_str(), port, sizeof port), 0);
    EXPECT_STREQ(port, "COM1:");
    EXPECT_EQ(iGetZePrinterPort(nullptr, port, sizeof port), 0);
    EXPECT_EQ(iGetZePrinterPort(longName.c_str(), nullptr, 99), 6);
}

}  // namespace
}  // namespace zeseal::printers
