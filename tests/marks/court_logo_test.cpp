// The court-logo exports and DrawBmpFile, through the C interface, onto pages.
#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "authoring/bmp_writer.h"
#include "base/byte_order.h"
#include "marks/bitmap_holder.h"
#include "marks/court_logo.h"
#include "support/test_pages.h"

namespace zeseal {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using base::ReadLe32;
using base::WriteLe16;
using base::WriteLe32;
using testing::OwnedPage;

// A picture of one colour index (0 white, 1 black).
Bytes Logo(std::int32_t width, std::int32_t height, std::int32_t bits, std::uint8_t index = 1) {
    authoring::IndexedPicture p;
    p.width = width;
    p.height = height;
    p.bitsPerPixel = bits;
    p.palette = {{255, 255, 255}, {0, 0, 0}};
    p.indices.assign(std::size_t(width) * std::size_t(height), index);
    return authoring::EncodeIndexedBmp(p);
}

// An 8-bit 4 x 1 picture whose rows start gap bytes after the colour table:
// the gap is black (index 1), the row itself white.
Bytes LogoWithGap(std::size_t gap) {
    Bytes file = Logo(4, 1, 8, 0);
    file.insert(file.begin() + 1078, gap, 1);
    WriteLe32(&file[2], static_cast<std::uint32_t>(file.size()));
    WriteLe32(&file[10], static_cast<std::uint32_t>(1078 + gap));
    return file;
}

// The black pixels' bounding box and count.
struct Ink {
    std::int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    std::size_t count = 0;
};
Ink InkOf(const OwnedPage& page, std::int32_t width, std::int32_t height) {
    const auto rgb = page.Rgb();
    Ink ink;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
            if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x);
            ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

// A system directory of its own, chosen for the test and dropped after it.
class CourtLogoTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zeseal-logo-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ASSERT_EQ(iZeHostSetSystemDirectory(dir_.c_str()), 0);
    }
    void TearDown() override {
        iZeHostSetSystemDirectory(nullptr);
        fs::remove_all(dir_);
    }
    void Install(const std::string& name, const Bytes& bytes) {
        std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    fs::path dir_;
};

TEST(CourtLogoConstants, AnswerWithoutLookingAtAnything) {
    EXPECT_EQ(iZeCourtLogoSize(), ZE_COURTLOGO_SIZE);
    EXPECT_EQ(iZeCourtLogoData(), ZE_OK);
}

TEST_F(CourtLogoTest, AnInchSquareLogoCoversSixHundredPixelsOnASixHundredDpiPage) {
    const Bytes logo = Logo(72, 72, 8);
    Install("court_laser", logo);
    // x = 42 points is 72 with the margin: one inch in; y = 72: one inch down.
    for (int way = 0; way < 3; ++way) {
        OwnedPage page(1400, 1400, 600);
        std::int32_t result = -1;
        if (way == 0) result = iZeCourtLogo(page.dc(), logo.data(), std::int32_t(logo.size()), 0, 0, 42, 72);
        if (way == 1) result = iZeCourtLogoAddVista(page.dc(), logo.data(), 0, 0, 0, 42, 72);
        if (way == 2) result = iZeCourtLogoPrint(page.dc(), ZE_MODEL_CLASS_2, 0, 0, 42, 72);
        ASSERT_EQ(result, ZE_OK) << way;
        const Ink ink = InkOf(page, 1400, 1400);
        EXPECT_EQ(ink.count, 600u * 600u) << way;
        EXPECT_EQ(ink.left, 600) << way;
        EXPECT_EQ(ink.top, 600) << way;
        EXPECT_EQ(ink.right, 1199) << way;
        EXPECT_EQ(ink.bottom, 1199) << way;
    }
}

TEST_F(CourtLogoTest, CallersImagesUseTheFixedOffsetAndFilesTheirStoredOne) {
    const Bytes logo = LogoWithGap(4);
    Install("court_ink", logo);
    OwnedPage page(100, 30, 72);
    // Rows read from 1078 are the black gap; from the stored 1082, white.
    ASSERT_EQ(iZeCourtLogo(page.dc(), logo.data(), std::int32_t(logo.size()), 0, 0, 1, 0), ZE_OK);
    ASSERT_EQ(iZeCourtLogoAddVista(page.dc(), logo.data(), 0, 0, 0, 1, 1), ZE_OK);
    ASSERT_EQ(iZeCourtLogoPrint(page.dc(), ZE_MODEL_CLASS_1, 0, 0, 1, 2), ZE_OK);
    EXPECT_EQ(page.Art(30, 0, 6, 3), ".####.\n.####.\n......");
}

