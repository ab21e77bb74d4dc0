#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace mirth::tool {

// Runs one command line (without the program name) and returns the exit code:
// 0 done, 1 the work failed (the system's message on err), 2 a usage error
// (the usage on err). "--help" prints the usage on out, "--version" the version.
int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace mirth::tool
