// The real program and the project's QR service under Xvfb: a JPEG logo chosen through the
// file-open dialog by typing its path, then 按钮2: the saved capture carries the stretched logo
// over the middle of the code, lands in the logo's folder, and the code still reads.
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>

#include "tests/support/qr_decode.h"
#include "tests/support/qr_service.h"
#include "tests/support/tool_session.h"

namespace qrlogo::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kServicePort = 48151;  // where the program asks, as built
// Points of the main window's client area.
constexpr int kAddLogoX = 284, kAddLogoY = 144;    // 按钮1
constexpr int kGenerateX = 284, kGenerateY = 192;  // 按钮2
constexpr int kEditX = 288, kEditY = 68;           // 编辑框1
// The logo box inside the QR display area, and so inside the capture.
constexpr int kBoxLeft = 64, kBoxTop = 88, kBoxWidth = 72, kBoxHeight = 32;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 100 x 100 JPEG: green on the left half, blue on the right.
bool WriteGreenBlueJpeg(const fs::path& path) {
    constexpr int kSide = 100;
    std::vector<std::uint8_t> rgb(kSide * kSide * 3);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            std::uint8_t* p = rgb.data() + (y * kSide + x) * 3;
            p[0] = 0;
            p[1] = x < kSide / 2 ? 200 : 0;
            p[2] = x < kSide / 2 ? 0 : 220;
        }
    }
    return stbi_write_jpg(path.c_str(), kSide, kSide, 3, rgb.data(), 95) != 0;
}

bool Greenish(std::uint32_t p) {
    return (p >> 8 & 0xFF) > 150 && (p >> 16 & 0xFF) < 60 && (p & 0xFF) < 60;
}
bool Bluish(std::uint32_t p) {
    return (p & 0xFF) > 170 && (p >> 16 & 0xFF) < 60 && (p >> 8 & 0xFF) < 60;
}

TEST(LogoEndToEnd, AChosenJpegIsStretchedOverTheCodeAndSavedInItsFolder) {
    std::unique_ptr<QrServiceProcess> service;
    if (!ServiceAnswers(kServicePort)) service = std::make_unique<QrServiceProcess>(kServicePort);
    ASSERT_TRUE(ServiceAnswers(kServicePort));

    const fs::path logoFolder =
        fs::temp_directory_path() / ("qrlogo-e2e-logo-" + std::to_string(getpid()));
    fs::remove_all(logoFolder);
    fs::create_directories(logoFolder);
    const fs::path logo = logoFolder / "logo.jpg";
    ASSERT_TRUE(WriteGreenBlueJpeg(logo));

    ToolSession tool(
        ToolSession::Options{.program = QRLOGO_PROGRAM, .environment = {}, .startIn = {}});
    ASSERT_TRUE(tool.WaitForWindow()) << ReadText(tool.ErrorLog());
    tool.ClickAt(kEditX, kEditY);
    tool.Type("logo e2e");

    // The dialog opens with the keyboard focus in its file-name field.
    tool.ClickAt(kAddLogoX, kAddLogoY);
    ASSERT_TRUE(WaitUntil(10s, [&] {
        std::istringstream ids(tool.Display().Run("xdotool search --onlyvisible --class qrlogo"));
        int windows = 0;
        for (std::string id; std::getline(ids, id);) windows += !id.empty();
        return windows >= 2;
    })) << "no dialog";
    std::this_thread::sleep_for(500ms);
    tool.Type(logo.string());
    tool.Key("Return");
    std::this_thread::sleep_for(1s);

    tool.ClickAt(kGenerateX, kGenerateY);
    std::vector<fs::path> saved;
    WaitUntil(10s, [&] {
        saved.clear();
        for (const auto& entry : fs::directory_iterator(logoFolder)) {
            // A name starting with a dot is the capture still being written.
            const bool beingWritten = entry.path().filename().string().starts_with('.');
            if (entry.path() != logo && !beingWritten) saved.push_back(entry.path());
        }
        return !saved.empty();
    });
    ASSERT_EQ(saved.size(), 1u) << "the capture goes into the logo's folder\n"
                                << ReadText(tool.ErrorLog());
    EXPECT_TRUE(tool.SavedFiles().empty()) << "nothing in the program's folder";

    const auto bmp = ReadBmp24(ReadWholeFile(saved[0]));
    ASSERT_TRUE(bmp.has_value());
    ASSERT_EQ(bmp->width, 208);
    ASSERT_EQ(bmp->height, 200);
    // The logo fills the box, squeezed from 100 x 100 to 72 x 32: green left, blue right.
    for (int y = kBoxTop + 2; y < kBoxTop + kBoxHeight - 2; y += 4) {
        EXPECT_TRUE(Greenish(bmp->At(kBoxLeft + 2, y))) << y;
        EXPECT_TRUE(Greenish(bmp->At(kBoxLeft + kBoxWidth / 2 - 4, y))) << y;
        EXPECT_TRUE(Bluish(bmp->At(kBoxLeft + kBoxWidth / 2 + 4, y))) << y;
        EXPECT_TRUE(Bluish(bmp->At(kBoxLeft + kBoxWidth - 3, y))) << y;
    }
    EXPECT_FALSE(Greenish(bmp->At(kBoxLeft - 1, kBoxTop + 10)));
    EXPECT_FALSE(Bluish(bmp->At(kBoxLeft + kBoxWidth, kBoxTop + 10)));
    EXPECT_EQ(DecodeQrFromArgb(bmp->pixels, bmp->width, bmp->height), "logo e2e");

    fs::remove_all(logoFolder);
}

}  // namespace
}  // namespace qrlogo::test
