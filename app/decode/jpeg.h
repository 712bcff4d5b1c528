#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "app/decode/picture.h"

namespace qrlogo {

// A JPEG through libjpeg with its default settings, as a colour picture at full size.
std::optional<Picture> DecodeJpeg(std::span<const std::uint8_t> bytes);

}  // namespace qrlogo
