// Drives the library's real dialogs the way a person would, from inside
// their own modal loop: a timer on the calling thread looks at the thread's
// windows on every tick. It notes each dialog that opens, lets the test look
// at its controls, saves a screenshot, then performs the next command of a
// dialog script (the commands of the POSIX dialog script: click, select,
// up, down, press, escape, close, enter). Each warning box is read, saved
// as a screenshot and dismissed with its OK button.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialog_script.h"

namespace zeseal::testing {

// The printer-list dialog a window is, by the list or combo box it holds;
// 0 for any other window.
int DialogKindOf(HWND window);

struct ShownWarning {
    std::string caption;  // in the ANSI code page
    std::string text;
};

class DialogDriver {
public:
    // screenshotName names the pictures: <name>-<dialog>.png and
    // <name>-warning-<n>.png, saved in the directory ZESEAL_SCREENSHOT_DIR
    // names (none are saved without it).
    DialogDriver(std::string_view script, std::string screenshotName);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Called once for each dialog, after it is painted and before any
    // command: the test looks at its controls.
    std::function<void(HWND dialog, int kind)> onOpen;
    // Called once the dialog has handled a script command (commands count
    // from 0), while it is still open.
    std::function<void(HWND dialog, std::size_t command)> afterCommand;

    // Notes a dialog that has gone since the last tick; called when the
    // export has returned.
    void Finish();

    // "open 116", "warning", "refused press 3" (a hidden or disabled
    // button), "closed 116", "unfinished" (the script ended first: the
    // driver then ends the dialog with -1).
    const std::vector<std::string>& Transcript() const noexcept { return transcript_; }
    const std::vector<ShownWarning>& Warnings() const noexcept { return warnings_; }
    const std::vector<std::string>& Screenshots() const noexcept { return screenshots_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void Perform(HWND dialog, const dialogs::ScriptCommand& command);
    void Screenshot(HWND window, const std::string& suffix);

    std::vector<dialogs::ScriptCommand> commands_;
    std::size_t next_ = 0;
    std::size_t reported_ = 0;  // commands reported to afterCommand
    std::string screenshotName_;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
    HWND dialog_ = nullptr;
    int dialogKind_ = 0;
    int settleTicks_ = 0;
    bool inspected_ = false;
    int idleTicks_ = 0;
    HWND warningBox_ = nullptr;
    int warningTicks_ = 0;
    std::vector<std::string> transcript_;
    std::vector<ShownWarning> warnings_;
    std::vector<std::string> screenshots_;
};

}  // namespace zeseal::testing
