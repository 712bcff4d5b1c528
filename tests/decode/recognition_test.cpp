#include <gtest/gtest.h>

#include <string_view>

#include "app/decode/picture.h"
#include "tests/decode/fixtures.h"

namespace qrlogo {
namespace {

using test::Bytes;

// One good file of each kind, for the recognition and truncation tests.
std::vector<std::pair<const char*, Bytes>> GoodFiles() {
    const std::vector<std::array<std::uint8_t, 3>> table = {
        {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    Bytes rgb(8 * 8 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 5);
    const Bytes dib =
        test::MakeIconDib(3, 2, 8, std::vector<std::array<std::uint8_t, 4>>(256, {1, 2, 3, 0}),
                          {{0, 1, 2}, {3, 4, 5}}, {{0x20}, {0x40}});
    return {
        {"bmp 8 bpp", test::MakeBmp({.width = 3,
                                     .height = 2,
                                     .bits = 8,
                                     .coloursUsed = 2,
                                     .table = {{0, 0, 255, 0}, {0, 255, 0, 0}},
                                     .rows = {{0, 1, 1}, {1, 0, 0}}})},
        {"bmp 24 bpp",
         test::MakeBmp({.width = 2, .height = 2, .bits = 24, .rows = {Bytes(6, 9), Bytes(6, 3)}})},
        {"jpeg", test::MakeJpeg(8, 8, 3, rgb)},
        {"icon", test::MakeIconFile(1, {{3, 2, 0, dib}})},
        {"cursor", test::MakeIconFile(2, {{3, 2, 0, dib}})},
        {"icon with png", test::MakeIconFile(1, {{0, 0, 0, test::MakePng(2, 2, Bytes(16, 200))}})},
        {"gif", test::MakeGif(
                    {.width = 3,
                     .height = 2,
                     .globalTable = table,
                     .frames = {{.width = 3, .height = 2, .indices = {0, 1, 2, 3, 2, 1}},
                                {.width = 1, .height = 1, .indices = {3}, .interlaced = true}}})},
        {"pcx 8 bits",
         test::MakePcx(5, 8, 1, 3, 2, 4, {{1, 1, 1, 0}, {2, 3, 3, 0}}, Bytes(768, 0x55))},
        {"pcx 1 bit", test::MakePcx(3, 1, 1, 9, 2, 2, {{0xFF, 0x80}, {0x00, 0x00}}, {})},
    };
}

TEST(DecodePicture, RecognisesFormatsByTheirFirstSixBytesOnly) {
    for (const auto& [name, file] : GoodFiles())
        EXPECT_TRUE(DecodePicture(file)) << "case: " << name;

    const Bytes png = test::MakePng(1, 1, {1, 2, 3, 255});
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"five bytes", {'B', 'M', 0, 0, 0}},
        {"five bytes of an icon", {0, 0, 1, 0, 1}},
        {"PNG", png},
        {"TIFF, little-endian", {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0}},
        {"TIFF, big-endian", {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 0, 0, 0}},
        {"icon with no entries", {0, 0, 1, 0, 0, 0, 1, 2, 3, 4}},
        {"resource type 3", {0, 0, 3, 0, 1, 0, 0, 0, 0, 0}},
        {"GIF of an unknown version", {'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0, 0, 0, 0, 0}},
        {"text", {'h', 'e', 'l', 'l', 'o', '!'}},
    };
    for (const Case& c : cases) EXPECT_FALSE(DecodePicture(c.bytes)) << "case: " << c.name;
}

// Every prefix of a good file gives a picture or none; any picture renders at its own size.
// Run under the sanitizers, this shows reads past the end of the data. Bitmaps and icons need
// all their rows and masks, so no strict prefix of theirs gives a picture.
TEST(DecodePicture, EveryPrefixOfAGoodFileIsSafe) {
    for (const auto& [name, file] : GoodFiles()) {
        for (std::size_t n = 0; n < file.size(); ++n) {
            const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
            const auto picture = DecodePicture(prefix);
            if (!picture) continue;
            const std::string_view kind(name);
            EXPECT_FALSE(kind.starts_with("bmp") || kind == "icon" || kind == "cursor")
                << "case: " << name << ", " << n << " bytes";
            const PixelBuffer shown = RenderPicture(*picture);
            EXPECT_EQ(shown.pixels.size(),
                      static_cast<std::size_t>(picture->width) * picture->height)
                << "case: " << name << ", " << n << " bytes";
        }
    }
}

}  // namespace
}  // namespace qrlogo
