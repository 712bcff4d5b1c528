#include <gtest/gtest.h>

#include "app/decode/picture.h"
#include "tests/decode/fixtures.h"

namespace qrlogo {
namespace {

using test::BmpSpec;
using test::Bytes;

constexpr std::uint32_t kRed = Argb(255, 0, 0), kGreen = Argb(0, 255, 0), kBlue = Argb(0, 0, 255);
constexpr std::uint32_t kWhite = Argb(255, 255, 255), kBlack = Argb(0, 0, 0);

// Colour table entries are blue, green, red, reserved.
const std::vector<std::array<std::uint8_t, 4>> kTable = {
    {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};

struct GoodCase {
    const char* name;
    BmpSpec spec;
    int width, height;
    std::vector<std::uint32_t> pixels;  // rows from the top
};

TEST(Bmp, DecodesEachDepthRowByRowFromTheBottom) {
    const GoodCase cases[] = {
        // 1 bit: 3 pixels packed from the top bit, each row padded to 4 bytes.
        {"1 bpp",
         {.width = 3,
          .height = 2,
          .bits = 1,
          .coloursUsed = 2,
          .table = {kTable[0], kTable[3]},
          .rows = {{0b1010'0000}, {0b0110'0000}}},
         3,
         2,
         {kRed, kWhite, kWhite, kWhite, kRed, kWhite}},
        // 4 bits: the high nibble is the left pixel; 0 colours used means 16 entries, of which
        // the table gives 4 and the rest show black.
        {"4 bpp",
         {.width = 3,
          .height = 1,
          .bits = 4,
          .table =
              [] {
                  auto t = kTable;
                  t.resize(16, {0, 0, 0, 0});
                  return t;
              }(),
          .rows = {{0x12, 0x30}}},
         3,
         1,
         {kGreen, kBlue, kWhite}},
        {"8 bpp, index beyond the table",
         {.width = 2,
          .height = 1,
          .bits = 8,
          .coloursUsed = 3,
          .table = {kTable[0], kTable[1], kTable[2]},
          .rows = {{2, 200}}},
         2,
         1,
         {kBlue, kBlack}},
        // 24 bits: 3 pixels take 9 bytes and 3 bytes of padding.
        {"24 bpp",
         {.width = 3,
          .height = 2,
          .bits = 24,
          .rows = {{0, 0, 255, 0, 255, 0, 255, 0, 0}, {255, 255, 255, 0, 0, 0, 1, 2, 3}}},
         3,
         2,
         {kWhite, kBlack, Argb(3, 2, 1), kRed, kGreen, kBlue}},
        {"32 bpp ignores the fourth byte",
         {.width = 2, .height = 1, .bits = 32, .rows = {{0, 0, 255, 0x00, 255, 0, 0, 0x7F}}},
         2,
         1,
         {kRed, kBlue}},
        // Rows stored top first are still placed bottom-up: the picture shows upside down.
        {"negative height",
         {.width = 1, .height = -2, .bits = 24, .rows = {{0, 0, 255}, {255, 0, 0}}},
         1,
         2,
         {kBlue, kRed}},
        // The colour table follows the information header, wherever it ends.
        {"108-byte header",
         {.width = 2,
          .height = 1,
          .bits = 8,
          .infoSize = 108,
          .coloursUsed = 2,
          .table = {kTable[0], kTable[1]},
          .rows = {{1, 0}}},
         2,
         1,
         {kGreen, kRed}},
        {"124-byte header",
         {.width = 1,
          .height = 1,
          .bits = 1,
          .infoSize = 124,
          .coloursUsed = 2,
          .table = {kTable[1], kTable[2]},
          .rows = {{0x80}}},
         1,
         1,
         {kBlue}},
        {"rows at a data offset past a gap",
         {.width = 1,
          .height = 1,
          .bits = 8,
          .coloursUsed = 1,
          .table = {kTable[2]},
          .rows = {{0}},
          .gapAfterTable = 6},
         1,
         1,
         {kBlue}},
    };
    for (const GoodCase& c : cases) {
        const auto picture = DecodePicture(test::MakeBmp(c.spec));
        ASSERT_TRUE(picture) << "case: " << c.name;
        EXPECT_EQ(picture->kind, PictureKind::Colour) << "case: " << c.name;
        const PixelBuffer shown = RenderPicture(*picture);
        EXPECT_EQ(shown.width, c.width) << "case: " << c.name;
        EXPECT_EQ(shown.height, c.height) << "case: " << c.name;
        EXPECT_EQ(shown.pixels, c.pixels) << "case: " << c.name;
    }
}

TEST(Bmp, RefusesUnsupportedAndMalformedBitmaps) {
    const BmpSpec good{.width = 2, .height = 2, .bits = 24, .rows = {Bytes(6, 1), Bytes(6, 2)}};
    struct Case {
        const char* name;
        BmpSpec spec;
    };
    const auto with = [&good](auto change) {
        BmpSpec s = good;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"run-length 8", with([](BmpSpec& s) { s.compression = 1; })},
        {"run-length 4", with([](BmpSpec& s) { s.compression = 2; })},
        {"bit fields", with([](BmpSpec& s) { s.compression = 3; })},
        {"16 bpp", with([](BmpSpec& s) { s.bits = 16; })},
        {"2 bpp", with([](BmpSpec& s) { s.bits = 2; })},
        {"0 bpp", with([](BmpSpec& s) { s.bits = 0; })},
        {"OS/2 12-byte header", with([](BmpSpec& s) { s.infoSize = 12; })},
        {"unknown header size", with([](BmpSpec& s) { s.infoSize = 64; })},
        {"zero width", with([](BmpSpec& s) { s.width = 0; })},
        {"zero height", with([](BmpSpec& s) { s.height = 0; })},
        {"side beyond the limit", with([](BmpSpec& s) { s.width = 32769; })},
        {"smallest width", with([](BmpSpec& s) { s.width = INT32_MIN; })},
        {"pixel count beyond the limit", with([](BmpSpec& s) { s.width = s.height = 8193; })},
        {"rows shorter than claimed", with([](BmpSpec& s) { s.height = 3; })},
        {"data offset past the end", with([](BmpSpec& s) { s.dataOffsetShift = 1000; })},
        {"data offset inside the header", with([](BmpSpec& s) { s.dataOffsetShift = -1; })},
        {"data offset inside the colour table",
         {.width = 1,
          .height = 1,
          .bits = 8,
          .coloursUsed = 2,
          .table = {kTable[0], kTable[1]},
          .rows = {{0}},
          .dataOffsetShift = -4}},
        {"colour table beyond the data",
         {.width = 1,
          .height = 1,
          .bits = 8,
          .coloursUsed = 0x40000000,
          .table = {kTable[0]},
          .rows = {{0}}}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(DecodePicture(test::MakeBmp(c.spec))) << "case: " << c.name;
    }
}

}  // namespace
}  // namespace qrlogo
