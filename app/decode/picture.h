#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "app/decode/gif.h"
#include "platform/icon_image.h"
#include "platform/pixel_buffer.h"

namespace qrlogo {

enum class PictureKind { Colour, Icon, Palette, Mono, Gif };

// Leaves new elements uninitialised. Decoders write every byte of their pixel rows, and zeroing
// a large picture first costs a noticeable part of decoding it.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;  // default-initialisation: no value is written
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        std::construct_at(p, std::forward<Args>(args)...);
    }
};
using PixelBytes = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;

struct PaletteColour {
    std::uint8_t r = 0, g = 0, b = 0;
};

// A decoded picture file. Width and height are always positive; which content member holds
// the pixels depends on the kind.
struct Picture {
    PictureKind kind = PictureKind::Colour;
    int width = 0;  // for a GIF: the logical screen
    int height = 0;
    // Colour: width * height pixels of red, green, blue; rows from the top.
    PixelBytes rgb;
    // Palette: width * height colour indices into `palette`. Mono: width * height values,
    // 0 black and 1 white. Rows from the top.
    std::vector<std::uint8_t> indices;
    std::array<PaletteColour, 256> palette{};
    // Icon: the platform icon with its transparency mask.
    platform::IconImage icon;
    // Gif: the parsed file; its first image is decoded, the others are kept for animation.
    GifFile gif;
};

// Recognises a picture file by its first six bytes (never by a name) and decodes it: BMP,
// JPEG, icon, cursor, GIF and PCX. Anything unrecognised, truncated, corrupt, unsupported or
// beyond the size limits gives none.
std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes);

// The picture at its own full size as the logo box draws it before stretching: alpha 0 where
// an icon is transparent and 255 elsewhere; a GIF's logical screen, white where its first
// image does not cover it, with that image drawn over it without transparency.
PixelBuffer RenderPicture(const Picture& picture);

}  // namespace qrlogo
