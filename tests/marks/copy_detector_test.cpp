// The copy-detection exports through the C interface, with supported-model
// files written for each test.
#include "marks/copy_detector.h"

#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "authoring/data_file_writer.h"
#include "catalogue/data_file_format.h"
#include "marks/bitmap_holder.h"
#include "marks/copy_detector_pattern.h"
#include "support/temp_system_directory.h"
#include "support/test_pages.h"

namespace zeseal::marks {
namespace {

using base::WriteLe32;

using Bytes = std::vector<std::uint8_t>;
using authoring::ModelFileEntry;
using authoring::ModelSettings;
using testing::OwnedPage;
using testing::TempSystemDirectory;

constexpr std::uint8_t kUntouched = 0xA5;

// pen, reserved 1-3, shape, pitch, smoothing, class
constexpr ModelSettings kOwnSettings{1, 0, 0, 0, 22, 5, 0, 1};
constexpr ModelSettings kDefaultSettings{1, 0, 0, 0, 11, 4, 1, 0};
constexpr ModelSettings kNetworkSettings{1, 0, 0, 0, 21, 3, 2, 0};

ModelFileEntry Entry(const std::string& name, const ModelSettings& settings) {
    return {catalogue::kRecordTag, authoring::MakeModelRecord(name, settings)};
}

// The image BuildPatternImage gives for a record's settings.
Bytes Expected(const ModelSettings& settings, bool fallback) {
    const auto record = authoring::MakeModelRecord("ANY", settings);
    Bytes out(kPatternImageSize);
    EXPECT_TRUE(BuildPatternImage(MakeCopyDetectorStyle(record, fallback), out.data()));
    return out;
}

class CopyDetectorTest : public ::testing::Test {
protected:
    void Install(const std::vector<ModelFileEntry>& entries) {
        dir_.Write(catalogue::kModelFileName, authoring::BuildModelFile(entries));
    }
    void InstallAll() {
        Install({Entry("DEFAULT", kDefaultSettings), Entry("NETWORKPRINTER", kNetworkSettings),
                 Entry("TalvoLaser5100", kOwnSettings)});
    }
    // The image iZeCopyDetectorData builds, or the untouched buffer.
    std::pair<std::int32_t, Bytes> Data(const char* model, std::int32_t kind) {
        Bytes out(kCopyDetectorBufferSize, kUntouched);
        const std::int32_t result = iZeCopyDetectorData(model, out.data(), kind);
        return {result, out};
    }
    static Bytes Image(const Bytes& buffer) { return {buffer.begin(), buffer.begin() + kPatternImageSize}; }

