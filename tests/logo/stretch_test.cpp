#include "logo/stretch.h"

#include <gtest/gtest.h>

#include <set>

namespace qrlogo {
namespace {

constexpr std::uint32_t kRed = Argb(255, 0, 0);
constexpr std::uint32_t kBlue = Argb(0, 0, 255);
constexpr std::uint32_t kWhite = Argb(255, 255, 255);
constexpr std::uint32_t kBlack = Argb(0, 0, 0);

PixelBuffer RedBlue() {
    PixelBuffer b(2, 1);
    b.At(0, 0) = kRed;
    b.At(1, 0) = kBlue;
    return b;
}

TEST(StretchNearest, RepeatsAndDropsWholePixels) {
    // Enlarging 2 x 1 to the box's 72 x 32: each half is one source pixel, no in-between colours.
    const PixelBuffer big = StretchNearest(RedBlue(), 72, 32);
    ASSERT_EQ(big.width, 72);
    ASSERT_EQ(big.height, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 72; ++x)
            ASSERT_EQ(big.At(x, y), x < 36 ? kRed : kBlue) << x << "," << y;
    }

    // Shrinking 4 columns to 2 keeps columns 1 and 3, the ones under the target centres.
    PixelBuffer stripes(4, 1);
    stripes.pixels = {kRed, kWhite, kBlue, kBlack};
    const PixelBuffer small = StretchNearest(stripes, 2, 1);
    EXPECT_EQ(small.pixels, (std::vector<std::uint32_t>{kWhite, kBlack}));
}

TEST(StretchSmooth, AveragesWhenShrinkingAndBlendsWhenEnlarging) {
    // A 2 x 2 checker of black and white shrunk to one pixel is mid grey.
    PixelBuffer checker(2, 2);
    checker.pixels = {kBlack, kWhite, kWhite, kBlack};
    EXPECT_EQ(StretchSmooth(checker, 1, 1).pixels[0], Argb(128, 128, 128));

    // Enlarged, red fades into blue: the outer columns keep the source colours, the middle is a
    // blend, and red never grows from left to right.
    const PixelBuffer big = StretchSmooth(RedBlue(), 72, 32);
    ASSERT_EQ(big.width, 72);
    ASSERT_EQ(big.height, 32);
    EXPECT_EQ(big.At(0, 0), kRed);
    EXPECT_EQ(big.At(71, 31), kBlue);
    const std::uint32_t middle = big.At(36, 16);
    EXPECT_GT(RedOf(middle), 0);
    EXPECT_GT(BlueOf(middle), 0);
    for (int x = 1; x < 72; ++x) EXPECT_LE(RedOf(big.At(x, 5)), RedOf(big.At(x - 1, 5))) << x;
    for (int y = 1; y < 32; ++y) EXPECT_EQ(big.At(10, y), big.At(10, 0)) << y;
}

TEST(StretchSmooth, KeepsAUniformPictureUniformAtEveryScale) {
    // A 100 x 100 picture drawn into 72 x 32 (shrunk unevenly), and a 5 x 3 one enlarged:
    // the weights of every target pixel add up to one.
    const std::uint32_t colour = Argb(12, 200, 77);
    for (const auto& [w, h] :
         std::vector<std::pair<int, int>>{{100, 100}, {5, 3}, {72, 32}, {7, 200}}) {
        const PixelBuffer out = StretchSmooth(PixelBuffer(w, h, colour), 72, 32);
        const std::set<std::uint32_t> distinct(out.pixels.begin(), out.pixels.end());
        EXPECT_EQ(distinct, std::set<std::uint32_t>{colour}) << "case: " << w << " x " << h;
    }
}

TEST(FlattenOnto, TransparentPartsShowTheBackground) {
    PixelBuffer icon(3, 1);
    icon.pixels = {Argb(255, 0, 0, 0), Argb(255, 0, 0, 255), Argb(255, 0, 0, 128)};
    const std::uint32_t background = Argb(0, 0, 254);
    const PixelBuffer flat = FlattenOnto(icon, background);
    EXPECT_EQ(flat.pixels, (std::vector<std::uint32_t>{background, kRed, Argb(128, 0, 127)}));
}

}  // namespace
}  // namespace qrlogo
