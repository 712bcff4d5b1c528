// 动画框1 in the real main window on the offscreen platform: what reaches the screen (the
// window's backing store, read back through the screen) and when.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "app/main_window.h"
#include "logo/pic_box.h"
#include "platform/custom_control.h"
#include "platform/process.h"
#include "platform/qt_window.h"
#include "qr/cartoon_box.h"
#include "tests/area/png_builder.h"
#include "tests/support/qt_app.h"

namespace qrlogo {
namespace {

constexpr QRgb kQrRed = 0xFFCC0000;

class AreaWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::StartPlatformOnce();
        OpenMainWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(platform::MainWindowWidget()));
        platform::WaitProcessingEvents(150);
    }
    void TearDown() override { CloseMainWindowForGood(); }

    static QWidget* Component(const char* name) {
        return platform::MainWindowWidget()->findChild<QWidget*>(QString::fromUtf8(name));
    }

    // The area's rectangle as the screen shows it now; a grab on this platform reads the
    // window's backing store and paints nothing itself.
    static QImage AreaOnScreen() {
        QWidget* top = platform::MainWindowWidget();
        QWidget* area = Component("动画框1");
        const QPoint at = area->mapTo(top, QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(top->winId(), at.x(), at.y(), area->width(), area->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(AreaWindowTest, APictureShowsOnlyOnceEventsAreHandledAndNeverOverTheLogoBox) {
    图片框1().SetVisible(true);
    platform::WaitProcessingEvents(150);
    const QRgb face = platform::ButtonFaceColour();
    ASSERT_EQ(AreaOnScreen().pixel(10, 10), face);

    const std::int32_t id = 动画框1().AddPictureObject(nullptr, 0, 0, true);
    const std::vector<std::uint8_t> png = test::SolidRgbPng(200, 200, 0xCC0000);
    动画框1().SetObjectPicture(id, ByteSet::FromBytes(std::span(png)));
    EXPECT_EQ(AreaOnScreen().pixel(10, 10), face) << "nothing is painted while no event is handled";

    platform::WaitProcessingEvents(150);
    const QImage shown = AreaOnScreen();
    EXPECT_EQ(shown.pixel(10, 10), kQrRed);
    EXPECT_EQ(shown.pixel(199, 199), kQrRed);
    EXPECT_EQ(shown.pixel(200, 10), face) << "the 8-pixel column at the right stays background";
    EXPECT_EQ(shown.pixel(207, 199), face);

    // The logo box lies above the area at (64, 88) in its coordinates, 72 x 32.
    const QRect logoInArea =
        Component("图片框1")->geometry().translated(-Component("动画框1")->pos());
    ASSERT_EQ(logoInArea, QRect(64, 88, 72, 32));
    int red = 0;
    for (int y = logoInArea.top(); y <= logoInArea.bottom(); ++y) {
        for (int x = logoInArea.left(); x <= logoInArea.right(); ++x)
            red += shown.pixel(x, y) == kQrRed;
    }
    EXPECT_EQ(red, 0) << "the area painted over the logo box";
    EXPECT_EQ(shown.pixel(63, 100), kQrRed);
    EXPECT_EQ(shown.pixel(136, 100), kQrRed);
}

}  // namespace
}  // namespace qrlogo
