#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "app/decode/picture.h"

namespace qrlogo {

// An uncompressed Windows bitmap of 1, 4, 8, 24 or 32 bits per pixel as a colour picture.
std::optional<Picture> DecodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace qrlogo
