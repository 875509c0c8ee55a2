// Which spooler the POSIX build prints through: the virtual spooler of a
// printers file (the default) or a CUPS scheduler.
#pragma once

namespace zeseal::platform::posix {

enum class SpoolerBackend { kVirtual, kCups };

void ChooseSpoolerBackend(SpoolerBackend backend);
SpoolerBackend ChosenSpoolerBackend();

}  // namespace zeseal::platform::posix
