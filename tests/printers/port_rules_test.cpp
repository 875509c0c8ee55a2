#include "printers/port_rules.h"

#include <gtest/gtest.h>

namespace zeseal::printers {
namespace {

struct AddressCase {
    const char* text;
    char separator;
    int result;
};

class AddressForm : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressForm, RecognisesFourShortPartsWithThreeNumbers) {
    EXPECT_EQ(AddressFormMismatch(GetParam().text, GetParam().separator), GetParam().result)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddressForm,
    ::testing::Values(AddressCase{"192.168.0.10", '.', 0}, AddressCase{"192_168_0_10", '_', 0},
                      AddressCase{"192_168_0_10", '.', -1}, AddressCase{"10.0.0.X", '.', 0},
                      AddressCase{"10.0.0.PORT12", '.', -1},  // the fourth part is too long
                      AddressCase{"IP_192.168.0.10", '.', -1}, AddressCase{"IP_192.168.0.10", '_', -1},
                      AddressCase{"1.2.3", '.', -1}, AddressCase{"1.2.3.4.5", '.', -1},
                      AddressCase{"123456.1.1.1", '.', -1}, AddressCase{"", '.', -1},
                      AddressCase{"...", '.', -1}, AddressCase{".1..2.3.4.", '.', 0},  // empty parts vanish
                      AddressCase{"1.2a.3.4", '.', -1}, AddressCase{"12345.1.1.12345", '.', 0}));

struct SupportCase {
    const char* driver;
    const char* port;
    int result;
    const char* upperPort;
};

class PrinterSupport : public ::testing::TestWithParam<SupportCase> {};

TEST_P(PrinterSupport, AppliesThePortRulesAndUpperCasesInPlace) {
    std::string driver = GetParam().driver;
    std::string port = GetParam().port;
    EXPECT_EQ(CheckPrinterSupport(driver, port), GetParam().result) << GetParam().port;
    EXPECT_EQ(port, GetParam().upperPort);
    for (const char c : driver) EXPECT_FALSE(c >= 'a' && c <= 'z');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrinterSupport,
    ::testing::Values(
        SupportCase{"hp LaserJet", "LPT1:", 1, "LPT1:"}, SupportCase{"m", "lpt1", 0, "LPT1"},
        SupportCase{"m", "lpt1:", 1, "LPT1:"}, SupportCase{"m", "USB001", 1, "USB001"},
        SupportCase{"m", "192.168.0.5,LPT1:", 0, "192.168.0.5,LPT1:"},  // the ',' sees the whole name
        SupportCase{"m", "LPT1:,LPT2:", 0, "LPT1:,LPT2:"},
        SupportCase{"\\\\SERVER\\m", "192.168.0.5", 1, "192.168.0.5"},  // the address form wins
        SupportCase{"\\\\SERVER\\m", "LPT1:", 0, "LPT1:"},
        SupportCase{"m", "\\\\server\\laser", 0, "\\\\SERVER\\LASER"},
        SupportCase{"m", "ip_10_0_0_7", 1, "IP_10_0_0_7"},  // no address, but no rule refuses it
        SupportCase{"m", "1_2_3_lpt", 1, "1_2_3_LPT"}));      // an address holding LPT passes

}  // namespace
}  // namespace zeseal::printers

namespace zeseal::printers {
namespace {

// A port list is refused however long it is: the rules see the whole name,
// not a copy cut to the record's 128 characters.
TEST(PrinterSupportLongNames, SeeACommaPastTheRecordsField) {
    std::string driver = "m";
    std::string port = std::string(130, 'U') + ",LPT2:";
    EXPECT_EQ(CheckPrinterSupport(driver, port), 0);
    std::string longDriver = std::string(300, 'd') + "\\\\SERVER";
    std::string usb = "USB001";
    EXPECT_EQ(CheckPrinterSupport(longDriver, usb), 0);
}

}  // namespace
}  // namespace zeseal::printers
