#pragma once

#include <cstdint>
#include <span>

namespace qrlogo {

// Unpacks the LZW data of one GIF image (its sub-blocks joined) into `out`, which receives
// exactly out.size() colour indices. A stream that ends before filling it, by its end code or
// by running out of data, leaves the rest 0, as encoders that stop early expect. False for a
// minimum code size outside 1..11, a literal beyond 255 or a code that names no table entry.
bool DecodeGifLzw(std::span<const std::uint8_t> data, int minimumCodeSize,
                  std::span<std::uint8_t> out);

}  // namespace qrlogo
