#pragma once
// What the test process holds in memory, to show that a step does not cost hundreds of
// megabytes that nothing on screen needs.
#include <unistd.h>

#include <fstream>

namespace mirth::testing {

inline double ResidentMegabytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1 << 20);
}

} // namespace mirth::testing
