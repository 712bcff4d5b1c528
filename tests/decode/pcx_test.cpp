#include <gtest/gtest.h>

#include "app/decode/picture.h"
#include "tests/decode/fixtures.h"

namespace qrlogo {
namespace {

using test::Bytes;

Bytes Palette() {
    Bytes p(768);
    for (std::size_t i = 0; i < 256; ++i) {
        p[i * 3] = static_cast<std::uint8_t>(i);
        p[i * 3 + 1] = static_cast<std::uint8_t>(255 - i);
        p[i * 3 + 2] = 0x40;
    }
    return p;
}

TEST(Pcx, EightBitsGiveAPalettePictureWithTheTableAfterTheMarker) {
    // 3 x 2 with 4 bytes a line: the padding byte is dropped, and the run of 200s crosses from
    // the first line into the second. 200 and 0xC1 need run bytes even alone.
    const Bytes file =
        test::MakePcx(5, 8, 1, 3, 2, 4, {{0xC1, 200, 200, 200, 200, 200, 9, 0}}, Palette());
    const auto picture = DecodePicture(file);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->kind, PictureKind::Palette);
    EXPECT_EQ(picture->indices, (Bytes{0xC1, 200, 200, 200, 200, 9}));
    const PixelBuffer shown = RenderPicture(*picture);
    EXPECT_EQ(shown.At(0, 0), Argb(0xC1, 255 - 0xC1, 0x40));
    EXPECT_EQ(shown.At(2, 1), Argb(9, 246, 0x40));
}

TEST(Pcx, OneBitGivesABlackAndWhitePicture) {
    // 10 x 1, 2 bytes a line, bits from the top: 1 is white.
    const auto picture =
        DecodePicture(test::MakePcx(3, 1, 1, 10, 1, 2, {{0b1011'0000, 0b0100'0000}}, {}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->kind, PictureKind::Mono);
    EXPECT_EQ(picture->indices, (Bytes{1, 0, 1, 1, 0, 0, 0, 0, 0, 1}));
    const std::uint32_t w = Argb(255, 255, 255), b = Argb(0, 0, 0);
    EXPECT_EQ(RenderPicture(*picture).pixels,
              (std::vector<std::uint32_t>{w, b, w, w, b, b, b, b, b, w}));
}

TEST(Pcx, EightBitsWithoutATableShowGreyLevels) {
    const auto picture = DecodePicture(test::MakePcx(5, 8, 1, 2, 1, 2, {{7, 99}}, {}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(RenderPicture(*picture).pixels,
              (std::vector<std::uint32_t>{Argb(7, 7, 7), Argb(99, 99, 99)}));
}

TEST(Pcx, RefusesOtherVariantsAndBrokenData) {
    const Bytes good = test::MakePcx(5, 8, 1, 2, 2, 2, {{1, 2}, {3, 4}}, Palette());
    const auto changed = [&good](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"header only", Bytes(good.begin(), good.begin() + 128)},
        {"no run-length encoding", changed(2, 0)},
        {"three planes", changed(65, 3)},
        {"right before left", changed(4, 5)},
        {"bottom before top", changed(6, 5)},
        {"line shorter than the width", changed(66, 1)},
        {"rows cut short",
         [] {
             Bytes b = test::MakePcx(5, 8, 1, 2, 2, 2, {{1, 2}, {3, 4}}, {});
             b.pop_back();
             return b;
         }()},
        {"more rows than the data could hold", changed(11, 0x7F)},
        {"1 bit of version 5 is not recognised", test::MakePcx(5, 1, 1, 8, 1, 2, {{0, 0}}, {})},
        {"4 bits", test::MakePcx(3, 4, 1, 8, 1, 4, {{0, 0, 0, 0}}, {})},
        {"version 6", changed(1, 6)},
    };
    for (const Case& c : cases) EXPECT_FALSE(DecodePicture(c.file)) << "case: " << c.name;
}

}  // namespace
}  // namespace qrlogo
