#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace qrlogo {

// The largest picture a decoder accepts. Sizes come from untrusted headers and every buffer is
// taken from AllocateMemory, which ends the program when the heap cannot supply it, so a hostile
// header must be refused before anything is allocated.
constexpr int kMaxPictureSide = 32768;
constexpr std::size_t kMaxPicturePixels = std::size_t{64} * 1024 * 1024;

// A GIF may hold many images; together they stay within the pixel budget of one large picture.
constexpr std::size_t kMaxGifTotalPixels = kMaxPicturePixels;
constexpr std::size_t kMaxGifImages = 4096;
// LZW codes are at most 12 bits wide.
constexpr int kMaxLzwCodes = 4096;
constexpr int kMaxLzwCodeBits = 12;

constexpr int kMaxPaletteEntries = 256;

// The pixel count of a picture of these sides, or none when a side is not positive or the
// picture is larger than the limits above.
constexpr std::optional<std::size_t> PicturePixels(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) {
        return std::nullopt;
    }
    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (pixels > kMaxPicturePixels) return std::nullopt;
    return pixels;
}

// offset + length as a checked sum: none when it wraps or passes `end`.
constexpr std::optional<std::size_t> EndWithin(std::uint64_t offset, std::uint64_t length,
                                               std::size_t end) {
    if (offset > end || length > end - offset) return std::nullopt;
    return static_cast<std::size_t>(offset + length);
}

}  // namespace qrlogo
