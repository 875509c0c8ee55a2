#include "dialog_driver.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "dialogs/dialog_ids.h"
#include "png_writer_win32.h"

namespace zeseal::testing {
namespace {

using dialogs::ScriptCommand;
using Action = ScriptCommand::Action;

constexpr UINT kTickMilliseconds = 40;
constexpr int kSettleTicks = 3;        // a new window paints before it is looked at
constexpr int kUnfinishedTicks = 25;   // the script ended, the dialog did not

DialogDriver* activeDriver = nullptr;

bool IsDialogWindow(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0 && IsWindowVisible(window);
}

struct ThreadDialogs {
    HWND ours = nullptr;     // a printer-list dialog
    HWND warning = nullptr;  // any other dialog: a message box
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM context) {
    auto& found = *reinterpret_cast<ThreadDialogs*>(context);
    if (!IsDialogWindow(window)) return TRUE;
    if (DialogKindOf(window) != 0) {
        found.ours = window;
    } else {
        found.warning = window;
    }
    return TRUE;
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A message box's text is its widest static control with text.
BOOL CALLBACK FindMessageText(HWND child, LPARAM context) {
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    auto& text = *reinterpret_cast<std::string*>(context);
    const std::string shown = WindowText(child);
    // A window class name from the system, not a name the library handles.
    if (_stricmp(className, "Static") == 0 && shown.size() > text.size()) text = shown;
    return TRUE;
}

// The centre of a list-view row, in the list's client coordinates.
POINT RowCentre(HWND list, int row) {
    RECT rect{};
    rect.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HWND RowControl(HWND dialog, int kind) {
    switch (kind) {
        case 101: return GetDlgItem(dialog, dialogs::kPrinterCombo);
        case 102: return GetDlgItem(dialog, dialogs::kContinueListView);
        case 103: return GetDlgItem(dialog, dialogs::kShowListView);
        case 116: return GetDlgItem(dialog, dialogs::kSelectListView);
        default: return nullptr;
    }
}

void PostKey(HWND window, UINT key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

// A combo-box choice: the selection moves and the dialog hears of it.
void ChooseComboEntry(HWND dialog, HWND combo, int entry) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(dialogs::kPrinterCombo, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

}  // namespace

int DialogKindOf(HWND window) {
    if (GetDlgItem(window, dialogs::kPrinterCombo) != nullptr) return 101;
    if (GetDlgItem(window, dialogs::kContinueListView) != nullptr) return 102;
    if (GetDlgItem(window, dialogs::kShowListView) != nullptr) return 103;
    if (GetDlgItem(window, dialogs::kSelectListView) != nullptr) return 116;
    return 0;
}

DialogDriver::DialogDriver(std::string_view script, std::string screenshotName)
    : screenshotName_(std::move(screenshotName)) {
    dialogs::ScriptParse parse = dialogs::ParseDialogScript(script);
    commands_ = std::move(parse.commands);
    if (!parse.error.empty()) transcript_.push_back("script error: " + parse.error);
    activeDriver = this;
    timer_ = SetTimer(nullptr, 0, kTickMilliseconds, &DialogDriver::OnTimer);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    activeDriver = nullptr;
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (activeDriver != nullptr) activeDriver->Tick();
}

void DialogDriver::Screenshot(HWND window, const std::string& suffix) {
    const char* directory = std::getenv("ZESEAL_SCREENSHOT_DIR");
    if (directory == nullptr || *directory == '\0') return;
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    // The window as painted, frame and caption included.
    UpdateWindow(window);
    HDC windowDc = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();

    const int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(bits) + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            std::uint8_t* out = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            out[0] = row[x * 3 + 2];
            out[1] = row[x * 3 + 1];
            out[2] = row[x * 3 + 0];
        }
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);

    const std::string path = std::string(directory) + "\\" + screenshotName_ + "-" + suffix + ".png";
    if (WritePng(path, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), rgb)) {
        screenshots_.push_back(path);
    }
}

void DialogDriver::Perform(HWND dialog, const ScriptCommand& command) {
    HWND rows = RowControl(dialog, dialogKind_);
    const int row = command.value - 1;
    switch (command.action) {
        case Action::kClick:
            if (dialogKind_ == 101) {
                ChooseComboEntry(dialog, rows, row);
            } else {
                const POINT at = RowCentre(rows, row);
                PostMessageA(rows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
                PostMessageA(rows, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
            }
            break;
        case Action::kSelect:
            if (dialogKind_ == 101) {
                ChooseComboEntry(dialog, rows, row);
            } else {
                LVITEMA state{};
                state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                state.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageA(rows, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(&state));
            }
            break;
        case Action::kUp:
        case Action::kDown:
            SetFocus(rows);
            PostKey(rows, command.action == Action::kUp ? VK_UP : VK_DOWN);
            break;
        case Action::kEnter: PostKey(GetFocus() != nullptr ? GetFocus() : dialog, VK_RETURN); break;
        case Action::kPress: {
            HWND button = GetDlgItem(dialog, command.value);
            const bool pressable = button != nullptr && IsWindowVisible(button) && IsWindowEnabled(button);
            if (pressable) {
                PostMessageA(button, BM_CLICK, 0, 0);
            } else if (command.value == dialogs::kCommandCancel) {
                // Escape (and the close box) send the cancel command even
                // where no cancel button can be pressed.
                PostKey(GetFocus() != nullptr ? GetFocus() : dialog, VK_ESCAPE);
            } else if (button != nullptr) {
                transcript_.push_back("refused press " + std::to_string(command.value));
            } else {
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(command.value, BN_CLICKED), 0);
            }
            break;
        }
    }
}

void DialogDriver::Finish() {
    if (dialog_ != nullptr && !IsWindow(dialog_)) {
        transcript_.push_back("closed " + std::to_string(dialogKind_));
        dialog_ = nullptr;
    }
}

void DialogDriver::Tick() {
    if (busy_) return;
    busy_ = true;
    ThreadDialogs found;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&found));

