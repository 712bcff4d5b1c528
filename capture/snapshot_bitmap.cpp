#include "capture/snapshot_bitmap.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace qrlogo {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelRowsOffset = kFileHeaderSize + kInfoHeaderSize;

class LittleEndianWriter {
public:
    explicit LittleEndianWriter(std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
    void U8(std::uint8_t value) { m_bytes.push_back(value); }
    void U16(std::uint16_t value) {
        U8(static_cast<std::uint8_t>(value));
        U8(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }

private:
    std::vector<std::uint8_t>& m_bytes;
};

}  // namespace

ByteSet BmpFileFromPixels(const PixelBuffer& pixels) {
    if (pixels.IsEmpty()) return {};
    const auto width = static_cast<std::uint64_t>(pixels.width);
    const auto height = static_cast<std::uint64_t>(pixels.height);
    if (pixels.pixels.size() != width * height) return {};
    // 3 bytes a pixel, each row rounded up to a whole number of 32-bit words.
    const std::uint64_t stride = (24 * width + 31) / 32 * 4;
    const std::uint64_t imageSize = stride * height;
    if (imageSize > std::numeric_limits<std::uint32_t>::max() - kPixelRowsOffset) return {};
    const auto fileSize = static_cast<std::uint32_t>(kPixelRowsOffset + imageSize);

    std::vector<std::uint8_t> file;
    file.reserve(fileSize);
    LittleEndianWriter out(file);
    out.U16(0x4D42);                                 // signature "BM"
    out.U32(fileSize);                               // file size
    out.U16(0);                                      // reserved
    out.U16(0);                                      // reserved
    out.U32(kPixelRowsOffset);                       // offset of the pixel rows
    out.U32(kInfoHeaderSize);                        // info header size
    out.I32(pixels.width);                           // width
    out.I32(pixels.height);                          // height; positive: rows bottom-up
    out.U16(1);                                      // planes
    out.U16(24);                                     // bits per pixel
    out.U32(0);                                      // compression: none
    out.U32(static_cast<std::uint32_t>(imageSize));  // image size
    out.I32(0);                                      // horizontal pixels per metre
    out.I32(0);                                      // vertical pixels per metre
    out.U32(0);                                      // colours used: no colour table
    out.U32(0);                                      // important colours

    const std::uint64_t padding = stride - 3 * width;
    // A positive height means the file stores the bottom row first.
    for (int y = pixels.height - 1; y >= 0; --y) {
        const std::uint32_t* row = pixels.Row(y);
        for (int x = 0; x < pixels.width; ++x) {
            out.U8(BlueOf(row[x]));
            out.U8(GreenOf(row[x]));
            out.U8(RedOf(row[x]));
        }
        for (std::uint64_t i = 0; i < padding; ++i) out.U8(0);
    }
    return ByteSet::FromBytes(file);
}

ByteSet CaptureWindowBitmap(platform::WindowHandle window) {
    if (!platform::IsWindow(window)) return {};
    const auto pixels = platform::CaptureWindowPixels(window);
    if (!pixels) return {};
    return BmpFileFromPixels(*pixels);
}

}  // namespace qrlogo
