#include <gtest/gtest.h>

#include <vector>

#include "qr/area_compose.h"
#include "qr/area_gif.h"
#include "qr/area_picture.h"
#include "tests/area/png_builder.h"

namespace qrlogo {
namespace {

constexpr std::uint32_t kClear = 0xFF000000;  // T 255
constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

GifImage Image(int left, int top, int width, int height, std::vector<std::uint8_t> indices,
               int transparentIndex = -1, int disposal = 0) {
    GifImage image;
    image.left = left;
    image.top = top;
    image.width = width;
    image.height = height;
    image.indices = std::move(indices);
    image.colourTable = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    image.transparentIndex = transparentIndex;
    image.disposal = disposal;
    image.delayCentiseconds = 7;
    return image;
}

GifFile Screen(int width, int height, std::vector<GifImage> images) {
    GifFile gif;
    gif.screenWidth = width;
    gif.screenHeight = height;
    gif.images = std::move(images);
    gif.still = gif.images.size() == 1;
    return gif;
}

TEST(ComposeGifFrames, ComposesOntoATransparentCanvasWithDisposal) {
    struct Case {
        const char* name;
        GifFile gif;
        std::vector<std::vector<std::uint32_t>> frames;  // 3 x 1 screens, 0xTTRRGGBB
    };
    GifImage noTable = Image(0, 0, 2, 1, {0, 200});
    noTable.colourTable.clear();
    GifImage shortTable = Image(0, 0, 1, 1, {9});
    const std::vector<Case> cases = {
        {"uncovered pixels stay transparent",
         Screen(3, 1, {Image(1, 0, 1, 1, {0})}),
         {{kClear, kRed, kClear}}},
        {"transparent index leaves the canvas",
         Screen(3, 1, {Image(0, 0, 3, 1, {0, 0, 0}, -1, 1), Image(0, 0, 3, 1, {1, 2, 1}, 1)}),
         {{kRed, kRed, kRed}, {kRed, kBlue, kRed}}},
        {"disposal 1 keeps, 2 clears its rectangle, 3 restores the canvas before it",
         Screen(3, 1,
                {Image(0, 0, 3, 1, {0, 0, 0}, -1, 1), Image(1, 0, 2, 1, {1, 1}, -1, 3),
                 Image(2, 0, 1, 1, {2}, -1, 2), Image(0, 0, 1, 1, {1})}),
         {{kRed, kRed, kRed}, {kRed, kGreen, kGreen}, {kRed, kRed, kBlue}, {kGreen, kRed, kClear}}},
        {"image beyond the screen is cut",
         Screen(3, 1, {Image(2, 0, 3, 1, {1, 2, 2})}),
         {{kClear, kClear, kGreen}}},
        {"no colour table shows grey levels",
         Screen(3, 1, {noTable}),
         {{0x000000, 0xC8C8C8, kClear}}},
        {"index beyond the table is black",
         Screen(3, 1, {shortTable}),
         {{0x000000, kClear, kClear}}},
    };
    for (const Case& c : cases) {
        const std::vector<AreaGifFrame> frames = ComposeGifFrames(c.gif);
        ASSERT_EQ(frames.size(), c.frames.size()) << "case: " << c.name;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].pixels.pixels, c.frames[i]) << "case: " << c.name << " frame " << i;
            EXPECT_EQ(frames[i].delayMs, 70) << "case: " << c.name;
        }
    }
}

// GIF89a, 2 x 1 screen, global table of 2 colours, a graphic control extension making index 1
// transparent, then one 2 x 1 image of indices 0, 1.
const std::vector<std::uint8_t> kTinyGif = {
    'G',  'I',  'F',  '8',  '9',  'a',  2, 0, 1, 0,  // signature, screen 2 x 1
    0x80, 0,    0,                             // global table of 2 entries, background 0, aspect
    0x11, 0x22, 0x33, 0x44, 0x55, 0x66,        // colours 0 and 1
    0x21, 0xF9, 4,    0x01, 0,    0,    1, 0,  // graphic control: transparent index 1
    0x2C, 0,    0,    0,    0,    2,    0, 1, 0, 0,  // image at 0,0, 2 x 1, no local table
    2,    2,    0x44, 0x0A, 0,                       // LZW minimum 2; clear, 0, 1, end; terminator
    0x3B};                                           // trailer