    if (dialog_ != nullptr && found.ours != dialog_) {
        transcript_.push_back("closed " + std::to_string(dialogKind_));
        dialog_ = nullptr;
    }
    if (found.warning != nullptr) {
        // A warning box: read it once it is painted, then press its OK.
        if (found.warning != warningBox_) {
            warningBox_ = found.warning;
            warningTicks_ = kSettleTicks;
        } else if (--warningTicks_ <= 0) {
            ShownWarning warning{WindowText(found.warning), {}};
            EnumChildWindows(found.warning, FindMessageText, reinterpret_cast<LPARAM>(&warning.text));
            warnings_.push_back(warning);
            transcript_.push_back("warning");
            Screenshot(found.warning, "warning-" + std::to_string(warnings_.size()));
            PostMessageA(found.warning, WM_COMMAND, IDOK, 0);
            warningBox_ = nullptr;
        }
    } else if (found.ours != nullptr) {
        if (found.ours != dialog_) {
            dialog_ = found.ours;
            dialogKind_ = DialogKindOf(dialog_);
            transcript_.push_back("open " + std::to_string(dialogKind_));
            settleTicks_ = kSettleTicks;
            inspected_ = false;
            idleTicks_ = 0;
        } else if (settleTicks_ > 0) {
            --settleTicks_;
        } else if (!inspected_) {
            inspected_ = true;
            Screenshot(dialog_, std::to_string(dialogKind_));
            if (onOpen) onOpen(dialog_, dialogKind_);
        } else if (reported_ < next_) {
            // The last command's messages were handled before this tick.
            if (afterCommand) afterCommand(dialog_, reported_);
            reported_ = next_;
        } else if (next_ < commands_.size()) {
            Perform(dialog_, commands_[next_++]);
        } else if (++idleTicks_ > kUnfinishedTicks) {
            transcript_.push_back("unfinished");
            EndDialog(dialog_, -1);
        }
    }
    busy_ = false;
}

}  // namespace zeseal::testing
