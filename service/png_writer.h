#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "service/parameters.h"

namespace qrlogo::service {

// Writes a 1-bit palette PNG, rows from the top: each row is ceil(width / 8) bytes, the first
// pixel in the most significant bit, 0 the background and 1 the foreground. A row pointer may
// repeat, so equal rows are kept once. No transparency chunk. Nothing when libpng fails.
std::optional<std::string> WriteTwoColourPng(int width, std::span<const std::uint8_t* const> rows,
                                             Rgb background, Rgb foreground);

}  // namespace qrlogo::service
