#include "qr/picture_object.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qrlogo {
namespace {

constexpr std::uint32_t kColourMask = 0x00FFFFFF;

// A position truncated towards zero and kept where rectangle arithmetic over any two objects
// (a picture's size added, the span from one object to another) cannot overflow an int.
int WholePixels(double position) {
    constexpr double kLimit = std::numeric_limits<int>::max() / 4;
    if (std::isnan(position)) return 0;
    return static_cast<int>(std::clamp(std::trunc(position), -kLimit, kLimit));
}

}  // namespace

AreaFrame MakeAreaFrame(PixelBuffer pixels, std::optional<std::uint32_t> colourKey, int delayMs) {
    AreaFrame frame;
    frame.opaque = std::all_of(pixels.pixels.begin(), pixels.pixels.end(), [&](std::uint32_t p) {
        return (p >> 24) == 0 && !(colourKey && (p & kColourMask) == *colourKey);
    });
    frame.pixels = std::move(pixels);
    frame.colourKey = colourKey;
    frame.delayMs = delayMs;
    return frame;
}

std::optional<std::uint32_t> ColourKeyFor(std::int32_t transparent, const PixelBuffer& pixels) {
    if (transparent == -1) return std::nullopt;
    if (transparent == -2) {
        if (pixels.IsEmpty()) return std::nullopt;
        return pixels.At(0, 0) & kColourMask;
    }
    const auto bgr = static_cast<std::uint32_t>(transparent);
    return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

const AreaFrame* PictureObject::CurrentFrame() const {
    if (!picture || currentFrame >= picture->frames.size()) return nullptr;
    return &picture->frames[currentFrame];
}

Rect PictureObject::Bounds() const {
    if (!CurrentFrame()) return Rect{};
    return Rect{WholePixels(left), WholePixels(top), picture->width, picture->height};
}

}  // namespace qrlogo
