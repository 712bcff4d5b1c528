#include "capture/snapshot_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace qrlogo {
namespace {

std::vector<std::uint8_t> BytesOf(const ByteSet& set) {
    return std::vector<std::uint8_t>(set.Bytes().begin(), set.Bytes().end());
}

TEST(BmpFileFromPixels, HeaderOfTheQrAreaSize) {
    const auto file = BytesOf(BmpFileFromPixels(PixelBuffer(208, 200, Argb(255, 255, 255))));
    const std::vector<std::uint8_t> header = {
        0x42, 0x4D,              // "BM"
        0xB6, 0xE7, 0x01, 0x00,  // file size 124854
        0x00, 0x00, 0x00, 0x00,  // reserved
        0x36, 0x00, 0x00, 0x00,  // pixel rows at 54
        0x28, 0x00, 0x00, 0x00,  // info header size 40
        0xD0, 0x00, 0x00, 0x00,  // width 208
        0xC8, 0x00, 0x00, 0x00,  // height 200, bottom-up
        0x01, 0x00,              // planes
        0x18, 0x00,              // 24 bits per pixel
        0x00, 0x00, 0x00, 0x00,  // uncompressed
        0x80, 0xE7, 0x01, 0x00,  // image size 124800 = 624 x 200
        0x00, 0x00, 0x00, 0x00,  // horizontal resolution
        0x00, 0x00, 0x00, 0x00,  // vertical resolution
        0x00, 0x00, 0x00, 0x00,  // colours used
        0x00, 0x00, 0x00, 0x00,  // important colours
    };
    ASSERT_EQ(header.size(), 54u);
    ASSERT_EQ(file.size(), 124854u);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 54), header);
}

TEST(BmpFileFromPixels, RowsAreBottomUpBgrPaddedWithZeros) {
    struct Case {
        int width;
        std::size_t stride;
    };
    for (const Case c : {Case{1, 4}, Case{2, 8}, Case{3, 12}, Case{4, 12}, Case{5, 16}}) {
        // Two rows, every pixel its own colour and an alpha that must not show.
        PixelBuffer pixels(c.width, 2);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < c.width; ++x) {
                pixels.At(x, y) =
                    Argb(static_cast<std::uint8_t>(10 * x + 1), static_cast<std::uint8_t>(y + 100),
                         static_cast<std::uint8_t>(200 - x), 0x7F);
            }
        }
        const auto file = BytesOf(BmpFileFromPixels(pixels));
        ASSERT_EQ(file.size(), 54 + 2 * c.stride) << "width " << c.width;
        for (int stored = 0; stored < 2; ++stored) {
            const int y = 1 - stored;  // the first stored row is the bottom one
            const std::size_t start = 54 + stored * c.stride;
            for (int x = 0; x < c.width; ++x) {
                const std::size_t at = start + 3 * static_cast<std::size_t>(x);
                EXPECT_EQ(file[at], 200 - x)
                    << "blue, width " << c.width << " x " << x << " y " << y;
                EXPECT_EQ(file[at + 1], y + 100)
                    << "green, width " << c.width << " x " << x << " y " << y;
                EXPECT_EQ(file[at + 2], 10 * x + 1)
                    << "red, width " << c.width << " x " << x << " y " << y;
            }
            for (std::size_t pad = start + 3 * c.width; pad < start + c.stride; ++pad) {
                EXPECT_EQ(file[pad], 0) << "padding, width " << c.width;
            }
        }
    }
}

TEST(BmpFileFromPixels, TopLeftPixelOpensTheLastStoredRow) {
    PixelBuffer pixels(208, 200, Argb(0, 0, 0));
    pixels.At(0, 0) = Argb(0x11, 0x22, 0x33);
    const auto file = BytesOf(BmpFileFromPixels(pixels));
    const std::size_t lastRow = 54 + 624 * 199;
    EXPECT_EQ((std::vector<std::uint8_t>(file.begin() + lastRow, file.begin() + lastRow + 3)),
              (std::vector<std::uint8_t>{0x33, 0x22, 0x11}));
}

TEST(BmpFileFromPixels, NoFileForAnUnusableBuffer) {
    PixelBuffer mismatched(4, 4);
    mismatched.pixels.resize(15);
    EXPECT_TRUE(BmpFileFromPixels(PixelBuffer()).IsEmpty());
    EXPECT_TRUE(BmpFileFromPixels(PixelBuffer(0, 5)).IsEmpty());
    EXPECT_TRUE(BmpFileFromPixels(mismatched).IsEmpty());
}

TEST(CaptureWindowBitmap, NoWindowGivesNoBytes) {
    EXPECT_TRUE(CaptureWindowBitmap(0).IsEmpty());
    EXPECT_TRUE(CaptureWindowBitmap(0xDEAD).IsEmpty());
}

}  // namespace
}  // namespace qrlogo
