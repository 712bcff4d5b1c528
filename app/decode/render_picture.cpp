#include <algorithm>

#include "app/decode/picture.h"

namespace qrlogo {
namespace {

void RenderGif(const GifFile& gif, PixelBuffer& canvas) {
    const GifImage& image = gif.images.front();
    // A GIF without any colour table shows its indices as grey levels; an index beyond the
    // table it has shows black.
    std::array<std::uint32_t, 256> colours{};
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        if (image.colourTable.empty()) {
            colours[i] = Argb(level, level, level);
        } else if (i < image.colourTable.size()) {
            const GifColour& c = image.colourTable[i];
            colours[i] = Argb(c.r, c.g, c.b);
        } else {
            colours[i] = Argb(0, 0, 0);
        }
    }
    const Rect covered = Rect{image.left, image.top, image.width, image.height}.Intersected(
        Rect{0, 0, canvas.width, canvas.height});
    for (int y = covered.top; y < covered.Bottom(); ++y) {
        const std::uint8_t* src = image.indices.data() +
                                  static_cast<std::size_t>(y - image.top) * image.width +
                                  (covered.left - image.left);
        std::uint32_t* dst = canvas.Row(y) + covered.left;
        for (int x = 0; x < covered.width; ++x) dst[x] = colours[src[x]];
    }
}

}  // namespace

PixelBuffer RenderPicture(const Picture& picture) {
    const std::uint32_t white = Argb(255, 255, 255);
    PixelBuffer out(picture.width, picture.height, white);
    const std::size_t count = out.pixels.size();
    switch (picture.kind) {
        case PictureKind::Colour:
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint8_t* p = picture.rgb.data() + i * 3;
                out.pixels[i] = Argb(p[0], p[1], p[2]);
            }
            break;
        case PictureKind::Icon:
            out.pixels = picture.icon.pixels;
            break;
        case PictureKind::Palette:
            for (std::size_t i = 0; i < count; ++i) {
                const PaletteColour& c = picture.palette[picture.indices[i]];
                out.pixels[i] = Argb(c.r, c.g, c.b);
            }
            break;
        case PictureKind::Mono:
            for (std::size_t i = 0; i < count; ++i)
                out.pixels[i] = picture.indices[i] ? white : Argb(0, 0, 0);
            break;
        case PictureKind::Gif:
            RenderGif(picture.gif, out);
            break;
    }
    return out;
}

}  // namespace qrlogo
