// Turns the local printers into the list the user chooses from, and
// classifies each as able or unable to issue.
#pragma once

#include <cstddef>
#include <cstdint>

#include "printers/printer_record.h"

namespace zeseal::printers {

// Fills records[0..capacity) from index 0, in enumeration order, skipping
// printers whose name or port holds "\\" (printer connections). Never
// writes more than capacity records, though the printers may have changed
// since the caller counted them. Returns the number written, or -1 when an
// exception ended the build (the records written stay).
std::int32_t BuildPrinterList(PrinterRecord* records, std::size_t capacity) noexcept;

// The number of local printers, 0 when they cannot be listed.
std::size_t CountLocalPrinters() noexcept;

}  // namespace zeseal::printers
