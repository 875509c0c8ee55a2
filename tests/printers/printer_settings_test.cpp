#include "printers/printer_settings.h"

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include "seams/spooler.h"
#include "support/temp_printers_file.h"

namespace zeseal::printers {
namespace {

using zeseal::testing::TempPrintersFile;

struct AttributeCase {
    std::uint32_t before;
    std::int32_t mode;
    std::uint32_t after;
    bool already;
};

class AttributeRules : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(AttributeRules, GiveTheNewAttributesAndTellWhetherNothingChanges) {
    const AttributeChange change = AttributesForMode(GetParam().before, GetParam().mode);
    EXPECT_EQ(change.attributes, GetParam().after);
    EXPECT_EQ(change.alreadyInState, GetParam().already);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AttributeRules,
    ::testing::Values(AttributeCase{0x19, 1, 0x0A, false},  // QUEUED|SHARED|NETWORK to direct
                      AttributeCase{0x42, 0, 0x43, false},  // QUEUED added, DIRECT kept
                      AttributeCase{0x41, 0, 0x41, true},
                      AttributeCase{0x42, 2, 0x42, true},  // any non-zero mode is direct
                      AttributeCase{0xFFFFFFFF, -1, 0x2 | 0x4 | 0x8 | 0x40 | 0x400 | 0x800, true},
                      AttributeCase{0x1 | 0x4 | 0x8 | 0x40 | 0x400 | 0x800 | 0x1000 | 0x20, 1,
                                    0x2 | 0x4 | 0x8 | 0x40 | 0x400 | 0x800, false},
                      AttributeCase{0, 0, 0x1, false}));

std::string PrinterSection(const std::string& extra) {
    return "[printer P]\nport = LPT1:\ndriver = D\n" + extra;
}

platform::PrinterInfo ReadBack(const char* name) {
    std::uint32_t error = 0;
    auto printer = platform::ActiveSpooler().Open(name, platform::PrinterAccess::kUse, error);
    platform::PrinterInfo info;
    EXPECT_TRUE(printer && printer->ReadInfo(info));
    return info;
}

TEST(PrinterSet, DirectModeWritesOneCopyRawAndTheAttributesToTheFile) {
    TempPrintersFile file(PrinterSection(
        "attributes = PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_SHARED | "
        "PRINTER_ATTRIBUTE_NETWORK\ndatatype = raw\ncopies = 3\n"));
    EXPECT_EQ(iZePrinterSet("P", 1), ZE_OK);
    const platform::PrinterInfo info = ReadBack("P");
    EXPECT_EQ(info.attributes, 0x0Au);
    EXPECT_EQ(info.dataType, "RAW");
    EXPECT_EQ(info.deviceMode->copies, 1);
    const std::string text = file.Text();
    EXPECT_NE(text.find("attributes = PRINTER_ATTRIBUTE_DIRECT | PRINTER_ATTRIBUTE_SHARED\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("datatype = RAW\n"), std::string::npos);
    EXPECT_NE(text.find("copies = 1\n"), std::string::npos);

    // Back to queued: DIRECT stays, QUEUED joins.
    EXPECT_EQ(iZePrinterSet("P", 0), ZE_OK);
    EXPECT_EQ(ReadBack("P").attributes, 0x0Bu);
}

TEST(PrinterSet, AlreadyInTheRequestedStateWritesNothing) {
    const std::string section =
        PrinterSection("attributes = PRINTER_ATTRIBUTE_QUEUED\ndatatype = EMF\ncopies = 2\n");
    TempPrintersFile file(section);
    EXPECT_EQ(iZePrinterSet("P", 0), ZE_OK);
    EXPECT_EQ(file.Text(), section);
}

TEST(PrinterSet, RecordWithoutDeviceModeGetsTheDriversWithOneCopy) {
    TempPrintersFile file(PrinterSection("devmode = no\ncopies = 5\ndatatype = none\n"));
    EXPECT_EQ(iZePrinterSet("P", 1), ZE_OK);
    const platform::PrinterInfo info = ReadBack("P");
    ASSERT_TRUE(info.deviceMode);
    EXPECT_EQ(info.deviceMode->copies, 1);
    EXPECT_EQ(info.dataType, "RAW");
    EXPECT_EQ(info.attributes, platform::kPrinterAttributeDirect);
}

struct FailureCase {
    const char* name;
    const char* extra;
};

class PrinterSetFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PrinterSetFailure, Gives1003AndLeavesTheFileAlone) {
    const std::string section = PrinterSection(GetParam().extra);
    TempPrintersFile file(section);
    EXPECT_EQ(iZePrinterSet(GetParam().name, 1), ZE_SETTINGS_FAILED);
    EXPECT_EQ(file.Text(), section);
}

INSTANTIATE_TEST_SUITE_P(Cases, PrinterSetFailure,
                         ::testing::Values(FailureCase{"Nobody", ""},
                                           FailureCase{"P", "access = use\n"},
                                           FailureCase{"P", "fail = read-info\n"},
                                           FailureCase{"P", "fail = driver\n"},
                                           FailureCase{"P", "devmode = no\nfail = driver\n"},
                                           FailureCase{"P", "fail = write-info\n"}));

TEST(PrinterSet, BadNamePointerGives1003) {
    EXPECT_EQ(iZePrinterSet(nullptr, 1), ZE_SETTINGS_FAILED);
    EXPECT_EQ(iZePrinterSet(reinterpret_cast<const char*>(16), 1), ZE_SETTINGS_FAILED);
}

}  // namespace
}  // namespace zeseal::printers
