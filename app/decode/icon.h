#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "app/decode/picture.h"

namespace qrlogo {

// An icon or cursor file: one of its images, chosen from the directory, made into an icon.
std::optional<Picture> DecodeIcon(std::span<const std::uint8_t> bytes);

}  // namespace qrlogo
