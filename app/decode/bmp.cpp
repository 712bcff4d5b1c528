#include "app/decode/bmp.h"

#include <cstdlib>

#include "app/decode/byte_reader.h"
#include "app/decode/limits.h"

namespace qrlogo {
namespace {

constexpr std::size_t kFileHeaderSize = 14;

// The information header sizes of the Windows bitmap versions whose first 40 bytes share one
// layout. The colour table follows the header, so its place depends on the size; the 12-byte
// OS/2 header and unknown sizes are refused.
bool KnownInfoHeaderSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

void ExpandPacked(const std::uint8_t* src, std::uint8_t* dst, std::size_t width, int bits,
                  const std::array<PaletteColour, 256>& palette) {
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (std::size_t x = 0; x < width; ++x) {
        // Pixels of fewer than 8 bits are packed from the most significant bit.
        const int shift = 8 - bits * (1 + static_cast<int>(x % perByte));
        const PaletteColour& c = palette[src[x / perByte] >> shift & mask];
        dst[0] = c.r;
        dst[1] = c.g;
        dst[2] = c.b;
        dst += 3;
    }
}

void ExpandIndexed8(const std::uint8_t* src, std::uint8_t* dst, std::size_t width,
                    const std::array<PaletteColour, 256>& palette) {
    for (std::size_t x = 0; x < width; ++x, dst += 3) {
        const PaletteColour& c = palette[src[x]];
        dst[0] = c.r;
        dst[1] = c.g;
        dst[2] = c.b;
    }
}

void SwapBgr(const std::uint8_t* src, std::uint8_t* dst, std::size_t width, std::size_t step) {
    for (std::size_t x = 0; x < width; ++x, src += step, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

}  // namespace

std::optional<Picture> DecodeBmp(std::span<const std::uint8_t> bytes) {
    ByteReader reader(bytes);
    if (!reader.Skip(10)) return std::nullopt;  // "BM", file size, two reserved words
    const auto dataOffset = reader.U32LE();
    const auto infoSize = reader.U32LE();
    if (!dataOffset || !infoSize || !KnownInfoHeaderSize(*infoSize)) return std::nullopt;
    const auto rawWidth = reader.I32LE();
    const auto rawHeight = reader.I32LE();
    const auto planes = reader.U16LE();
    const auto bitCount = reader.U16LE();
    const auto compression = reader.U32LE();
    // Image size, horizontal and vertical resolution.
    if (!planes || !bitCount || !compression || !reader.Skip(12)) return std::nullopt;
    const auto coloursUsed = reader.U32LE();
    if (!coloursUsed || *compression != 0) return std::nullopt;
    const int bits = *bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;

    // A negative height marks rows stored top row first; only its size counts here and the rows
    // are placed bottom-up all the same, so such a bitmap shows upside down.
    const std::int64_t width = std::llabs(std::int64_t{*rawWidth});
    const std::int64_t height = std::llabs(std::int64_t{*rawHeight});
    const auto pixels = PicturePixels(width, height);
    if (!pixels) return std::nullopt;

    const std::size_t tableStart = kFileHeaderSize + *infoSize;
    std::uint64_t tableEntries = 0;
    if (bits <= 8) tableEntries = *coloursUsed != 0 ? *coloursUsed : 1u << bits;
    const auto tableEnd = EndWithin(tableStart, tableEntries * 4, bytes.size());
    if (!tableEnd || *dataOffset < *tableEnd) return std::nullopt;

    const auto w = static_cast<std::size_t>(width);
    const auto rows = static_cast<std::size_t>(height);
    const std::size_t stride = (w * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    const auto dataEnd = EndWithin(*dataOffset, std::uint64_t{stride} * rows, bytes.size());
    if (!dataEnd) return std::nullopt;

    Picture picture;
    picture.kind = PictureKind::Colour;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    // Indices beyond the table show black.
    std::array<PaletteColour, 256> palette{};
    const std::uint8_t* table = bytes.data() + tableStart;
    for (std::size_t i = 0; i < tableEntries && i < palette.size(); ++i, table += 4) {
        palette[i] = PaletteColour{table[2], table[1], table[0]};
    }

    picture.rgb.resize(*pixels * 3);
    const std::uint8_t* data = bytes.data() + *dataOffset;
    for (std::size_t y = 0; y < rows; ++y) {
        const std::uint8_t* src = data + (rows - 1 - y) * stride;
        std::uint8_t* dst = picture.rgb.data() + y * w * 3;
        switch (bits) {
            case 1:
            case 4:
                ExpandPacked(src, dst, w, bits, palette);
                break;
            case 8:
                ExpandIndexed8(src, dst, w, palette);
                break;
            case 24:
                SwapBgr(src, dst, w, 3);
                break;
            default:
                SwapBgr(src, dst, w, 4);  // the fourth byte is not used
                break;
        }
    }
    return picture;
}

}  // namespace qrlogo
