#include "data_file_commands.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/court_list.h"
#include "catalogue/data_file_format.h"
#include "catalogue/model_lookup.h"
#include "catalogue/model_name.h"
#include "catalogue/model_record.h"
#include "support/tool_runs.h"

namespace zeseal::tool {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A scratch directory, also made the system directory of the lookups.
class DataFileCommandsTest : public testing::ToolTest {
protected:
    DataFileCommandsTest() : ToolTest("zeseal-tool") {}
    void SetUp() override { setenv("ZESEAL_SYSTEM_DIR", dir().c_str(), 1); }
    void TearDown() override { unsetenv("ZESEAL_SYSTEM_DIR"); }
};

const char kCatalogue[] =
    "DEFAULT,1,0,0,0,11,4,0,0\n"
    ",,,,,,,,,0\n"
    "InkOne,1,0,0,0,12,3,1,0,66\n"
    "LaserTwo,2,0,0,0,22,5,0,1\n";

TEST_F(DataFileCommandsTest, ABuiltCatalogueIsReadBackByTheLibraryAndListed) {
    Write("models.csv", kCatalogue);
    ASSERT_EQ(Run({"catalogue", "build", Path("models.csv"), "-o", Path(catalogue::kModelFileName)}), 0)
        << Err();
    EXPECT_NE(Out().find("wrote 3 records and 1 filler entry (316 bytes)"), std::string::npos)
        << Out();

    char query[260] = "laser two";
    catalogue::NormalizeModelName(query);
    ASSERT_EQ(catalogue::LookupSupportedModel(query), catalogue::kModelFound);
    EXPECT_EQ(catalogue::CurrentModelRecord().dotShape, 22);
    EXPECT_EQ(catalogue::CurrentModelRecord().supportClass, 1);
    EXPECT_EQ(catalogue::LookupSupportedModel("INKONE"), catalogue::kModelFound);
    EXPECT_EQ(catalogue::LookupSupportedModel("NONE"), catalogue::kModelNotFound);

    ASSERT_EQ(Run({"catalogue", "list", Path(catalogue::kModelFileName)}), 0) << Err();
    const std::string listing = Out();
    EXPECT_NE(listing.find("3 records stated"), std::string::npos) << listing;
    EXPECT_NE(listing.find("(filler entry)"), std::string::npos) << listing;
    EXPECT_NE(listing.find("LaserTwo"), std::string::npos) << listing;
    EXPECT_TRUE(Err().empty()) << Err();
}

TEST_F(DataFileCommandsTest, ASourceWithAnErrorWritesNothingAndKeepsTheOldFile) {
    Write("models.csv", kCatalogue);
    ASSERT_EQ(Run({"catalogue", "build", Path("models.csv"), "-o", Path("out.dat")}), 0);
    const Bytes before = Read("out.dat");
    Write("models.csv", std::string(kCatalogue) + "Bad,1,0,0,0,11,70000,0,0\n");
    EXPECT_EQ(Run({"catalogue", "build", Path("models.csv"), "-o", Path("out.dat")}), 1);
    EXPECT_NE(Err().find("models.csv:5: error: dot_pitch 70000"), std::string::npos)
        << Err();
    EXPECT_EQ(Read("out.dat"), before);

    Write("names.txt", std::string(140, 'N') + "\n");
    EXPECT_EQ(Run({"courtlist", "build", Path("names.txt"), "-o", Path("court.dat")}), 1);
    EXPECT_NE(Err().find("names.txt:1: error:"), std::string::npos) << Err();
    EXPECT_FALSE(fs::exists(Path("court.dat")));
}

struct ListDamage {
    const char* what;
    std::size_t offset;   // byte to change, or the length to cut to
    bool cut;
    std::uint8_t value;   // XORed into the byte
    const char* fragment; // of the error
};

class DamagedListingTest : public DataFileCommandsTest,
                           public ::testing::WithParamInterface<ListDamage> {};

// Entry 3 (the record InkOne) is at offset 4 + 2 x 78 = 160.
TEST_P(DamagedListingTest, NamesTheBadEntry) {
    const ListDamage& d = GetParam();
    // The test's name holds a '/', yet its folder is a single one that goes whole.
    EXPECT_EQ(dir().parent_path(), fs::temp_directory_path());
    Write("models.csv", kCatalogue);
    ASSERT_EQ(Run({"catalogue", "build", Path("models.csv"), "-o", Path("m.dat")}), 0);
    Bytes file = Read("m.dat");
    if (d.cut) {
        file.resize(d.offset);
    } else {
        file[d.offset] ^= d.value;
    }
    Write("m.dat", file);
    EXPECT_EQ(Run({"catalogue", "list", Path("m.dat")}), 1);
    EXPECT_NE(Err().find(d.fragment), std::string::npos) << Err();
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedListingTest,
    ::testing::Values(
        ListDamage{"tag", 160, false, 0x03, "entry 3 at offset 160: the tag 65 is not 74, 66 or 0"},
        ListDamage{"clearByte", 160 + 4 + 70, false, 0x01, "entry 3 at offset 160: the checksum text"},
        ListDamage{"truncated", 200, true, 0, "the file ends inside entry 3 at offset 160, after 1 of 3"},
        ListDamage{"noCount", 3, true, 0, "too few for its entry count"}),
    [](const ::testing::TestParamInfo<ListDamage>& info) { return std::string(info.param.what); });

TEST_F(DataFileCommandsTest, ABuiltCourtListIsReadBackByTheLibraryAndListed) {
    Write("names.txt", "# court\nCourtInk1\n  courtlaser2  \n");
    ASSERT_EQ(Run({"courtlist", "build", Path("names.txt"), "-o", Path(catalogue::kCourtListFileName)}), 0)
        << Err();
    EXPECT_EQ(catalogue::LookupCourtPrinter("COURTLASER2"), catalogue::kCourtPrinterFound);
    EXPECT_EQ(catalogue::LookupCourtPrinter("COURTINK"), catalogue::kCourtPrinterNotFound);

    ASSERT_EQ(Run({"courtlist", "list", Path(catalogue::kCourtListFileName)}), 0) << Err();
    EXPECT_NE(Out().find("courtlaser2"), std::string::npos) << Out();

    Bytes file = Read(catalogue::kCourtListFileName);
    file.resize(4 + 136 + 10);
    Write("cut.dat", file);
    EXPECT_EQ(Run({"courtlist", "list", Path("cut.dat")}), 1);
    EXPECT_NE(Err().find("the file ends inside entry 2 at offset 140"), std::string::npos)
        << Err();
}

}  // namespace
}  // namespace zeseal::tool
