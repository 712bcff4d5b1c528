#include <gtest/gtest.h>

#include "app/decode/picture.h"
#include "tests/decode/fixtures.h"

namespace qrlogo {
namespace {

using test::Bytes;
using test::IconEntry;

// A 24-bit icon image of one colour (blue, green, red) with an all-opaque mask.
Bytes SolidIconImage(int width, int height, std::array<std::uint8_t, 3> bgr) {
    std::vector<Bytes> colour(static_cast<std::size_t>(height));
    for (Bytes& row : colour) {
        for (int x = 0; x < width; ++x) row.insert(row.end(), bgr.begin(), bgr.end());
    }
    const std::vector<Bytes> mask(static_cast<std::size_t>(height), Bytes((width + 7) / 8, 0));
    return test::MakeIconDib(width, height, 24, {}, colour, mask);
}

TEST(Icon, ChoosesTheFirst32WideEntryOfAtLeast16ColoursElseTheLast) {
    struct Case {
        const char* name;
        std::vector<IconEntry> entries;
        int expectedWidth;
    };
    const auto entry = [](int side, std::uint8_t colours) {
        return IconEntry{static_cast<std::uint8_t>(side), static_cast<std::uint8_t>(side), colours,
                         SolidIconImage(side, side, {0, 0, 255})};
    };
    const Case cases[] = {
        {"16 colours at 32 beside true colour at 48", {entry(48, 0), entry(32, 16)}, 32},
        {"only 256-colour and true-colour entries", {entry(32, 0), entry(48, 0), entry(16, 0)}, 16},
        {"15 colours do not qualify", {entry(32, 15), entry(24, 16)}, 24},
        {"the first qualifying entry wins", {entry(16, 16), entry(32, 16), entry(32, 255)}, 32},
        {"one entry", {entry(20, 0)}, 20},
    };
    for (const Case& c : cases) {
        for (const int type : {1, 2}) {
            const auto picture = DecodePicture(test::MakeIconFile(type, c.entries));
            ASSERT_TRUE(picture) << "case: " << c.name << ", type " << type;
            EXPECT_EQ(picture->kind, PictureKind::Icon) << "case: " << c.name;
            EXPECT_EQ(picture->width, c.expectedWidth) << "case: " << c.name;
            EXPECT_EQ(picture->height, c.expectedWidth) << "case: " << c.name;
        }
    }
}

TEST(Icon, MaskMakesPixelsTransparentAndPalettesExpand) {
    // 2 x 2, 4 bits: bottom row indices 1 2, top row 3 0; the mask (bottom row first) marks the
    // bottom-right and top-left pixels transparent.
    const std::vector<std::array<std::uint8_t, 4>> table = {
        {0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
    auto fullTable = table;
    fullTable.resize(16, {0, 0, 0, 0});
    const Bytes image =
        test::MakeIconDib(2, 2, 4, fullTable, {{0x12}, {0x30}}, {{0b0100'0000}, {0b1000'0000}});
    const auto picture = DecodePicture(test::MakeIconFile(1, {{2, 2, 16, image}}));
    ASSERT_TRUE(picture);
    const PixelBuffer shown = RenderPicture(*picture);
    EXPECT_EQ(shown.pixels, (std::vector<std::uint32_t>{Argb(0, 0, 255, 0), Argb(0, 0, 0, 255),
                                                        Argb(255, 0, 0, 255), Argb(0, 255, 0, 0)}));
    EXPECT_EQ(picture->icon.mask, (Bytes{1, 0, 0, 1}));
}

TEST(Icon, ThirtyTwoBitImagesCarryTheirOwnAlphaUnlessItIsAllZero) {
    const std::vector<Bytes> mask = {{0b1000'0000}};
    const Bytes withAlpha = test::MakeIconDib(2, 1, 32, {}, {{1, 2, 3, 0x80, 4, 5, 6, 0}}, mask);
    const Bytes withoutAlpha = test::MakeIconDib(2, 1, 32, {}, {{1, 2, 3, 0, 4, 5, 6, 0}}, mask);
    const auto a = DecodePicture(test::MakeIconFile(1, {{2, 1, 0, withAlpha}}));
    const auto b = DecodePicture(test::MakeIconFile(1, {{2, 1, 0, withoutAlpha}}));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(RenderPicture(*a).pixels,
              (std::vector<std::uint32_t>{Argb(3, 2, 1, 0x80), Argb(6, 5, 4, 0)}));
    EXPECT_EQ(RenderPicture(*b).pixels,
              (std::vector<std::uint32_t>{Argb(3, 2, 1, 0), Argb(6, 5, 4, 255)}));
}

TEST(Icon, PngEntryDecodesAtItsOwnSize) {
    const Bytes rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0};
    const auto picture =
        DecodePicture(test::MakeIconFile(1, {{0, 0, 0, test::MakePng(3, 1, rgba)}}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(picture->height, 1);
    EXPECT_EQ(RenderPicture(*picture).pixels,
              (std::vector<std::uint32_t>{Argb(255, 0, 0, 255), Argb(0, 255, 0, 128),
                                          Argb(0, 0, 255, 0)}));
}

TEST(Icon, RefusesBrokenFilesAndImages) {
    const Bytes good = SolidIconImage(2, 2, {1, 2, 3});
    Bytes sixteenBit = test::MakeIconDib(2, 2, 16, {}, {Bytes(4, 0), Bytes(4, 0)}, {{0}, {0}});
    Bytes compressed = good;
    compressed[16] = 1;  // compression field of the bitmap header
    Bytes pastEnd = test::MakeIconFile(1, {{2, 2, 0, good}});
    pastEnd[6 + 12] += 1;  // the entry's offset moves its image one byte past the end
    Bytes wrapping = test::MakeIconFile(1, {{2, 2, 0, good}});
    for (int i = 0; i < 4; ++i) wrapping[6 + 8 + i] = 0xFF;  // size 0xFFFFFFFF: offset + size wraps
    Bytes tooManyEntries = test::MakeIconFile(1, {{2, 2, 0, good}});
    tooManyEntries[4] = 200;  // 200 entries claimed, one present
    const Bytes truncatedImage(good.begin(), good.end() - 1);
    Bytes oddHeight = good;
    oddHeight[8] = 1;  // a doubled height of 1 leaves no rows
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"16 bpp image", test::MakeIconFile(1, {{2, 2, 0, sixteenBit}})},
        {"compressed image", test::MakeIconFile(1, {{2, 2, 0, compressed}})},
        {"image past the end", pastEnd},
        {"offset plus size wraps", wrapping},
        {"directory longer than the file", tooManyEntries},
        {"image shorter than its rows and mask",
         test::MakeIconFile(1, {{2, 2, 0, truncatedImage}})},
        {"height of one row", test::MakeIconFile(1, {{2, 2, 0, oddHeight}})},
        {"empty image", test::MakeIconFile(1, {{2, 2, 0, {}}})},
        {"PNG entry cut short", test::MakeIconFile(1, {{0, 0, 0,
                                                        [] {
                                                            Bytes png =
                                                                test::MakePng(2, 2, Bytes(16, 7));
                                                            png.resize(png.size() - 20);
                                                            return png;
                                                        }()}})},
    };
    for (const Case& c : cases) EXPECT_FALSE(DecodePicture(c.file)) << "case: " << c.name;
}

}  // namespace
}  // namespace qrlogo
