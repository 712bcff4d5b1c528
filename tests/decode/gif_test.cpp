#include <gtest/gtest.h>

#include "app/decode/gif.h"
#include "app/decode/gif_lzw.h"
#include "app/decode/picture.h"
#include "tests/decode/fixtures.h"

namespace qrlogo {
namespace {

using test::Bytes;
using test::GifFrame;
using test::GifSpec;

const std::vector<std::array<std::uint8_t, 3>> kGlobal = {
    {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

Bytes Ramp(int width, int height, int modulo) {
    Bytes b(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 7 % modulo);
    return b;
}

TEST(GifLzw, RoundTripsThroughCodeWidthChangesAndFullTables) {
    struct Case {
        const char* name;
        Bytes indices;
        int minimumCodeSize;
    };
    Bytes noisy(70000);
    std::uint32_t seed = 1;
    for (auto& b : noisy) b = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 24);
    const Case cases[] = {
        {"one index", {3}, 2},
        {"a long run (the code not yet in the table)", Bytes(5000, 1), 2},
        {"ramp", Ramp(300, 300, 4), 2},
        {"noise fills the table and clears it", noisy, 8},
        {"two-colour", Ramp(64, 64, 2), 2},
    };
    for (const Case& c : cases) {
        Bytes out(c.indices.size());
        ASSERT_TRUE(
            DecodeGifLzw(test::EncodeLzw(c.indices, c.minimumCodeSize), c.minimumCodeSize, out))
            << "case: " << c.name;
        EXPECT_EQ(out, c.indices) << "case: " << c.name;
    }
}

TEST(GifLzw, ShortStreamsLeaveZerosAndBadCodesFail) {
    Bytes out(10, 0xAA);
    EXPECT_TRUE(DecodeGifLzw(test::EncodeLzw({1, 2, 3}, 2), 2, out));
    EXPECT_EQ(out, (Bytes{1, 2, 3, 0, 0, 0, 0, 0, 0, 0}));
    // Min code size 2: clear 4, then code 7 names an entry the table does not have yet.
    EXPECT_FALSE(DecodeGifLzw(Bytes{0x3C}, 2, out));
    EXPECT_FALSE(DecodeGifLzw(Bytes{0x04}, 0, out));
    EXPECT_FALSE(DecodeGifLzw(Bytes{0x04}, 12, out));
}

TEST(Gif, StillAndAnimatedFilesKeepEveryImage) {
    GifFrame first{.width = 2, .height = 2, .indices = {0, 1, 2, 3}};
    GifFrame second{.left = 1,
                    .top = 1,
                    .width = 1,
                    .height = 1,
                    .indices = {2},
                    .localTable = {{9, 9, 9}, {8, 8, 8}},
                    .transparentIndex = 1,
                    .disposal = 2,
                    .delay = 7,
                    .control = true};
    const auto still = DecodeGif(
        test::MakeGif({.width = 2, .height = 2, .globalTable = kGlobal, .frames = {first}}));
    const auto noTrailer = DecodeGif(test::MakeGif(
        {.width = 2, .height = 2, .globalTable = kGlobal, .frames = {first}, .trailer = false}));
    const auto animated = DecodeGif(test::MakeGif(
        {.width = 2, .height = 2, .globalTable = kGlobal, .frames = {first, second}}));
    ASSERT_TRUE(still && noTrailer && animated);
    EXPECT_TRUE(still->still);
    EXPECT_TRUE(noTrailer->still);
    EXPECT_FALSE(animated->still);
    ASSERT_EQ(animated->images.size(), 2u);
    const GifImage& b = animated->images[1];
    EXPECT_EQ(b.indices, Bytes{2});
    EXPECT_EQ(b.transparentIndex, 1);
    EXPECT_EQ(b.disposal, 2);
    EXPECT_EQ(b.delayCentiseconds, 7);
    EXPECT_EQ(b.colourTable.size(), 2u);  // the local table is the one in force
    EXPECT_EQ(animated->images[0].colourTable.size(), 4u);
    EXPECT_EQ(animated->images[0].transparentIndex, -1);
}

TEST(Gif, ImagesAfterTheFirstStopAtTheFirstProblem) {
    const GifFrame frame{.width = 1, .height = 1, .indices = {1}};
    Bytes file = test::MakeGif(
        {.width = 1, .height = 1, .globalTable = kGlobal, .frames = {frame, frame, frame}});
    const std::size_t oneFrame = (file.size() - 13 - 12 - 1) / 3;
    Bytes cut(file.begin(), file.end() - static_cast<std::ptrdiff_t>(oneFrame / 2));
    const auto truncated = DecodeGif(cut);
    ASSERT_TRUE(truncated);
    EXPECT_EQ(truncated->images.size(), 2u);
    EXPECT_FALSE(truncated->still);
    Bytes zeroStops = test::MakeGif(
        {.width = 1, .height = 1, .globalTable = kGlobal, .frames = {frame}, .trailer = false});
    zeroStops.push_back(0);
    const Bytes rest = test::MakeGif({.width = 1, .height = 1, .frames = {frame}});
    zeroStops.insert(zeroStops.end(), rest.begin() + 13, rest.end());
    const auto stopped = DecodeGif(zeroStops);
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->images.size(), 1u);
}

TEST(Gif, InterlacedRowsComeBackInOrder) {
    const Bytes indices = Ramp(3, 10, 4);
    const auto gif = DecodeGif(test::MakeGif(
        {.width = 3,
         .height = 10,
         .globalTable = kGlobal,
         .frames = {{.width = 3, .height = 10, .indices = indices, .interlaced = true}}}));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->images[0].indices, indices);
}

TEST(Gif, BoxShowsTheFirstImageOpaqueOnWhiteClippedToTheScreen) {
    // A 2 x 1 image at (1, 1) on a 2 x 2 screen reaches past its right edge; index 1 is the
    // transparent one and still shows its colour.
    const auto picture = DecodePicture(
        test::MakeGif({.width = 2,
                       .height = 2,
                       .globalTable = kGlobal,
                       .frames = {{.left = 1,
                                   .top = 1,
                                   .width = 2,
                                   .height = 1,
                                   .indices = {1, 2},
                                   .transparentIndex = 1,
                                   .control = true},
                                  {.width = 2, .height = 2, .indices = {3, 3, 3, 3}}}}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->kind, PictureKind::Gif);
    EXPECT_EQ(picture->width, 2);
    const std::uint32_t white = Argb(255, 255, 255);
    EXPECT_EQ(RenderPicture(*picture).pixels,
              (std::vector<std::uint32_t>{white, white, white, Argb(255, 0, 0)}));
}

TEST(Gif, RefusesFilesWithoutAUsableFirstImage) {
    const GifFrame frame{.width = 2, .height = 1, .indices = {1, 2}};
    const Bytes good =
        test::MakeGif({.width = 2, .height = 1, .globalTable = kGlobal, .frames = {frame}});
    const auto changed = [&good](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    constexpr std::size_t kImage = 13 + 12;  // header, 4-entry global table
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"header only", Bytes(good.begin(), good.begin() + 13)},
        {"zero screen width", changed(6, 0)},
        {"global table past the end", Bytes(good.begin(), good.begin() + 20)},
        {"no image before the trailer",
         [&] {
             Bytes b(good.begin(), good.begin() + kImage);
             b.push_back(0x3B);
             return b;
         }()},
        {"zero image width", changed(kImage + 5, 0)},
        {"image wider than the limit",
         [&] {
             Bytes b = changed(kImage + 5, 0xFF);
             b[kImage + 6] = 0xFF;
             return b;
         }()},
        {"more pixels than the data could hold",
         [&] {
             Bytes b = changed(kImage + 6, 0x70);  // 28674 x 513 from a two-index stream
             b[kImage + 8] = 2;
             return b;
         }()},
        {"unknown block", changed(kImage, 0x99)},
        {"bad minimum code size", changed(kImage + 10, 0)},
        {"corrupt codes",
         [&] {
             Bytes b = good;
             b[kImage + 12] = 0xFF;  // first data byte: clear code replaced by undefined codes
             return b;
         }()},
        {"sub-block past the end", Bytes(good.begin(), good.end() - 3)},
    };
    for (const Case& c : cases) EXPECT_FALSE(DecodePicture(c.file)) << "case: " << c.name;
}

}  // namespace
}  // namespace qrlogo
