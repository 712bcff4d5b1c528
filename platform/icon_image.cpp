#include "platform/icon_image.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>

namespace qrlogo::platform {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}
std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool SizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxIconSide && height <= kMaxIconSide &&
           static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= kMaxIconPixels;
}

bool SizeAsked(int width, int height, int askedWidth, int askedHeight) {
    return (askedWidth == 0 && askedHeight == 0) || (askedWidth == width && askedHeight == height);
}

std::optional<IconImage> IconFromDib(std::span<const std::uint8_t> image, int askedWidth,
                                     int askedHeight) {
    constexpr std::size_t kInfoHeaderSize = 40;
    if (image.size() < kInfoHeaderSize) return std::nullopt;
    const std::uint8_t* h = image.data();
    const std::uint32_t headerSize = ReadU32(h);
    const auto width = static_cast<std::int32_t>(ReadU32(h + 4));
    // The height counts the colour rows and the AND mask rows together.
    const auto doubledHeight = static_cast<std::int32_t>(ReadU32(h + 8));
    const int bitCount = ReadU16(h + 14);
    const std::uint32_t compression = ReadU32(h + 16);
    const std::uint32_t coloursUsed = ReadU32(h + 32);
    if (headerSize < kInfoHeaderSize || headerSize > image.size() || compression != 0) {
        return std::nullopt;
    }
    const std::int32_t height = doubledHeight / 2;
    if (!SizeAllowed(width, height) || !SizeAsked(width, height, askedWidth, askedHeight)) {
        return std::nullopt;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
        return std::nullopt;
    }

    std::array<std::uint32_t, 256> palette{};
    std::size_t tableBytes = 0;
    if (bitCount <= 8) {
        const std::uint64_t entries = coloursUsed != 0 ? coloursUsed : 1u << bitCount;
        tableBytes = entries * 4;
        if (entries > palette.size() || tableBytes > image.size() - headerSize) {
            return std::nullopt;
        }
        const std::uint8_t* t = h + headerSize;
        for (std::size_t i = 0; i < entries; ++i) {
            palette[i] = 0xFF000000u | std::uint32_t{t[i * 4 + 2]} << 16 |
                         std::uint32_t{t[i * 4 + 1]} << 8 | t[i * 4];
        }
    }
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t rows = static_cast<std::size_t>(height);
    const std::size_t colourStride = (w * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
    const std::size_t maskStride = (w + 31) / 32 * 4;
    const std::size_t colourStart = headerSize + tableBytes;
    const std::size_t available = image.size() - colourStart;
    if (colourStride * rows > available || maskStride * rows > available - colourStride * rows) {
        return std::nullopt;
    }

    IconImage icon;
    icon.width = width;
    icon.height = height;
    icon.pixels.resize(w * rows);
    icon.mask.resize(w * rows);
    const std::uint8_t* colourRows = h + colourStart;
    const std::uint8_t* maskRows = colourRows + colourStride * rows;
    bool anyAlpha = false;
    // Both the colour rows and the mask rows are stored bottom row first.
    for (std::size_t y = 0; y < rows; ++y) {
        const std::uint8_t* src = colourRows + (rows - 1 - y) * colourStride;
        const std::uint8_t* maskSrc = maskRows + (rows - 1 - y) * maskStride;
        std::uint32_t* dst = icon.pixels.data() + y * w;
        std::uint8_t* maskDst = icon.mask.data() + y * w;
        switch (bitCount) {
            case 1:
                for (std::size_t x = 0; x < w; ++x)
                    dst[x] = palette[src[x >> 3] >> (7 - (x & 7)) & 1];
                break;
            case 4:
                for (std::size_t x = 0; x < w; ++x) {
                    dst[x] = palette[(x & 1) ? src[x >> 1] & 0x0F : src[x >> 1] >> 4];
                }
                break;
            case 8:
                for (std::size_t x = 0; x < w; ++x) dst[x] = palette[src[x]];
                break;
            case 24:
                for (std::size_t x = 0; x < w; ++x, src += 3) {
                    dst[x] = 0xFF000000u | std::uint32_t{src[2]} << 16 |
                             std::uint32_t{src[1]} << 8 | src[0];
                }
                break;
            default:
                for (std::size_t x = 0; x < w; ++x, src += 4) {
                    dst[x] = ReadU32(src);
                    anyAlpha = anyAlpha || src[3] != 0;
                }
                break;
        }
        for (std::size_t x = 0; x < w; ++x) maskDst[x] = maskSrc[x >> 3] >> (7 - (x & 7)) & 1;
    }
    // A 32-bit image carries its own alpha; one whose alpha bytes are all zero was made for
    // drawing through the mask alone, as older icons are.
    const bool ownAlpha = bitCount == 32 && anyAlpha;
    for (std::size_t i = 0; i < icon.pixels.size(); ++i) {
        if (ownAlpha) {
            icon.mask[i] = (icon.pixels[i] >> 24) == 0 ? 1 : 0;
        } else {
            icon.pixels[i] = (icon.pixels[i] & 0x00FFFFFFu) | (icon.mask[i] ? 0u : 0xFF000000u);
        }
    }
    return icon;
}

struct PngSource {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->bytes.size() - source->position) png_error(png, "truncated");
    std::memcpy(out, source->bytes.data() + source->position, count);
    source->position += count;
}

void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

// Decodes into `icon`, which lives in the caller's frame so that nothing of ours needs
// destroying when libpng jumps back on an error.
bool DecodePngInto(std::span<const std::uint8_t> bytes, int askedWidth, int askedHeight,
                   IconImage& icon, std::vector<png_bytep>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    PngSource source{bytes};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_user_limits(png, kMaxIconSide, kMaxIconSide);
    png_set_read_fn(png, &source, ReadPngBytes);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!SizeAllowed(width, height) ||
        !SizeAsked(static_cast<int>(width), static_cast<int>(height), askedWidth, askedHeight)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    // Deflate packs at most about 1032 bytes into one, so a header claiming rows the data
    // could never hold is refused before the pixels are allocated.
    constexpr std::size_t kMostDeflateExpansion = 1032;
    if ((png_get_rowbytes(png, info) + 1) * height / kMostDeflateExpansion > bytes.size()) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * 4) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    icon.width = static_cast<int>(width);
    icon.height = static_cast<int>(height);
    icon.pixels.resize(std::size_t{width} * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = reinterpret_cast<png_bytep>(icon.pixels.data() + std::size_t{y} * width);
    }
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::optional<IconImage> IconFromPng(std::span<const std::uint8_t> image, int askedWidth,
                                     int askedHeight) {
    IconImage icon;
    std::vector<png_bytep> rows;
    if (!DecodePngInto(image, askedWidth, askedHeight, icon, rows)) return std::nullopt;
    icon.mask.resize(icon.pixels.size());
    for (std::size_t i = 0; i < icon.pixels.size(); ++i) icon.mask[i] = (icon.pixels[i] >> 24) == 0;
    return icon;
}

}  // namespace

std::optional<IconImage> CreateIconFromImage(std::span<const std::uint8_t> image, int width,
                                             int height) {
    if (image.size() >= kPngSignature.size() &&
        std::equal(kPngSignature.begin(), kPngSignature.end(), image.begin())) {
        return IconFromPng(image, width, height);
    }
    return IconFromDib(image, width, height);
}

}  // namespace qrlogo::platform
