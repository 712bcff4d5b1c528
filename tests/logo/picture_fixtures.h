#pragma once

#include <cstdint>
#include <vector>

#include "tests/logo/gif_fixture.h"

namespace qrlogo::test {

// A 2 x 1 24-bit BMP: red on the left, blue on the right.
inline std::vector<std::uint8_t> RedBlueBmp() {
    std::vector<std::uint8_t> bmp = {
        'B',  'M',                        // file header: signature
        62,   0,    0,    0,              // file size
        0,    0,    0,    0,              // reserved
        54,   0,    0,    0,              // pixel data offset
        40,   0,    0,    0,              // information header size
        2,    0,    0,    0,              // width
        1,    0,    0,    0,              // height (bottom-up)
        1,    0,                          // planes
        24,   0,                          // bits per pixel
        0,    0,    0,    0,              // compression: none
        8,    0,    0,    0,              // image size
        0,    0,    0,    0, 0, 0, 0, 0,  // resolution
        0,    0,    0,    0,              // colours used
        0,    0,    0,    0,              // important colours
        0x00, 0x00, 0xFF,                 // pixel 0: blue, green, red = red
        0xFF, 0x00, 0x00,                 // pixel 1: blue
        0,    0,                          // row padding to 4 bytes
    };
    return bmp;
}

// A 2 x 2 24-bit icon, all red, whose AND mask makes its top-left pixel transparent.
inline std::vector<std::uint8_t> RedIconWithHole() {
    return {
        0,    0, 1,    0, 1, 0,           // icon file header: reserved, type 1 (icon), one image
        2,    2, 0,    0,                 // entry: width, height, colour count, reserved
        1,    0, 24,   0,                 // planes, bits per pixel
        64,   0, 0,    0,                 // image size
        22,   0, 0,    0,                 // image offset
        40,   0, 0,    0,                 // bitmap header size
        2,    0, 0,    0,                 // width
        4,    0, 0,    0,                 // height: colour rows and mask rows
        1,    0, 24,   0,                 // planes, bits per pixel
        0,    0, 0,    0,                 // compression
        0,    0, 0,    0,                 // image size
        0,    0, 0,    0, 0, 0,    0, 0,  // resolution
        0,    0, 0,    0, 0, 0,    0, 0,  // colours used, important
        0,    0, 0xFF, 0, 0, 0xFF, 0, 0,  // bottom colour row: red, red, padding
        0,    0, 0xFF, 0, 0, 0xFF, 0, 0,  // top colour row
        0x00, 0, 0,    0,                 // bottom mask row: opaque
        0x80, 0, 0,    0,                 // top mask row: the left pixel is transparent
    };
}

// Colours of the GIF fixtures: 0 red, 1 green, 2 blue, 3 white.
inline const std::vector<RgbColour> kGifColours = {
    {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

// A 4 x 2 animation of three full-screen images, red, green, blue, each with `delay`.
inline std::vector<std::uint8_t> ThreeColourAnimation(int delay = 0) {
    std::vector<GifFrameSpec> frames;
    for (std::uint8_t colour = 0; colour < 3; ++colour) {
        frames.push_back({0, 0, 4, 2, std::vector<std::uint8_t>(8, colour), delay});
    }
    return MakeGif(4, 2, kGifColours, frames);
}

}  // namespace qrlogo::test
