// 按钮1 in the real main window on the offscreen platform, with the real file-open dialog and,
// for the generate clicks, the project's QR service on the program's port.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/logo_path.h"
#include "app/main_window.h"
#include "logo/common_dlg.h"
#include "logo/pic_box.h"
#include "platform/codepage.h"
#include "platform/custom_control.h"
#include "platform/process.h"
#include "platform/qt_window.h"
#include "tests/logo/dialog_script.h"
#include "tests/logo/picture_fixtures.h"
#include "tests/support/qr_service.h"
#include "tests/support/qt_app.h"
#include "tests/support/tool_session.h"

namespace qrlogo {
namespace {

namespace fs = std::filesystem;

constexpr int kServicePort = 48151;  // where the program asks, as built
// The logo box's rectangle inside the QR display area (and so inside a saved capture).
constexpr int kBoxLeft = 64, kBoxTop = 88, kBoxWidth = 72, kBoxHeight = 32;
constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

const std::vector<std::uint8_t> kPngStart = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                             0,    0,   0,   13,  'I',  'H',  'D',  'R'};

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class LogoSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::StartPlatformOnce();
        if (!test::ServiceAnswers(kServicePort)) {
            m_service = std::make_unique<test::QrServiceProcess>(kServicePort);
        }
        m_startDirectory = fs::current_path();
        m_folder = fs::temp_directory_path() / ("qrlogo-logo-" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        m_logo = m_folder / "标志.bmp";
        WriteFile(m_logo, test::RedBlueBmp());
        LogoPath = Text();
        OpenMainWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(platform::MainWindowWidget()));
        platform::WaitProcessingEvents(150);
    }
    void TearDown() override {
        CloseMainWindowForGood();
        LogoPath = Text();
        fs::current_path(m_startDirectory);
        fs::remove_all(m_folder);
    }

    static QWidget* Component(const char* name) {
        return platform::MainWindowWidget()->findChild<QWidget*>(QString::fromUtf8(name));
    }

    // Clicks 按钮1 and, in the dialog it opens, enters `path` or (when empty) presses Escape.
    static void ClickAddLogo(const fs::path& path) {
        test::WhenFileDialogOpens([path](QFileDialog& d) {
            if (path.empty()) {
                test::PressEscape(d);
            } else {
                test::EnterPath(d, path.string());
            }
        });
        QTest::mouseClick(Component("按钮1"), Qt::LeftButton);
    }

    // Clicks 按钮2 (which returns once the capture is saved) and reads the saved capture.
    std::optional<test::BmpPixels> Generate() {
        QTest::mouseClick(Component("按钮2"), Qt::LeftButton);
        for (const auto& entry : fs::directory_iterator(fs::current_path())) {
            // Captures are named from the clock: 2026年12月11日3时5分3秒.jpg.
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() != ".jpg" || name.find("年") == std::string::npos) {
                continue;
            }
            auto bmp = test::ReadBmp24(test::ReadWholeFile(entry.path()));
            fs::remove(entry.path());
            return bmp;
        }
        return std::nullopt;
    }

    // What the screen shows where the logo box lies.
    static QImage LogoPlaceOnScreen() {
        QWidget* top = platform::MainWindowWidget();
        const QPoint at = Component("动画框1")->mapTo(top, QPoint(kBoxLeft, kBoxTop));
        return QGuiApplication::primaryScreen()
            ->grabWindow(top->winId(), at.x(), at.y(), kBoxWidth, kBoxHeight)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    static std::string CodePage(const fs::path& path) {
        return platform::Utf8ToCodePage(path.string());
    }

    std::unique_ptr<test::QrServiceProcess> m_service;
    fs::path m_startDirectory;
    fs::path m_folder;
    fs::path m_logo;
};

