// The real program and the project's QR service under Xvfb: typing a text and pressing
// 按钮2 saves the code a second later, named from the clock, in the program's folder.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "tests/support/qr_decode.h"
#include "tests/support/qr_service.h"
#include "tests/support/tool_session.h"

namespace qrlogo::test {
namespace {

using namespace std::chrono_literals;

constexpr int kServicePort = 48151;   // where the program asks, as built
// Points of the main window's client area.
constexpr int kGenerateX = 284, kGenerateY = 192;   // 按钮2
constexpr int kEditX = 288, kEditY = 68;            // 编辑框1

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The service on the program's port: ours, unless one already answers there.
class ServiceOnProgramPort {
public:
    ServiceOnProgramPort() {
        if (!ServiceAnswers(kServicePort)) {
            m_service = std::make_unique<QrServiceProcess>(kServicePort);
        }
    }
    bool Ok() const { return ServiceAnswers(kServicePort); }

private:
    std::unique_ptr<QrServiceProcess> m_service;
};

// What ZXing reads from a saved file, after checking it is the area's 24-bit BMP.
std::optional<std::string> CodeInSavedFile(const std::filesystem::path& file) {
    const auto bytes = ReadWholeFile(file);
    const auto bmp = ReadBmp24(bytes);
    if (!bmp || bmp->width != 208 || bmp->height != 200) return std::nullopt;
    return DecodeQrFromArgb(bmp->pixels, bmp->width, bmp->height);
}

// Today's local date as the file name starts: 2026年12月11日.
std::string TodayPrefix() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::to_string(local.tm_year + 1900) + "年" + std::to_string(local.tm_mon + 1) + "月" +
           std::to_string(local.tm_mday) + "日";
}

std::vector<std::filesystem::path> WaitForFiles(const ToolSession& tool, std::size_t count,
                                                std::chrono::milliseconds limit) {
    std::vector<std::filesystem::path> files;
    WaitUntil(limit, [&] {
        files = tool.SavedFiles();
        return files.size() >= count;
    });
    return files;
}

class GenerateEndToEnd : public ::testing::Test {
protected:
    ToolSession& StartTool() {
        m_tool = std::make_unique<ToolSession>(ToolSession::Options{.program = QRLOGO_PROGRAM, .environment = {}, .startIn = {}});
        EXPECT_TRUE(m_tool->WaitForWindow()) << ReadText(m_tool->ErrorLog());
        return *m_tool;
    }
    std::unique_ptr<ToolSession> m_tool;
};

TEST_F(GenerateEndToEnd, SavesTheCodeOfTheTypedTextNamedFromTheClock) {
    ServiceOnProgramPort service;
    ASSERT_TRUE(service.Ok());
    ToolSession& tool = StartTool();
    const std::regex name("^\\d{4}年\\d{1,2}月\\d{1,2}日(\\d{1,2}时(\\d{1,2}分(\\d{1,2}秒)?)?)?\\.jpg$");
    struct Case {
        const char* name;
        std::vector<std::string> lines;  // typed with Return between them
        std::string payload;             // what the code holds, UTF-8
    } cases[] = {
        {"ascii", {"hello qrlogo"}, "hello qrlogo"},
        {"chinese", {"二维码测试"}, "二维码测试"},
        {"url with & = #", {"http://a.example/p?x=1&y=2#top"}, "http://a.example/p?x=1&y=2#top"},
        {"two lines", {"line one", "line two"}, "line one\r\nline two"},
    };
    for (const auto& c : cases) {
        tool.ClickAt(kEditX, kEditY);
        tool.Key("ctrl+a");
        tool.Key("BackSpace");
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            if (i > 0) tool.Key("Return");
            tool.Type(c.lines[i]);
        }
        const auto clicked = std::filesystem::file_time_type::clock::now();
        tool.ClickAt(kGenerateX, kGenerateY);
        const auto files = WaitForFiles(tool, 1, 10s);
        ASSERT_EQ(files.size(), 1u) << "case: " << c.name << "\n" << ReadText(tool.ErrorLog());
        const std::string fileName = files[0].filename().string();
        EXPECT_TRUE(std::regex_match(fileName, name)) << "case: " << c.name << ": " << fileName;
        EXPECT_EQ(fileName.rfind(TodayPrefix(), 0), 0u) << "case: " << c.name << ": " << fileName;
        // The one-second wait comes before the file.
        EXPECT_GE(std::filesystem::last_write_time(files[0]) - clicked, 1000ms) << "case: " << c.name;
        const auto bytes = ReadWholeFile(files[0]);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 2), "BM") << "case: " << c.name;
        EXPECT_EQ(CodeInSavedFile(files[0]), c.payload) << "case: " << c.name;
        std::filesystem::remove(files[0]);
    }
}

