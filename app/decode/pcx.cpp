#include "app/decode/pcx.h"

#include <algorithm>
#include <vector>

#include "app/decode/byte_reader.h"
#include "app/decode/limits.h"

namespace qrlogo {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 768;
constexpr std::uint8_t kPaletteMarker = 0x0C;
// One run of the encoding gives at most 63 bytes from two, so data that could not fill the
// claimed rows even at that rate is refused before any row buffer is made.
constexpr std::size_t kLongestRun = 63;

// Unpacks one scan line of run-length data. False when the data ends first.
bool DecodeLine(ByteReader& reader, std::uint8_t* line, std::size_t length, std::size_t& pending,
                std::uint8_t& pendingValue) {
    std::size_t filled = 0;
    while (filled < length) {
        if (pending == 0) {
            const auto b = reader.U8();
            if (!b) return false;
            if ((*b & 0xC0) == 0xC0) {
                const auto value = reader.U8();
                if (!value) return false;
                pending = *b & 0x3F;
                pendingValue = *value;
            } else {
                pending = 1;
                pendingValue = *b;
            }
        }
        // Runs may carry on into the next line.
        const std::size_t n = std::min(pending, length - filled);
        std::fill_n(line + filled, n, pendingValue);
        filled += n;
        pending -= n;
    }
    return true;
}

}  // namespace

std::optional<Picture> DecodePcx(std::span<const std::uint8_t> bytes) {
    if (bytes.size() <= kHeaderSize) return std::nullopt;
    ByteReader header(bytes);
    // Manufacturer byte and version.
    if (!header.Skip(2)) return std::nullopt;
    const auto encoding = header.U8();
    const auto bitsPerPixel = header.U8();
    const auto left = header.U16LE();
    const auto top = header.U16LE();
    const auto right = header.U16LE();
    const auto bottom = header.U16LE();
    // Resolution, 16-colour palette, reserved byte.
    if (!encoding || !bitsPerPixel || !bottom || !header.Skip(4 + 48 + 1)) return std::nullopt;
    const auto planes = header.U8();
    const auto bytesPerLine = header.U16LE();
    if (!planes || !bytesPerLine) return std::nullopt;
    if (*encoding != 1 || *planes != 1 || (*bitsPerPixel != 1 && *bitsPerPixel != 8)) {
        return std::nullopt;
    }
    if (*right < *left || *bottom < *top) return std::nullopt;
    const int width = *right - *left + 1;
    const int height = *bottom - *top + 1;
    const auto pixels = PicturePixels(width, height);
    if (!pixels) return std::nullopt;
    const bool mono = *bitsPerPixel == 1;
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t lineBytes = *bytesPerLine;
    if (lineBytes < (mono ? (w + 7) / 8 : w)) return std::nullopt;
    const std::size_t encoded = bytes.size() - kHeaderSize;
    if (lineBytes * static_cast<std::size_t>(height) > encoded * kLongestRun) return std::nullopt;

    Picture picture;
    picture.kind = mono ? PictureKind::Mono : PictureKind::Palette;
    picture.width = width;
    picture.height = height;
    picture.indices.resize(*pixels);
    std::vector<std::uint8_t> line(lineBytes);
    ByteReader reader(bytes, kHeaderSize);
    std::size_t pending = 0;
    std::uint8_t pendingValue = 0;
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        if (!DecodeLine(reader, line.data(), lineBytes, pending, pendingValue)) return std::nullopt;
        std::uint8_t* dst = picture.indices.data() + y * w;
        if (mono) {
            for (std::size_t x = 0; x < w; ++x) dst[x] = line[x >> 3] >> (7 - (x & 7)) & 1;
        } else {
            std::copy_n(line.data(), w, dst);
        }
    }
    if (mono) return picture;

    // The 256-colour table follows the rows after its marker byte; writers put it at the very
    // end of the file, which is where it is looked for when the rows leave bytes over. Without
    // a table the indices show as grey levels.
    const auto tableStartsAt = [&bytes](std::size_t at) {
        return at < bytes.size() && bytes.size() - at > kPaletteSize && bytes[at] == kPaletteMarker;
    };
    std::size_t tableAt = reader.Position();
    if (!tableStartsAt(tableAt) && bytes.size() > kPaletteSize)
        tableAt = bytes.size() - kPaletteSize - 1;
    const bool hasTable = tableStartsAt(tableAt);
    for (std::size_t i = 0; i < picture.palette.size(); ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        picture.palette[i] =
            hasTable ? PaletteColour{bytes[tableAt + 1 + i * 3], bytes[tableAt + 2 + i * 3],
                                     bytes[tableAt + 3 + i * 3]}
                     : PaletteColour{level, level, level};
    }
    return picture;
}

}  // namespace qrlogo
