#pragma once

#include <memory>
#include <string>

#include "tests/support/child_process.h"

namespace qrlogo::test {

// A private X server for end-to-end tests: Xvfb on a display number it picks itself, with a
// screen of the given size, stopped when the object goes.
class XvfbDisplay {
public:
    XvfbDisplay(int width = 1024, int height = 768);
    bool Ok() const { return !m_display.empty(); }
    // ":N", for DISPLAY.
    const std::string& Name() const { return m_display; }
    // Runs an X client command (xdotool, xwininfo, xprop ...) on this display.
    std::string Run(const std::string& command, int* code = nullptr) const;

private:
    std::unique_ptr<ChildProcess> m_server;
    std::string m_display;
};

}  // namespace qrlogo::test
