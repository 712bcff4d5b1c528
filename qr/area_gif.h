#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "app/decode/gif.h"
#include "platform/pixel_buffer.h"

namespace qrlogo {

struct AreaGifFrame {
    PixelBuffer pixels;  // 0xTTRRGGBB, the logical screen's size
    int delayMs = 0;
};

// The frames of a GIF as they appear one after another: each image is drawn onto a canvas of
// the logical screen that starts fully transparent (T 255), its transparent index leaving
// the canvas, and after it is shown its disposal applies (2 clears its rectangle back to
// transparent, 3 restores the canvas from before it). Frames stop at the GIF's total pixel
// budget; the first is always there.
std::vector<AreaGifFrame> ComposeGifFrames(const GifFile& gif);

// DecodeGif then ComposeGifFrames; no frames when the GIF does not decode.
std::vector<AreaGifFrame> DecodeAreaGif(std::span<const std::uint8_t> bytes);

}  // namespace qrlogo
