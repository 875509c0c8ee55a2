#include "data_file_sources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace zeseal::tool {
namespace {

using Severity = Diagnostic::Severity;

struct Expected {
    Severity severity;
    std::size_t line;
    const char* fragment;  // part of the message
};

struct SourceCase {
    const char* what;
    const char* text;
    std::size_t entries;
    std::vector<Expected> diagnostics;  // all of them, in order
};

void ExpectDiagnostics(const std::vector<Diagnostic>& actual, const std::vector<Expected>& expected) {
    ASSERT_EQ(actual.size(), expected.size()) << [&] {
        std::string all;
        for (const Diagnostic& d : actual) all += FormatDiagnostic("src", d) + "\n";
        return all;
    }();
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].severity, expected[i].severity) << actual[i].message;
        EXPECT_EQ(actual[i].line, expected[i].line) << actual[i].message;
        EXPECT_NE(actual[i].message.find(expected[i].fragment), std::string::npos)
            << "\"" << actual[i].message << "\" lacks \"" << expected[i].fragment << "\"";
    }
}

constexpr const char* kDefaultRow = "DEFAULT,1,0,0,0,11,4,0,0\n";

class CatalogueSourceTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(CatalogueSourceTest, ReportsEachRowsProblemsOnItsLine) {
    const SourceCase& c = GetParam();
    const CatalogueSource source = ParseCatalogueSource(std::string(kDefaultRow) + c.text);
    EXPECT_EQ(source.entries.size(), c.entries + 1);
    ExpectDiagnostics(source.diagnostics, c.diagnostics);
}

const std::string kFiftyBytes(50, 'L');
const std::string kLongRow = kFiftyBytes + ",1,0,0,0,11,4,0,0\n";
const std::string kFortyNineRow = kFiftyBytes.substr(1) + ",1,0,0,0,11,4,0,0\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, CatalogueSourceTest,
    ::testing::Values(
        SourceCase{"good", "# comment\n\n  \nModelA,1,-2,3,-32768,22,6,1,1\nModelB,1,0,0,0,12,1,0,0,66\r\n", 2, {}},
        SourceCase{"quotedName", "\"Odd,\"\"Name\",1,0,0,0,11,2,0,0\n", 1, {}},
        SourceCase{"longName", kLongRow.c_str(), 0, {{Severity::kError, 2, "50 bytes long; at most 49"}}},
        SourceCase{"fortyNineBytes", kFortyNineRow.c_str(), 1, {}},
        SourceCase{"space", "Model X,1,0,0,0,11,4,0,0\n", 1,
                   {{Severity::kWarning, 2, "can never match"}}},
        SourceCase{"tooLarge", "A,1,0,0,0,11,32768,0,0\n", 0,
                   {{Severity::kError, 2, "dot_pitch 32768 is outside"}}},
        SourceCase{"tooSmall", "A,1,0,0,-32769,11,4,0,0\n", 0,
                   {{Severity::kError, 2, "reserved3 -32769 is outside"}}},
        SourceCase{"hugeNumber", "A,1,0,0,0,11,4,0,99999999999999999999\n", 0,
                   {{Severity::kError, 2, "support_class 99999999999999999999 is outside"}}},
        SourceCase{"notANumber", "A,1,0,0,0,11,4x,0,0\n", 0,
                   {{Severity::kError, 2, "dot_pitch '4x' is not a whole number"}}},
        SourceCase{"emptyValue", "A,,0,0,0,11,4,0,0\n", 0,
                   {{Severity::kError, 2, "pen_width '' is not a whole number"}}},
        SourceCase{"fewFields", "A,1,0,0,0,11,4,0\n", 0, {{Severity::kError, 2, "has 8 fields"}}},
        SourceCase{"manyFields", "A,1,0,0,0,11,4,0,0,74,1\n", 0,
                   {{Severity::kError, 2, "has 11 fields"}}},
        SourceCase{"badTag", "A,1,0,0,0,11,4,0,0,75\n", 0, {{Severity::kError, 2, "tag 75"}}},
        SourceCase{"filler", ",,,,,,,,,0\n", 1, {}},
        SourceCase{"fillerWithValues", "A,1,0,0,0,11,4,0,0,0\n", 1,
                   {{Severity::kWarning, 2, "filler entry stores no record"}}},
        SourceCase{"emptyName", ",1,0,0,0,11,4,0,0\n", 0, {{Severity::kError, 2, "name is empty"}}},
        SourceCase{"unclosedQuote", "\"A,1,0,0,0,11,4,0,0\n", 0,
                   {{Severity::kError, 2, "not closed"}}},
        SourceCase{"repeated", "Alpha,1,0,0,0,11,4,0,0\nALPHA,1,0,0,0,11,4,0,0\n", 2,
                   {{Severity::kWarning, 3, "repeats the name on line 2"}}},
        SourceCase{"noDots", "A,1,0,0,0,13,0,0,0\n", 1,
                   {{Severity::kWarning, 2, "dot_shape 13"}, {Severity::kWarning, 2, "dot_pitch 0"}}},
        SourceCase{"anyClass", "A,1,0,0,0,11,4,0,2\nB,1,0,0,0,11,4,0,-1\n", 2, {}},
        SourceCase{"laterLines", "A,1,0,0,0,11,4,0,0\n# note\n\nB,1,0,0,0,11,4,0,0,9\n", 1,
                   {{Severity::kError, 5, "tag 9"}}}),
    [](const ::testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.what); });

