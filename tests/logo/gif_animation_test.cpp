#include "logo/gif_animation.h"

#include <gtest/gtest.h>

#include <utility>

namespace qrlogo {
namespace {

constexpr std::uint32_t kWhite = Argb(255, 255, 255);
constexpr std::uint32_t kRed = Argb(255, 0, 0);
constexpr std::uint32_t kGreen = Argb(0, 255, 0);
constexpr std::uint32_t kBlue = Argb(0, 0, 255);

// Colour table: 0 red, 1 green, 2 blue, 3 red again.
const std::vector<GifColour> kTable = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 0}};

GifImage Solid(int left, int top, int width, int height, std::uint8_t index, int disposal = 0,
               int delay = 0) {
    GifImage image{left,
                   top,
                   width,
                   height,
                   std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, index),
                   kTable};
    image.disposal = disposal;
    image.delayCentiseconds = delay;
    return image;
}

GifFile Screen(int width, int height, std::vector<GifImage> images) {
    GifFile gif;
    gif.screenWidth = width;
    gif.screenHeight = height;
    gif.globalTable = kTable;
    gif.images = std::move(images);
    gif.still = gif.images.size() < 2;
    return gif;
}

TEST(GifComposer, DrawsOnWhiteAndClipsToTheScreen) {
    // A 2 x 2 image at (3, 1) on a 4 x 2 screen: only its left column lands on the canvas.
    const GifFile gif = Screen(4, 2, {Solid(3, 1, 2, 2, 2)});
    GifComposer composer(gif);
    EXPECT_EQ(composer.DrawNext(), 0u);
    std::vector<std::uint32_t> expected(8, kWhite);
    expected[7] = kBlue;
    EXPECT_EQ(composer.Canvas().pixels, expected);

    // Indices beyond the table draw black; without any table they are grey levels.
    GifImage beyond{0, 0, 2, 1, {1, 9}, {{1, 2, 3}, {4, 5, 6}}};
    GifImage noTable{0, 0, 2, 1, {1, 9}, {}};
    const GifFile both = Screen(2, 1, {beyond, noTable});
    GifComposer other(both);
    other.DrawNext();
    EXPECT_EQ(other.Canvas().pixels, (std::vector<std::uint32_t>{Argb(4, 5, 6), Argb(0, 0, 0)}));
    other.DrawNext();
    EXPECT_EQ(other.Canvas().pixels, (std::vector<std::uint32_t>{Argb(1, 1, 1), Argb(9, 9, 9)}));
}

TEST(GifComposer, TransparencyIsTestedByColour) {
    // Transparent index 0 is red; index 3 is red too, so it is left out as well.
    GifImage image{0, 0, 4, 1, {0, 1, 2, 3}, kTable};
    image.transparentIndex = 0;
    const GifFile gif = Screen(4, 1, {image});
    GifComposer composer(gif);
    composer.DrawNext();
    EXPECT_EQ(composer.Canvas().pixels,
              (std::vector<std::uint32_t>{kWhite, kGreen, kBlue, kWhite}));
}

TEST(GifComposer, DisposalTwoAndThreeRestoreThePreviousImagesArea) {
    struct Case {
        int disposal;
        std::uint32_t leftPixelAfterSecondImage;
    };
    const Case cases[] = {{0, kRed}, {1, kRed}, {2, kGreen}, {3, kGreen}, {4, kRed}};
    for (const Case& c : cases) {
        // A green background image, then red over the left pixel, then blue over the right one.
        const GifFile gif = Screen(
            2, 1, {Solid(0, 0, 2, 1, 1), Solid(0, 0, 1, 1, 0, c.disposal), Solid(1, 0, 1, 1, 2)});
        GifComposer composer(gif);
        composer.DrawNext();
        composer.DrawNext();
        EXPECT_EQ(composer.Canvas().At(0, 0), kRed) << "case: disposal " << c.disposal;
        composer.DrawNext();
        EXPECT_EQ(composer.Canvas().At(0, 0), c.leftPixelAfterSecondImage)
            << "case: disposal " << c.disposal;
        EXPECT_EQ(composer.Canvas().At(1, 0), kBlue) << "case: disposal " << c.disposal;
    }
}