TEST_F(GenerateEndToEnd, ASecondClickDuringTheWaitRunsNestedAndBothFinish) {
    ServiceOnProgramPort service;
    ASSERT_TRUE(service.Ok());
    ToolSession& tool = StartTool();
    tool.ClickAt(kEditX, kEditY);
    tool.Type("nested");
    const auto clicked = std::filesystem::file_time_type::clock::now();
    tool.ClickAt(kGenerateX, kGenerateY);
    std::this_thread::sleep_for(400ms);
    tool.ClickAt(kGenerateX, kGenerateY);
    // The nested run saves first; the outer run captures only once the nested run has
    // returned, and usually replaces the nested file under the same name.
    std::this_thread::sleep_for(3500ms);
    const auto files = tool.SavedFiles();
    ASSERT_GE(files.size(), 1u) << ReadText(tool.ErrorLog());
    ASSERT_LE(files.size(), 2u);
    auto latest = std::filesystem::file_time_type::min();
    for (const auto& file : files) {
        EXPECT_EQ(CodeInSavedFile(file), "nested") << file;
        latest = std::max(latest, std::filesystem::last_write_time(file));
    }
    EXPECT_GE(latest - clicked, 1400ms) << "the outer capture waits for the nested run";
    EXPECT_TRUE(tool.Process().Running());
}

TEST_F(GenerateEndToEnd, ClosingDuringTheWaitEndsNormallyWithoutAFile) {
    ServiceOnProgramPort service;
    ASSERT_TRUE(service.Ok());
    const auto marker = std::filesystem::temp_directory_path() /
                        ("qrlogo-close-marker-" + std::to_string(getpid()));
    std::filesystem::remove(marker);
    m_tool = std::make_unique<ToolSession>(ToolSession::Options{
        .program = QRLOGO_HOOKED_PROGRAM, .environment = {"QRLOGO_EXIT_MARKER=" + marker.string()}, .startIn = {}});
    ASSERT_TRUE(m_tool->WaitForWindow());
    m_tool->Type("closing");
    m_tool->ClickAt(kGenerateX, kGenerateY);
    std::this_thread::sleep_for(300ms);
    m_tool->Key("Escape");
    EXPECT_EQ(m_tool->Process().Wait(10s), 0) << ReadText(m_tool->ErrorLog());
    EXPECT_TRUE(m_tool->SavedFiles().empty());
    EXPECT_EQ(ReadText(marker), "OnProgramExit\n");
    std::filesystem::remove(marker);
}

TEST_F(GenerateEndToEnd, WithTheServiceStoppedAClickWritesNoFile) {
    if (ServiceAnswers(kServicePort)) {
        GTEST_SKIP() << "a QR service of someone else's answers on the program's port";
    }
    ToolSession& tool = StartTool();
    tool.Type("nobody answers");
    tool.ClickAt(kGenerateX, kGenerateY);
    std::this_thread::sleep_for(2500ms);
    EXPECT_TRUE(tool.SavedFiles().empty());
    EXPECT_TRUE(tool.Process().Running());
}

}  // namespace
}  // namespace qrlogo::test
