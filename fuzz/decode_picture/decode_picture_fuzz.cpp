// Feeds arbitrary bytes to DecodePicture and draws whatever picture comes out, so that reads
// past the data, oversized allocations and bad indices in the drawing show up as well.
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/decode/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = qrlogo::DecodePicture(std::span<const std::uint8_t>(data, size));
    if (picture) {
        const qrlogo::PixelBuffer shown = qrlogo::RenderPicture(*picture);
        if (shown.pixels.size() != static_cast<std::size_t>(picture->width) * picture->height)
            __builtin_trap();
    }
    return 0;
}
