// The snapshot of the real QR display area on the offscreen platform: the header the saved
// files carry, the rows bottom-up, and the logo box over the area once it is shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <array>

#include "app/layout.h"
#include "app/main_window.h"
#include "capture/snapshot_bitmap.h"
#include "logo/pic_box.h"
#include "platform/custom_control.h"
#include "platform/qt_window.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/tool_session.h"

namespace qrlogo {
namespace {

constexpr std::array<std::uint8_t, 54> kAreaHeader = {
    0x42, 0x4D, 0xB6, 0xE7, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00,
    0x28, 0x00, 0x00, 0x00, 0xD0, 0x00, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xE7, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

std::optional<test::BmpPixels> SnapshotOfTheArea() {
    const ByteSet bmp = CaptureWindowBitmap(WindowOfControl(k动画框1));
    return test::ReadBmp24({bmp.Bytes().begin(), bmp.Bytes().end()});
}

using WindowSnapshotTest = test::MainWindowFixture;

TEST_F(WindowSnapshotTest, TheAreaGivesA208By200TwentyFourBitBitmap) {
    const ByteSet bmp = CaptureWindowBitmap(WindowOfControl(k动画框1));
    ASSERT_EQ(bmp.Count(), 124854u);
    EXPECT_TRUE(std::equal(kAreaHeader.begin(), kAreaHeader.end(), bmp.Bytes().begin()));
    const auto pixels = SnapshotOfTheArea();
    ASSERT_TRUE(pixels);
    // Without pictures the area shows its background everywhere.
    const std::uint32_t face = platform::ButtonFaceColour();
    EXPECT_EQ(pixels->At(0, 0), face);
    EXPECT_EQ(pixels->At(207, 199), face);
}

TEST_F(WindowSnapshotTest, TheShownLogoBoxLiesOverTheMiddleOfTheArea) {
    // A 2 × 2 red picture, stretched over the whole box.
    PixelBuffer red(2, 2, Argb(255, 0, 0));
    图片框1().SetPicture(BmpFileFromPixels(red));
    auto before = SnapshotOfTheArea();
    ASSERT_TRUE(before);
    EXPECT_NE(before->At(100, 100), Argb(255, 0, 0)) << "a hidden box is not copied";

    图片框1().SetVisible(true);
    QApplication::processEvents();
    const auto after = SnapshotOfTheArea();
    ASSERT_TRUE(after);
    // The box stands at (64, 96) of the window, the area at (0, 8): (64, 88) to (135, 119) here.
    EXPECT_EQ(after->At(64, 88), Argb(255, 0, 0));
    EXPECT_EQ(after->At(135, 119), Argb(255, 0, 0));
    EXPECT_EQ(after->At(63, 88), platform::ButtonFaceColour());
    EXPECT_EQ(after->At(136, 120), platform::ButtonFaceColour());
}

TEST_F(WindowSnapshotTest, AClosedWindowGivesNoSnapshot) {
    const auto window = WindowOfControl(k动画框1);
    platform::MainWindowWidget()->close();
    EXPECT_TRUE(CaptureWindowBitmap(window).IsEmpty());
}

}  // namespace
}  // namespace qrlogo
