// The system-directory function of zeseal_posix.h.
#include <zeseal/zeseal_posix.h>

#include "platform/posix/files/system_directory_posix.h"

extern "C" ZESEAL_API int32_t ZESEAL_CALL iZeHostSetSystemDirectory(const char* dir) {
    try {
        return zeseal::platform::posix::ChooseSystemDirectory(dir);
    } catch (...) {
        return -2;
    }
}
