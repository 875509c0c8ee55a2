// The POSIX choice of presenter: a script when the host set one, otherwise
// the terminal when a person sits at one, otherwise none.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>

#include "platform/dialog_presenter.h"
#include "platform/posix/scripted_presenter.h"
#include "platform/posix/terminal_presenter.h"

namespace zeseal::platform {

DialogPresenter* ActiveDialogPresenter() noexcept {
    if (posix::ScriptedPresenter* script = posix::ActiveScript()) return script;
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        static posix::TerminalPresenter terminal(stdin, stdout);
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

}  // namespace zeseal::platform
