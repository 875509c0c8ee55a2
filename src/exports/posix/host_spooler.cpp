// The spooler function of zeseal_posix.h.
#include <zeseal/zeseal_posix.h>

#include "platform/posix/cups/cups_spooler.h"
#include "platform/posix/spooler/virtual_spooler.h"

extern "C" ZESEAL_API int32_t ZESEAL_CALL iZeHostUseVirtualSpooler(const char* printersFile) {
    try {
        return zeseal::platform::posix::ChooseVirtualSpoolerFile(printersFile);
    } catch (...) {
        return -1;
    }
}

extern "C" ZESEAL_API int32_t ZESEAL_CALL iZeHostUseCupsSpooler(const char* server) {
    try {
        return zeseal::platform::posix::ChooseCupsServer(server);
    } catch (...) {
        return -1;
    }
}
