#include "tests/support/qr_decode.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <png.h>

#include <bit>

namespace qrlogo::test {
namespace {

std::optional<std::string> Decode(const ZXing::ImageView& view) {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid()) return std::nullopt;
    const ZXing::ByteArray& bytes = result.bytes();
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::optional<RgbImage> DecodePngToRgb(std::span<const std::uint8_t> png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return std::nullopt;
    image.format = PNG_FORMAT_RGB;
    RgbImage result;
    result.width = static_cast<int>(image.width);
    result.height = static_cast<int>(image.height);
    result.pixels.resize(PNG_IMAGE_SIZE(image));
    const png_color white{0xff, 0xff, 0xff};
    if (!png_image_finish_read(&image, &white, result.pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return result;
}

std::optional<std::string> DecodeQrFromRgb(std::span<const std::uint8_t> rgb, int width,
                                           int height) {
    if (width <= 0 || height <= 0 ||
        rgb.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        return std::nullopt;
    }
    return Decode(ZXing::ImageView(rgb.data(), width, height, ZXing::ImageFormat::RGB));
}

std::optional<std::string> DecodeQrFromArgb(std::span<const std::uint32_t> argb, int width,
                                            int height) {
    if (width <= 0 || height <= 0 ||
        argb.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return std::nullopt;
    }
    // Each 0xAARRGGBB word lies in memory (little-endian) as B, G, R, A.
    static_assert(std::endian::native == std::endian::little);
    return Decode(ZXing::ImageView(reinterpret_cast<const std::uint8_t*>(argb.data()), width,
                                   height, ZXing::ImageFormat::BGRX));
}

std::optional<std::string> DecodeQrFromPng(std::string_view png) {
    const std::optional<RgbImage> image =
        DecodePngToRgb({reinterpret_cast<const std::uint8_t*>(png.data()), png.size()});
    if (!image) return std::nullopt;
    return DecodeQrFromRgb(image->pixels, image->width, image->height);
}

}  // namespace qrlogo::test
