// The virtual spooler of the POSIX build: printers that live in a text file
// (see printers_file.h), chosen by iZeHostUseVirtualSpooler or the
// environment variable ZESEAL_PRINTERS.
//
// The parsed file is kept and used again while the file's identity (device,
// inode, size, change times) shows no change since it was read; a file
// changed too recently for its times to tell is read again. A change of
// settings is written back atomically under an advisory lock, onto the
// record as it is then, so two processes never lose each other's changes.
// A printed document lands in the file's output folder as one PNG per page,
// named job-<id>-page-<n>.png.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/posix/spooler/printers_file.h"
#include "seams/spooler.h"

namespace zeseal::platform::posix {

// Makes path the printers file; NULL or "" returns to ZESEAL_PRINTERS.
// Returns 0 when the file reads and parses, -1 when it cannot be read, -2
// when it is malformed; the choice is made in every case, and a file that
// cannot be used has no printers. Problems go to the diagnostic stream.
int ChooseVirtualSpoolerFile(const char* path);

// The chosen printers file, or empty when there is none.
std::string VirtualSpoolerFile();

// The chosen file, parsed. Reports a problem to the diagnostic stream (with
// the line number) and returns nothing. The earlier parse is used again
// while the file shows no change, or when its text read again is the same.
std::shared_ptr<const PrintersFile> LoadChosenPrintersFile();

// The folder where the printers file at path sends printed pages.
std::string OutputFolderOf(const std::string& path, const PrintersFile& file);

// The virtual spooler over the chosen printers file.
Spooler& VirtualSpoolerInstance();

}  // namespace zeseal::platform::posix
