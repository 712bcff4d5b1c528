#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include <string>

#include "qr/area_compose.h"
#include "qr/area_gif.h"
#include "tests/area/corpus.h"

namespace qrlogo {
namespace {

// Each GIF of the external corpus: the first frame against the reference's first image on a
// fully transparent canvas, and every frame laid over white against the reference's
// composition of the animation on a white canvas.
TEST(AreaGifConformance, FramesComposeAsTheReferenceDoes) {
    const auto corpus = test::CorpusFolder();
    if (!corpus) GTEST_SKIP() << "no external corpus";
    int firstFrames = 0, animationFrames = 0;
    for (const QJsonValue& value : test::CorpusRecords(*corpus)) {
        const QJsonObject record = value.toObject();
        const std::string file = record["file"].toString().toStdString();
        if (!file.starts_with("gif/")) continue;
        const std::vector<AreaGifFrame> frames = DecodeAreaGif(test::ReadWhole(*corpus / file));
        const QJsonObject first = record["first_frame_on_transparent"].toObject();
        if (first["status"].toString() != "ok") {
            EXPECT_TRUE(frames.empty()) << "file: " << file << " is refused by the reference";
            continue;
        }
        if (frames.empty()) {
            ADD_FAILURE() << "file: " << file << " no frames";
            continue;
        }
        EXPECT_EQ(test::RgbaSha256(frames[0].pixels), first["rgba_sha256"].toString().toStdString())
            << "file: " << file << " first frame";
        ++firstFrames;
        const QJsonArray animation = record["animation_composite"].toArray();
        EXPECT_EQ(static_cast<qsizetype>(frames.size()), animation.size()) << "file: " << file;
        // The reference restores the canvas from before an image for disposal 2 as for 3,
        // where we clear the image's rectangle, so frames after such an image are not compared.
        const QJsonArray images = record["images"].toArray();
        for (qsizetype i = 0; i < animation.size() && i < static_cast<qsizetype>(frames.size());
             ++i) {
            if (i > 0 && images[i - 1].toObject()["disposal"].toInt() == 2) break;
            PixelBuffer overWhite = frames[i].pixels;
            for (std::uint32_t& p : overWhite.pixels) p = BlendPixel(0xFFFFFFFF, p) & 0x00FFFFFF;
            EXPECT_EQ(test::RgbaSha256(overWhite),
                      animation[i].toObject()["rgba_sha256"].toString().toStdString())
                << "file: " << file << " frame " << i;
            ++animationFrames;
        }
    }
    EXPECT_GT(firstFrames, 30);
    EXPECT_GT(animationFrames, 40);
}

}  // namespace
}  // namespace qrlogo
