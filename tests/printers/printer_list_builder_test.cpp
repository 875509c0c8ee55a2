#include "printers/printer_list_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "printers/printer_list_state.h"
#include "printers/support_texts.h"
#include "support/installed_models.h"
#include "support/temp_printers_file.h"

namespace zeseal::printers {
namespace {

using zeseal::testing::InstallModels;
using zeseal::testing::TempPrintersFile;
using zeseal::testing::TempSystemDirectory;

constexpr const char* kPrinters =
    "[printer Class Zero]\nport = LPT1:\ndriver = hp LaserJet 1020\n"
    "[printer \\\\SERVER\\Laser]\nport = LPT1:\ndriver = hp LaserJet 1020\n"
    "[printer Class One]\nport = 192.168.10.20\ndriver = Model B\n"
    "[printer Class Two]\nport = USB001\ndriver = Model C\n"
    "[printer No Colon]\nport = LPT1\ndriver = hp LaserJet 1020\n"
    "[printer Lower]\nport = lpt1:\ndriver = hp LaserJet 1020\n"
    "[printer Multi]\nport = LPT1:,LPT2:\ndriver = hp LaserJet 1020\n"
    "[printer Forwarded]\nport = \\\\SRV\\Queue\ndriver = hp LaserJet 1020\n"
    "[printer Underscores]\nport = 192_168_10_20\ndriver = Model B\n"
    "[printer Looks Like]\nport = LPT1.2.3.4\ndriver = Model B\n"
    "[printer Address With LPT]\nport = 10.0.0.lpt\ndriver = Model B\n"
    "[printer Unknown]\nport = LPT1:\ndriver = Nobody 1\n";

struct RecordCase {
    const char* name;
    const char* port;
    const char* supportText;
    std::int32_t modelCode;
    std::int32_t modelState;
    std::int32_t support;
};

const RecordCase kExpected[] = {
    {"Class Zero", "LPT1:", kSupportedText, 1201, 0, 1},
    {"Class One", "192.168.10.20", kSupportedText, 1202, 0, 1},
    {"Class Two", "USB001", kUnregisteredText, 0, -1, 0},
    {"No Colon", "LPT1", kRefusedPortText, 0, 0, 0},
    {"Lower", "LPT1:", kSupportedText, 1201, 0, 1},
    {"Multi", "LPT1:,LPT2:", kMultiPortText, 0, 0, 0},
    {"Underscores", "192_168_10_20", kSupportedText, 1202, 0, 1},
    {"Looks Like", "LPT1.2.3.4", kRefusedPortText, 0, 0, 0},
    {"Address With LPT", "10.0.0.LPT", kSupportedText, 1202, 0, 1},
    {"Unknown", "LPT1:", kUnregisteredText, 0, -1, 0},
};

class PrinterListBuild : public ::testing::Test {
protected:
    void SetUp() override {
        InstallModels(dir_, {{"HPLASERJET1020", 0}, {"MODELB", 1}, {"MODELC", 2}});
    }
    TempSystemDirectory dir_;
};

TEST_F(PrinterListBuild, ClassifiesEveryPrinterAndSkipsConnections) {
    TempPrintersFile file(kPrinters);
    std::vector<PrinterRecord> records(CountLocalPrinters() + 1);
    ASSERT_EQ(records.size(), 13u);
    const std::int32_t written = BuildPrinterList(records.data(), records.size());
    ASSERT_EQ(written, std::int32_t(std::size(kExpected)));
    for (std::size_t i = 0; i < std::size(kExpected); ++i) {
        const RecordCase& want = kExpected[i];
        const PrinterRecord& got = records[i];
        SCOPED_TRACE(want.name);
        EXPECT_STREQ(got.name, want.name);
        EXPECT_STREQ(got.port, want.port);
        EXPECT_STREQ(got.supportText, want.supportText);
        EXPECT_EQ(got.modelCode, want.modelCode);
        EXPECT_EQ(got.modelState, want.modelState);
        EXPECT_EQ(got.support, want.support);
    }
    EXPECT_STREQ(records[0].driver, "hp LaserJet 1020");  // the driver keeps its case
}

TEST_F(PrinterListBuild, NeverWritesMoreThanTheArrayHolds) {
    TempPrintersFile file(kPrinters);
    std::vector<PrinterRecord> records(4);
    PrinterRecord guard;
    std::memset(&guard, 0x5A, sizeof guard);
    records[3] = guard;
    EXPECT_EQ(BuildPrinterList(records.data(), 3), 3);
    EXPECT_EQ(std::memcmp(&records[3], &guard, sizeof guard), 0);
    EXPECT_EQ(BuildPrinterList(nullptr, 0), 0);
}

TEST_F(PrinterListBuild, CutsLongNamesToTheirFields) {
    const std::string longName(300, 'N');
    const std::string longPort(200, 'p');
    TempPrintersFile file("[printer " + longName + "]\nport = " + longPort + "\ndriver = " +
                          std::string(400, 'd') + "\n");
    PrinterRecord record;
    ASSERT_EQ(BuildPrinterList(&record, 1), 1);
    EXPECT_EQ(std::string(record.name), longName.substr(0, 259));
    EXPECT_EQ(std::string(record.port), std::string(128, 'P'));
    EXPECT_EQ(std::strlen(record.driver), 259u);
    EXPECT_STREQ(record.supportText, kUnregisteredText);
}

TEST(PrinterListBuildWithoutModels, MissingModelFileLeavesEveryLookupUnregistered) {
    TempSystemDirectory emptyDir;
    TempPrintersFile file(kPrinters);
    std::vector<PrinterRecord> records(13);
    ASSERT_EQ(BuildPrinterList(records.data(), records.size()), 10);
    EXPECT_STREQ(records[0].supportText, kUnregisteredText);
    EXPECT_STREQ(records[3].supportText, kRefusedPortText);  // decided before the lookup
    EXPECT_EQ(records[0].support, 0);
}

TEST(PrinterListBuildWithoutModels, NoPrintersWriteNothing) {
    TempPrintersFile file("# no printers\n");
    PrinterRecord record;
    std::memset(&record, 0x5A, sizeof record);
    EXPECT_EQ(CountLocalPrinters(), 0u);
    EXPECT_EQ(BuildPrinterList(&record, 1), 0);
    EXPECT_EQ(static_cast<unsigned char>(record.name[0]), 0x5A);
}

TEST(PrinterListState, AllocatesAndReleasesTheOneList) {
    ASSERT_TRUE(AllocatePrinterList(3));
    PrinterListState& state = ThePrinterListState();
    EXPECT_EQ(state.printerListCapacity, 3u);
    EXPECT_EQ(state.printerList[2].name[0], '\0');
    state.printerCount = 2;
    ASSERT_TRUE(AllocatePrinterList(1));  // a list left from before is released first
    EXPECT_EQ(state.printerCount, 0);
    ReleasePrinterList();
    EXPECT_FALSE(state.printerList);
}

}  // namespace
}  // namespace zeseal::printers