TEST(GifComposer, LoopsToTheFirstImageAfterTheLastOnTheSameCanvas) {
    // The last image's disposal 2 is honoured before the first is drawn again.
    const GifFile gif = Screen(2, 1, {Solid(0, 0, 1, 1, 0), Solid(1, 0, 1, 1, 2, 2)});
    GifComposer composer(gif);
    EXPECT_EQ(composer.DrawNext(), 0u);
    EXPECT_EQ(composer.DrawNext(), 1u);
    EXPECT_EQ(composer.Canvas().pixels, (std::vector<std::uint32_t>{kRed, kBlue}));
    EXPECT_EQ(composer.DrawNext(), 0u);
    EXPECT_EQ(composer.Canvas().pixels, (std::vector<std::uint32_t>{kRed, kWhite}));
}

// A clock that only moves when the animation sleeps.
struct FakeTime {
    std::int64_t now = 0;
    std::vector<int> sleeps;
    AnimationClock Clock() {
        return {[this] { return now; },
                [this](int ms) {
                    sleeps.push_back(ms);
                    now += ms;
                }};
    }
};

TEST(PlayAnimation, EachImageStaysItsDelayFromTheStartOfItsDrawing) {
    // Delays 0 (50 ms), 7 (70 ms) and 3 (30 ms); the first image was drawn at 0.
    const GifFile gif = Screen(
        1, 1, {Solid(0, 0, 1, 1, 0, 0, 0), Solid(0, 0, 1, 1, 1, 0, 7), Solid(0, 0, 1, 1, 2, 0, 3)});
    GifComposer composer(gif);
    composer.DrawNext();
    FakeTime time;
    std::mutex lock;
    std::atomic<bool> stop{false};
    std::vector<std::pair<std::int64_t, std::size_t>> drawn;
    PlayAnimation(composer, lock, stop, time.Clock(), 0, [&] {
        drawn.emplace_back(time.now, composer.Current());
        if (drawn.size() == 5) stop = true;
    });
    const std::vector<std::pair<std::int64_t, std::size_t>> expected = {
        {50, 1}, {120, 2}, {150, 0}, {200, 1}, {270, 2}};
    EXPECT_EQ(drawn, expected);
    for (int ms : time.sleeps) EXPECT_LE(ms, 10);
}

TEST(PlayAnimation, AStopRequestIsSeenWithinTenMillisecondsWhileWaiting) {
    // The only other image is 10 s away; the stop comes after the third wait.
    const GifFile gif = Screen(1, 1, {Solid(0, 0, 1, 1, 0, 0, 1000), Solid(0, 0, 1, 1, 1)});
    GifComposer composer(gif);
    composer.DrawNext();
    std::atomic<bool> stop{false};
    std::int64_t now = 0;
    int sleeps = 0;
    const AnimationClock clock{[&] { return now; },
                               [&](int ms) {
                                   now += ms;
                                   if (++sleeps == 3) stop = true;
                               }};
    std::mutex lock;
    bool drew = false;
    PlayAnimation(composer, lock, stop, clock, 0, [&] { drew = true; });
    EXPECT_FALSE(drew);
    EXPECT_EQ(now, 30);
}

TEST(GifAnimation, ShowsTheFirstImageAtStartAndStopsByHandshake) {
    const GifFile gif = Screen(1, 1, {Solid(0, 0, 1, 1, 0, 0, 1), Solid(0, 0, 1, 1, 1, 0, 1)});
    std::atomic<int> drawn{0};
    GifAnimation animation(gif, [&] { ++drawn; });
    animation.Start();
    std::size_t first = 99;
    std::uint32_t firstPixel = 0;
    animation.ReadCanvas([&](const PixelBuffer& canvas, std::size_t image) {
        first = image;
        firstPixel = canvas.At(0, 0);
    });
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(firstPixel, kRed);
    EXPECT_TRUE(animation.IsRunning());
    while (drawn < 3) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    animation.Stop();
    EXPECT_FALSE(animation.IsRunning());
    const int afterStop = drawn;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(drawn, afterStop);
}

}  // namespace
}  // namespace qrlogo
