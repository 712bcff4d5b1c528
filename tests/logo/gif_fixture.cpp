#include "tests/logo/gif_fixture.h"

#include <algorithm>
#include <cstddef>

namespace qrlogo::test {
namespace {

void PutU16(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}

// LZW with a minimum code size of 8, every index written as a literal 9-bit code. A clear code
// comes before every 254 literals, so the decoder's table never grows past 9-bit codes.
std::vector<std::uint8_t> EncodeIndices(const std::vector<std::uint8_t>& indices) {
    constexpr int kClear = 256, kEnd = 257, kWidth = 9, kLiteralsPerClear = 254;
    std::vector<std::uint8_t> packed;
    std::uint32_t bits = 0;
    int bitCount = 0;
    const auto put = [&](int code) {
        bits |= static_cast<std::uint32_t>(code) << bitCount;
        bitCount += kWidth;
        while (bitCount >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % kLiteralsPerClear == 0) put(kClear);
        put(indices[i]);
    }
    put(kEnd);
    if (bitCount > 0) packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));

    std::vector<std::uint8_t> blocks{8};  // minimum code size
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
        blocks.push_back(static_cast<std::uint8_t>(n));
        blocks.insert(blocks.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                      packed.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    blocks.push_back(0);  // block terminator
    return blocks;
}

}  // namespace

std::vector<std::uint8_t> MakeGif(int screenWidth, int screenHeight,
                                  const std::vector<RgbColour>& colours,
                                  const std::vector<GifFrameSpec>& frames) {
    int sizeBits = 0;  // the table holds 2^(sizeBits + 1) entries
    while ((2 << sizeBits) < static_cast<int>(colours.size())) ++sizeBits;

    std::vector<std::uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
    PutU16(out, screenWidth);
    PutU16(out, screenHeight);
    out.push_back(static_cast<std::uint8_t>(0x80 | 0x70 | sizeBits));  // global table, 8-bit
    out.push_back(0);                                                  // background index
    out.push_back(0);                                                  // aspect ratio
    for (int i = 0; i < (2 << sizeBits); ++i) {
        const RgbColour c = i < static_cast<int>(colours.size())
                                ? colours[static_cast<std::size_t>(i)]
                                : RgbColour{0, 0, 0};
        out.insert(out.end(), {c.r, c.g, c.b});
    }
    for (const GifFrameSpec& f : frames) {
        // Graphic control extension: disposal in bits 2-4, transparency flag in bit 0.
        out.insert(out.end(), {0x21, 0xF9, 0x04});
        out.push_back(
            static_cast<std::uint8_t>(f.disposal << 2 | (f.transparentIndex >= 0 ? 1 : 0)));
        PutU16(out, f.delayCentiseconds);
        out.push_back(static_cast<std::uint8_t>(f.transparentIndex >= 0 ? f.transparentIndex : 0));
        out.push_back(0);
        // Image descriptor without a local table or interlace.
        out.push_back(0x2C);
        PutU16(out, f.left);
        PutU16(out, f.top);
        PutU16(out, f.width);
        PutU16(out, f.height);
        out.push_back(0);
        const std::vector<std::uint8_t> data = EncodeIndices(f.indices);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);  // trailer
    return out;
}

}  // namespace qrlogo::test
