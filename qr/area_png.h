#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/pixel_buffer.h"

namespace qrlogo {

// The largest PNG the area decodes: each side and the pixel count are checked from the
// header before anything is allocated.
constexpr std::uint32_t kMaxAreaPngSide = 32768;
constexpr std::uint64_t kMaxAreaPngPixels = 64ull * 1024 * 1024;

// Decodes PNG bytes through libpng into 0xTTRRGGBB pixels (T = 255 - alpha): palette, grey
// and true colour, interlaced or not, 16-bit samples cut to their high byte, tRNS as
// transparency. When the file gives a background colour (bKGD), partly transparent pixels
// are composited over it and the picture becomes opaque. None for anything libpng refuses.
std::optional<PixelBuffer> DecodeAreaPng(std::span<const std::uint8_t> bytes);

}  // namespace qrlogo
