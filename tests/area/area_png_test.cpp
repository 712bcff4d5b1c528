#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "qr/area_compose.h"
#include "qr/area_png.h"
#include "tests/area/corpus.h"
#include "tests/area/png_builder.h"

namespace qrlogo {
namespace {

using test::BuildPng;
using test::PngLayout;

constexpr std::uint32_t Tp(std::uint32_t rgb, std::uint8_t t) {
    return std::uint32_t{t} << 24 | rgb;
}

PngLayout Layout(std::uint32_t w, std::uint32_t h, std::uint8_t depth, std::uint8_t colourType,
                 std::vector<std::vector<std::uint8_t>> rows) {
    PngLayout layout;
    layout.width = w;
    layout.height = h;
    layout.bitDepth = depth;
    layout.colourType = colourType;
    layout.rows = std::move(rows);
    return layout;
}

TEST(DecodeAreaPng, ExpandsEveryLayoutIntoTransparencyPixels) {
    struct Case {
        const char* name;
        PngLayout layout;
        std::vector<std::uint32_t> expected;  // 0xTTRRGGBB, rows from the top
    };
    std::vector<Case> cases;

    PngLayout palette = Layout(4, 1, 2, 3, {{0b00'01'10'11}});  // four 2-bit indices 0, 1, 2, 3
    palette.palette = {255, 0, 0, /**/ 0, 255, 0, /**/ 0, 0, 255, /**/ 9, 8, 7};
    palette.transparency = {0, 128};  // alpha of entries 0 and 1; the rest are opaque
    cases.push_back({"2-bit palette with tRNS",
                     palette,
                     {Tp(0xFF0000, 255), Tp(0x00FF00, 127), 0x0000FF, 0x090807}});

    cases.push_back({"16-bit grey keeps the high byte",
                     Layout(2, 1, 16, 0, {{0x12, 0x34, 0xFF, 0xEE}}),
                     {0x121212, 0xFFFFFF}});

    PngLayout grey4 = Layout(2, 1, 4, 0, {{0x5F}});  // samples 5 and 15
    grey4.transparency = {0x00, 0x05};               // the grey value 5 is transparent
    cases.push_back({"4-bit grey scaled, tRNS grey", grey4, {Tp(0x555555, 255), 0xFFFFFF}});

    PngLayout unreachable = Layout(2, 1, 1, 0, {{0b10'000000}});  // samples 1 and 0
    unreachable.transparency = {0x00, 0xFF};  // grey 255 cannot occur at 1 bit: no pixel matches
    cases.push_back({"tRNS grey beyond the bit depth", unreachable, {0xFFFFFF, 0x000000}});

    cases.push_back({"RGBA: T = 255 - alpha",
                     Layout(2, 1, 8, 6, {{1, 2, 3, 0, 4, 5, 6, 200}}),
                     {Tp(0x010203, 255), Tp(0x040506, 55)}});

    PngLayout rgb16 = Layout(1, 1, 16, 2, {{0xAB, 0x01, 0xCD, 0x02, 0xEF, 0x03}});
    rgb16.transparency = {0xAB, 0x01, 0xCD,
                          0x02, 0xEF, 0x03};  // the exact 16-bit colour is transparent
    cases.push_back({"16-bit RGB with tRNS colour", rgb16, {Tp(0xABCDEF, 255)}});

    cases.push_back({"grey + alpha, 16-bit",
                     Layout(1, 1, 16, 4, {{0x80, 0x00, 0x40, 0x00}}),
                     {Tp(0x808080, 191)}});

    PngLayout keyed = Layout(2, 1, 8, 6, {{255, 0, 0, 128, 0, 0, 255, 255}});
    keyed.background = {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00};  // bKGD: green, 16-bit words
    // red over green at alpha 128: red 0 + round(255 * 128/255), green 255 - 128.
    cases.push_back({"bKGD composites and makes the picture opaque", keyed, {0x807F00, 0x0000FF}});

    PngLayout greyBackground = Layout(1, 1, 8, 4, {{0, 0}});
    greyBackground.background = {0x00, 0x64};
    cases.push_back({"bKGD grey under a clear pixel", greyBackground, {0x646464}});

    PngLayout paletteBackground = Layout(1, 1, 8, 3, {{0}});
    paletteBackground.palette = {10, 20, 30, /**/ 40, 50, 60};
    paletteBackground.transparency = {0};
    paletteBackground.background = {1};  // palette index 1
    cases.push_back({"bKGD palette index", paletteBackground, {0x28323C}});

    std::vector<std::vector<std::uint8_t>> rows;
    std::vector<std::uint32_t> expected;
    for (std::uint32_t y = 0; y < 9; ++y) {
        rows.emplace_back();
        for (std::uint32_t x = 0; x < 10; ++x) {
            const std::uint8_t r = static_cast<std::uint8_t>(x * 25),
                               g = static_cast<std::uint8_t>(y * 28),
                               b = static_cast<std::uint8_t>(x ^ y);
            rows.back().insert(rows.back().end(), {r, g, b});
            expected.push_back(Argb(r, g, b, 0));
        }
    }
    PngLayout interlaced = Layout(10, 9, 8, 2, rows);
    interlaced.interlaced = true;
    cases.push_back({"Adam7 interlaced 10 x 9", interlaced, expected});

    for (const Case& c : cases) {
        const std::optional<PixelBuffer> out = DecodeAreaPng(BuildPng(c.layout));
        ASSERT_TRUE(out) << "case: " << c.name;
        EXPECT_EQ(out->width, static_cast<int>(c.layout.width)) << "case: " << c.name;
        EXPECT_EQ(out->height, static_cast<int>(c.layout.height)) << "case: " << c.name;
        EXPECT_EQ(out->pixels, c.expected) << "case: " << c.name;
    }
}

TEST(DecodeAreaPng, RefusesBrokenAndOversizedFiles) {
    const std::vector<std::uint8_t> good = test::SolidRgbPng(3, 2, 0x102030);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"signature only", {good.begin(), good.begin() + 8}});
    std::vector<std::uint8_t> badCrc = good;
    badCrc[29] ^= 1;  // last byte of the IHDR CRC (8 signature + 8 length/type + 13 payload)
    cases.push_back({"IHDR CRC wrong", badCrc});
    cases.push_back({"no IEND", {good.begin(), good.end() - 12}});
    cases.push_back({"width 0", BuildPng(Layout(0, 1, 8, 2, {{}}))});
    cases.push_back({"side beyond 32768", BuildPng(Layout(32769, 1, 8, 0, {{}}))});
    // Each side allowed but 30000 * 30000 pixels is beyond the count limit; the rows are never
    // read, so the file need not hold them.
    cases.push_back({"pixel count beyond the limit", BuildPng(Layout(30000, 30000, 1, 0, {{}}))});
    cases.push_back({"bit depth 3", BuildPng(Layout(1, 1, 3, 0, {{0}}))});
    for (const Case& c : cases) EXPECT_FALSE(DecodeAreaPng(c.bytes)) << "case: " << c.name;

    for (std::size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(DecodeAreaPng(std::span(good.data(), n))) << "prefix of " << n << " bytes";
    }
}

// Every PNG of the external corpus against the reference decodes: the same size and, pixel
// for pixel, the same RGBA; where the file gives a background colour, the reference pixels
// composited over that colour.
TEST(DecodeAreaPng, AgreesWithTheReferenceDecodesOfTheCorpus) {
    const auto corpus = test::CorpusFolder();
    if (!corpus) GTEST_SKIP() << "no external corpus";
    const QJsonArray records = test::CorpusRecords(*corpus);
    int compared = 0, composited = 0;
    for (const QJsonValue& value : records) {
        const QJsonObject record = value.toObject();
        const std::string file = record["file"].toString().toStdString();
        if (!file.starts_with("png/")) continue;
        const QJsonObject reference = record["reference"].toObject();
        const std::optional<PixelBuffer> out = DecodeAreaPng(test::ReadWhole(*corpus / file));
        if (reference["status"].toString() != "ok") {
            EXPECT_FALSE(out) << "file: " << file;
            continue;
        }
        ASSERT_TRUE(out) << "file: " << file;
        ASSERT_EQ(out->width, reference["width"].toInt()) << "file: " << file;
        ASSERT_EQ(out->height, reference["height"].toInt()) << "file: " << file;
        ++compared;
        if (!reference.contains("bKGD_rgb8") || reference["opaque"].toBool()) {
            EXPECT_EQ(test::RgbaSha256(*out), reference["rgba_sha256"].toString().toStdString())
                << "file: " << file;
            continue;
        }
        // The reference image is an 8-bit RGBA PNG, whose decoding the hashes above check.
        const std::optional<PixelBuffer> straight = DecodeAreaPng(
            test::ReadWhole(*corpus / "reference" / reference["png"].toString().toStdString()));
        ASSERT_TRUE(straight) << "file: " << file;
        const QJsonArray rgb = reference["bKGD_rgb8"].toArray();
        const std::uint32_t background = Argb(static_cast<std::uint8_t>(rgb[0].toInt()),
                                              static_cast<std::uint8_t>(rgb[1].toInt()),
                                              static_cast<std::uint8_t>(rgb[2].toInt()));
        std::vector<std::uint32_t> expected;
        for (std::uint32_t p : straight->pixels)
            expected.push_back(BlendPixel(background, p) & 0x00FFFFFF);
        EXPECT_EQ(out->pixels, expected) << "file: " << file;
        ++composited;
    }
    EXPECT_GT(compared, 150);
    EXPECT_GT(composited, 3);
}

}  // namespace
}  // namespace qrlogo