TEST_F(CourtLogoTest, TheModelClassChoosesTheFile) {
    Install("court_ink", Logo(1, 1, 1));
    Install("court_laser", Logo(2, 1, 8));
    struct Case {
        std::int32_t model;
        const char* art;
    };
    for (const Case c : {Case{1201, ".#.."}, Case{1202, ".##."}, Case{0, ".##."}, Case{-1, ".##."}}) {
        OwnedPage page(40, 1, 72);
        EXPECT_EQ(iZeCourtLogoPrint(page.dc(), c.model, 0, 0, 1, 0), ZE_OK) << c.model;
        EXPECT_EQ(page.Art(30, 0, 4, 1), c.art) << c.model;
    }
    EXPECT_STREQ(marks::CourtLogoFileName(1201), "court_ink");
    EXPECT_STREQ(marks::CourtLogoFileName(1202), "court_laser");
}

TEST_F(CourtLogoTest, AndedLogosKeepWhatIsPrintedAndLeaveTheCallersBufferAlone) {
    // Black left half, white right half.
    authoring::IndexedPicture p{4, 1, 8, {{255, 255, 255}, {0, 0, 0}}, {1, 1, 0, 0}, 72};
    const Bytes logo = authoring::EncodeIndexedBmp(p);
    const Bytes before = logo;
    OwnedPage page(40, 1, 72);
    // The second logo's white half lands on the first one's black half.
    ASSERT_EQ(iZeCourtLogoAddVista(page.dc(), logo.data(), 0, 0, 0, 3, 0), ZE_OK);
    ASSERT_EQ(iZeCourtLogoAddVista(page.dc(), logo.data(), 0, 0, 0, 1, 0), ZE_OK);
    EXPECT_EQ(page.Art(30, 0, 8, 1), ".####...");
    EXPECT_EQ(logo, before);
}

TEST_F(CourtLogoTest, CoreHeadersAreMeasuredInTheirOwnForm) {
    // A 1-bit 3 x 2 picture with a 12-byte header: 3-byte colour entries
    // (white, black), rows of 4 bytes, all pixels black.
    Bytes file(14 + 12 + 6 + 8, 0);
    file[0] = 'B';
    file[1] = 'M';
    WriteLe32(&file[2], std::uint32_t(file.size()));
    WriteLe32(&file[10], 14 + 12 + 6);
    WriteLe32(&file[14], 12);
    WriteLe16(&file[18], 3);
    WriteLe16(&file[20], 2);
    WriteLe16(&file[22], 1);
    WriteLe16(&file[24], 1);
    file[26] = file[27] = file[28] = 255;  // entry 0 white; entry 1 stays black
    file[32] = file[36] = 0xE0;            // the three pixels of each row set
    Install("court_laser", file);
    OwnedPage page(40, 3, 72);
    ASSERT_EQ(iZeCourtLogoPrint(page.dc(), 0, 0, 0, 1, 0), ZE_OK);
    EXPECT_EQ(page.Art(30, 0, 5, 3), ".###.\n.###.\n.....");

    // A caller's core image takes its pixel offset from the bit count at
    // offset 28, here the colour table's 255: "other", so offset 62, which
    // lies past this short image.
    OwnedPage other(40, 3, 72);
    EXPECT_EQ(iZeCourtLogo(other.dc(), file.data(), std::int32_t(file.size()), 0, 0, 1, 0), ZE_COURTLOGO_FAILED);
    file.resize(62 + 8, 0);
    file[62 + 0] = file[62 + 4] = 0xE0;
    WriteLe32(&file[2], std::uint32_t(file.size()));
    EXPECT_EQ(iZeCourtLogo(other.dc(), file.data(), std::int32_t(file.size()), 0, 0, 1, 0), ZE_OK);
    EXPECT_EQ(other.Art(30, 0, 5, 3), ".###.\n.###.\n.....");
}

