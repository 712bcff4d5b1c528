#include "tests/area/png_builder.h"

#include <zlib.h>

#include <array>
#include <string_view>

namespace qrlogo::test {
namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& payload) {
    PutU32(out, static_cast<std::uint32_t>(payload.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), payload.begin(), payload.end());
    PutU32(out, static_cast<std::uint32_t>(
                    crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt))));
}

int Channels(std::uint8_t colourType) {
    switch (colourType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

// The filtered scanlines (filter type 0) of the image, pass by pass when interlaced.
std::vector<std::uint8_t> Scanlines(const PngLayout& layout) {
    std::vector<std::uint8_t> raw;
    if (!layout.interlaced) {
        for (const auto& row : layout.rows) {
            raw.push_back(0);
            raw.insert(raw.end(), row.begin(), row.end());
        }
        return raw;
    }
    struct Pass {
        std::uint32_t x0, y0, dx, dy;
    };
    constexpr std::array<Pass, 7> kAdam7 = {{{0, 0, 8, 8},
                                             {4, 0, 8, 8},
                                             {0, 4, 4, 8},
                                             {2, 0, 4, 4},
                                             {0, 2, 2, 4},
                                             {1, 0, 2, 2},
                                             {0, 1, 1, 2}}};
    const std::size_t pixelBytes =
        static_cast<std::size_t>(Channels(layout.colourType)) * layout.bitDepth / 8;
    for (const Pass& pass : kAdam7) {
        if (pass.x0 >= layout.width) continue;  // a pass with no columns has no rows either
        for (std::uint32_t y = pass.y0; y < layout.height; y += pass.dy) {
            raw.push_back(0);
            for (std::uint32_t x = pass.x0; x < layout.width; x += pass.dx) {
                const auto* pixel = layout.rows[y].data() + x * pixelBytes;
                raw.insert(raw.end(), pixel, pixel + pixelBytes);
            }
        }
    }
    return raw;
}

}  // namespace

std::vector<std::uint8_t> BuildPng(const PngLayout& layout) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> header;
    PutU32(header, layout.width);
    PutU32(header, layout.height);
    header.push_back(layout.bitDepth);
    header.push_back(layout.colourType);
    header.push_back(0);  // compression: deflate
    header.push_back(0);  // filter method 0
    header.push_back(layout.interlaced ? 1 : 0);
    PutChunk(out, "IHDR", header);
    if (!layout.palette.empty()) PutChunk(out, "PLTE", layout.palette);
    if (!layout.transparency.empty()) PutChunk(out, "tRNS", layout.transparency);
    if (!layout.background.empty()) PutChunk(out, "bKGD", layout.background);
    const std::vector<std::uint8_t> raw = Scanlines(layout);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

std::vector<std::uint8_t> SolidRgbPng(std::uint32_t w, std::uint32_t h, std::uint32_t rgb) {
    PngLayout layout;
    layout.width = w;
    layout.height = h;
    std::vector<std::uint8_t> row;
    for (std::uint32_t x = 0; x < w; ++x) {
        row.insert(row.end(),
                   {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                    static_cast<std::uint8_t>(rgb)});
    }
    layout.rows.assign(h, row);
    return BuildPng(layout);
}

}  // namespace qrlogo::test
