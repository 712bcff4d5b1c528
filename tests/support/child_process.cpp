#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>

namespace qrlogo::test {
namespace {

int DecodeStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ChildProcess::ChildProcess(const Options& options) {
    m_pid = fork();
    if (m_pid != 0) return;
    // The child: its own process group, so stopping it stops what it starts.
    setpgid(0, 0);
    for (const auto& variable : options.environment) putenv(strdup(variable.c_str()));
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(126);
    const int err = open(options.standardError.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int out = open(options.standardOutput.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int in = open("/dev/null", O_RDONLY);
    if (err >= 0) dup2(err, 2);
    if (out >= 0) dup2(out, 1);
    if (in >= 0) dup2(in, 0);
    std::vector<char*> argv;
    for (const auto& argument : options.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

ChildProcess::~ChildProcess() { Stop(std::chrono::seconds(3)); }

bool ChildProcess::Running() { return !Wait(std::chrono::milliseconds(0)).has_value(); }

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds limit) {
    const std::optional<int> status = WaitStatus(limit);
    return status ? std::optional<int>(DecodeStatus(*status)) : std::nullopt;
}

std::optional<int> ChildProcess::WaitStatus(std::chrono::milliseconds limit) {
    if (m_status || m_pid <= 0) return m_status;
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_status = status;
            return m_status;
        }
        if (std::chrono::steady_clock::now() >= end) return std::nullopt;
        struct timespec pause{0, 10'000'000};
        nanosleep(&pause, nullptr);
    }
}

std::optional<int> ChildProcess::Stop(std::chrono::milliseconds limit) {
    if (m_pid <= 0) return std::nullopt;
    if (m_status) return m_status;
    kill(-m_pid, SIGTERM);
    if (const auto status = WaitStatus(limit)) return status;
    kill(-m_pid, SIGKILL);
    WaitStatus(std::chrono::seconds(3));
    return std::nullopt;
}

std::string RunCommand(const std::string& command, int* code) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        if (code) *code = -1;
        return output;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    const int status = pclose(pipe);
    if (code) *code = DecodeStatus(status);
    return output;
}

}  // namespace qrlogo::test
