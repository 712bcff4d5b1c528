// Feeds arbitrary bytes to the QR display area's decoding (its own PNG and GIF decoders, then
// DecodePicture), with each colour-key mode, and checks the picture it gives is consistent.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "qr/area_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::int32_t transparent = size % 3 == 0 ? -1 : size % 3 == 1 ? -2 : 0x00FFFFFF;
    const auto picture = qrlogo::DecodeObjectPicture(bytes, transparent);
    if (!picture) return 0;
    if (picture->width <= 0 || picture->height <= 0 || picture->frames.empty()) std::abort();
    for (const qrlogo::AreaFrame& frame : picture->frames) {
        if (frame.pixels.width != picture->width || frame.pixels.height != picture->height ||
            frame.pixels.pixels.size() !=
                static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height)) {
            std::abort();
        }
    }
    return 0;
}
