// The four dialogs' layouts as data: size, title, font and every control
// with its id, text, position and style, in dialog units. A presenter that
// draws real windows builds its templates from these; the terminal reads
// only what it needs.
#pragma once

#include <cstdint>
#include <span>

#include "dialogs/dialog_ids.h"

namespace zeseal::dialogs {

enum class ControlKind {
    kGroupBox,
    kStatic,
    kComboBox,
    kListView,
    kPushButton,
    kDefaultPushButton,
};

// Control styles beyond a control kind's usual ones.
enum ControlStyle : std::uint32_t {
    kStyleNone = 0,
    kStyleCentred = 1u << 0,            // static: centred text
    kStyleDropDownList = 1u << 1,       // combo box: a list without an edit field
    kStyleVerticalScroll = 1u << 2,
    kStyleUnsorted = 1u << 3,           // combo box: entries in insertion order
    kStyleReport = 1u << 4,             // list view: report view
    kStyleSingleSelection = 1u << 5,    // list view
    kStyleShowSelectionAlways = 1u << 6,  // list view
    kStyleBorder = 1u << 7,
    kStyleNoTabStop = 1u << 8,          // push button
    kStyleTransparent = 1u << 9,        // static: drawn without its own background
    kStyleBlueText = 1u << 10,          // static: blue text (RGB 0, 0, 255)
};

struct ControlLayout {
    std::int32_t id;       // 0 for a control without an id
    ControlKind kind;
    const char* text;      // code page 949; "" for none
    std::int16_t x, y, width, height;
    std::uint32_t styles;  // ControlStyle bits
};

struct DialogLayout {
    DialogKind kind;
    std::int16_t width, height;
    const char* title;     // code page 949
    const char* fontFace;  // code page 949
    std::int16_t fontPoints;
    std::int16_t fontWeight;  // 0: the default weight
    bool fontItalic;
    std::uint8_t fontCharset;  // 1: the default character set
    std::span<const ControlLayout> controls;
};

// The layout of one dialog.
const DialogLayout& LayoutOf(DialogKind kind) noexcept;

// The list dialogs' two columns, left-aligned, widths in pixels.
inline constexpr std::int32_t kPrinterColumnWidth = 342;
inline constexpr std::int32_t kVerdictColumnWidth = 88;

// The printer pictures of bitmap 114: 16 x 16 each, white is transparent.
inline constexpr std::int32_t kPrinterPictureSize = 16;
inline constexpr std::uint32_t kPrinterPictureMaskRgb = 0xFFFFFF;

// Where a dialog goes when it opens: centred on its owner (the parent, or
// the desktop when there is none or the parent is minimised), without
// resizing, halves by integer division.
struct ScreenRect {
    std::int32_t left, top, right, bottom;
};
struct ScreenPoint {
    std::int32_t x, y;
};
constexpr ScreenPoint CentreOnOwner(ScreenRect owner, ScreenRect dialog) noexcept {
    const std::int32_t ownerWidth = owner.right - owner.left;
    const std::int32_t ownerHeight = owner.bottom - owner.top;
    const std::int32_t width = dialog.right - dialog.left;
    const std::int32_t height = dialog.bottom - dialog.top;
    return {owner.left + (ownerWidth - width) / 2, owner.top + (ownerHeight - height) / 2};
}

}  // namespace zeseal::dialogs
