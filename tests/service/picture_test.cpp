#include "service/picture.h"

#include <gtest/gtest.h>

#include "service/qr_encode.h"
#include "tests/service/png_facts.h"
#include "tests/support/qr_decode.h"

namespace qrlogo::service {
namespace {

TEST(LayOutPicture, WholePixelModulesCentredInTheQuietZone) {
    struct Case {
        int modules, margin, width;
        int moduleSize, codeStart;
    };
    const Case cases[] = {
        {21, 2, 200, 8, 16},       // 25 modules across, no leftover
        {25, 2, 200, 6, 25},       // 29 across: 26 left over, 13 on each side
        {29, 2, 200, 6, 13},       // 33 across: 2 left over
        {21, 0, 21, 1, 0},         // the smallest picture
        {21, 2, 26, 1, 2},         // 1 odd pixel left over goes right and bottom
        {177, 10, 2000, 10, 115},  // version 40, widest quiet zone, widest picture
    };
    for (const Case& c : cases) {
        const Outcome<PictureLayout> layout = LayOutPicture(c.modules, c.margin, c.width);
        const auto* laidOut = std::get_if<PictureLayout>(&layout);
        ASSERT_NE(laidOut, nullptr) << "case: " << c.modules << "/" << c.margin << "/" << c.width;
        EXPECT_EQ(laidOut->moduleSize, c.moduleSize) << "case: " << c.modules << "/" << c.width;
        EXPECT_EQ(laidOut->codeStart, c.codeStart) << "case: " << c.modules << "/" << c.width;
    }
    const Outcome<PictureLayout> tooSmall = LayOutPicture(21, 2, 24);
    ASSERT_TRUE(std::holds_alternative<Failure>(tooSmall));
    EXPECT_EQ(std::get<Failure>(tooSmall).error, ServiceError::WidthTooSmall);
}

QrMatrix Encoded(std::string_view data, std::optional<EcLevel> level) {
    Outcome<QrMatrix> encoded = EncodeQr(data, level, false);
    EXPECT_TRUE(std::holds_alternative<QrMatrix>(encoded));
    return std::holds_alternative<QrMatrix>(encoded) ? std::get<QrMatrix>(encoded) : QrMatrix{};
}

TEST(EncodeQr, DefaultIsLevelHDroppingOnlyWhenTheDataDoesNotFit) {
    const std::string shortText = "twenty bytes of text";
    EXPECT_EQ(Encoded(shortText, std::nullopt).dark, Encoded(shortText, EcLevel::H).dark);
    EXPECT_NE(Encoded(shortText, std::nullopt).size, Encoded(shortText, EcLevel::L).size);

    // 1300 bytes pass H's 1273 at version 40 and fit Q's 1663; 2000 fit only M and L.
    const std::string overH(1300, 'x');
    EXPECT_EQ(Encoded(overH, std::nullopt).dark, Encoded(overH, EcLevel::Q).dark);
    const std::string overQ(2000, 'x');
    EXPECT_EQ(Encoded(overQ, std::nullopt).dark, Encoded(overQ, EcLevel::M).dark);

    const Outcome<QrMatrix> forcedH = EncodeQr(overQ, EcLevel::H, false);
    ASSERT_TRUE(std::holds_alternative<Failure>(forcedH));
    EXPECT_EQ(std::get<Failure>(forcedH).error, ServiceError::TextTooLong);
}

TEST(EncodeQr, CapacityEndsAtVersion40) {
    EXPECT_EQ(Encoded(std::string(7089, '1'), std::nullopt).size, 177);     // digits, level L
    EXPECT_EQ(Encoded(std::string(2953, '\xe9'), std::nullopt).size, 177);  // bytes, level L
    for (const std::string& tooLong : {std::string(7090, '1'), std::string(2954, '\xe9')}) {
        const Outcome<QrMatrix> encoded = EncodeQr(tooLong, std::nullopt, false);
        ASSERT_TRUE(std::holds_alternative<Failure>(encoded)) << "case: " << tooLong.size();
        EXPECT_EQ(std::get<Failure>(encoded).error, ServiceError::TextTooLong);
    }
}

TEST(RenderQrPng, TwoColourPaletteOfExactlyTheAskedSize) {
    struct Case {
        const char* name;
        int width;
        int margin;
        Rgb background, foreground;
    };
    const Case cases[] = {
        {"the tool's request", 200, 2, {0xff, 0xff, 0xff}, {0xcc, 0, 0}},
        {"odd leftover, no quiet zone", 333, 0, {0xff, 0xff, 0xcc}, {0, 0x33, 0x66}},
        {"widest", 2000, 10, {0xff, 0xff, 0xff}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        RenderParameters parameters;
        parameters.data = "https://example.com/qrlogo?id=42";
        parameters.width = c.width;
        parameters.margin = c.margin;
        parameters.background = c.background;
        parameters.foreground = c.foreground;
        const Outcome<std::string> rendered = RenderQrPng(parameters);
        ASSERT_TRUE(std::holds_alternative<std::string>(rendered)) << "case: " << c.name;
        const std::string& png = std::get<std::string>(rendered);

        const std::optional<test::PngFacts> facts = test::ReadPngFacts(png);
        ASSERT_TRUE(facts) << "case: " << c.name;
        EXPECT_EQ(facts->width, static_cast<std::uint32_t>(c.width)) << "case: " << c.name;
        EXPECT_EQ(facts->height, static_cast<std::uint32_t>(c.width)) << "case: " << c.name;
        EXPECT_EQ(facts->colourType, 3) << "case: " << c.name;
        EXPECT_EQ(facts->bitDepth, 1) << "case: " << c.name;
        EXPECT_EQ(facts->palette, (std::vector<Rgb>{c.background, c.foreground}))
            << "case: " << c.name;
        EXPECT_FALSE(facts->hasTransparency) << "case: " << c.name;

        const std::optional<test::RgbImage> image =
            test::DecodePngToRgb({reinterpret_cast<const std::uint8_t*>(png.data()), png.size()});
        ASSERT_TRUE(image) << "case: " << c.name;
        EXPECT_TRUE(test::HasWholePixelModules(*image, c.margin, c.background, c.foreground))
            << "case: " << c.name;
        EXPECT_EQ(test::DecodeQrFromPng(png), parameters.data) << "case: " << c.name;
    }
}

}  // namespace
}  // namespace qrlogo::service
