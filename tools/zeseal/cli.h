// The command line of the zeseal tool: parses the arguments, runs the
// command they name, and turns every failure into a message and an exit
// status (0 success, 1 a failed command, 2 a usage error).
#pragma once

#include <iosfwd>

namespace zeseal::tool {

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zeseal::tool
