#pragma once

#include <cstdint>
#include <span>

#include "platform/pixel_buffer.h"
#include "qr/picture_object.h"

namespace qrlogo {

// One pixel of a frame (0xTTRRGGBB) over an opaque destination (0xAARRGGBB): T 0 replaces,
// T 255 leaves, otherwise each channel becomes d + round((s - d) * (255 - T) / 255).
// The result is opaque.
std::uint32_t BlendPixel(std::uint32_t destination, std::uint32_t source);

// Blends `frame` with its top-left corner at (left, top) into `canvas`, within `clip`;
// pixels matching the frame's colour key leave the canvas.
void BlendFrame(PixelBuffer& canvas, const Rect& clip, const AreaFrame& frame, int left, int top);

// Composes `dirty` of `canvas` (client size, like `background`) from the background and the
// visible objects with a picture, in list order, later ones on top. Each pixel is composed
// only from the topmost opaque frame covering it upward, so whatever that frame hides,
// background included, is not touched and the cost does not grow with the objects buried.
void ComposeArea(PixelBuffer& canvas, const PixelBuffer& background, const Rect& dirty,
                 std::span<const PictureObject> objects);

}  // namespace qrlogo
