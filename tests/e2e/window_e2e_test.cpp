// The real program under Xvfb: where its window stands, its caption, how it ends, and the
// folder it works in.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/tool_session.h"

namespace qrlogo::test {
namespace {

std::filesystem::path MarkerPath() {
    return std::filesystem::temp_directory_path() /
           ("qrlogo-exit-marker-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(WindowEndToEnd, CentredCaptionedAndEscEndsWithZeroAfterTheExitRoutine) {
    const auto marker = MarkerPath();
    std::filesystem::remove(marker);
    ToolSession tool({.program = QRLOGO_HOOKED_PROGRAM,
                      .environment = {"QRLOGO_EXIT_MARKER=" + marker.string()},
                      .startIn = "/tmp"});
    ASSERT_TRUE(tool.Display().Ok());
    ASSERT_TRUE(tool.WaitForWindow()) << ReadText(tool.ErrorLog());

    // The first mapped frame already carries the caption: the window is found by it.
    EXPECT_EQ(tool.WindowTitle(), "二维码制作工具 BY Dorvo\n");
    const auto geometry = tool.WindowGeometry();
    ASSERT_TRUE(geometry);
    EXPECT_EQ((*geometry)[0], 322);
    EXPECT_EQ((*geometry)[1], 259);
    EXPECT_EQ((*geometry)[2], 380);
    EXPECT_EQ((*geometry)[3], 250);

    // Started from /tmp, it works in its own folder.
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(tool.Process().Pid()) + "/cwd"),
              tool.Folder());

    // Esc while typing in the edit box, which has the focus from the start.
    tool.ClickAt(280, 60);
    tool.Type("abc");
    tool.Key("Escape");
    EXPECT_EQ(tool.Process().Wait(std::chrono::seconds(10)), 0) << ReadText(tool.ErrorLog());
    EXPECT_EQ(ReadText(marker), "OnProgramExit\n") << "the exit routine runs exactly once";
    std::filesystem::remove(marker);
}

}  // namespace
}  // namespace qrlogo::test