TEST_F(LogoSelectionTest, AChosenLogoStaysOffScreenUntilGenerateShowsItStretched) {
    ASSERT_TRUE(test::ServiceAnswers(kServicePort));
    const QImage before = LogoPlaceOnScreen();
    QRect dialogFrame, windowFrame;
    bool ownedByTheWindow = false;
    test::WhenFileDialogOpens([&](QFileDialog& d) {
        ownedByTheWindow = d.parentWidget() == platform::MainWindowWidget();
        dialogFrame = d.frameGeometry();
        windowFrame = platform::MainWindowWidget()->frameGeometry();
        test::EnterPath(d, m_logo.string());
    });
    QTest::mouseClick(Component("按钮1"), Qt::LeftButton);
    EXPECT_TRUE(ownedByTheWindow);
    EXPECT_LE((dialogFrame.center() - windowFrame.center()).manhattanLength(), 4)
        << "the dialog is centred on the main window";

    EXPECT_EQ(LogoPath.View(), CodePage(m_logo));
    EXPECT_TRUE(图片框1().HasPicture());
    EXPECT_FALSE(图片框1().IsVisible());
    platform::WaitProcessingEvents(150);
    EXPECT_EQ(LogoPlaceOnScreen(), before) << "a hidden box changes nothing on screen";

    // The working directory moved to the logo's folder, so the capture is written there.
    EXPECT_EQ(fs::current_path(), m_folder);
    const auto saved = Generate();
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(图片框1().IsVisible());
    EXPECT_EQ(saved->At(kBoxLeft, kBoxTop), kRed);
    EXPECT_EQ(saved->At(kBoxLeft + kBoxWidth - 1, kBoxTop + kBoxHeight - 1), kBlue);
}

TEST_F(LogoSelectionTest, AFileWithoutAPictureClearsTheBoxAndGenerateShowsAPlainRectangle) {
    ASSERT_TRUE(test::ServiceAnswers(kServicePort));
    const fs::path png = m_folder / "picture.png";
    const fs::path empty = m_folder / "empty.jpg";
    WriteFile(png, kPngStart);
    WriteFile(empty, {});

    ClickAddLogo(m_logo);
    ASSERT_TRUE(图片框1().HasPicture());
    ClickAddLogo(empty);
    EXPECT_EQ(LogoPath.View(), CodePage(empty));
    EXPECT_FALSE(图片框1().HasPicture());
    EXPECT_TRUE(图片框1().PictureBytes().IsEmpty());

    ClickAddLogo(png);
    EXPECT_EQ(LogoPath.View(), CodePage(png));
    EXPECT_FALSE(图片框1().HasPicture());
    EXPECT_EQ(图片框1().PictureBytes().Count(), kPngStart.size());

    const auto saved = Generate();
    ASSERT_TRUE(saved.has_value());
    const std::uint32_t face = platform::ButtonFaceColour();
    for (int y = kBoxTop; y < kBoxTop + kBoxHeight; ++y) {
        for (int x = kBoxLeft; x < kBoxLeft + kBoxWidth; ++x) {
            ASSERT_EQ(saved->At(x, y), face) << x << "," << y;
        }
    }
    // Around it lies the QR code's picture, not the box.
    EXPECT_NE(saved->At(kBoxLeft - 1, kBoxTop), face);
    EXPECT_NE(saved->At(kBoxLeft + kBoxWidth, kBoxTop), face);
    EXPECT_NE(saved->At(kBoxLeft, kBoxTop - 1), face);
    EXPECT_NE(saved->At(kBoxLeft, kBoxTop + kBoxHeight), face);
}

TEST_F(LogoSelectionTest, ACancelReReadsTheLastChosenFile) {
    // Cancelled before any choice: no path, and the picture is written with nothing.
    ClickAddLogo({});
    EXPECT_TRUE(LogoPath.IsAbsent());
    EXPECT_TRUE(图片框1().PictureBytes().IsEmpty());
    EXPECT_EQ(fs::current_path(), m_startDirectory);

    ClickAddLogo(m_logo);
    ASSERT_TRUE(图片框1().HasPicture());

    // The file changes; the cancelled second opening shows the previous path and reads it again.
    WriteFile(m_logo, kPngStart);
    QStringList preFilled;
    test::WhenFileDialogOpens([&](QFileDialog& d) {
        preFilled = d.selectedFiles();
        test::PressEscape(d);
    });
    QTest::mouseClick(Component("按钮1"), Qt::LeftButton);
    EXPECT_EQ(preFilled, QStringList{QString::fromStdString(m_logo.string())});
    EXPECT_EQ(LogoPath.View(), CodePage(m_logo));
    EXPECT_FALSE(图片框1().HasPicture());
    EXPECT_EQ(图片框1().PictureBytes().Count(), kPngStart.size());

    // Removed, then cancelled again: the picture is cleared and the path stays.
    fs::remove(m_logo);
    ClickAddLogo({});
    EXPECT_EQ(LogoPath.View(), CodePage(m_logo));
    EXPECT_TRUE(图片框1().PictureBytes().IsEmpty());
}

}  // namespace
}  // namespace qrlogo
