// 按钮2 in the real main window on the offscreen platform, with the project's QR service on
// the port the program is built for: the fetched code becomes a new picture object of 动画框1,
// and the logo box follows the path of the chosen logo alone.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "app/logo_path.h"
#include "app/main_window.h"
#include "logo/pic_box.h"
#include "platform/qt_window.h"
#include "platform/widgets.h"
#include "qr/cartoon_box.h"
#include "tests/support/qr_decode.h"
#include "tests/support/qr_service.h"
#include "tests/support/qt_app.h"

namespace qrlogo {
namespace {

namespace fs = std::filesystem;
constexpr int kServicePort = 48151;  // where the program asks, as built

class GenerateClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::StartPlatformOnce();
        if (!test::ServiceAnswers(kServicePort)) {
            m_service = std::make_unique<test::QrServiceProcess>(kServicePort);
        }
        ASSERT_TRUE(test::ServiceAnswers(kServicePort));
        // The captures land in the working directory: a folder of the test's own.
        m_startDirectory = fs::current_path();
        m_folder = fs::temp_directory_path() / ("qrlogo-generate-" + std::to_string(getpid()));
        fs::create_directories(m_folder);
        fs::current_path(m_folder);
        LogoPath = Text();
        OpenMainWindow();
    }
    void TearDown() override {
        CloseMainWindowForGood();
        LogoPath = Text();
        fs::current_path(m_startDirectory);
        fs::remove_all(m_folder);
    }

    static void ClickGenerate(std::string_view text) {
        编辑框1().SetContent(text);
        auto* button = platform::MainWindowWidget()->findChild<QPushButton*>("按钮2");
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // What ZXing reads from an object's picture.
    static std::optional<std::string> CodeOf(const PictureObject& object) {
        if (object.CurrentFrame() == nullptr) return std::nullopt;
        const PixelBuffer& pixels = object.CurrentFrame()->pixels;
        return test::DecodeQrFromArgb(pixels.pixels, pixels.width, pixels.height);
    }

    std::unique_ptr<test::QrServiceProcess> m_service;
    fs::path m_startDirectory;
    fs::path m_folder;
};

TEST_F(GenerateClickTest, TheFetchedCodeBecomesANewObjectAndNoLogoKeepsTheBoxHidden) {
    ClickGenerate("hello \xD6\xD0\xCE\xC4");  // "hello 中文" in the code page
    const auto& objects = 动画框1().Objects();
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].identifier, 1);
    EXPECT_EQ(objects[0].left, 0);
    EXPECT_EQ(objects[0].top, 0);
    ASSERT_NE(objects[0].picture, nullptr);
    EXPECT_EQ(objects[0].picture->width, 200);
    EXPECT_EQ(CodeOf(objects[0]), "hello 中文");
    EXPECT_FALSE(图片框1().IsVisible());
}

TEST_F(GenerateClickTest, AChosenPathShowsTheBoxEvenWhenItsFileCannotBeRead) {
    LogoPath = Text::FromBytes("/no/such/logo.bmp");
    ClickGenerate("with a logo path");
    EXPECT_TRUE(图片框1().IsVisible());
    LogoPath = Text();
    ClickGenerate("without");
    EXPECT_FALSE(图片框1().IsVisible());
}

TEST_F(GenerateClickTest, TwoClicksGiveObjectsOneAndTwoWithTheNewerOnTop) {
    ClickGenerate("first");
    ClickGenerate("second");
    const auto& objects = 动画框1().Objects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].identifier, 1);
    EXPECT_EQ(objects[1].identifier, 2);
    EXPECT_EQ(CodeOf(objects[0]), "first");
    EXPECT_EQ(CodeOf(objects[1]), "second");
    // What the area shows is the newer code.
    const PixelBuffer& shown = 动画框1().Pixels();
    EXPECT_EQ(test::DecodeQrFromArgb(shown.pixels, shown.width, shown.height), "second");
}

}  // namespace
}  // namespace qrlogo
