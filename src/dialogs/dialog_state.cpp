#include "dialogs/dialog_state.h"

namespace zeseal::dialogs {

DialogState& TheDialogState() noexcept {
    static DialogState state;
    return state;
}

}  // namespace zeseal::dialogs
