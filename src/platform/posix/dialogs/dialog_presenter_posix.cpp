// The POSIX choice of presenter: a script when the host set one, otherwise
// the terminal when a person sits at one, otherwise none.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>

#include "dialogs/dialog_presenter.h"
#include "platform/posix/dialogs/scripted_presenter.h"
#include "platform/posix/dialogs/terminal_presenter.h"

namespace zeseal::dialogs {

DialogPresenter* ActiveDialogPresenter() noexcept {
    if (platform::posix::ScriptedPresenter* script = platform::posix::ActiveScript()) return script;
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        static platform::posix::TerminalPresenter terminal(stdin, stdout);
        return &terminal;
    }
    return nullptr;
}

const void* ThisModuleHandle() noexcept {
    static const char anchor = 0;
    Dl_info info{};
    if (dladdr(&anchor, &info) != 0 && info.dli_fbase != nullptr) return info.dli_fbase;
    return &anchor;
}

}  // namespace zeseal::dialogs
