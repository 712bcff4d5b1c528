#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qrlogo {

// A rectangle in pixels: left/top corner and size. Empty when either side is not positive.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }    // one past the last column
    int Bottom() const { return top + height; }   // one past the last row
    bool IsEmpty() const { return width <= 0 || height <= 0; }
    Rect Intersected(const Rect& other) const {
        const int l = std::max(left, other.left), t = std::max(top, other.top);
        const int r = std::min(Right(), other.Right()), b = std::min(Bottom(), other.Bottom());
        return r > l && b > t ? Rect{l, t, r - l, b - t} : Rect{};
    }
    bool operator==(const Rect&) const = default;
};

// 32-bit pixels as 0xAARRGGBB words (blue, green, red, alpha in memory on our little-endian
// targets), rows from the top, no padding. Alpha 255 is opaque. Our own controls compose into
// these; the platform layer only blits them.
struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    PixelBuffer() = default;
    PixelBuffer(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

    std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const std::uint32_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
    bool IsEmpty() const { return width <= 0 || height <= 0; }
};

constexpr std::uint32_t Argb(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    return std::uint32_t{a} << 24 | std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b;
}
constexpr std::uint8_t RedOf(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 16); }
constexpr std::uint8_t GreenOf(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 8); }
constexpr std::uint8_t BlueOf(std::uint32_t p) { return static_cast<std::uint8_t>(p); }
constexpr std::uint8_t AlphaOf(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 24); }

}  // namespace qrlogo
