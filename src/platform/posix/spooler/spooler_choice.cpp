#include "platform/posix/spooler/spooler_choice.h"

#include <atomic>

#include "platform/posix/cups/cups_spooler.h"
#include "platform/posix/spooler/virtual_spooler.h"

namespace zeseal::platform {
namespace posix {
namespace {

std::atomic<SpoolerBackend> chosenBackend{SpoolerBackend::kVirtual};

}  // namespace

void ChooseSpoolerBackend(SpoolerBackend backend) { chosenBackend.store(backend); }

SpoolerBackend ChosenSpoolerBackend() { return chosenBackend.load(); }

}  // namespace posix

Spooler& ActiveSpooler() {
    return posix::ChosenSpoolerBackend() == posix::SpoolerBackend::kCups ? posix::CupsSpoolerInstance()
                                                                          : posix::VirtualSpoolerInstance();
}

}  // namespace zeseal::platform
