#pragma once

#include <cstdint>
#include <span>
#include <vector>

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

// For each index k, the bounding box of the visible objects with a picture among objects
// 0 to k (empty when there are none). It changes only with the list, not with painting.
std::vector<Rect> ObjectExtents(std::span<const PictureObject> objects);

// Composes `dirty` of `canvas` (client size, like `background`) from the background and the
// visible objects with a picture, in list order, later ones on top. Each pixel is composed
// only from the topmost opaque frame covering it upward, so whatever that frame hides,
// background included, is not touched. With `extents` (ObjectExtents of `objects`) the walk
// down the list also ends once nothing left uncovered meets any object further down, so the
// cost does not grow with the objects buried.
void ComposeArea(PixelBuffer& canvas, const PixelBuffer& background, const Rect& dirty,
                 std::span<const PictureObject> objects, std::span<const Rect> extents = {});

}  // namespace qrlogo
