// The dialog script: a short command language that drives the printer-list
// dialogs without a person, for tests and unattended hosts.
//
// Commands are separated by ";" or line ends; blanks around them do not
// count, and "#" starts a comment that runs to the line's end. Rows are
// numbered from 1 in list order.
//
//   click N    a mouse click on row N (dialog 101: choosing entry N)
//   select N   moving the selection to row N with the keyboard (dialog 101:
//              choosing entry N; dialog 116: not a click)
//   up, down   one arrow key: the selection moves one row
//   press ID   a command: a button id (1, 2, 3, 1016, 1017, 1022, 1035, 1036)
//   escape     the cancel command (Escape); close does the same (close box)
//   enter      the default button, when the dialog has one (dialog 101)
//
// Each dialog takes commands until it ends; the rest are kept for the next
// dialog. A dialog that the script leaves without ending ends with -1, as
// a dialog that could not be created.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeseal::dialogs {

struct ScriptCommand {
    enum class Action { kClick, kSelect, kUp, kDown, kPress, kEnter };
    Action action;
    std::int32_t value = 0;  // row number (from 1) or command id
};

struct ScriptParse {
    std::vector<ScriptCommand> commands;
    std::string error;  // empty when the script parsed
};

ScriptParse ParseDialogScript(std::string_view script);

}  // namespace zeseal::dialogs
