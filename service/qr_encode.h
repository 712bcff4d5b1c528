#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "service/failure.h"
#include "service/parameters.h"

namespace qrlogo::service {

// A QR symbol without its quiet zone: size × size modules, rows from the top.
struct QrMatrix {
    int size = 0;
    std::vector<std::uint8_t> dark;  // 1 for a dark module, row by row

    bool IsDark(int x, int y) const { return dark[static_cast<std::size_t>(y) * size + x] != 0; }
};

// Encodes the bytes at the given level, or, with no level, at H dropping to Q, M and L only
// when the data does not fit version 40 at H. Digits and upper-case runs may use the numeric and
// alphanumeric modes; all else is 8-bit bytes, never Kanji. With `eci` the UTF-8 designator
// (ECI 26) comes first. Data that fits no version is a TextTooLong failure.
Outcome<QrMatrix> EncodeQr(std::string_view data, std::optional<EcLevel> level, bool eci);

}  // namespace qrlogo::service
