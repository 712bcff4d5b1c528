#include "app/decode/picture.h"

#include <algorithm>
#include <array>

#include "app/decode/bmp.h"
#include "app/decode/icon.h"
#include "app/decode/jpeg.h"
#include "app/decode/pcx.h"

namespace qrlogo {
namespace {

enum class Format { Unknown, Bmp, Jpeg, Icon, Gif, Pcx };

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
    return std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// The first six bytes decide, tested in a fixed order; fewer are never recognised.
Format Recognise(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 6) return Format::Unknown;
    const int count = bytes[4] | bytes[5] << 8;
    if (StartsWith(bytes, {0x42, 0x4D})) return Format::Bmp;
    if (StartsWith(bytes, {0xFF, 0xD8})) return Format::Jpeg;
    if (StartsWith(bytes, {0x00, 0x00, 0x01, 0x00}) && count > 0) return Format::Icon;
    if (StartsWith(bytes, {0x00, 0x00, 0x02, 0x00}) && count > 0) return Format::Icon;  // cursor
    if (StartsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) ||
        StartsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'})) {
        return Format::Gif;
    }
    if (bytes[0] == 0x0A && bytes[1] <= 0x05 && bytes[2] == 0x01 && bytes[3] == 0x08)
        return Format::Pcx;
    if (StartsWith(bytes, {0x0A, 0x03, 0x01, 0x01})) return Format::Pcx;
    return Format::Unknown;
}

std::optional<Picture> DecodeGifPicture(std::span<const std::uint8_t> bytes) {
    auto file = DecodeGif(bytes);
    if (!file) return std::nullopt;
    Picture picture;
    picture.kind = PictureKind::Gif;
    picture.width = file->screenWidth;
    picture.height = file->screenHeight;
    picture.gif = std::move(*file);
    return picture;
}

}  // namespace

std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes) {
    switch (Recognise(bytes)) {
        case Format::Bmp:
            return DecodeBmp(bytes);
        case Format::Jpeg:
            return DecodeJpeg(bytes);
        case Format::Icon:
            return DecodeIcon(bytes);
        case Format::Gif:
            return DecodeGifPicture(bytes);
        case Format::Pcx:
            return DecodePcx(bytes);
        case Format::Unknown:
            break;
    }
    return std::nullopt;
}

}  // namespace qrlogo
