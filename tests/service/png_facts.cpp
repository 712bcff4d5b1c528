#include "tests/service/png_facts.h"

#include <string>

namespace qrlogo::test {
namespace {

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

service::Rgb PixelAt(const RgbImage& image, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
    return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

}  // namespace

std::optional<PngFacts> ReadPngFacts(std::string_view png) {
    constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
    if (!png.starts_with(kSignature)) return std::nullopt;
    PngFacts facts;
    std::size_t at = kSignature.size();
    // Each chunk: 4-byte length, 4-byte type, the data, 4-byte CRC.
    while (png.size() - at >= 12) {
        const std::uint32_t length = BigEndian32(png, at);
        const std::string_view type = png.substr(at + 4, 4);
        if (png.size() - at - 12 < length) return std::nullopt;
        const std::string_view data = png.substr(at + 8, length);
        if (type == "IHDR" && length == 13) {
            facts.width = BigEndian32(data, 0);
            facts.height = BigEndian32(data, 4);
            facts.bitDepth = static_cast<std::uint8_t>(data[8]);
            facts.colourType = static_cast<std::uint8_t>(data[9]);
        } else if (type == "PLTE") {
            for (std::size_t i = 0; i + 3 <= data.size(); i += 3) {
                facts.palette.push_back({static_cast<std::uint8_t>(data[i]),
                                         static_cast<std::uint8_t>(data[i + 1]),
                                         static_cast<std::uint8_t>(data[i + 2])});
            }
        } else if (type == "tRNS") {
            facts.hasTransparency = true;
        } else if (type == "IEND") {
            return facts;
        }
        at += 12 + length;
    }
    return std::nullopt;
}

::testing::AssertionResult HasWholePixelModules(const RgbImage& image, int margin,
                                                service::Rgb background, service::Rgb foreground) {
    const int width = image.width;
    if (width != image.height) return ::testing::AssertionFailure() << "not square";
    int left = width, right = -1, top = width, bottom = -1;
    for (int y = 0; y < width; ++y) {
        for (int x = 0; x < width; ++x) {
            const service::Rgb pixel = PixelAt(image, x, y);
            if (pixel == background) continue;
            if (!(pixel == foreground)) {
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is neither colour";
            }
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return ::testing::AssertionFailure() << "no dark pixel";
    const int side = right - left + 1;
    if (bottom - top + 1 != side) return ::testing::AssertionFailure() << "code not square";

    // The top row of the top-left finder pattern is seven dark modules.
    int run = 0;
    while (left + run < width && PixelAt(image, left + run, top) == foreground) ++run;
    if (run % 7 != 0 || side % (run / 7) != 0) {
        return ::testing::AssertionFailure() << "finder run " << run << " not 7 whole modules";
    }
    const int moduleSize = run / 7;
    const int modules = side / moduleSize;
    const int span = modules + 2 * margin;
    if (moduleSize != width / span) {
        return ::testing::AssertionFailure()
               << "module size " << moduleSize << ", expected " << width / span;
    }
    const int expectedStart = margin * moduleSize + (width - moduleSize * span) / 2;
    if (left != expectedStart || top != expectedStart) {
        return ::testing::AssertionFailure()
               << "code at " << left << "," << top << ", expected " << expectedStart;
    }
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int cornerX = left + x / moduleSize * moduleSize;
            const int cornerY = top + y / moduleSize * moduleSize;
            if (!(PixelAt(image, left + x, top + y) == PixelAt(image, cornerX, cornerY))) {
                return ::testing::AssertionFailure()
                       << "module at " << cornerX << "," << cornerY << " not uniform";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace qrlogo::test
