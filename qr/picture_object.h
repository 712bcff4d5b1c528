#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/text.h"
#include "platform/pixel_buffer.h"

namespace qrlogo {

// One frame of an object picture. Its pixels are 0xTTRRGGBB words: the high byte is the
// transparency T (0 opaque, 255 fully transparent), not an alpha; everything that leaves
// the area (the screen, decode-picture's output) converts at its edge.
struct AreaFrame {
    PixelBuffer pixels;
    // A pixel whose red, green and blue equal the key (0x00RRGGBB) leaves what is below it.
    std::optional<std::uint32_t> colourKey;
    int delayMs = 0;
    // Every pixel has T 0 and none matches the key: the frame hides everything under it,
    // which lets painting skip whatever lies below.
    bool opaque = false;
};

// Builds a frame and works out whether it is opaque.
AreaFrame MakeAreaFrame(PixelBuffer pixels, std::optional<std::uint32_t> colourKey, int delayMs);

// What SetObjectPicture makes from bytes: a size and one or more frames of that size.
struct ObjectPicture {
    int width = 0;
    int height = 0;
    std::vector<AreaFrame> frames;
};

// The colour key that the `transparent` argument of SetObjectPicture asks for: none for -1,
// the red, green and blue of `pixels`' top-left pixel for -2, else the key given as
// 0x00BBGGRR, turned into our 0x00RRGGBB order.
std::optional<std::uint32_t> ColourKeyFor(std::int32_t transparent, const PixelBuffer& pixels);

// One entry of the area's object list.
struct PictureObject {
    std::int32_t identifier = 0;
    double left = 0;
    double top = 0;
    bool visible = true;
    Text tag;
    std::int32_t layer = 0;
    // The `transparent` argument of the last SetObjectPicture (-1: none); the frames carry
    // the key it gave.
    std::int32_t transparent = -1;
    // Pictures never change once made, so objects copied from a template share theirs.
    std::shared_ptr<const ObjectPicture> picture;
    std::size_t currentFrame = 0;

    // The frame painted now; null without a picture.
    const AreaFrame* CurrentFrame() const;
    // Where the current frame lies in client coordinates (left and top truncated to whole
    // pixels); empty without a picture.
    Rect Bounds() const;
};

}  // namespace qrlogo
