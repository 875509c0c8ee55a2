// The dialog templates and bitmap 114 compiled into ZEsealWARDEN.dll, read
// back from its resources and held to the layouts every presenter shares:
// controls, ids, classes, styles, positions, fonts and texts (UTF-16 in the
// templates, code page 949 in the layouts).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwctype>
#include <string>

#include "dialogs/dialog_layouts.h"

namespace zeseal {
namespace {

using dialogs::ControlKind;
using dialogs::DialogKind;

std::wstring FromCodePage949(const char* text) {
    const int length = MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0) return L"(not code page 949)";
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

// Reads an extended dialog template, in the order its fields are stored.
class TemplateReader {
public:
    explicit TemplateReader(const std::uint8_t* bytes) : at_(bytes), start_(bytes) {}

    std::uint16_t Word() { return Take<std::uint16_t>(); }
    std::uint32_t Dword() { return Take<std::uint32_t>(); }
    std::int16_t Short() { return Take<std::int16_t>(); }
    std::uint8_t Byte() { return Take<std::uint8_t>(); }

    // A string, or an ordinal (0xFFFF and a number) given as "#number".
    std::wstring StringOrOrdinal() {
        if (Peek() == 0xFFFF) {
            Word();
            return L"#" + std::to_wstring(Word());
        }
        return String();
    }
    std::wstring String() {
        std::wstring text;
        for (std::uint16_t c = Word(); c != 0; c = Word()) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    void AlignToDword() {
        while ((at_ - start_) % 4 != 0) ++at_;
    }
    void Skip(std::size_t bytes) { at_ += bytes; }

private:
    std::uint16_t Peek() const {
        std::uint16_t value;
        std::memcpy(&value, at_, sizeof value);
        return value;
    }
    template <typename T>
    T Take() {
        T value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    const std::uint8_t* at_;
    const std::uint8_t* start_;
};

const std::uint8_t* ResourceBytes(HMODULE module, int id, LPCSTR type) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return nullptr;
    return static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
}

std::wstring UpperCase(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

// The class a control kind is made of, as its template names it.
std::wstring ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::kGroupBox:
        case ControlKind::kPushButton:
        case ControlKind::kDefaultPushButton: return L"#128";  // button
        case ControlKind::kStatic: return L"#130";
        case ControlKind::kComboBox: return L"#133";
        case ControlKind::kListView: return L"SysListView32";
    }
    return L"";
}

// The window styles a control's layout asks for, and the bits they are in.
struct ExpectedStyle {
    DWORD style, mask;
    DWORD extendedStyle;
};

ExpectedStyle StyleOf(const dialogs::ControlLayout& control) {
    const auto has = [&](std::uint32_t bit) { return (control.styles & bit) != 0; };
    switch (control.kind) {
        case ControlKind::kGroupBox: return {BS_GROUPBOX, 0xF, 0};
        case ControlKind::kPushButton:
            return {BS_PUSHBUTTON | (has(dialogs::kStyleNoTabStop) ? 0u : WS_TABSTOP),
                    0xF | WS_TABSTOP, 0};
        case ControlKind::kDefaultPushButton: return {BS_DEFPUSHBUTTON | WS_TABSTOP, 0xF | WS_TABSTOP, 0};
        case ControlKind::kStatic:
            return {has(dialogs::kStyleCentred) ? DWORD(SS_CENTER) : DWORD(SS_LEFT), SS_TYPEMASK,
                    has(dialogs::kStyleTransparent) ? DWORD(WS_EX_TRANSPARENT) : 0u};
        case ControlKind::kComboBox:
            return {CBS_DROPDOWNLIST | WS_VSCROLL, 0x3 | CBS_SORT | WS_VSCROLL, 0};
        case ControlKind::kListView:
            return {LVS_REPORT | LVS_SINGLESEL | WS_BORDER |
                        (has(dialogs::kStyleShowSelectionAlways) ? DWORD(LVS_SHOWSELALWAYS) : 0u),
                    LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER, 0};
    }
    return {};
}

class DialogTemplates : public ::testing::TestWithParam<DialogKind> {
protected:
    static void SetUpTestSuite() { dll_ = LoadLibraryExA("ZEsealWARDEN.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE); }
    static void TearDownTestSuite() {
        if (dll_ != nullptr) FreeLibrary(dll_);
        dll_ = nullptr;
    }
    static HMODULE dll_;
};

HMODULE DialogTemplates::dll_ = nullptr;

TEST_P(DialogTemplates, MatchTheirLayout) {
    ASSERT_NE(dll_, nullptr) << GetLastError();
    const dialogs::DialogLayout& layout = dialogs::LayoutOf(GetParam());
    const std::uint8_t* bytes = ResourceBytes(dll_, static_cast<int>(GetParam()), RT_DIALOG);
    ASSERT_NE(bytes, nullptr);
    TemplateReader read(bytes);

    ASSERT_EQ(read.Word(), 1);       // version
    ASSERT_EQ(read.Word(), 0xFFFF);  // the extended form
    read.Dword();                    // help id
    read.Dword();                    // extended style
    const DWORD style = read.Dword();
    const DWORD frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
    EXPECT_EQ(style & frame, frame);
    const std::uint16_t count = read.Word();
    EXPECT_EQ(count, layout.controls.size());
    read.Short();
    read.Short();
    EXPECT_EQ(read.Short(), layout.width);
    EXPECT_EQ(read.Short(), layout.height);
    EXPECT_EQ(read.StringOrOrdinal(), L"");  // no menu
    EXPECT_EQ(read.StringOrOrdinal(), L"");  // the dialog class
    EXPECT_EQ(read.String(), FromCodePage949(layout.title));
    EXPECT_EQ(read.Word(), layout.fontPoints);
    EXPECT_EQ(read.Word(), layout.fontWeight);
    EXPECT_EQ(read.Byte(), layout.fontItalic ? 1 : 0);
    EXPECT_EQ(read.Byte(), layout.fontCharset);
    EXPECT_EQ(read.String(), FromCodePage949(layout.fontFace));

    for (std::size_t i = 0; i < count && i < layout.controls.size(); ++i) {
        const dialogs::ControlLayout& control = layout.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(control.id));
        read.AlignToDword();
        read.Dword();  // help id
        const DWORD extendedStyle = read.Dword();
        const DWORD controlStyle = read.Dword();
        EXPECT_EQ(read.Short(), control.x);
        EXPECT_EQ(read.Short(), control.y);
        EXPECT_EQ(read.Short(), control.width);
        EXPECT_EQ(read.Short(), control.height);
        const auto id = static_cast<std::int32_t>(read.Dword());
        EXPECT_EQ(id, control.id == 0 ? -1 : control.id);
        // Class names are compared without regard to case.
        EXPECT_EQ(UpperCase(read.StringOrOrdinal()), UpperCase(ClassOf(control.kind)));
        EXPECT_EQ(read.StringOrOrdinal(), FromCodePage949(control.text));
        read.Skip(read.Word());  // creation data

        const ExpectedStyle expected = StyleOf(control);
        EXPECT_EQ(controlStyle & expected.mask, expected.style);
        EXPECT_EQ(controlStyle & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(extendedStyle & WS_EX_TRANSPARENT, expected.extendedStyle);
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogTemplates,
                         ::testing::Values(DialogKind::kChoosePrinter, DialogKind::kContinueList,
                                           DialogKind::kShowList, DialogKind::kSelectPrinter),
                         [](const ::testing::TestParamInfo<DialogKind>& info) {
                             return "dialog_" + std::to_string(static_cast<int>(info.param));
                         });

// The standard 16-colour palette, in its order.
constexpr COLORREF kStandardPalette[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};

TEST(PrinterPictures, AreTwoSixteenPixelPicturesInFourBitsWithTheStandardPalette) {
    HMODULE dll = LoadLibraryExA("ZEsealWARDEN.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(dll, nullptr);
    const std::uint8_t* bytes = ResourceBytes(dll, dialogs::kPrinterPicturesBitmap, RT_BITMAP);
    ASSERT_NE(bytes, nullptr);
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    EXPECT_EQ(header.biWidth, 2 * dialogs::kPrinterPictureSize);
    EXPECT_EQ(header.biHeight, dialogs::kPrinterPictureSize);
    EXPECT_EQ(header.biBitCount, 4);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    const std::uint8_t* palette = bytes + header.biSize;
    for (int i = 0; i < 16; ++i) {
        const COLORREF colour = RGB(palette[4 * i + 2], palette[4 * i + 1], palette[4 * i]);
        EXPECT_EQ(colour, kStandardPalette[i]) << "palette entry " << i;
    }

    // Each picture has transparent white and drawn pixels; only the default
    // printer's has the dark mark at its upper left, only the other's a
    // green lamp.
    const std::uint8_t* pixels = palette + 16 * 4;
    const auto colourAt = [&](int x, int y) {  // y from the top
        const std::uint8_t byte = pixels[(header.biHeight - 1 - y) * 16 + x / 2];
        return kStandardPalette[x % 2 == 0 ? byte >> 4 : byte & 0xF];
    };
    for (int picture = 0; picture < 2; ++picture) {
        int white = 0, dark = 0, green = 0, upperLeftDark = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const COLORREF colour = colourAt(picture * 16 + x, y);
                white += colour == RGB(255, 255, 255);
                dark += colour == RGB(0, 0, 0);
                green += colour == RGB(0, 255, 0);
                upperLeftDark += x < 4 && y < 4 && colour != RGB(255, 255, 255);
            }
        }
        EXPECT_GT(white, 64) << "picture " << picture;
        EXPECT_GT(dark, 16) << "picture " << picture;
        EXPECT_EQ(upperLeftDark > 0, picture == dialogs::kDefaultPrinterPicture) << "picture " << picture;
        EXPECT_EQ(green > 0, picture == dialogs::kOtherPrinterPicture) << "picture " << picture;
    }
    FreeLibrary(dll);
}

}  // namespace
}  // namespace zeseal
