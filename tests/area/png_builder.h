#pragma once

#include <cstdint>
#include <vector>

namespace qrlogo::test {

// A PNG built chunk by chunk, so a test states every header field and sample it relies on.
struct PngLayout {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    std::uint8_t bitDepth = 8;
    std::uint8_t colourType = 2;             // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    bool interlaced = false;                 // Adam7; needs a bit depth of 8 or 16
    std::vector<std::uint8_t> palette;       // PLTE payload
    std::vector<std::uint8_t> transparency;  // tRNS payload
    std::vector<std::uint8_t> background;    // bKGD payload
    // The samples of each row, packed as the file holds them, without the filter byte.
    std::vector<std::vector<std::uint8_t>> rows;
};

std::vector<std::uint8_t> BuildPng(const PngLayout& layout);

// A w x h 8-bit RGB PNG of one colour (0xRRGGBB).
std::vector<std::uint8_t> SolidRgbPng(std::uint32_t w, std::uint32_t h, std::uint32_t rgb);

}  // namespace qrlogo::test