TEST(CatalogueSourceParseTest, StoresTheRowsValuesInOrder) {
    const CatalogueSource source =
        ParseCatalogueSource("name,pen,r1,r2,r3,shape,pitch,smooth,class,tag\n"
                             "DEFAULT,1,0,0,0,11,4,0,0\n"
                             "  Kx-9 ,7,-1,2,3,21,5,1,-1,66\n");
    ASSERT_EQ(source.entries.size(), 2u);
    EXPECT_TRUE(source.diagnostics.empty());
    const auto& entry = source.entries[1];
    EXPECT_EQ(entry.tag, 66);
    EXPECT_STREQ(entry.record.modelName, "Kx-9");
    EXPECT_EQ(entry.record.penWidth, 7);
    EXPECT_EQ(entry.record.reserved1, -1);
    EXPECT_EQ(entry.record.reserved2, 2);
    EXPECT_EQ(entry.record.reserved3, 3);
    EXPECT_EQ(entry.record.dotShape, 21);
    EXPECT_EQ(entry.record.dotPitch, 5);
    EXPECT_EQ(entry.record.smoothPattern, 1);
    EXPECT_EQ(entry.record.supportClass, -1);
    EXPECT_EQ(source.entries[0].tag, 74);
}

TEST(CatalogueSourceParseTest, WarnsWhenThereIsNoDefaultRecord) {
    const CatalogueSource source = ParseCatalogueSource("A,1,0,0,0,11,4,0,0\n");
    ExpectDiagnostics(source.diagnostics, {{Severity::kWarning, 0, "no DEFAULT record"}});
    EXPECT_FALSE(HasErrors(source.diagnostics));
    EXPECT_EQ(FormatDiagnostic("m.csv", source.diagnostics[0]).rfind("m.csv: warning: ", 0), 0u);
}

TEST(CourtListSourceTest, TakesOneTrimmedNamePerLineAndReportsBadOnes) {
    const std::string tooLong(132, 'C');
    const CourtListSource source = ParseCourtListSource(
        "# court printers\n  Alpha9 \r\n\nBeta Two\n" + tooLong + "\nALPHA9\n" +
        std::string(131, 'D') + "\n");
    EXPECT_EQ(source.names, (std::vector<std::string>{"Alpha9", "Beta Two", "ALPHA9",
                                                      std::string(131, 'D')}));
    ExpectDiagnostics(source.diagnostics, {{Severity::kWarning, 4, "can never match"},
                                           {Severity::kError, 5, "132 bytes long; at most 131"},
                                           {Severity::kWarning, 6, "repeats the name on line 2"}});
}

TEST(CourtListSourceTest, AnEmptyListIsAWarning) {
    const CourtListSource source = ParseCourtListSource("# nothing\n");
    ExpectDiagnostics(source.diagnostics, {{Severity::kWarning, 0, "no names"}});
}

}  // namespace
}  // namespace zeseal::tool
