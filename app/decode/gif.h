#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qrlogo {

struct GifColour {
    std::uint8_t r, g, b;
};

struct GifImage {
    int left, top, width, height;  // on the logical screen (may reach beyond it)
    std::vector<std::uint8_t>
        indices;  // width*height colour indices, rows top-down, interlace undone
    std::vector<GifColour> colourTable;  // the table in force: local, else global (may be empty)
    int transparentIndex = -1;           // -1 when no graphic control extension sets transparency
    int disposal = 0;                    // disposal method from the graphic control extension
    int delayCentiseconds = 0;
};

struct GifFile {
    int screenWidth = 0, screenHeight = 0;
    std::vector<GifColour> globalTable;
    int backgroundIndex = 0;
    // File order; the first is always present. Decoding stops at the trailer, at a zero byte
    // where a block should begin, or at the first image that fails (those before it are kept).
    std::vector<GifImage> images;
    bool still = true;  // at most one byte (the trailer) follows the first image
};

// Parses a GIF and decodes all its images, within the limits of app/decode/limits.h. None when
// the header, its global colour table or the first image is unusable.
std::optional<GifFile> DecodeGif(std::span<const std::uint8_t> bytes);

}  // namespace qrlogo
