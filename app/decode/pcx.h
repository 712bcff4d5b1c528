#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "app/decode/picture.h"

namespace qrlogo {

// A run-length encoded PCX of one plane: 8 bits per pixel gives a palette picture, 1 bit per
// pixel a black-and-white one.
std::optional<Picture> DecodePcx(std::span<const std::uint8_t> bytes);

}  // namespace qrlogo
