#pragma once
#include <string>

namespace mirth::testing {

// Why the test binary's own Wayland compositor could not start; empty when it runs.
std::string& WaylandUnavailable();

} // namespace mirth::testing
