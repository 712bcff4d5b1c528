#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qrlogo::test {

// A program started by a test and stopped from its destructor (SIGTERM, then SIGKILL).
class ChildProcess {
public:
    struct Options {
        std::vector<std::string> arguments;                // argv[0] first
        std::vector<std::string> environment;              // NAME=value, added to ours
        std::string workingDirectory;                      // empty: ours
        std::string standardError = "/dev/null";           // where its stderr goes
        std::string standardOutput = "/dev/null";
    };

    explicit ChildProcess(const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool Running();
    // The exit code (or 128 + signal) once it ended within `limit`; none when it still runs.
    std::optional<int> Wait(std::chrono::milliseconds limit);
    // SIGTERM to its process group, then waits at most `limit`: the exit status as waitpid
    // gives it, or none when it did not end in time (it is then killed).
    std::optional<int> Stop(std::chrono::milliseconds limit);

private:
    std::optional<int> WaitStatus(std::chrono::milliseconds limit);

    pid_t m_pid = -1;
    std::optional<int> m_status;  // as waitpid gives it
};

// Runs a command line through /bin/sh and returns its standard output; exit code in `code`.
std::string RunCommand(const std::string& command, int* code = nullptr);

// Polls `condition` every 20 ms until it holds or `limit` passes.
template <typename Condition>
bool WaitUntil(std::chrono::milliseconds limit, Condition condition) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        struct timespec pause{0, 20'000'000};
        nanosleep(&pause, nullptr);
    }
}

}  // namespace qrlogo::test