// BMP, 2 x 1, 24 bits: 14-byte file header, 40-byte information header, one padded row.
const std::vector<std::uint8_t> kTinyBmp = {
    'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file size 62, pixel data at 54
    40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,             // header size, width 2, height 1
    1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0,             // planes 1, 24 bits, no compression, 8
                                                     // bytes
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // resolution, colours used, important
    0x30, 0x20, 0x10, 0x60, 0x50, 0x40, 0, 0};       // blue, green, red twice; padding

// ICO with one 2 x 2 24-bit image whose AND mask makes its bottom-left pixel transparent.
std::vector<std::uint8_t> TinyIcon() {
    std::vector<std::uint8_t> bytes = {
        0, 0, 1, 0, 1, 0,                                   // reserved, type icon, 1 entry
        2, 2, 0, 0, 1, 0, 24, 0, 64, 0, 0, 0, 22, 0, 0, 0,  // 2 x 2, 24 bits, 64 bytes
                                                            // at 22
        40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0,                // header size, width 2, height 4 (with
                                                            // mask)
        1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0,                // planes, 24 bits, no compression
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0,
        0,                             // bottom row: red, red, padding
        0xFF, 0, 0, 0xFF, 0, 0, 0, 0,  // top row: blue, blue, padding
        0x80, 0, 0, 0,                 // AND mask, bottom row: left transparent
        0x00, 0, 0, 0};                // AND mask, top row: opaque
    return bytes;
}

TEST(DecodeObjectPicture, DecodesByTheFirstBytes) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::int32_t transparent;
        std::vector<std::uint32_t> pixels;  // first frame, 0xTTRRGGBB; empty: no picture
        bool opaque;
    };
    std::vector<std::uint8_t> brokenGif = kTinyGif;
    brokenGif.resize(13);
    std::vector<std::uint8_t> brokenPng = test::SolidRgbPng(2, 1, 0x010203);
    brokenPng.resize(40);
    std::vector<std::uint8_t> gifAsPng = kTinyBmp;
    std::copy_n(brokenPng.begin(), 8, gifAsPng.begin());  // a PNG signature on BMP bytes
    const std::vector<Case> cases = {
        {"GIF with transparency", kTinyGif, -1, {0x112233, kClear}, false},
        {"PNG", test::SolidRgbPng(2, 1, 0x010203), -1, {0x010203, 0x010203}, true},
        {"PNG keyed on its top-left pixel",
         test::SolidRgbPng(2, 1, 0x010203),
         -2,
         {0x010203, 0x010203},
         false},
        {"BMP through the shared decoder, opaque", kTinyBmp, -1, {0x102030, 0x405060}, true},
        {"BMP with an explicit key", kTinyBmp, 0x00302010, {0x102030, 0x405060}, false},
        {"icon drawn over white", TinyIcon(), -1, {0x0000FF, 0x0000FF, 0xFFFFFF, 0xFF0000}, true},
        {"empty", {}, -1, {}, false},
        {"five bytes", {'G', 'I', 'F', '8', '9'}, -1, {}, false},
        {"truncated GIF does not fall back", brokenGif, -1, {}, false},
        {"truncated PNG", brokenPng, -1, {}, false},
        {"PNG signature decides the format", gifAsPng, -1, {}, false},
        {"unknown bytes", {1, 2, 3, 4, 5, 6, 7, 8, 9}, -1, {}, false},
    };
    for (const Case& c : cases) {
        const auto picture = DecodeObjectPicture(c.bytes, c.transparent);
        if (c.pixels.empty()) {
            EXPECT_FALSE(picture) << "case: " << c.name;
            continue;
        }
        ASSERT_TRUE(picture) << "case: " << c.name;
        ASSERT_FALSE(picture->frames.empty()) << "case: " << c.name;
        EXPECT_EQ(picture->frames[0].pixels.pixels, c.pixels) << "case: " << c.name;
        EXPECT_EQ(picture->frames[0].opaque, c.opaque) << "case: " << c.name;
    }
}

}  // namespace
}  // namespace qrlogo
