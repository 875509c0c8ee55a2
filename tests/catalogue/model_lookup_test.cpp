#include "catalogue/model_lookup.h"
#include "catalogue/model_name.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "authoring/aes128_encrypt.h"
#include "authoring/data_file_writer.h"
#include "catalogue/aes128.h"
#include "catalogue/data_file_format.h"
#include "catalogue/model_record.h"
#include "support/temp_system_directory.h"

namespace zeseal::catalogue {
namespace {

using authoring::ModelFileEntry;
using authoring::ModelSettings;
using Bytes = std::vector<std::uint8_t>;

const ModelSettings kSettings = {1, 2, 3, 4, 22, 3, 1, 0};

ModelFileEntry Record(const std::string& name, const ModelSettings& settings = kSettings,
                      std::int32_t tag = kRecordTag) {
    return {tag, authoring::MakeModelRecord(name, settings)};
}

ModelFileEntry Filler() { return {kFillerTag, {}}; }

bool IsZero(const ModelRecord& record) {
    const ModelRecord zero{};
    return std::memcmp(&record, &zero, sizeof record) == 0;
}

std::string StoredName(const ModelRecord& record) {
    return std::string(record.modelName, strnlen(record.modelName, kModelNameSize));
}

// The record bytes of entry index (0-based) in a built file.
std::uint8_t* RecordBytes(Bytes& file, std::size_t index) {
    return file.data() + kCountBytes + index * kModelEntryBytes + kTagBytes;
}

void SetCount(Bytes& file, std::int32_t count) {
    const auto v = static_cast<std::uint32_t>(count);
    for (int i = 0; i < 4; ++i) file[std::size_t(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

class ModelLookupTest : public ::testing::Test {
protected:
    void Install(const Bytes& file) { dir_.Write(kModelFileName, file); }
    void Install(const std::vector<ModelFileEntry>& entries) {
        Install(authoring::BuildModelFile(entries));
    }

    // Leaves a recognisable record in CurrentModelRecord.
    void LeaveMarker() { CurrentModelRecord() = authoring::MakeModelRecord("MARKER", {9, 9, 9, 9, 9, 9, 9, 9}); }

    testing::TempSystemDirectory dir_;
};

struct NormalizeCase {
    const char* input;
    const char* expected;
};

TEST(NormalizeModelNameTest, UpperCasesAsciiLettersAndRemovesEverySpace) {
    const NormalizeCase cases[] = {
        {"Model x 200", "MODELX200"},
        {"  leading and trailing  ", "LEADINGANDTRAILING"},
        {"tab\tstays", "TAB\tSTAYS"},                 // only 0x20 is removed
        {"\xB0\xA1 k\xE9", "\xB0\xA1K\xE9"},          // bytes above 0x7F are kept as they are
        {"already-UPPER_9", "ALREADY-UPPER_9"},
        {"   ", ""},
        {"", ""},
    };
    for (const NormalizeCase& c : cases) {
        char buffer[260] = {};
        std::strcpy(buffer, c.input);
        NormalizeModelName(buffer);
        EXPECT_STREQ(buffer, c.expected) << "input \"" << c.input << "\"";
    }
}

TEST_F(ModelLookupTest, FindsANormalisedNameWhateverTheStoredCaseAndLeavesTheRecord) {
    Install({Record("Other"), Record("ModelX200", {7, -1, 300, -32768, 21, 4, 2, 1})});
    char query[260] = "Model x 200";
    NormalizeModelName(query);
    ASSERT_EQ(LookupSupportedModel(query), kModelFound);
    const ModelRecord& found = CurrentModelRecord();
    EXPECT_EQ(StoredName(found), "ModelX200");
    EXPECT_EQ(found.penWidth, 7);
    EXPECT_EQ(found.reserved1, -1);
    EXPECT_EQ(found.reserved2, 300);
    EXPECT_EQ(found.reserved3, -32768);
    EXPECT_EQ(found.dotShape, 21);
    EXPECT_EQ(found.dotPitch, 4);
    EXPECT_EQ(found.smoothPattern, 2);
    EXPECT_EQ(found.supportClass, 1);
}

TEST_F(ModelLookupTest, FillerEntriesTakeTheirRoomButDoNotCount) {
    // Count 2: the filler entry, then both records are examined.
    Install({Filler(), Record("FIRST"), Filler(), Filler(), Record("SECOND")});
    EXPECT_EQ(LookupSupportedModel("SECOND"), kModelFound);
    EXPECT_EQ(StoredName(CurrentModelRecord()), "SECOND");
    EXPECT_EQ(LookupSupportedModel("THIRD"), kModelNotFound);
    EXPECT_TRUE(IsZero(CurrentModelRecord()));
}

TEST_F(ModelLookupTest, FillerEntriesAloneEndAtTheEndOfTheFile) {
    Bytes file = authoring::BuildModelFile(std::vector<ModelFileEntry>{Filler(), Filler()});
    SetCount(file, 1);
    Install(file);
    EXPECT_EQ(LookupSupportedModel("ANY"), kModelNotFound);
}

TEST_F(ModelLookupTest, TagsSixtySixAndSeventyFourAreReadAlike) {
    Install({Record("SHORTTAG", kSettings, kShortRecordTag), Record("FULLTAG", kSettings, kRecordTag)});
    EXPECT_EQ(LookupSupportedModel("SHORTTAG"), kModelFound);
    EXPECT_EQ(CurrentModelRecord().dotShape, 22);
    EXPECT_EQ(LookupSupportedModel("FULLTAG"), kModelFound);
}

TEST_F(ModelLookupTest, TheFirstMatchingRecordWins) {
    Install({Record("TWICE", {1, 0, 0, 0, 11, 1, 0, 0}), Record("twice", {2, 0, 0, 0, 12, 2, 0, 1})});
    ASSERT_EQ(LookupSupportedModel("TWICE"), kModelFound);
    EXPECT_EQ(CurrentModelRecord().penWidth, 1);
}

TEST_F(ModelLookupTest, ASupportClassOutsideZeroAndOneIsStillFound) {
    Install({Record("CLASSTWO", {1, 0, 0, 0, 11, 1, 0, 2}),
             Record("CLASSMINUS", {1, 0, 0, 0, 11, 1, 0, -1})});
    ASSERT_EQ(LookupSupportedModel("CLASSTWO"), kModelFound);
    EXPECT_EQ(CurrentModelRecord().supportClass, 2);
    ASSERT_EQ(LookupSupportedModel("CLASSMINUS"), kModelFound);
    EXPECT_EQ(CurrentModelRecord().supportClass, -1);
}

TEST_F(ModelLookupTest, AStoredNameWithASpaceNeverMatches) {
    Install({Record("Model X200")});
    char query[260] = "Model X200";
    NormalizeModelName(query);
    EXPECT_EQ(LookupSupportedModel(query), kModelNotFound);
    EXPECT_EQ(LookupSupportedModel("Model X200"), kModelFound);  // only an unnormalised query
}

TEST_F(ModelLookupTest, NamesAreComparedWhole) {
    Install({Record("LASER")});
    for (const char* query : {"LASE", "LASERS", "", "XLASER"}) {
        EXPECT_EQ(LookupSupportedModel(query), kModelNotFound) << query;
    }
}

// A stored name that fills its 50 bytes without a terminator cannot be read
// as a name: it never matches, even a query of the same 50 characters.
TEST_F(ModelLookupTest, AStoredNameWithoutItsTerminatorNeverMatches) {
    ModelRecord record{};
    std::memset(record.modelName, 'N', kModelNameSize);
    Install({ModelFileEntry{kRecordTag, record}, Record("AFTER")});
    EXPECT_EQ(LookupSupportedModel(std::string(kModelNameSize, 'N').c_str()), kModelNotFound);
    EXPECT_EQ(LookupSupportedModel("AFTER"), kModelFound);
}

// The checksum text of a record rewritten with lower-case digits: decrypt,
// change, encrypt again. Returns false when the text has no letter digit.
bool LowerCaseChecksum(std::uint8_t* recordBytes) {
    const auto* key = reinterpret_cast<const std::uint8_t*>(kModelFileKeyText);
    std::uint8_t plain[kRecordBytes];
    EXPECT_EQ(DecryptAes128(kRecordBytes, recordBytes, plain, key, 16), kAesDone);
    bool changed = false;
    for (std::size_t i = 0; i < kChecksumTextBytes; ++i) {
        if (plain[i] >= 'A' && plain[i] <= 'F') {
            plain[i] = static_cast<std::uint8_t>(plain[i] - 'A' + 'a');  // a hex digit, not a name
            changed = true;
        }
    }
    authoring::EncryptAes128(key, kRecordBytes, plain, recordBytes);
    return changed;
}

enum class Damage { kBadTag, kLowerCaseChecksum, kEncryptedByte, kClearByte };

struct DamageCase {
    const char* what;
    Damage damage;
    std::size_t offset;  // of the changed record byte, where one is changed
};

class DamagedFirstEntryTest : public ModelLookupTest,
                              public ::testing::WithParamInterface<DamageCase> {};

// A damaged first entry ends the lookup with 60001, although the sought
// model follows it.
TEST_P(DamagedFirstEntryTest, EndsTheLookupAsCorrupt) {
    const DamageCase& c = GetParam();
    Bytes file;
    switch (c.damage) {
        case Damage::kBadTag:
            file = authoring::BuildModelFile(std::vector{Record("FIRST"), Record("WANTED")});
            file[kCountBytes] = static_cast<std::uint8_t>(c.offset);
            break;
        case Damage::kLowerCaseChecksum: {
            // Find a name whose checksum text has a letter digit.
            for (int n = 0;; ++n) {
                file = authoring::BuildModelFile(
                    std::vector{Record("FIRST" + std::to_string(n)), Record("WANTED")});
                if (LowerCaseChecksum(RecordBytes(file, 0))) break;
            }
            break;
        }
        case Damage::kEncryptedByte:
        case Damage::kClearByte:
            file = authoring::BuildModelFile(std::vector{Record("FIRST"), Record("WANTED")});
            RecordBytes(file, 0)[c.offset] ^= 0x01;
            break;
    }
    Install(file);
    LeaveMarker();
    EXPECT_EQ(LookupSupportedModel("WANTED"), kModelFileBad);
    EXPECT_TRUE(IsZero(CurrentModelRecord()));
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedFirstEntryTest,
    ::testing::Values(DamageCase{"tag1", Damage::kBadTag, 1},
                      DamageCase{"tag65", Damage::kBadTag, 65},
                      DamageCase{"tag75", Damage::kBadTag, 75},
                      DamageCase{"tag255", Damage::kBadTag, 255},
                      DamageCase{"lowerCaseChecksum", Damage::kLowerCaseChecksum, 0},
                      DamageCase{"checksumText", Damage::kEncryptedByte, 3},
                      DamageCase{"name", Damage::kEncryptedByte, 20},
                      DamageCase{"encryptedSettings", Damage::kEncryptedByte, 63},
                      DamageCase{"clear64", Damage::kClearByte, 64},
                      DamageCase{"clear66", Damage::kClearByte, 66},
                      DamageCase{"clear69", Damage::kClearByte, 69},
                      DamageCase{"clear71", Damage::kClearByte, 71},
                      DamageCase{"clear73", Damage::kClearByte, 73}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.what); });

TEST_F(ModelLookupTest, ADamagedEntryAfterTheMatchIsNeverReached) {
    Bytes file = authoring::BuildModelFile(std::vector{Record("WANTED"), Record("LATER")});
    RecordBytes(file, 1)[70] ^= 0x10;
    Install(file);
    EXPECT_EQ(LookupSupportedModel("WANTED"), kModelFound);
    EXPECT_EQ(LookupSupportedModel("LATER"), kModelFileBad);
}

TEST(DecodeModelRecordTest, AChecksumMismatchLeavesTheOutputUntouched) {
    auto bytes = authoring::EncodeModelRecord(authoring::MakeModelRecord("M", kSettings));
    ModelRecord out{};
    ASSERT_EQ(DecodeModelRecord(bytes.data(), out), kRecordDecoded);
    EXPECT_EQ(StoredName(out), "M");
    bytes[72] ^= 0x80;
    ModelRecord untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    const ModelRecord before = untouched;
    EXPECT_EQ(DecodeModelRecord(bytes.data(), untouched), kRecordChecksumMismatch);
    EXPECT_EQ(std::memcmp(&untouched, &before, sizeof before), 0);
}

struct TruncationCase {
    const char* what;
    std::size_t keptBytes;  // of a file with the records A and B; SIZE_MAX keeps all
    std::int32_t statedCount;
    const char* query;
    std::int32_t expected;
};

class TruncatedFileTest : public ModelLookupTest,
                          public ::testing::WithParamInterface<TruncationCase> {};

// A file that ends before its stated entries ends the search as not found;
// what was read before still counts.
TEST_P(TruncatedFileTest, EndsTheSearchAsNotFound) {
    const TruncationCase& c = GetParam();
    Bytes file = authoring::BuildModelFile(std::vector{Record("A"), Record("B")});
    SetCount(file, c.statedCount);
    if (c.keptBytes < file.size()) file.resize(c.keptBytes);
    Install(file);
    EXPECT_EQ(LookupSupportedModel(c.query), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Truncations, TruncatedFileTest,
    ::testing::Values(TruncationCase{"empty", 0, 2, "A", kModelNotFound},
                      TruncationCase{"countCut", 3, 2, "A", kModelNotFound},
                      TruncationCase{"afterCount", 4, 2, "A", kModelNotFound},
                      TruncationCase{"tagCut", 6, 2, "A", kModelNotFound},
                      TruncationCase{"recordCut", 4 + 78 + 40, 2, "B", kModelNotFound},
                      TruncationCase{"foundBeforeCut", 4 + 78 + 40, 2, "A", kModelFound},
                      TruncationCase{"countTooHigh", SIZE_MAX, 5, "C", kModelNotFound},
                      TruncationCase{"countHuge", SIZE_MAX, 0x7FFFFFFF, "B", kModelFound}),
    [](const ::testing::TestParamInfo<TruncationCase>& info) { return std::string(info.param.what); });

TEST_F(ModelLookupTest, AZeroOrNegativeCountFindsNothingAndKeepsTheLastRecord) {
    for (const std::int32_t count : {0, -1, std::int32_t(0x80000000u)}) {
        Bytes file = authoring::BuildModelFile(std::vector{Record("A")});
        SetCount(file, count);
        Install(file);
        LeaveMarker();
        EXPECT_EQ(LookupSupportedModel("A"), kModelNotFound) << count;
        EXPECT_EQ(StoredName(CurrentModelRecord()), "MARKER");
    }
}

TEST_F(ModelLookupTest, AMissingOrUnreadableFileIsReportedAndKeepsTheLastRecord) {
    LeaveMarker();
    EXPECT_EQ(LookupSupportedModel("A"), kModelFileBad);
    EXPECT_EQ(StoredName(CurrentModelRecord()), "MARKER");
    std::filesystem::create_directory(dir_.path() / kModelFileName);  // a directory, not a file
    EXPECT_EQ(LookupSupportedModel("A"), kModelFileBad);
}

TEST_F(ModelLookupTest, AReadOnlyFileIsReadAndNeverChanged) {
    const Bytes file = authoring::BuildModelFile(std::vector{Record("A"), Record("B")});
    Install(file);
    const auto path = dir_.path() / kModelFileName;
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    struct stat before = {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    EXPECT_EQ(LookupSupportedModel("B"), kModelFound);
    EXPECT_EQ(LookupSupportedModel("C"), kModelNotFound);
    struct stat after = {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(dir_.Read(kModelFileName), file);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

}  // namespace
}  // namespace zeseal::catalogue
