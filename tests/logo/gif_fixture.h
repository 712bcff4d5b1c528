#pragma once

#include <cstdint>
#include <vector>

namespace qrlogo::test {

// Builds small GIF files for tests: a global colour table and images drawn from it.
struct GifFrameSpec {
    int left = 0, top = 0, width = 1, height = 1;
    std::vector<std::uint8_t> indices;  // width*height, rows from the top
    int delayCentiseconds = 0;
    int disposal = 0;
    int transparentIndex = -1;
};

struct RgbColour {
    std::uint8_t r, g, b;
};

// A GIF89a file: logical screen, a global table of `colours` (padded to a power of two),
// a graphic control extension and an image per frame, then the trailer.
std::vector<std::uint8_t> MakeGif(int screenWidth, int screenHeight,
                                  const std::vector<RgbColour>& colours,
                                  const std::vector<GifFrameSpec>& frames);

}  // namespace qrlogo::test
