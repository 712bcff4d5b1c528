#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "qr/picture_object.h"

namespace qrlogo {

// Decodes picture bytes into an object picture as SetObjectPicture does, by their first
// bytes: a GIF (every frame composed onto a fully transparent canvas) or a PNG through the
// area's own decoders, anything else through DecodePicture as one opaque frame (an icon
// drawn over white first). Every frame gets the colour key `transparent` asks for (see
// ColourKeyFor; -2 takes the first frame's top-left pixel). None when nothing decodes.
std::optional<ObjectPicture> DecodeObjectPicture(std::span<const std::uint8_t> bytes,
                                                 std::int32_t transparent);

}  // namespace qrlogo
