// The main of the test binaries that need a real X server, for what only travels between
// programs. It starts an Xvfb of its own, on a display number the server picks itself, so
// the tests need no display and never meet another run's.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "framework/Application.h"
#include "framework/DesktopClipboard.h"

extern char** environ;

namespace {

constexpr int kStartTimeoutMs = 20000;

class XvfbServer {
public:
    XvfbServer()
    {
        int ready[2];
        if (pipe(ready) != 0)
            throw std::runtime_error("no pipe for Xvfb");
        const std::string fd = std::to_string(ready[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "1280x1024x24", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, ready[0]);
        const int failed = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ready[1]);
        if (failed != 0) {
            close(ready[0]);
            throw std::runtime_error("cannot run Xvfb (scripts/install-deps installs it)");
        }
        display_ = ":" + ReadDisplayNumber(ready[0]);
        close(ready[0]);
    }
    ~XvfbServer()
    {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& Display() const { return display_; }

private:
    // The server writes its number and a newline once it accepts clients.
    std::string ReadDisplayNumber(int fd)
    {
        std::string number;
        pollfd wait{fd, POLLIN, 0};
        char c = 0;
        while (poll(&wait, 1, kStartTimeoutMs) == 1 && read(fd, &c, 1) == 1 && c != '\n')
            number += c;
        if (c != '\n' || number.empty()) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            throw std::runtime_error("Xvfb did not start");
        }
        return number;
    }

    pid_t pid_ = 0;
    std::string display_;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    try {
        XvfbServer server;
        setenv("DISPLAY", server.Display().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        mirth::TApplication application(argc, argv);
        application.SetTitle("Mirthlens");
        mirth::InstallSystemClipboardBinding(std::make_unique<mirth::DesktopClipboardBinding>());
        return RUN_ALL_TESTS();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
