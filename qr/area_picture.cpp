#include "qr/area_picture.h"

#include <algorithm>
#include <array>
#include <vector>

#include "qr/area_png.h"

namespace qrlogo {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool StartsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

struct DecodedFrame {
    PixelBuffer pixels;
    int delayMs = 0;
};

std::vector<DecodedFrame> DecodeFrames(std::span<const std::uint8_t> bytes) {
    std::vector<DecodedFrame> frames;
    if (StartsWith(bytes, kPngSignature)) {
        if (auto pixels = DecodeAreaPng(bytes)) frames.push_back({std::move(*pixels), 0});
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