    TempSystemDirectory dir_;
};

TEST(ChooseDetectorName, LocalPrintersUseTheirModelCutTo258Characters) {
    struct Case {
        std::size_t length;
        std::int32_t kind;
        std::string expected;  // empty: the model name cut to `cut`
        std::size_t cut;
    };
    const Case cases[] = {
        {10, 1101, "", 10},   {258, 1101, "", 258}, {259, 1101, "", 259},
        {260, 1101, "", 258}, {300, 1101, "", 258}, {0, 1101, "", 0},
        {10, 1102, "NETWORKPRINTER", 0}, {10, 0, "NETWORKPRINTER", 0},
        {300, -1101, "NETWORKPRINTER", 0},
    };
    for (const Case& c : cases) {
        std::string model;
        for (std::size_t i = 0; i < c.length; ++i) model += char('A' + i % 26);
        char name[base::kNameBufferSize];
        std::memset(name, 'x', sizeof name);
        EXPECT_TRUE(ChooseDetectorName(model.c_str(), c.kind, name));
        const std::string expected = c.expected.empty() ? model.substr(0, c.cut) : c.expected;
        EXPECT_EQ(std::string(name), expected) << c.length << "/" << c.kind;
        for (std::size_t i = expected.size(); i < sizeof name; ++i) ASSERT_EQ(name[i], 0) << i;
    }
    char name[base::kNameBufferSize];
    EXPECT_FALSE(ChooseDetectorName(nullptr, 1101, name));
    EXPECT_TRUE(ChooseDetectorName(nullptr, 1102, name));
    EXPECT_STREQ(name, "NETWORKPRINTER");
}

TEST_F(CopyDetectorTest, SizeIsAlwaysTheBufferOfA622By304Image) {
    std::int32_t size = 0;
    EXPECT_EQ(iZeCopyDetectorSize(&size), ZE_OK);
    EXPECT_EQ(size, 190166);
}

TEST_F(CopyDetectorTest, AModelsOwnRecordGivesTheFullPattern) {
    InstallAll();
    const Bytes expected = Expected(kOwnSettings, false);
    for (const char* model : {"TalvoLaser5100", "talvo laser 5100", " TALVOLASER5100 "}) {
        const auto [result, out] = Data(model, 1101);
        ASSERT_EQ(result, ZE_OK) << model;
        EXPECT_EQ(Image(out), expected) << model;
        // Nothing past the image is written.
        for (std::size_t i = kPatternImageSize; i < out.size(); ++i) ASSERT_EQ(out[i], kUntouched);
    }
}

TEST_F(CopyDetectorTest, AModelWithoutARecordGetsTheDefaultRecordsPlainerVariant) {
    InstallAll();
    const auto [result, out] = Data("Unknown Model 1", 1101);
    ASSERT_EQ(result, ZE_OK);
    EXPECT_EQ(Image(out), Expected(kDefaultSettings, true));
    EXPECT_NE(Image(out), Expected(kDefaultSettings, false));
}

TEST_F(CopyDetectorTest, OtherKindsUseTheNetworkPrintersRecord) {
    InstallAll();
    for (const std::int32_t kind : {1102, 0, -1}) {
        const auto [result, out] = Data("TalvoLaser5100", kind);
        ASSERT_EQ(result, ZE_OK) << kind;
        EXPECT_EQ(Image(out), Expected(kNetworkSettings, false)) << kind;
    }
    // Without one, a network printer gets the default variant.
    Install({Entry("DEFAULT", kDefaultSettings), Entry("TalvoLaser5100", kOwnSettings)});
    const auto [result, out] = Data("TalvoLaser5100", 1102);
    ASSERT_EQ(result, ZE_OK);
    EXPECT_EQ(Image(out), Expected(kDefaultSettings, true));
}

TEST_F(CopyDetectorTest, WithoutEitherRecordNothingIsBuiltAndTheBufferIsUntouched) {
    struct Case {
        const char* name;
        std::function<void()> install;
    };
    const Case cases[] = {
        {"neither record", [&] { Install({Entry("TalvoLaser5100", kOwnSettings)}); }},
        {"an empty file", [&] { Install({}); }},
        {"no file", [] {}},
        {"a corrupt file", [&] { dir_.Write(catalogue::kModelFileName, Bytes{1, 0, 0, 0, 9, 9}); }},
    };
    for (const Case& c : cases) {
        c.install();
        const auto [result, out] = Data("Unknown", 1101);
        EXPECT_EQ(result, ZE_COPYDETECTOR_FAILED) << c.name;
        for (const std::uint8_t b : out) ASSERT_EQ(b, kUntouched) << c.name;
        OwnedPage page(600, 400, 600);
        EXPECT_EQ(iZeCopyDetectorPrint(page.dc(), "Unknown", 10, 10, 1101, 0), ZE_COPYDETECTOR_FAILED);
        EXPECT_EQ(page.InkedPixels(), 0u) << c.name;
        std::filesystem::remove(dir_.path() / catalogue::kModelFileName);
    }
}

TEST_F(CopyDetectorTest, PrintDrawsTheSameImageThatDataBuildsAt600Dpi) {
    InstallAll();
    const auto [result, image] = Data("TalvoLaser5100", 1101);
    ASSERT_EQ(result, ZE_OK);
    OwnedPage drawn(700, 400, 600), printed(700, 400, 600);
    ASSERT_EQ(iZeCopyDetector(drawn.dc(), 0, image.data(), 20, 50, 0, 0), ZE_OK);
    ASSERT_EQ(iZeCopyDetectorPrint(printed.dc(), "TalvoLaser5100", 20, 50, 1101, 0), ZE_OK);
    EXPECT_EQ(drawn.Rgb(), printed.Rgb());
    // One pattern pixel per device pixel, from x + 30 across: the frame's
    // corner, and inside it the first 2 x 2 dot, then white.
    EXPECT_EQ(printed.Art(49, 49, 8, 8),
              "........\n"
              ".#######\n"
              ".#######\n"
              ".#######\n"
              ".####...\n"
              ".###....\n"
              ".###....\n"
              ".###....");
}

TEST_F(CopyDetectorTest, DrawingRefusesImagesBeyondTheirSizeFieldAndUnknownPages) {
    InstallAll();
    auto [result, image] = Data("TalvoLaser5100", 1101);
    ASSERT_EQ(result, ZE_OK);
    OwnedPage page(700, 400, 600);
    WriteLe32(&image[2], kPatternImageSize - 1);
    EXPECT_EQ(iZeCopyDetector(page.dc(), 0, image.data(), 20, 50, 0, 0), ZE_COPYDETECTOR_FAILED);
    EXPECT_EQ(iZeCopyDetector(page.dc(), 0, nullptr, 20, 50, 0, 0), ZE_COPYDETECTOR_FAILED);
    EXPECT_EQ(page.InkedPixels(), 0u);
    WriteLe32(&image[2], kPatternImageSize);
    HDC gone = iZeHostPageCreate(10, 10, 600, 600);
    iZeHostPageDestroy(gone);
    EXPECT_EQ(iZeCopyDetector(gone, 0, image.data(), 20, 50, 0, 0), ZE_COPYDETECTOR_FAILED);
    EXPECT_EQ(iZeCopyDetectorPrint(gone, "TalvoLaser5100", 20, 50, 1101, 0), ZE_COPYDETECTOR_FAILED);
}

TEST_F(CopyDetectorTest, BadPointersGiveTheFamilyCode) {
    InstallAll();
    auto* unmapped = reinterpret_cast<std::uint8_t*>(std::uintptr_t{16});
    Bytes out(kCopyDetectorBufferSize);
    OwnedPage page(700, 400, 600);
    EXPECT_EQ(iZeCopyDetectorData(reinterpret_cast<const char*>(unmapped), out.data(), 1101),
              ZE_COPYDETECTOR_FAILED);
    EXPECT_EQ(iZeCopyDetectorData("TalvoLaser5100", unmapped, 1101), ZE_COPYDETECTOR_FAILED);
    EXPECT_EQ(iZeCopyDetectorData(nullptr, out.data(), 1101), ZE_COPYDETECTOR_FAILED);
    EXPECT_EQ(iZeCopyDetector(page.dc(), 0, unmapped, 20, 50, 0, 0), ZE_COPYDETECTOR_FAILED);
    EXPECT_EQ(iZeCopyDetectorPrint(page.dc(), reinterpret_cast<const char*>(unmapped), 1, 1, 1101, 0),
              ZE_COPYDETECTOR_FAILED);
    // A network printer's name is never read.
    EXPECT_EQ(iZeCopyDetectorData(nullptr, out.data(), 1102), ZE_OK);
}

// The environment switch of the debugger output, restored after each test.
class DebugOutputSwitch {
public:
    explicit DebugOutputSwitch(const char* value) {
        if (const char* old = getenv("ZESEAL_DIAGNOSTICS")) saved_ = old, had_ = true;
        if (value != nullptr) setenv("ZESEAL_DIAGNOSTICS", value, 1);
        else unsetenv("ZESEAL_DIAGNOSTICS");
    }
    ~DebugOutputSwitch() {
        if (had_) setenv("ZESEAL_DIAGNOSTICS", saved_.c_str(), 1);
        else unsetenv("ZESEAL_DIAGNOSTICS");
    }

private:
    std::string saved_;
    bool had_ = false;
};

TEST_F(CopyDetectorTest, TheNormalisedNameGoesToTheDebuggerOutputOnlyWhenAskedFor) {
    InstallAll();
    Bytes out(kCopyDetectorBufferSize);
    const std::string longName(300, 'q');
    struct Case {
        const char* env;
        const char* model;
        std::int32_t kind;
        std::string line;
    };
    const Case cases[] = {
        {"1", "Talvo laser 5100", 1101, "szPrinterModelName = TALVOLASER5100\n"},
        {"stderr", "Talvo laser 5100", 1102, "szPrinterModelName = NETWORKPRINTER\n"},
        {"1", longName.c_str(), 1101, "szPrinterModelName = " + std::string(258, 'Q') + "\n"},
        {"0", "Talvo laser 5100", 1101, ""},
        {"", "Talvo laser 5100", 1101, ""},
        {nullptr, "Talvo laser 5100", 1101, ""},
    };
    for (const Case& c : cases) {
        const DebugOutputSwitch on(c.env);
        ::testing::internal::CaptureStderr();
        iZeCopyDetectorData(c.model, out.data(), c.kind);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line) << (c.env ? c.env : "unset");
    }
}

}  // namespace
}  // namespace zeseal::marks
