#include <gtest/gtest.h>

#include <cstdlib>

#include "app/decode/picture.h"
#include "tests/decode/fixtures.h"

namespace qrlogo {
namespace {

using test::Bytes;

Bytes Gradient(int width, int height, int components) {
    Bytes b(static_cast<std::size_t>(width) * height * components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                b[(static_cast<std::size_t>(y) * width + x) * components + c] =
                    static_cast<std::uint8_t>(x * 6 + y * 3 + c * 20);
            }
        }
    }
    return b;
}

TEST(Jpeg, GreyBecomesEqualChannelsAndColourStaysClose) {
    const Bytes grey = Gradient(16, 8, 1);
    const auto g = DecodePicture(test::MakeJpeg(16, 8, 1, grey));
    ASSERT_TRUE(g);
    EXPECT_EQ(g->kind, PictureKind::Colour);
    ASSERT_EQ(g->rgb.size(), grey.size() * 3);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        EXPECT_EQ(g->rgb[i * 3], g->rgb[i * 3 + 1]) << "pixel " << i;
        EXPECT_EQ(g->rgb[i * 3], g->rgb[i * 3 + 2]) << "pixel " << i;
        EXPECT_NEAR(g->rgb[i * 3], grey[i], 8) << "pixel " << i;
    }
    const Bytes colour = Gradient(17, 9, 3);
    const auto c = DecodePicture(test::MakeJpeg(17, 9, 3, colour, 100));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->width, 17);
    EXPECT_EQ(c->height, 9);
    ASSERT_EQ(c->rgb.size(), colour.size());
    for (std::size_t i = 0; i < colour.size(); ++i)
        EXPECT_NEAR(c->rgb[i], colour[i], 12) << "sample " << i;
}

TEST(Jpeg, TruncatedOrCorruptDataGivesNoPicture) {
    const Bytes good = test::MakeJpeg(32, 32, 3, Gradient(32, 32, 3));
    ASSERT_TRUE(DecodePicture(good));
    Bytes noFrame = good;
    // Turn the frame header marker into an unknown one, leaving no frame before the scan.
    for (std::size_t i = 2; i + 1 < noFrame.size(); ++i) {
        if (noFrame[i] == 0xFF && noFrame[i + 1] == 0xC0) {
            noFrame[i + 1] = 0xCC;
            break;
        }
    }
    Bytes badTable = good;
    for (std::size_t i = 2; i + 4 < badTable.size(); ++i) {
        if (badTable[i] == 0xFF && badTable[i + 1] == 0xC4) {
            badTable[i + 4] = 0x7F;  // Huffman table class and number out of range
            break;
        }
    }
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"cut in the middle of the scan",
         Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2))},
        {"only the start marker", Bytes{0xFF, 0xD8, 0xFF, 0xD9, 0, 0}},
        {"no frame header", noFrame},
        {"bad Huffman table", badTable},
    };
    for (const Case& c : cases) EXPECT_FALSE(DecodePicture(c.file)) << "case: " << c.name;
}

}  // namespace
}  // namespace qrlogo
