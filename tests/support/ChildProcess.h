#pragma once
// A program a test binary starts for its own use (an X server, a compositor, a message
// bus) and stops again. Its output goes to a log or nowhere, never to the test's own
// output, which ctest waits on until every holder has closed it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace mirth::testing {

// The file descriptor a started program may write its first line to, such as the
// display number or the address it serves (Xvfb -displayfd, dbus-daemon --print-address).
constexpr int kAnnounceFd = 3;

class ChildProcess {
public:
    // Runs `argv` (the program found on PATH) with `settings` ("NAME=value") replacing
    // those variables of ours. Throws when the program cannot be run.
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& settings = {},
                 const std::string& log = "/dev/null")
    {
        int announce[2];
        if (pipe2(announce, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe for " + argv.front());
        // Out of the way of kAnnounceFd: a descriptor duplicated onto itself would keep
        // its close-on-exec mark.
        const int writeEnd = fcntl(announce[1], F_DUPFD_CLOEXEC, kAnnounceFd + 1);
        close(announce[1]);
        announce[1] = writeEnd;
        std::vector<std::string> environment = settings;
        for (char** variable = environ; *variable; ++variable) {
            const std::string entry = *variable;
            if (!Overridden(entry, settings))
                environment.push_back(entry);
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        posix_spawn_file_actions_adddup2(&actions, announce[1], kAnnounceFd);
        const int failed = posix_spawnp(&pid_, argv.front().c_str(), &actions, nullptr, Pointers(argv).data(),
                                        Pointers(environment).data());
        posix_spawn_file_actions_destroy(&actions);
        close(announce[1]);
        announce_ = announce[0];
        if (failed != 0) {
            pid_ = 0;
            close(announce_);
            throw std::runtime_error("cannot run " + argv.front() + " (scripts/install-deps installs it)");
        }
    }
    ~ChildProcess()
    {
        Stop();
        close(announce_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The first line the program writes to kAnnounceFd, without its newline; empty when
    // none comes within `timeoutMs`.
    std::string AnnouncedLine(int timeoutMs)
    {
        std::string line;
        pollfd wait{announce_, POLLIN, 0};
        char c = 0;
        while (poll(&wait, 1, timeoutMs) == 1 && read(announce_, &c, 1) == 1 && c != '\n')
            line += c;
        return c == '\n' ? line : std::string();
    }

    // Whether the program is still running.
    bool Running()
    {
        if (pid_ != 0 && waitpid(pid_, nullptr, WNOHANG) == pid_)
            pid_ = 0;
        return pid_ != 0;
    }

    void Stop()
    {
        if (pid_ == 0)
            return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    static bool Overridden(const std::string& entry, const std::vector<std::string>& settings)
    {
        for (const std::string& setting : settings)
            if (entry.compare(0, setting.find('=') + 1, setting, 0, setting.find('=') + 1) == 0)
                return true;
        return false;
    }
    static std::vector<char*> Pointers(const std::vector<std::string>& strings)
    {
        std::vector<char*> pointers;
        for (const std::string& s : strings)
            pointers.push_back(const_cast<char*>(s.c_str()));
        pointers.push_back(nullptr);
        return pointers;
    }

    pid_t pid_ = 0;
    int announce_ = -1;
};

} // namespace mirth::testing
