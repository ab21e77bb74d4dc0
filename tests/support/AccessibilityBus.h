#pragma once
// A private session bus with the desktop's accessibility bus on it, as a desktop with a
// screen reader has. Qt's bridge to it comes alive only there: on the offscreen platform,
// and on a desktop without that bus, Qt's accessibility stays inactive and raises no events.
#include <memory>
#include <stdexcept>
#include <string>

#include "support/ChildProcess.h"

namespace mirth::testing {

constexpr int kBusStartTimeoutMs = 20000;

class AccessibilityBus {
public:
    // Needs DISPLAY set: the launcher also tells X clients where the bus is.
    AccessibilityBus() : bus_({"dbus-daemon", "--session", "--nofork", "--print-address=" + std::to_string(kAnnounceFd)})
    {
        address_ = bus_.AnnouncedLine(kBusStartTimeoutMs);
        if (address_.empty())
            throw std::runtime_error("dbus-daemon did not start");
        launcher_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/libexec/at-spi-bus-launcher", "--launch-immediately"},
            std::vector<std::string>{"DBUS_SESSION_BUS_ADDRESS=" + address_});
    }
    ~AccessibilityBus() { launcher_.reset(); }

    // Give this to the application as DBUS_SESSION_BUS_ADDRESS.
    const std::string& Address() const { return address_; }

private:
    ChildProcess bus_;
    std::string address_;
    std::unique_ptr<ChildProcess> launcher_;
};

// Why the accessibility bus could not start; empty when it runs.
std::string& AccessibilityBusFailure();

} // namespace mirth::testing
