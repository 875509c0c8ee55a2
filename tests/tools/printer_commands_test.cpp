#include "printer_commands.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "example_printers_fixture.h"
#include "support/tool_runs.h"

namespace zeseal::tool {
namespace {

namespace fs = std::filesystem;

class PrinterCommandsTest : public ExamplePrintersTest {
protected:
    PrinterCommandsTest() : ExamplePrintersTest("zeseal-printer-tool") {}
};

TEST_F(PrinterCommandsTest, ListsTheExamplePrintersWithTheirVerdicts) {
    ASSERT_EQ(Run({"printers", "--json"}), 0) << Err();
    const std::string json = Out();
    // Ten listed: the connection and the forwarded port are left out.
    std::size_t entries = 0;
    for (std::size_t at = json.find("\"name\""); at != std::string::npos; at = json.find("\"name\"", at + 1)) {
        ++entries;
    }
    EXPECT_EQ(entries, 10u);
    EXPECT_EQ(json.find("PRINTSRV"), std::string::npos);
    EXPECT_NE(json.find("{\"name\": \"Talvo Laser (Office)\", \"driver\": \"Talvo Laser 5100\", "
                        "\"port\": \"192.168.0.20\", \"verdict\": \"[지원 가능]\", \"support\": 1, "
                        "\"kind\": 1101, \"model\": 1202, \"default\": true, \"reason\": \"supported\"}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"port\": \"LPT1\", \"verdict\": \"[지원 불가] \\n\\n지원불가 포트\""),
              std::string::npos);
    EXPECT_NE(json.find("\"verdict\": \"[지원 불가] \\n\\n멀티포트 사용\""), std::string::npos);
    EXPECT_NE(json.find("\"driver\": \"Mireva ColorJet 9\", \"port\": \"USB002\", \"verdict\": "
                        "\"[지원 불가] \\n\\n등록되지 않은 프린터\""),
              std::string::npos);
    EXPECT_NE(json.find("\"port\": \"192_168_0_31\", \"verdict\": \"[지원 가능]\", \"support\": 1, "
                        "\"kind\": 1101, \"model\": 1201"),
              std::string::npos);

    ASSERT_EQ(Run({"printers"}), 0);
    EXPECT_NE(Out().find("* Talvo Laser (Office)\n      [지원 가능]  support 1"), std::string::npos)
        << Out();
}

struct StatusRow {
    const char* printer;
    const char* answer;
};

TEST_F(PrinterCommandsTest, StatusOfEachExamplePrinter) {
    const StatusRow rows[] = {
        {"Talvo Laser (Office)", "0 success"},
        {"Orrin InkJet 350", "5030 "},
        {"Kestrel LX-60 (LPT1:)", "5014 "},
        {"Orrin Photo (Print Server)", "5036 "},
        {"Generic Text", "5024 "},
        {"Mireva ColorJet", "5012 "},
        {"Orrin InkJet 210 (Upstairs)", "5008 "},
        {"Removed", "9999 "},
    };
    for (const StatusRow& row : rows) {
        const int status = Run({"status", row.printer});
        EXPECT_NE(Out().find(std::string("': ") + row.answer), std::string::npos) << Out();
        EXPECT_EQ(status, std::string(row.answer) == "0 success" ? 0 : 1);
    }
}

TEST_F(PrinterCommandsTest, JobsPortAndDefault) {
    EXPECT_EQ(Run({"jobs", "Orrin InkJet 350", "Certificate"}), 0);
    EXPECT_NE(Out().find("1 job(s) of 'Orrin InkJet 350' match 'Certificate'"), std::string::npos);
    EXPECT_NE(Out().find("[202] \"Family register\"  JOB_STATUS_SPOOLING"), std::string::npos);
    EXPECT_EQ(Run({"jobs", "Talvo Laser 5200dn (Pool)"}), 0);  // ALL on an empty queue
    EXPECT_EQ(Run({"jobs", "Orrin InkJet 350", "Invoice"}), 1);
    EXPECT_NE(Out().find("1004 "), std::string::npos);

    EXPECT_EQ(Run({"port", "Forwarded Laser"}), 0);
    EXPECT_EQ(Out(), "port of 'Forwarded Laser': \\\\PRINTSRV\\Laser2\n");
    EXPECT_EQ(Run({"port", "Nobody"}), 1);

    EXPECT_EQ(Run({"default"}), 0);
    EXPECT_NE(Out().find("default printer: Talvo Laser (Office)\n"), std::string::npos);
}

TEST_F(PrinterCommandsTest, SetWritesTheModeIntoTheFile) {
    EXPECT_EQ(Run({"set", "Talvo Laser (Office)", "--mode", "direct"}), 0) << Out() << Err();
    EXPECT_NE(Text("printers.txt").find("attributes  = PRINTER_ATTRIBUTE_DIRECT | PRINTER_ATTRIBUTE_DEFAULT "
                                  "| PRINTER_ATTRIBUTE_LOCAL\n"),
              std::string::npos);
    EXPECT_EQ(Run({"set", "Kestrel LX-40 (LPT1)", "--mode", "sideways"}), 2);
    EXPECT_EQ(Run({"set", "Removed", "--mode", "queued"}), 1);
    EXPECT_NE(Out().find("1003 "), std::string::npos);
}

TEST_F(PrinterCommandsTest, AMalformedFileIsNamedWithItsLine) {
    Write("bad.txt", "[printer A]\nport = LPT1:\ndriver = D\nstatus = ON_FIRE\n");
    EXPECT_EQ(Run({"status", "A", "--printers", Path("bad.txt")}), 1);
    EXPECT_NE(Err().find("is malformed"), std::string::npos) << Err();
    unsetenv("ZESEAL_PRINTERS");
    EXPECT_EQ(Run({"printers"}), 1);
    EXPECT_NE(Err().find("no printers file"), std::string::npos);
}

TEST_F(PrinterCommandsTest, SpoolerOptionChoosesAFileOrAnUnreachableScheduler) {
    Write("one.txt", "[printer Only]\nport = LPT1:\ndriver = Kestrel LX-40\n");
    EXPECT_EQ(Run({"port", "Only", "--spooler", Path("one.txt")}), 0);
    EXPECT_NE(Out().find("LPT1:"), std::string::npos) << Out();
    // A scheduler socket that nothing listens on: the tool says so.
    setenv("CUPS_SERVER", Path("no-scheduler").c_str(), 1);
    EXPECT_EQ(Run({"printers", "--spooler", "cups"}), 1);
    unsetenv("CUPS_SERVER");
    EXPECT_NE(Err().find("CUPS scheduler cannot be reached"), std::string::npos) << Err();
}

// Without the supported-model file every verdict would be "unregistered";
// each command that needs it names the directory searched and the file
// (after its result line, when it has one).
TEST_F(PrinterCommandsTest, AMissingModelFileIsNamedWithItsDirectory) {
    fs::create_directory(dir() / "empty-system");
    setenv("ZESEAL_SYSTEM_DIR", Path("empty-system").c_str(), 1);
    const std::vector<std::vector<std::string>> commands = {
        {"printers"},
        {"default"},
        {"cdp", "Talvo Laser 5100", "-o", Path("cdp.bmp")},
        {"choose", "--script", "confirm"},
    };
    for (const std::vector<std::string>& command : commands) {
        EXPECT_EQ(Run(command), 1) << command[0];
        EXPECT_NE(Err().find("ZePrintInfoCourt.dat is not in the system directory '" +
                             Path("empty-system") + "'"),
                  std::string::npos)
            << command[0] << ": " << Err();
        EXPECT_EQ(Out().find("등록되지 않은"), std::string::npos) << command[0];
    }
    EXPECT_FALSE(fs::exists(dir() / "cdp.bmp"));
}

TEST(JsonString, EscapesWhatJsonNeeds) {
    EXPECT_EQ(JsonString("a\"b\\c\nd\x01"), "\"a\\\"b\\\\c\\nd\\u0001\"");
}

}  // namespace
}  // namespace zeseal::tool
