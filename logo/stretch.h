#pragma once

#include <cstdint>

#include "platform/pixel_buffer.h"

namespace qrlogo {

// The picture box scales its picture to its own size without keeping the aspect ratio. Both
// scalers work on each channel of 0xAARRGGBB on its own, so they expect opaque pixels: flatten
// a picture with transparent parts onto its background first.

// Smooth scaling for true-colour displays: each target pixel averages the source pixels it
// covers when shrinking, and interpolates linearly between the nearest two when enlarging.
PixelBuffer StretchSmooth(const PixelBuffer& source, int width, int height);

// Scaling for displays of 16 bits per pixel or less: whole source pixels are dropped or
// repeated, each target pixel taking the source pixel under its centre.
PixelBuffer StretchNearest(const PixelBuffer& source, int width, int height);

// The picture laid over an opaque background colour by its alpha: transparent parts of an
// icon show the background.
PixelBuffer FlattenOnto(const PixelBuffer& picture, std::uint32_t background);

}  // namespace qrlogo
