#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "service/parameters.h"
#include "tests/support/qr_decode.h"

namespace qrlogo::test {

// What a PNG's chunks say about it, read straight from the bytes.
struct PngFacts {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;
    std::vector<service::Rgb> palette;
    bool hasTransparency = false;
};

// Nothing unless the bytes are a PNG signature, then whole chunks up to and including IEND.
std::optional<PngFacts> ReadPngFacts(std::string_view png);

// Checks the picture is a code laid out as the service promises: every pixel background or
// foreground; a whole number k of pixels per module with k = floor(width / (modules + 2
// margin)); the code centred with the leftover pixels in the quiet zone; every module a uniform
// k × k block.
::testing::AssertionResult HasWholePixelModules(const RgbImage& image, int margin,
                                                service::Rgb background, service::Rgb foreground);

}  // namespace qrlogo::test
