#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <vector>

#include "qr/area_compose.h"

namespace qrlogo {
namespace {

constexpr std::uint32_t kBackground = 0xFFF0F0F0;
constexpr int kAreaWidth = 208, kAreaHeight = 200;

// A frame pixel from a colour and its transparency T.
constexpr std::uint32_t Tp(std::uint32_t rgb, std::uint8_t t) {
    return std::uint32_t{t} << 24 | rgb;
}

PictureObject Object(PixelBuffer pixels, int left = 0, int top = 0,
                     std::optional<std::uint32_t> key = std::nullopt) {
    PictureObject o;
    auto picture = std::make_shared<ObjectPicture>();
    picture->width = pixels.width;
    picture->height = pixels.height;
    picture->frames.push_back(MakeAreaFrame(std::move(pixels), key, 0));
    o.picture = std::move(picture);
    o.left = left;
    o.top = top;
    return o;
}

PictureObject Solid(int w, int h, std::uint32_t pixel, int left = 0, int top = 0) {
    return Object(PixelBuffer(w, h, pixel), left, top);
}

PixelBuffer Compose(std::span<const PictureObject> objects,
                    Rect dirty = {0, 0, kAreaWidth, kAreaHeight},
                    std::span<const Rect> extents = {}) {
    const PixelBuffer background(kAreaWidth, kAreaHeight, kBackground);
    PixelBuffer canvas(kAreaWidth, kAreaHeight, 0xFF123456);
    ComposeArea(canvas, background, dirty, objects, extents);
    return canvas;
}

TEST(BlendPixel, RoundsEachChannelTowardsTheSource) {
    struct Case {
        const char* name;
        std::uint8_t destination, source, t, expected;
    };
    // Worked by hand: d + round((s - d) * (255 - T) / 255).
    const Case cases[] = {
        {"T 0 replaces", 10, 200, 0, 200},
        {"T 255 leaves", 10, 200, 255, 10},
        {"half up", 0, 255, 128, 127},                 // 255*127/255 = 127
        {"half down", 255, 0, 128, 128},               // 255 - 127
        {"just below a half", 0, 1, 128, 0},           // 127/255 = 0.498
        {"just above a half", 0, 1, 127, 1},           // 128/255 = 0.502
        {"nearly opaque", 10, 20, 1, 20},              // 10*254/255 = 9.96
        {"nearly clear", 10, 20, 254, 10},             // 10/255 = 0.04
        {"negative rounds away", 200, 100, 200, 178},  // -100*55/255 = -21.57
        {"negative rounds in", 200, 190, 200, 198},    // -10*55/255 = -2.16
    };
    for (const Case& c : cases) {
        const std::uint32_t d = Argb(c.destination, c.destination / 2, 255 - c.destination);
        const std::uint32_t s = Tp(Argb(c.source, c.source / 2, 255 - c.source, 0), c.t);
        const std::uint32_t out = BlendPixel(d, s);
        EXPECT_EQ(RedOf(out), c.expected) << "case: " << c.name;
        EXPECT_EQ(AlphaOf(out), 255) << "case: " << c.name;
    }
}

TEST(BlendPixel, MatchesTheRuleForEveryTransparency) {
    for (int t = 0; t < 256; ++t) {
        for (int d : {0, 1, 77, 128, 254, 255}) {
            for (int s : {0, 3, 100, 200, 255}) {
                const double exact = d + (s - d) * (255.0 - t) / 255.0;
                const int expected = static_cast<int>(std::lround(exact));
                const std::uint32_t out =
                    BlendPixel(Argb(0, 0, static_cast<std::uint8_t>(d)),
                               Tp(static_cast<std::uint32_t>(s), static_cast<std::uint8_t>(t)));
                ASSERT_EQ(BlueOf(out), expected) << "T " << t << " d " << d << " s " << s;
            }
        }
    }
}

TEST(ColourKey, FollowsTheTransparentArgument) {
    PixelBuffer pixels(2, 1);
    pixels.At(0, 0) = Tp(0x112233, 0);
    pixels.At(1, 0) = Tp(0x445566, 0);
    struct Case {
        const char* name;
        std::int32_t transparent;
        std::optional<std::uint32_t> key;
    };
    const Case cases[] = {
        {"-1 is none", -1, std::nullopt},
        {"-2 is the top-left pixel", -2, 0x112233},
        {"explicit 0x00BBGGRR", 0x00665544, 0x445566},
        {"high byte ignored", static_cast<std::int32_t>(0x7F332211), 0x112233},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColourKeyFor(c.transparent, pixels), c.key) << "case: " << c.name;
}

TEST(ComposeArea, PlacesClipsAndLayersPictures) {
    struct Probe {
        int x, y;
        std::uint32_t expected;
    };
    struct Case {
        const char* name;
        std::vector<PictureObject> objects;
        std::vector<Probe> probes;
    };
    std::vector<Case> cases;
    cases.push_back({"200 x 200 leaves an 8-pixel background column",
                     {},
                     {{0, 0, 0xFF0000FF},
                      {199, 199, 0xFF0000FF},
                      {200, 0, kBackground},
                      {207, 199, kBackground}}});
    cases.back().objects.push_back(Solid(200, 200, 0x0000FF));
    cases.push_back({"300 x 300 is cut at the right and bottom",
                     {},
                     {{0, 0, 0xFF00FF00}, {207, 199, 0xFF00FF00}}});
    cases.back().objects.push_back(Solid(300, 300, 0x00FF00));
    cases.push_back({"smaller after larger: the larger shows around it",
                     {},
                     {{10, 10, 0xFF00FF00},
                      {60, 60, 0xFFFF0000},
                      {60, 59, 0xFF00FF00},
                      {100, 100, 0xFF00FF00},
                      {205, 5, kBackground}}});
    cases.back().objects.push_back(Solid(200, 200, 0x00FF00));
    cases.back().objects.push_back(Solid(40, 40, 0xFF0000, 60, 60));
    cases.push_back({"later objects cover earlier ones", {}, {{5, 5, 0xFF0000FF}}});
    cases.back().objects.push_back(Solid(200, 200, 0x00FF00));
    cases.back().objects.push_back(Solid(200, 200, 0x0000FF));
    cases.push_back({"hidden objects and objects without a picture draw nothing",
                     {},
                     {{5, 5, 0xFF00FF00}, {205, 5, kBackground}}});
    cases.back().objects.push_back(Solid(200, 200, 0x00FF00));
    cases.back().objects.push_back(Solid(208, 200, 0x0000FF));
    cases.back().objects.back().visible = false;
    cases.back().objects.push_back(PictureObject{});
    cases.push_back({"negative position shows the bottom-right part",
                     {},
                     {{0, 0, 0xFF000001}, {10, 10, kBackground}}});
    {
        PixelBuffer p(20, 20, 0x000000);
        p.At(19, 19) = 0x000001;
        cases.back().objects.push_back(Object(std::move(p), -19, -19));
    }
    cases.push_back(
        {"transparent pixels show what is below",
         {},
         {{0, 0, 0xFF00FF00}, {1, 0, 0xFF0000FF}, {2, 0, 0xFF00807F}, {205, 0, kBackground}}});
    cases.back().objects.push_back(Solid(200, 200, 0x00FF00));
    {
        PixelBuffer p(3, 1);
        p.At(0, 0) = Tp(0x0000FF, 255);
        p.At(1, 0) = Tp(0x0000FF, 0);
        p.At(2, 0) = Tp(0x0000FF, 128);  // green 255 + round(-255 * 127/255) = 128; blue 127
        cases.back().objects.push_back(Object(std::move(p)));
    }
    cases.push_back({"translucent over the background", {}, {{0, 0, Argb(0xF0, 0x78, 0x78)}}});
    cases.back().objects.push_back(Solid(1, 1, Tp(0xF00000, 128)));  // blue/green 240 - 120
    cases.push_back(
        {"keyed pixels leave the destination", {}, {{0, 0, 0xFF00FF00}, {1, 0, 0xFFFF0000}}});
    cases.back().objects.push_back(Solid(200, 200, 0x00FF00));
    {
        PixelBuffer p(2, 1, 0xFF0000);
        p.At(0, 0) = 0x123456;
        cases.back().objects.push_back(Object(std::move(p), 0, 0, 0x123456));
    }
    for (const Case& c : cases) {
        const PixelBuffer out = Compose(c.objects);
        for (const Probe& p : c.probes) {
            EXPECT_EQ(out.At(p.x, p.y), p.expected)
                << "case: " << c.name << " at " << p.x << "," << p.y;
        }
    }
}

TEST(ComposeArea, TouchesOnlyTheDirtyRectangle) {
    std::vector<PictureObject> objects;
    objects.push_back(Solid(200, 200, 0x00FF00));
    const PixelBuffer out = Compose(objects, Rect{10, 10, 5, 5});
    EXPECT_EQ(out.At(10, 10), 0xFF00FF00u);
    EXPECT_EQ(out.At(14, 14), 0xFF00FF00u);
    EXPECT_EQ(out.At(9, 10), 0xFF123456u);
    EXPECT_EQ(out.At(15, 14), 0xFF123456u);
}

// Painting only from the topmost opaque cover upward must give exactly what painting every
// object bottom-up gives, for any mix of opaque, translucent, keyed and hidden objects.
TEST(ComposeArea, SkippingCoveredObjectsChangesNoPixel) {
    std::mt19937 random(12345);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int scene = 0; scene < 60; ++scene) {
        std::vector<PictureObject> objects;
        const int count = pick(1, 40);
        for (int i = 0; i < count; ++i) {
            const int w = pick(1, 120), h = pick(1, 120);
            PixelBuffer p(w, h, static_cast<std::uint32_t>(pick(0, 0xFFFFFF)));
            const int kind = pick(0, 3);
            std::optional<std::uint32_t> key;
            if (kind == 1)
                p.At(pick(0, w - 1), pick(0, h - 1)) =
                    Tp(0x808080, static_cast<std::uint8_t>(pick(1, 255)));
            if (kind == 2) {
                key = 0xABCDEF;
                p.At(0, 0) = *key;
            }
            objects.push_back(Object(std::move(p), pick(-40, 200), pick(-40, 190), key));
            objects.back().visible = kind != 3 || pick(0, 1) == 0;
        }
        const Rect dirty{pick(0, 100), pick(0, 100), pick(1, 150), pick(1, 150)};
        PixelBuffer expected(kAreaWidth, kAreaHeight, 0xFF123456);
        const Rect clip = dirty.Intersected(Rect{0, 0, kAreaWidth, kAreaHeight});
        for (int y = clip.top; y < clip.Bottom(); ++y) {
            for (int x = clip.left; x < clip.Right(); ++x) expected.At(x, y) = kBackground;
        }
        for (const PictureObject& o : objects) {
            if (o.visible)
                BlendFrame(expected, clip, *o.CurrentFrame(), o.Bounds().left, o.Bounds().top);
        }
        ASSERT_EQ(Compose(objects, dirty).pixels, expected.pixels) << "scene " << scene;
        const std::vector<Rect> extents = ObjectExtents(objects);
        ASSERT_EQ(Compose(objects, dirty, extents).pixels, expected.pixels)
            << "scene " << scene << " with extents";
    }
}

}  // namespace
}  // namespace qrlogo
