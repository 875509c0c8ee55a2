// The CUPS backend of the spooler seam: the queues of a CUPS scheduler,
// chosen by iZeHostUseCupsSpooler.
//
// Every call asks the scheduler afresh over its own connection, so the
// answers are those of the moment and calls from different threads do not
// share a connection. A printed document goes to the queue as one PNG file
// per page, rendered at the queue's resolution.
#pragma once

#include <memory>
#include <string>

#include "seams/spooler.h"

namespace zeseal::platform::posix {

// Makes the scheduler at server the one to ask: a host name, "host:port" or
// the path of a local socket; NULL or "" for the client's default server.
// Returns 0 when the scheduler answers, -1 when it cannot be reached (the
// choice is made in every case).
int ChooseCupsServer(const char* server);

// The CUPS backend, asking the chosen scheduler.
Spooler& CupsSpoolerInstance();

// The default printer's profile text ("name,winspool,port"), or ",,," when
// the scheduler has none or cannot be reached. A default destination that
// names an instance ("queue/instance") names its queue.
std::string CupsDefaultPrinterProfile();

}  // namespace zeseal::platform::posix
