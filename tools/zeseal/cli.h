// The command line of the zeseal tool: parses the arguments, runs the
// command they name, and turns every failure into a message and an exit
// status (0 success, 1 a failed command, 2 a usage error).
#pragma once

#include <iosfwd>

namespace zeseal::tool {

// "-" as an input file reads in (std::cin for the first form); "-" as an
// output writes to out, and the command's report then goes to err.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace zeseal::tool
