#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qrlogo::platform {

// An icon ready to draw: its pixels and its transparency mask.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB with straight alpha, rows from the top
    std::vector<std::uint8_t> mask;     // one byte per pixel: 1 where the icon is transparent
};

// Icons are built from untrusted file bytes, so their size is bounded before any allocation.
constexpr int kMaxIconSide = 32768;
constexpr std::size_t kMaxIconPixels = std::size_t{64} * 1024 * 1024;

// Makes an icon from the bytes of one icon-file image: either a device-independent bitmap (an
// information header, a colour table for 1, 4 and 8 bits per pixel, the colour rows, then the
// 1-bit AND mask, the header's height counting both) or PNG data. `width` and `height` ask for
// a size; 0 and 0 let the image choose its own. Icons are not scaled, so a size the image does
// not have, like any malformed or unsupported image, gives none.
std::optional<IconImage> CreateIconFromImage(std::span<const std::uint8_t> image, int width,
                                             int height);

}  // namespace qrlogo::platform
