#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/xvfb.h"

namespace qrlogo::test {

// The real program on a private X server, driven with real key presses and clicks (XTEST,
// through xdotool). The program file is copied into a fresh folder first: it makes that
// folder its working directory, so its saved files land there.
class ToolSession {
public:
    struct Options {
        std::string program;                   // path of the program file to copy and run
        std::vector<std::string> environment;  // NAME=value for the program
        std::string startIn;                   // working directory to start it from; empty: /
    };

    explicit ToolSession(const Options& options);
    ~ToolSession();

    // True once the main window is mapped; `windowId` names it for xdotool.
    bool WaitForWindow();
    const std::string& WindowId() const { return m_windowId; }
    const XvfbDisplay& Display() const { return *m_display; }
    ChildProcess& Process() { return *m_process; }
    const std::filesystem::path& Folder() const { return m_folder; }
    const std::filesystem::path& ErrorLog() const { return m_errorLog; }

    // The main window's outer rectangle on the screen: left, top, width, height.
    std::optional<std::array<int, 4>> WindowGeometry() const;
    std::string WindowTitle() const;

    // Clicks at a point of the main window's client area.
    void ClickAt(int x, int y) const;
    // Types text (UTF-8) into the focused component; keys such as "Escape" or "Return".
    void Type(const std::string& utf8);
    void Key(const std::string& keyName) const;

    // The files the program saved in its folder, other than the program file itself and
    // files still being written.
    std::vector<std::filesystem::path> SavedFiles() const;

private:
    void BindKeysFor(const std::string& utf8);

    std::unique_ptr<XvfbDisplay> m_display;
    std::unique_ptr<ChildProcess> m_process;
    std::filesystem::path m_folder;
    std::filesystem::path m_errorLog;
    std::string m_programName;
    std::string m_windowId;
    std::set<char32_t> m_boundCharacters;
};

// A 24-bit bottom-up BMP file as 0xFFRRGGBB pixels, rows from the top; none when the bytes
// are not such a file. Kept independent of the program's own decoders.
struct BmpPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
std::optional<BmpPixels> ReadBmp24(const std::vector<std::uint8_t>& file);

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);

}  // namespace qrlogo::test
