#include "qr/area_png.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "qr/area_compose.h"

namespace qrlogo {
namespace {

// libpng reports errors by longjmp back into ReadPng, so everything the jump may cross is
// plain data: the memory source, the header facts and the caller-owned row buffer.
struct MemorySource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

struct PngFacts {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool hasBackground = false;
    std::uint8_t background[3] = {};  // red, green, blue at 8 bits
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->offset) png_error(png, "read past the end");
    std::memcpy(out, source->data + source->offset, length);
    source->offset += length;
}

void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// The bKGD colour at 8 bits per channel, read from the untransformed image's terms.
void ReadBackground(png_structp png, png_infop info, PngFacts& facts) {
    png_color_16p colour = nullptr;
    if (!png_get_bKGD(png, info, &colour) || !colour) return;
    const int colourType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (!png_get_PLTE(png, info, &palette, &count) || colour->index >= count) return;
        facts.background[0] = palette[colour->index].red;
        facts.background[1] = palette[colour->index].green;
        facts.background[2] = palette[colour->index].blue;
    } else {
        const auto to8 = [depth](unsigned v) -> std::uint8_t {
            if (depth == 16) return static_cast<std::uint8_t>(v >> 8);
            const unsigned top = (1u << depth) - 1;
            return static_cast<std::uint8_t>((v & top) * 255 / top);
        };
        if (colourType & PNG_COLOR_MASK_COLOR) {
            facts.background[0] = to8(colour->red);
            facts.background[1] = to8(colour->green);
            facts.background[2] = to8(colour->blue);
        } else {
            facts.background[0] = facts.background[1] = facts.background[2] = to8(colour->gray);
        }
    }
    facts.hasBackground = true;
}

// A tRNS colour that no sample of the image's depth can take marks no pixel, but libpng
// would cut it to the depth and make the wrong pixels transparent.
bool TransparencyIsUnreachable(png_structp png, png_infop info) {
    png_color_16p colour = nullptr;
    if (!png_get_tRNS(png, info, nullptr, nullptr, &colour) || !colour) return false;
    const int colourType = png_get_color_type(png, info);
    const unsigned top = (1u << png_get_bit_depth(png, info)) - 1;
    const bool unreachable = (colourType == PNG_COLOR_TYPE_GRAY && colour->gray > top) ||
                             (colourType == PNG_COLOR_TYPE_RGB &&
                              (colour->red > top || colour->green > top || colour->blue > top));
    return unreachable;
}

// Reads the image as 8-bit RGBA rows into `rgba`. No object with a destructor lives in this
// frame, so libpng's longjmp out of any call below is safe.
bool ReadPng(MemorySource* source, PngFacts* facts, std::vector<std::uint8_t>* rgba) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    // Written after setjmp and read after the jump, so volatile.
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_free(png, rows);
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_user_limits(png, kMaxAreaPngSide, kMaxAreaPngSide);
    png_set_read_fn(png, source, ReadFromMemory);
    png_read_info(png, info);
    facts->width = png_get_image_width(png, info);
    facts->height = png_get_image_height(png, info);
    if (facts->width == 0 || facts->height == 0 || facts->width > kMaxAreaPngSide ||
        facts->height > kMaxAreaPngSide ||
        std::uint64_t{facts->width} * facts->height > kMaxAreaPngPixels) {
        png_error(png, "picture too large");
    }
    ReadBackground(png, info, *facts);

    if (TransparencyIsUnreachable(png, info)) {
        png_set_invalid(png, info, PNG_INFO_tRNS);
        png_set_expand_gray_1_2_4_to_8(png);  // the same expansion without the tRNS colour
    } else {
        png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    }
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{facts->width} * 4) {
        png_error(png, "unexpected row layout");
    }

    const std::size_t stride = std::size_t{facts->width} * 4;
    rgba->resize(stride * facts->height);
    rows = static_cast<png_bytepp>(png_malloc(png, sizeof(png_bytep) * facts->height));
    for (std::uint32_t y = 0; y < facts->height; ++y) rows[y] = rgba->data() + y * stride;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    png_free(png, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

std::optional<PixelBuffer> DecodeAreaPng(std::span<const std::uint8_t> bytes) {
    MemorySource source{bytes.data(), bytes.size(), 0};
    PngFacts facts;
    std::vector<std::uint8_t> rgba;
    if (!ReadPng(&source, &facts, &rgba)) return std::nullopt;

    const int width = static_cast<int>(facts.width), height = static_cast<int>(facts.height);
    PixelBuffer out(width, height);
    const std::uint32_t background =
        Argb(facts.background[0], facts.background[1], facts.background[2]);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const std::uint8_t* p = &rgba[i * 4];
        const std::uint32_t pixel = Argb(p[0], p[1], p[2], static_cast<std::uint8_t>(255 - p[3]));
        out.pixels[i] = facts.hasBackground ? BlendPixel(background, pixel) & 0x00FFFFFF : pixel;
    }
    return out;
}

}  // namespace qrlogo
