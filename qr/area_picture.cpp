#include "qr/area_picture.h"

#include <algorithm>
#include <array>
#include <vector>

#include "app/decode/picture.h"
#include "qr/area_compose.h"
#include "qr/area_gif.h"
#include "qr/area_png.h"

namespace qrlogo {
namespace {

constexpr std::array<std::uint8_t, 6> kGif87Signature = {'G', 'I', 'F', '8', '7', 'a'};
constexpr std::array<std::uint8_t, 6> kGif89Signature = {'G', 'I', 'F', '8', '9', 'a'};
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool StartsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// One opaque frame from a picture of the shared decoder. An icon's transparent parts are
// drawn over white first, as icons are drawn onto a white bitmap.
PixelBuffer OpaqueFrame(const Picture& picture) {
    PixelBuffer pixels = RenderPicture(picture);
    const std::uint32_t white = Argb(255, 255, 255);
    for (std::uint32_t& p : pixels.pixels) {
        p = BlendPixel(white, (p & 0x00FFFFFF) | std::uint32_t{255u - AlphaOf(p)} << 24) &
            0x00FFFFFF;
    }
    return pixels;
}

struct DecodedFrame {
    PixelBuffer pixels;
    int delayMs = 0;
};

std::vector<DecodedFrame> DecodeFrames(std::span<const std::uint8_t> bytes) {
    std::vector<DecodedFrame> frames;
    if (StartsWith(bytes, kGif87Signature) || StartsWith(bytes, kGif89Signature)) {
        for (AreaGifFrame& frame : DecodeAreaGif(bytes)) {
            frames.push_back({std::move(frame.pixels), frame.delayMs});
        }
    } else if (StartsWith(bytes, kPngSignature)) {
        if (auto pixels = DecodeAreaPng(bytes)) frames.push_back({std::move(*pixels), 0});
    } else if (const std::optional<Picture> picture = DecodePicture(bytes)) {
        frames.push_back({OpaqueFrame(*picture), 0});
    }
    return frames;
}

}  // namespace

std::optional<ObjectPicture> DecodeObjectPicture(std::span<const std::uint8_t> bytes,
                                                 std::int32_t transparent) {
    std::vector<DecodedFrame> frames = DecodeFrames(bytes);
    if (frames.empty() || frames.front().pixels.IsEmpty()) return std::nullopt;
    ObjectPicture picture;
    picture.width = frames.front().pixels.width;
    picture.height = frames.front().pixels.height;
    const std::optional<std::uint32_t> key = ColourKeyFor(transparent, frames.front().pixels);
    for (DecodedFrame& frame : frames) {
        picture.frames.push_back(MakeAreaFrame(std::move(frame.pixels), key, frame.delayMs));
    }
    return picture;
}

}  // namespace qrlogo
