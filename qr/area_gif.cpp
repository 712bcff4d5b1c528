#include "qr/area_gif.h"

#include <array>
#include <cstddef>

#include "app/decode/limits.h"

namespace qrlogo {
namespace {

constexpr std::uint32_t kClear = 0xFF000000;  // T 255: fully transparent

// The colours of an image's indices, as the logo box shows them: grey levels when the GIF has
// no colour table at all, black for an index beyond the table it has.
std::array<std::uint32_t, 256> Colours(const GifImage& image) {
    std::array<std::uint32_t, 256> colours{};
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        if (image.colourTable.empty()) {
            colours[i] = Argb(level, level, level, 0);
        } else if (i < image.colourTable.size()) {
            const GifColour& c = image.colourTable[i];
            colours[i] = Argb(c.r, c.g, c.b, 0);
        } else {
            colours[i] = Argb(0, 0, 0, 0);
        }
    }
    return colours;
}

Rect OnCanvas(const GifImage& image, const PixelBuffer& canvas) {
    return Rect{image.left, image.top, image.width, image.height}.Intersected(
        Rect{0, 0, canvas.width, canvas.height});
}

void DrawImage(const GifImage& image, PixelBuffer& canvas) {
    const std::array<std::uint32_t, 256> colours = Colours(image);
    const Rect covered = OnCanvas(image, canvas);
    for (int y = covered.top; y < covered.Bottom(); ++y) {
        const std::uint8_t* source = image.indices.data() +
                                     static_cast<std::size_t>(y - image.top) * image.width +
                                     (covered.left - image.left);
        std::uint32_t* target = canvas.Row(y) + covered.left;
        for (int x = 0; x < covered.width; ++x) {
            if (source[x] != image.transparentIndex) target[x] = colours[source[x]];
        }
    }
}

}  // namespace

std::vector<AreaGifFrame> ComposeGifFrames(const GifFile& gif) {
    std::vector<AreaGifFrame> frames;
    if (!PicturePixels(gif.screenWidth, gif.screenHeight)) return frames;
    const std::size_t framePixels = static_cast<std::size_t>(gif.screenWidth) * gif.screenHeight;
    PixelBuffer canvas(gif.screenWidth, gif.screenHeight, kClear);
    PixelBuffer beforeImage;
    std::size_t totalPixels = 0;
    for (const GifImage& image : gif.images) {
        if (!frames.empty() && totalPixels + framePixels > kMaxGifTotalPixels) break;
        totalPixels += framePixels;
        if (image.disposal == 3) beforeImage = canvas;
        DrawImage(image, canvas);
        frames.push_back({canvas, image.delayCentiseconds * 10});
        if (image.disposal == 2) {
            const Rect covered = OnCanvas(image, canvas);
            for (int y = covered.top; y < covered.Bottom(); ++y) {
                std::fill_n(canvas.Row(y) + covered.left, covered.width, kClear);
            }
        } else if (image.disposal == 3) {
            canvas = std::move(beforeImage);
        }
    }
    return frames;
}

std::vector<AreaGifFrame> DecodeAreaGif(std::span<const std::uint8_t> bytes) {
    const std::optional<GifFile> gif = DecodeGif(bytes);
    if (!gif) return {};
    return ComposeGifFrames(*gif);
}

}  // namespace qrlogo
