#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>

namespace qrlogo::test {

XvfbDisplay::XvfbDisplay(int width, int height) {
    // Xvfb chooses a free display number and writes it to the pipe once it accepts clients.
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    ChildProcess::Options options;
    options.arguments = {"/usr/bin/Xvfb", "-displayfd", std::to_string(pipeEnds[1]), "-screen",
                         "0", screen, "-nolisten", "tcp", "-noreset"};
    fcntl(pipeEnds[0], F_SETFD, FD_CLOEXEC);
    m_server = std::make_unique<ChildProcess>(options);
    close(pipeEnds[1]);
    std::string number;
    struct pollfd ready{pipeEnds[0], POLLIN, 0};
    while (poll(&ready, 1, 10000) > 0) {
        char c;
        if (read(pipeEnds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(pipeEnds[0]);
    if (!number.empty()) m_display = ":" + number;
}

std::string XvfbDisplay::Run(const std::string& command, int* code) const {
    return RunCommand("DISPLAY=" + m_display + " " + command + " 2>/dev/null", code);
}

}  // namespace qrlogo::test