TEST_F(CourtLogoTest, EveryBrokenLogoFileIsRefusedAndThePageKeptWhite) {
    struct Case {
        const char* name;
        std::function<Bytes()> make;
    };
    const auto changed = [](std::size_t at, std::uint32_t v, bool wide = true) {
        return [=] {
            Bytes f = Logo(8, 8, 8);
            if (wide) WriteLe32(&f[at], v);
            else WriteLe16(&f[at], std::uint16_t(v));
            return f;
        };
    };
    const Case cases[] = {
        {"empty file", [] { return Bytes{}; }},
        {"one byte cut off", [] { Bytes f = Logo(8, 8, 8); f.pop_back(); return f; }},
        {"one byte added", [] { Bytes f = Logo(8, 8, 8); f.push_back(0); return f; }},
        {"wrong signature", [] { Bytes f = Logo(8, 8, 8); f[1] = 'A'; return f; }},
        {"file header only", [] { Bytes f(14, 0); f[0] = 'B'; f[1] = 'M'; WriteLe32(&f[2], 14); return f; }},
        {"pixel offset past the end", changed(10, 5000)},
        {"pixel offset leaving too few rows", changed(10, 1079)},
        {"width beyond the rows", changed(18, 9)},
        {"height beyond the rows", changed(22, 9)},
        {"width zero", changed(18, 0)},
        {"16 bits per pixel", changed(28, 16, false)},
        {"compressed", changed(30, 1)},
        {"info header of 16 bytes", changed(14, 16)},
        {"info header larger than the file", changed(14, 1u << 20)},
    };
    for (const Case& c : cases) {
        Install("court_laser", c.make());
        OwnedPage page(60, 20, 72);
        EXPECT_EQ(iZeCourtLogoPrint(page.dc(), 1202, 0, 0, 1, 1), ZE_COURTLOGO_FAILED) << c.name;
        EXPECT_EQ(page.InkedPixels(), 0u) << c.name;
    }
    fs::remove(dir_ / "court_laser");
    OwnedPage page(60, 20, 72);
    EXPECT_EQ(iZeCourtLogoPrint(page.dc(), 1202, 0, 0, 1, 1), ZE_COURTLOGO_FAILED) << "missing file";
    fs::create_directory(dir_ / "court_laser");
    EXPECT_EQ(iZeCourtLogoPrint(page.dc(), 1202, 0, 0, 1, 1), ZE_COURTLOGO_FAILED) << "a directory";
}

TEST_F(CourtLogoTest, CallersImagesAreBoundedByTheirLengthOrTheirSizeField) {
    const Bytes logo = Logo(8, 8, 8);
    OwnedPage page(60, 20, 72);
    const auto length = std::int32_t(logo.size());
    // A length short of the rows: refused without reading past the copy.
    for (const std::int32_t shortLength : {length - 1, 1078, 29, 1, 0, -1, INT32_MIN}) {
        EXPECT_EQ(iZeCourtLogo(page.dc(), logo.data(), shortLength, 0, 0, 1, 1), ZE_COURTLOGO_FAILED)
            << shortLength;
    }
    // Without a length, the file-size field is the bound.
    Bytes understated = logo;
    WriteLe32(&understated[2], std::uint32_t(logo.size() - 1));
    EXPECT_EQ(iZeCourtLogoAddVista(page.dc(), understated.data(), 0, 0, 0, 1, 1), ZE_COURTLOGO_FAILED);
    Bytes wide = logo;
    WriteLe32(&wide[18], 1u << 20);
    EXPECT_EQ(iZeCourtLogoAddVista(page.dc(), wide.data(), 0, 0, 0, 1, 1), ZE_COURTLOGO_FAILED);
    EXPECT_EQ(iZeCourtLogo(page.dc(), wide.data(), length, 0, 0, 1, 1), ZE_COURTLOGO_FAILED);
    EXPECT_EQ(page.InkedPixels(), 0u);
}

TEST_F(CourtLogoTest, BadPointersAndUnknownPagesGiveTheFamilyCode) {
    const Bytes logo = Logo(8, 8, 8);
    Install("court_ink", logo);
    const auto* unmapped = reinterpret_cast<const std::uint8_t*>(std::uintptr_t{16});
    OwnedPage page(60, 20, 72);
    EXPECT_EQ(iZeCourtLogo(page.dc(), unmapped, 2000, 0, 0, 1, 1), ZE_COURTLOGO_FAILED);
    EXPECT_EQ(iZeCourtLogoAddVista(page.dc(), unmapped, 0, 0, 0, 1, 1), ZE_COURTLOGO_FAILED);
    EXPECT_EQ(iZeCourtLogoAddVista(page.dc(), nullptr, 0, 0, 0, 1, 1), ZE_COURTLOGO_FAILED);

    HDC gone = iZeHostPageCreate(10, 10, 72, 72);
    iZeHostPageDestroy(gone);
    EXPECT_EQ(iZeCourtLogo(gone, logo.data(), std::int32_t(logo.size()), 0, 0, 1, 1), ZE_COURTLOGO_FAILED);
    EXPECT_EQ(iZeCourtLogoAddVista(gone, logo.data(), 0, 0, 0, 1, 1), ZE_COURTLOGO_FAILED);
    EXPECT_EQ(iZeCourtLogoPrint(gone, 1201, 0, 0, 1, 1), ZE_COURTLOGO_FAILED);
}

}  // namespace
}  // namespace zeseal
