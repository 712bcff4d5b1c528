#include "app/decode/gif.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "app/decode/byte_reader.h"
#include "app/decode/gif_lzw.h"
#include "app/decode/limits.h"

namespace qrlogo {
namespace {

constexpr std::size_t kHeaderSize = 13;
constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::size_t kMostIndicesPerLzwByte = 4 * kMaxLzwCodes;

// The settings a graphic control extension gives the image that follows it.
struct GraphicControl {
    int transparentIndex = -1;
    int disposal = 0;
    int delayCentiseconds = 0;
};

std::optional<std::vector<GifColour>> ReadColourTable(ByteReader& reader, int sizeBits) {
    const std::size_t entries = std::size_t{2} << sizeBits;
    const auto bytes = reader.Bytes(entries * 3);
    if (!bytes) return std::nullopt;
    std::vector<GifColour> table(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        table[i] = GifColour{(*bytes)[i * 3], (*bytes)[i * 3 + 1], (*bytes)[i * 3 + 2]};
    }
    return table;
}

// Reads sub-blocks up to their zero terminator, appending their bytes to `data`.
bool ReadSubBlocks(ByteReader& reader, std::vector<std::uint8_t>* data) {
    for (;;) {
        const auto size = reader.U8();
        if (!size) return false;
        if (*size == 0) return true;
        const auto block = reader.Bytes(*size);
        if (!block) return false;
        if (data) data->insert(data->end(), block->begin(), block->end());
    }
}

bool ReadExtension(ByteReader& reader, GraphicControl& control,
                   std::vector<std::uint8_t>& scratch) {
    const auto label = reader.U8();
    if (!label) return false;
    scratch.clear();
    if (!ReadSubBlocks(reader, &scratch)) return false;
    if (*label == kGraphicControlLabel && scratch.size() >= 4) {
        const std::uint8_t packed = scratch[0];
        control.disposal = packed >> 2 & 7;
        control.delayCentiseconds = scratch[1] | scratch[2] << 8;
        control.transparentIndex = (packed & 1) ? scratch[3] : -1;
    }
    return true;
}

// Rows of an interlaced image come in four passes: every 8th row from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
void Deinterlace(std::vector<std::uint8_t>& indices, std::size_t width, std::size_t height) {
    std::vector<std::uint8_t> ordered(indices.size());
    constexpr std::array<std::size_t, 4> kStart = {0, 4, 2, 1};
    constexpr std::array<std::size_t, 4> kStep = {8, 8, 4, 2};
    const std::uint8_t* src = indices.data();
    for (std::size_t pass = 0; pass < 4; ++pass) {
        for (std::size_t y = kStart[pass]; y < height; y += kStep[pass], src += width) {
            std::memcpy(ordered.data() + y * width, src, width);
        }
    }
    indices.swap(ordered);
}

struct ImageBudget {
    std::size_t pixelsLeft = kMaxGifTotalPixels;
};

std::optional<GifImage> ReadImage(ByteReader& reader, const GifFile& file,
                                  const GraphicControl& control, ImageBudget& budget,
                                  std::vector<std::uint8_t>& scratch) {
    const auto left = reader.U16LE();
    const auto top = reader.U16LE();
    const auto width = reader.U16LE();
    const auto height = reader.U16LE();
    const auto packed = reader.U8();
    if (!left || !top || !width || !height || !packed) return std::nullopt;
    const auto pixels = PicturePixels(*width, *height);
    if (!pixels || *pixels > budget.pixelsLeft) return std::nullopt;

    GifImage image;
    image.left = *left;
    image.top = *top;
    image.width = *width;
    image.height = *height;
    image.transparentIndex = control.transparentIndex;
    image.disposal = control.disposal;
    image.delayCentiseconds = control.delayCentiseconds;
    if (*packed & 0x80) {
        auto local = ReadColourTable(reader, *packed & 7);
        if (!local) return std::nullopt;
        image.colourTable = std::move(*local);
    } else {
        image.colourTable = file.globalTable;
    }
    const auto minimumCodeSize = reader.U8();
    if (!minimumCodeSize) return std::nullopt;
    scratch.clear();
    if (!ReadSubBlocks(reader, &scratch)) return std::nullopt;
    // Every code is at least two bits wide and stands for at most 4096 indices, so data that
    // could not fill the image even at that rate is refused before the indices are allocated.
    if (*pixels / kMostIndicesPerLzwByte > scratch.size()) return std::nullopt;
    image.indices.resize(*pixels);
    if (!DecodeGifLzw(scratch, *minimumCodeSize, image.indices)) return std::nullopt;
    if (*packed & 0x40) Deinterlace(image.indices, *width, *height);
    budget.pixelsLeft -= *pixels;
    return image;
}

}  // namespace

std::optional<GifFile> DecodeGif(std::span<const std::uint8_t> bytes) {
    if (bytes.size() <= kHeaderSize) return std::nullopt;
    ByteReader reader(bytes, 6);  // the signature was recognised by the caller's test
    GifFile file;
    const auto screenWidth = reader.U16LE();
    const auto screenHeight = reader.U16LE();
    const auto packed = reader.U8();
    const auto background = reader.U8();
    if (!screenWidth || !screenHeight || !packed || !background || !reader.Skip(1))
        return std::nullopt;
    if (!PicturePixels(*screenWidth, *screenHeight)) return std::nullopt;
    file.screenWidth = *screenWidth;
    file.screenHeight = *screenHeight;
    file.backgroundIndex = *background;
    if (*packed & 0x80) {
        auto global = ReadColourTable(reader, *packed & 7);
        if (!global) return std::nullopt;
        file.globalTable = std::move(*global);
    }

    ImageBudget budget;
    GraphicControl control;
    std::vector<std::uint8_t> scratch;
    std::size_t afterFirstImage = 0;
    while (file.images.size() < kMaxGifImages) {
        const auto introducer = reader.U8();
        if (!introducer || *introducer == kTrailer || *introducer == 0) break;
        if (*introducer == kExtensionIntroducer) {
            if (!ReadExtension(reader, control, scratch)) break;
        } else if (*introducer == kImageSeparator) {
            auto image = ReadImage(reader, file, control, budget, scratch);
            if (!image) break;
            file.images.push_back(std::move(*image));
            if (file.images.size() == 1) afterFirstImage = reader.Position();
            control = GraphicControl{};
        } else {
            break;
        }
    }
    if (file.images.empty()) return std::nullopt;
    file.still = bytes.size() - afterFirstImage <= 1;
    return file;
}

}  // namespace qrlogo
