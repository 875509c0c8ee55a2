// The dialog-script function of zeseal_posix.h.
#include <zeseal/zeseal_posix.h>

#include "platform/posix/dialogs/scripted_presenter.h"

extern "C" ZESEAL_API int32_t ZESEAL_CALL iZeHostSetDialogScript(const char* script) {
    try {
        return zeseal::platform::posix::SetDialogScript(script);
    } catch (...) {
        return -1;
    }
}
