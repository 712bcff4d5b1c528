#include "app/decode/icon.h"

#include "app/decode/byte_reader.h"
#include "app/decode/limits.h"

namespace qrlogo {
namespace {

constexpr std::size_t kDirectoryEntrySize = 16;

struct DirectoryEntry {
    std::uint8_t width;
    std::uint8_t colourCount;
    std::uint32_t size;
    std::uint32_t offset;
};

std::optional<DirectoryEntry> ReadEntry(ByteReader& reader) {
    const auto width = reader.U8();
    const auto height = reader.U8();
    const auto colourCount = reader.U8();
    // Reserved byte, then planes and bit count (the hot spot, for a cursor).
    if (!width || !height || !colourCount || !reader.Skip(5)) return std::nullopt;
    const auto size = reader.U32LE();
    const auto offset = reader.U32LE();
    if (!size || !offset) return std::nullopt;
    return DirectoryEntry{*width, *colourCount, *size, *offset};
}

std::optional<platform::IconImage> MakeIcon(std::span<const std::uint8_t> image) {
    // The size asked for comes from the image's bitmap header, whose height counts the AND
    // mask too. PNG data has no such header, so the values read there are refused and the
    // second attempt, which lets the image choose its size, takes it.
    ByteReader sizeFields(image, 4);
    const auto width = sizeFields.I32LE();
    const auto height = sizeFields.I32LE();
    if (width && height && *width != 0 && *height / 2 != 0) {
        if (auto icon = platform::CreateIconFromImage(image, *width, *height / 2)) return icon;
    }
    ByteReader bitCountField(image, 14);
    const auto bitCount = bitCountField.U16LE();
    if (bitCount && *bitCount == 16) return std::nullopt;
    return platform::CreateIconFromImage(image, 0, 0);
}

}  // namespace

std::optional<Picture> DecodeIcon(std::span<const std::uint8_t> bytes) {
    ByteReader reader(bytes);
    if (!reader.Skip(4)) return std::nullopt;  // reserved word, type (icon or cursor)
    const auto count = reader.U16LE();
    if (!count || *count == 0 || reader.Remaining() < std::size_t{*count} * kDirectoryEntrySize) {
        return std::nullopt;
    }
    // The first 32-pixel-wide entry of at least 16 colours, else the last entry. A colour count
    // of 0 stands for 256 colours or more, so such entries never qualify.
    std::optional<DirectoryEntry> chosen;
    for (int i = 0; i < *count; ++i) {
        const auto entry = ReadEntry(reader);
        if (!entry) return std::nullopt;
        chosen = entry;
        if (entry->width == 32 && entry->colourCount > 15) break;
    }
    const auto end = EndWithin(chosen->offset, chosen->size, bytes.size());
    if (!end) return std::nullopt;
    auto icon = MakeIcon(bytes.subspan(chosen->offset, chosen->size));
    if (!icon) return std::nullopt;
    Picture picture;
    picture.kind = PictureKind::Icon;
    picture.width = icon->width;
    picture.height = icon->height;
    picture.icon = std::move(*icon);
    return picture;
}

}  // namespace qrlogo
