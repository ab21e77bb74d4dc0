#pragma once
// A Wayland compositor of the test's own: Weston drawing into a window of an X server
// (its headless backend has no seat, so no clipboard), with the kiosk shell, so that the
// one window fills the output from its top-left corner and output coordinates are the
// window's. Its socket, and the runtime folder Wayland clients need, are private to it.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "support/ChildProcess.h"

namespace mirth::testing {

constexpr int kWestonStartTimeoutMs = 20000;
constexpr int kWestonWidth = 640;
constexpr int kWestonHeight = 480;

class WestonServer {
public:
    // Starts Weston on the X display `display`; Failure() tells why it did not start.
    explicit WestonServer(const std::string& display)
    {
        char folder[] = "/tmp/mirth-wayland-XXXXXX";
        if (mkdtemp(folder) == nullptr) {
            failure_ = "no private runtime folder for Weston";
            return;
        }
        runtimeDir_ = folder;
        try {
            weston_ = std::make_unique<ChildProcess>(
                std::vector<std::string>{"weston", "--backend=x11-backend.so", "--shell=kiosk-shell.so",
                                         "--use-pixman", "--no-config", "--idle-time=0",
                                         "--width=" + std::to_string(kWestonWidth),
                                         "--height=" + std::to_string(kWestonHeight), std::string("--socket=") + kSocket},
                std::vector<std::string>{"DISPLAY=" + display, "XDG_RUNTIME_DIR=" + runtimeDir_, "WAYLAND_DISPLAY="},
                LogPath());
            WaitForSocket();
        } catch (const std::exception& error) {
            failure_ = error.what();
        }
    }
    ~WestonServer()
    {
        weston_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(runtimeDir_, ignored);
    }
    WestonServer(const WestonServer&) = delete;
    WestonServer& operator=(const WestonServer&) = delete;

    const std::string& Failure() const { return failure_; }
    const std::string& RuntimeDir() const { return runtimeDir_; }
    std::string Socket() const { return kSocket; }

private:
    static constexpr const char* kSocket = "wayland-mirth";

    std::string LogPath() const { return runtimeDir_ + "/weston.log"; }

    // Weston makes its socket once it takes clients; it may also die first.
    void WaitForSocket()
    {
        const std::string path = runtimeDir_ + "/" + kSocket;
        for (int waited = 0; waited < kWestonStartTimeoutMs && weston_->Running(); waited += 20) {
            struct stat info {};
            if (stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode))
                return;
            usleep(20 * 1000);
        }
        std::ostringstream log;
        log << std::ifstream(LogPath()).rdbuf();
        failure_ = "weston did not start: " + log.str();
        weston_.reset();
    }

    std::string runtimeDir_;
    std::string failure_;
    std::unique_ptr<ChildProcess> weston_;
};

} // namespace mirth::testing
