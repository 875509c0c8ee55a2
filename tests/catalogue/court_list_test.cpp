#include "catalogue/court_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "authoring/data_file_writer.h"
#include "catalogue/data_file_format.h"
#include "support/temp_system_directory.h"

namespace zeseal::catalogue {
namespace {

using Bytes = std::vector<std::uint8_t>;

void SetWord(Bytes& file, std::size_t offset, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) file[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Where entry index's length word starts.
std::size_t EntryOffset(std::size_t index) { return kCountBytes + index * kCourtEntryBytes; }

class CourtListTest : public ::testing::Test {
protected:
    void Install(const Bytes& file) { dir_.Write(kCourtListFileName, file); }
    Bytes Build(const std::vector<std::string>& names) { return authoring::BuildCourtList(names); }

    testing::TempSystemDirectory dir_;
};

TEST_F(CourtListTest, FindsANameIgnoringTheStoredCase) {
    Install(Build({"CourtInk100", "CourtLaser9"}));
    EXPECT_EQ(LookupCourtPrinter("COURTLASER9"), kCourtPrinterFound);
    EXPECT_EQ(LookupCourtPrinter("COURTINK100"), kCourtPrinterFound);
    EXPECT_EQ(LookupCourtPrinter("COURTLASER"), kCourtPrinterNotFound);
    EXPECT_EQ(LookupCourtPrinter(""), kCourtPrinterNotFound);
}

TEST_F(CourtListTest, AMissingListIsReportedApart) {
    EXPECT_EQ(LookupCourtPrinter("ANY"), kCourtListMissing);
    std::filesystem::create_directory(dir_.path() / kCourtListFileName);
    EXPECT_EQ(LookupCourtPrinter("ANY"), kCourtListMissing);
}

struct CountCase {
    const char* what;
    std::int32_t statedCount;
    std::size_t keptBytes;
    std::int32_t expected;  // looking up the second of three names
};

class CourtListCountTest : public CourtListTest,
                           public ::testing::WithParamInterface<CountCase> {};

TEST_P(CourtListCountTest, OnlyEntriesThatAreCountedAndPresentAreRead) {
    const CountCase& c = GetParam();
    Bytes file = Build({"ONE", "TWO", "THREE"});
    SetWord(file, 0, c.statedCount);
    if (c.keptBytes < file.size()) file.resize(c.keptBytes);
    Install(file);
    EXPECT_EQ(LookupCourtPrinter("TWO"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CourtListCountTest,
    ::testing::Values(CountCase{"all", 3, SIZE_MAX, kCourtPrinterFound},
                      CountCase{"oneCounted", 1, SIZE_MAX, kCourtPrinterNotFound},
                      CountCase{"zero", 0, SIZE_MAX, kCourtPrinterNotFound},
                      CountCase{"negative", -3, SIZE_MAX, kCourtPrinterNotFound},
                      CountCase{"tooHigh", 1000, SIZE_MAX, kCourtPrinterFound},
                      CountCase{"empty", 3, 0, kCourtPrinterNotFound},
                      CountCase{"countCut", 3, 2, kCourtPrinterNotFound},
                      CountCase{"secondNameCut", 3, 4 + 136 + 4 + 100, kCourtPrinterNotFound},
                      CountCase{"secondLengthCut", 3, 4 + 136 + 2, kCourtPrinterNotFound}),
    [](const ::testing::TestParamInfo<CountCase>& info) { return std::string(info.param.what); });

// The length word only says how much of the field to clear after a
// mismatch: values beyond the field, or negative, touch nothing else.
TEST_F(CourtListTest, LengthWordsOutsideTheFieldAreHarmless) {
    Bytes file = Build({"FIRST", "SECOND", "THIRD"});
    SetWord(file, EntryOffset(0), 100000);
    SetWord(file, EntryOffset(1), -7);
    SetWord(file, EntryOffset(2), 133);
    Install(file);
    EXPECT_EQ(LookupCourtPrinter("THIRD"), kCourtPrinterFound);
    EXPECT_EQ(LookupCourtPrinter("NONE"), kCourtPrinterNotFound);
}

// A name field filled to its last byte without a terminator holds a name of
// 132 characters.
TEST_F(CourtListTest, ANameFieldWithoutATerminatorEndsAtTheFieldsEnd) {
    Bytes file = Build({"X", "LAST"});
    std::memset(file.data() + EntryOffset(0) + kCourtLengthBytes, 'Q', kCourtNameFieldBytes);
    Install(file);
    EXPECT_EQ(LookupCourtPrinter(std::string(132, 'Q').c_str()), kCourtPrinterFound);
    EXPECT_EQ(LookupCourtPrinter(std::string(133, 'Q').c_str()), kCourtPrinterNotFound);
    EXPECT_EQ(LookupCourtPrinter(std::string(131, 'Q').c_str()), kCourtPrinterNotFound);
    EXPECT_EQ(LookupCourtPrinter("LAST"), kCourtPrinterFound);
}

TEST(CourtListWriterTest, RefusesANameLongerThanItsField) {
    EXPECT_NO_THROW(authoring::BuildCourtList(std::vector<std::string>{std::string(131, 'A')}));
    EXPECT_THROW(authoring::BuildCourtList(std::vector<std::string>{std::string(132, 'A')}),
                 std::invalid_argument);
}

}  // namespace
}  // namespace zeseal::catalogue
