#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reading QR codes back out of pictures, for tests that check what a code holds.
namespace qrlogo::test {

// A picture as 8-bit RGB, rows from the top, three bytes a pixel.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Any PNG libpng reads, flattened to RGB (transparency dropped). Nothing when it is no PNG.
std::optional<RgbImage> DecodePngToRgb(std::span<const std::uint8_t> png);

// The payload of the QR code in the picture, byte for byte as the code carries it (no
// character set conversion; an ECI designator is not part of it). Nothing when no QR code is
// found. `rgb` holds width × height × 3 bytes.
std::optional<std::string> DecodeQrFromRgb(std::span<const std::uint8_t> rgb, int width,
                                           int height);

// The same for 0xAARRGGBB pixels, rows from the top (the layout of platform/pixel_buffer.h).
std::optional<std::string> DecodeQrFromArgb(std::span<const std::uint32_t> argb, int width,
                                            int height);

// The same for a PNG file's bytes.
std::optional<std::string> DecodeQrFromPng(std::string_view png);

}  // namespace qrlogo::test
