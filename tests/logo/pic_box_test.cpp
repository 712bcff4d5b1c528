#include "logo/pic_box.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "tests/logo/fake_control.h"
#include "tests/logo/picture_fixtures.h"
#include "tests/support/child_process.h"
#include "tests/support/qt_app.h"

namespace qrlogo {
namespace {

using std::chrono::milliseconds;

constexpr std::uint32_t kRed = Argb(255, 0, 0);
constexpr std::uint32_t kGreen = Argb(0, 255, 0);
constexpr std::uint32_t kBlue = Argb(0, 0, 255);

ByteSet Bytes(const std::vector<std::uint8_t>& bytes) { return ByteSet::FromBytes(bytes); }

std::set<std::uint32_t> Colours(const PixelBuffer& frame) {
    return {frame.pixels.begin(), frame.pixels.end()};
}

class PicBoxTest : public ::testing::Test {
protected:
    void SetUp() override { test::StartPlatformOnce(); }
    const PixelBuffer& Paint(PicBox& box) { return box.Paint(control.ClientRect()); }

    test::FakeControl control;
};

TEST_F(PicBoxTest, BytesWithoutAPictureAreKeptAndShowOnlyTheBackground) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> truncatedBmp = test::RedBlueBmp();
    truncatedBmp.resize(5);
    const Case cases[] = {
        {"empty", {}},
        {"five bytes of a BMP", truncatedBmp},
        {"PNG signature", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
    };
    const std::uint32_t face = platform::ButtonFaceColour();
    for (const Case& c : cases) {
        PicBox box(control);
        box.SetPicture(Bytes(test::RedBlueBmp()));
        control.invalidated.clear();
        box.SetPicture(Bytes(c.bytes));
        EXPECT_FALSE(box.HasPicture()) << "case: " << c.name;
        const auto stored = box.PictureBytes().Bytes();
        EXPECT_EQ(std::vector<std::uint8_t>(stored.begin(), stored.end()), c.bytes)
            << "case: " << c.name;
        EXPECT_EQ(control.invalidated, std::vector<Rect>{control.ClientRect()})
            << "case: " << c.name;
        const PixelBuffer& frame = Paint(box);
        EXPECT_EQ(frame.width, 72) << "case: " << c.name;
        EXPECT_EQ(frame.height, 32) << "case: " << c.name;
        EXPECT_EQ(Colours(frame), std::set<std::uint32_t>{face}) << "case: " << c.name;
    }
}

TEST_F(PicBoxTest, StretchesOverTheWholeBoxSmoothOnlyAboveSixteenBitsPerPixel) {
    PicBox box(control);
    box.SetPicture(Bytes(test::RedBlueBmp()));
    ASSERT_TRUE(box.HasPicture());

    control.bitsPerPixel = 16;
    const PixelBuffer nearest = Paint(box);
    EXPECT_EQ(Colours(nearest), (std::set<std::uint32_t>{kRed, kBlue}));
    EXPECT_EQ(nearest.At(35, 31), kRed);
    EXPECT_EQ(nearest.At(36, 0), kBlue);

    control.bitsPerPixel = 24;
    const PixelBuffer smooth = Paint(box);
    EXPECT_EQ(smooth.At(0, 0), kRed);
    EXPECT_EQ(smooth.At(71, 31), kBlue);
    EXPECT_GT(Colours(smooth).size(), 2u) << "a smooth stretch blends red into blue";
}

TEST_F(PicBoxTest, IconsAreDrawnThroughTheirMask) {
    PicBox box(control);
    box.SetPicture(Bytes(test::RedIconWithHole()));
    ASSERT_TRUE(box.HasPicture());
    control.bitsPerPixel = 16;
    const PixelBuffer& frame = Paint(box);
    // The transparent top-left quarter shows the button face.
    EXPECT_EQ(frame.At(0, 0), platform::ButtonFaceColour());
    EXPECT_EQ(frame.At(35, 15), platform::ButtonFaceColour());
    EXPECT_EQ(frame.At(36, 0), kRed);
    EXPECT_EQ(frame.At(0, 16), kRed);
}

TEST_F(PicBoxTest, AStillGifIsDrawnWithoutTransparencyAndNeverAnimates) {
    // One image whose transparent index 1 (green) shows as green, not as the background.
    const auto gif =
        test::MakeGif(2, 1, test::kGifColours, {{0, 0, 2, 1, {0, 1}, 0, 0, /*transparent*/ 1}});
    PicBox box(control);
    box.SetPicture(Bytes(gif));
    control.bitsPerPixel = 16;
    const PixelBuffer& frame = Paint(box);
    EXPECT_FALSE(box.IsAnimating());
    EXPECT_EQ(frame.At(0, 0), kRed);
    EXPECT_EQ(frame.At(71, 0), kGreen);
}

TEST_F(PicBoxTest, AnAnimationStartsAtTheFirstPaintLoopsAndRestartsOnEveryWrite) {
    const ByteSet animation = Bytes(test::ThreeColourAnimation());
    PicBox box(control);
    control.bitsPerPixel = 16;
    box.SetPicture(animation);
    // Not painted yet (a hidden box is not): nothing plays.
    std::this_thread::sleep_for(milliseconds(80));
    EXPECT_FALSE(box.IsAnimating());
    EXPECT_EQ(box.AnimationImage(), std::nullopt);

    EXPECT_EQ(Paint(box).At(0, 0), kRed);
    EXPECT_TRUE(box.IsAnimating());
    EXPECT_EQ(box.AnimationImage(), 0u);

    // Images of delay 0 change every 50 ms, in order, and the first comes back after the last.
    std::vector<std::size_t> seen{0};
    ASSERT_TRUE(test::WaitUntil(milliseconds(5000), [&] {
        const std::size_t now = *box.AnimationImage();
        if (now != seen.back()) seen.push_back(now);
        return seen.size() >= 5;
    }));
    EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1, 2, 0, 1}));
    EXPECT_GT(control.repaintRequests.load(), 0);
    const std::set<std::uint32_t> solid = Colours(Paint(box));
    EXPECT_EQ(solid.size(), 1u);
    EXPECT_TRUE(solid == std::set<std::uint32_t>{kRed} ||
                solid == std::set<std::uint32_t>{kGreen} ||
                solid == std::set<std::uint32_t>{kBlue});

    // The same bytes again: decoded again, stopped, and played from the first image.
    ASSERT_TRUE(test::WaitUntil(milliseconds(5000), [&] { return *box.AnimationImage() != 0; }));
    box.SetPicture(animation);
    EXPECT_FALSE(box.IsAnimating());
    EXPECT_EQ(Paint(box).At(0, 0), kRed);
    EXPECT_EQ(box.AnimationImage(), 0u);

    // A picture that is not animated stops it for good.
    box.SetPicture(Bytes(test::RedBlueBmp()));
    EXPECT_FALSE(box.IsAnimating());
    EXPECT_EQ(box.AnimationImage(), std::nullopt);
}

TEST_F(PicBoxTest, VisibilityGoesToTheControlAndTheDestructorLetsGoOfIt) {
    {
        PicBox box(control);
        EXPECT_EQ(control.painter, &box);
        EXPECT_FALSE(box.IsVisible());
        box.SetVisible(true);
        EXPECT_TRUE(box.IsVisible());
        EXPECT_TRUE(control.visible);
        box.SetPicture(Bytes(test::ThreeColourAnimation(1)));
        Paint(box);
    }
    // Destroyed while its animation ran: the thread is gone and the control has no painter.
    EXPECT_EQ(control.painter, nullptr);
    const int requests = control.repaintRequests;
    std::this_thread::sleep_for(milliseconds(40));
    EXPECT_EQ(control.repaintRequests, requests);
}

}  // namespace
}  // namespace qrlogo
