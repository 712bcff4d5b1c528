#include "tests/support/tool_session.h"

#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace qrlogo::test {
namespace {

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::filesystem::path NewFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qrlogo-e2e-XXXXXX").string();
    return mkdtemp(pattern.data()) ? std::filesystem::path(pattern) : std::filesystem::path();
}

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The distinct characters above U+007F in well-formed UTF-8 text.
std::set<char32_t> NonAsciiCharacters(const std::string& utf8) {
    std::set<char32_t> characters;
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (length > 1 && at + length <= utf8.size()) {
            char32_t c = lead & (0x7F >> length);
            for (std::size_t i = 1; i < length; ++i)
                c = c << 6 | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
            characters.insert(c);
        }
        at += length;
    }
    return characters;
}

// Keycodes with no keysym in `xmodmap -pke` output ("keycode  93 =").
std::vector<int> SpareKeycodes(const std::string& keymap) {
    std::vector<int> spare;
    std::istringstream lines(keymap);
    for (std::string line; std::getline(lines, line);) {
        int keycode = 0;
        char equals = 0;
        std::string keysym;
        std::istringstream fields(
            line.substr(std::min(line.size(), std::string("keycode").size())));
        if (line.starts_with("keycode") && fields >> keycode >> equals && equals == '=' &&
            !(fields >> keysym)) {
            spare.push_back(keycode);
        }
    }
    return spare;
}

}  // namespace

ToolSession::ToolSession(const Options& options) {
    m_display = std::make_unique<XvfbDisplay>();
    m_folder = NewFolder();
    m_programName = std::filesystem::path(options.program).filename().string();
    std::filesystem::copy_file(options.program, m_folder / m_programName);
    m_errorLog = m_folder.parent_path() / (m_folder.filename().string() + ".stderr");
    ChildProcess::Options run;
    run.arguments = {(m_folder / m_programName).string()};
    run.environment = options.environment;
    run.environment.push_back("DISPLAY=" + m_display->Name());
    run.environment.push_back("QT_QPA_PLATFORM=xcb");
    run.workingDirectory = options.startIn.empty() ? "/" : options.startIn;
    run.standardError = m_errorLog.string();
    m_process = std::make_unique<ChildProcess>(run);
}

ToolSession::~ToolSession() {
    m_process.reset();
    m_display.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
    std::filesystem::remove(m_errorLog, ignored);
}

bool ToolSession::WaitForWindow() {
    return WaitUntil(std::chrono::seconds(20), [&] {
        std::istringstream ids(
            m_display->Run("xdotool search --onlyvisible --name " + Quote("二维码制作工具")));
        std::getline(ids, m_windowId);
        return !m_windowId.empty();
    });
}

std::optional<std::array<int, 4>> ToolSession::WindowGeometry() const {
    std::istringstream info(m_display->Run("xwininfo -id " + m_windowId));
    std::array<int, 4> geometry{};
    int found = 0;
    for (std::string line; std::getline(info, line);) {
        const auto value = [&](const char* label, int slot) {
            const auto at = line.find(label);
            if (at == std::string::npos) return;
            geometry[slot] = std::stoi(line.substr(at + std::string(label).size()));
            ++found;
        };
        value("Absolute upper-left X:", 0);
        value("Absolute upper-left Y:", 1);
        value("Width:", 2);
        value("Height:", 3);
    }
    if (found != 4) return std::nullopt;
    return geometry;
}

std::string ToolSession::WindowTitle() const {
    return m_display->Run("xdotool getwindowname " + m_windowId);
}

void ToolSession::ClickAt(int x, int y) const {
    m_display->Run("xdotool mousemove --window " + m_windowId + " " + std::to_string(x) + " " +
                   std::to_string(y) + " click 1");
}

void ToolSession::Type(const std::string& utf8) {
    BindKeysFor(utf8);
    m_display->Run("xdotool type --delay 60 " + Quote(utf8));
}

// xdotool types a character missing from the keymap by binding it to one spare keycode,
// rebinding that keycode for the next such character. A program that reads its key events
// late then translates earlier presses with a later binding and gets the wrong characters.
// Each such character gets a keycode of its own instead, bound before any of it is typed.
void ToolSession::BindKeysFor(const std::string& utf8) {
    std::vector<char32_t> unbound;
    for (char32_t c : NonAsciiCharacters(utf8)) {
        if (!m_boundCharacters.contains(c)) unbound.push_back(c);
    }
    if (unbound.empty()) return;
    const std::vector<int> spare = SpareKeycodes(m_display->Run("xmodmap -pke"));
    std::string command = "xmodmap";
    for (std::size_t i = 0; i < unbound.size() && i < spare.size(); ++i) {
        char keysym[16];
        std::snprintf(keysym, sizeof keysym, "U%04X", static_cast<unsigned>(unbound[i]));
        command +=
            " -e " + Quote("keycode " + std::to_string(spare[i]) + " = " + keysym + " " + keysym);
        m_boundCharacters.insert(unbound[i]);
    }
    m_display->Run(command);
    // The program takes the new keymap while it is idle, before the first press arrives.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

void ToolSession::Key(const std::string& keyName) const {
    m_display->Run("xdotool key " + Quote(keyName));
}

std::vector<std::filesystem::path> ToolSession::SavedFiles() const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
        // A name starting with a dot is a file still being written.
        const std::string name = entry.path().filename().string();
        if (name != m_programName && !name.starts_with('.')) files.push_back(entry.path());
    }
    return files;
}

std::optional<BmpPixels> ReadBmp24(const std::vector<std::uint8_t>& file) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    const auto offset = U32At(file, 10);
    const auto width = static_cast<std::int32_t>(U32At(file, 18));
    const auto height = static_cast<std::int32_t>(U32At(file, 22));
    const auto bits = file[28] | file[29] << 8;
    if (bits != 24 || width <= 0 || height <= 0 || width > 10000 || height > 10000)
        return std::nullopt;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (file.size() < offset + stride * height) return std::nullopt;
    BmpPixels bmp{width, height,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const std::uint8_t* row = file.data() + offset + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            bmp.pixels[static_cast<std::size_t>(y) * width + x] =
                0xFF000000u | row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x];
        }
    }
    return bmp;
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace qrlogo::test
