#pragma once
// An Xvfb of the test's own, on a display number the server picks itself, so that tests
// need no display and never meet another run's.
#include <stdexcept>
#include <string>

#include "support/ChildProcess.h"

namespace mirth::testing {

constexpr int kXvfbStartTimeoutMs = 20000;

class XvfbServer {
public:
    XvfbServer()
        : server_({"Xvfb", "-displayfd", std::to_string(kAnnounceFd), "-nolisten", "tcp", "-screen", "0",
                   "1280x1024x24"})
    {
        // The server writes its number once it accepts clients.
        const std::string number = server_.AnnouncedLine(kXvfbStartTimeoutMs);
        if (number.empty())
            throw std::runtime_error("Xvfb did not start");
        display_ = ":" + number;
    }

    const std::string& Display() const { return display_; }

private:
    ChildProcess server_;
    std::string display_;
};

} // namespace mirth::testing
