#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Builders of small picture files for the decoder tests. Each writes its header fields in file
// order; the tests choose the field values that show a fault.
namespace qrlogo::test {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& out, std::uint32_t v);
void PutU32(Bytes& out, std::uint32_t v);

struct BmpSpec {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 24;
    std::uint32_t infoSize = 40;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::vector<std::array<std::uint8_t, 4>> table{};  // blue, green, red, reserved
    std::vector<Bytes> rows{};  // in file order (bottom row first), without padding
    int gapAfterTable = 0;      // bytes between the colour table and the rows
    int dataOffsetShift = 0;    // moves the data offset field away from where the rows are
};
Bytes MakeBmp(const BmpSpec& spec);

// One image of an icon file: the information header (height doubled), colour table, colour
// rows and AND mask rows, both bottom row first and padded to 4 bytes here.
Bytes MakeIconDib(int width, int height, int bits,
                  const std::vector<std::array<std::uint8_t, 4>>& table,
                  const std::vector<Bytes>& colourRows, const std::vector<Bytes>& maskRows);

struct IconEntry {
    std::uint8_t widthByte = 0;
    std::uint8_t heightByte = 0;
    std::uint8_t colourCount = 0;
    Bytes image{};
};
// type 1 is an icon file, 2 a cursor file.
Bytes MakeIconFile(int type, const std::vector<IconEntry>& entries);

// RGBA pixels as a PNG file, through libpng.
Bytes MakePng(int width, int height, const Bytes& rgba);

// A GIF LZW stream of the indices as a real encoder writes it: the table grows, the code
// width rises with it, and a clear code starts over when the table is full.
Bytes EncodeLzw(const Bytes& indices, int minimumCodeSize);

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    Bytes indices{};  // rows from the top, in display order
    std::vector<std::array<std::uint8_t, 3>> localTable{};
    bool interlaced = false;
    int transparentIndex = -1;
    int disposal = 0;
    int delay = 0;
    bool control = false;  // write a graphic control extension
};
struct GifSpec {
    int width = 0, height = 0;
    std::vector<std::array<std::uint8_t, 3>> globalTable{};  // 2, 4, ... 256 entries
    std::vector<GifFrame> frames{};
    bool trailer = true;
};
Bytes MakeGif(const GifSpec& spec);

// A PCX whose scan lines (bytesPerLine each) are run-length encoded; `palette` (768 bytes)
// follows a 0C byte when not empty.
Bytes MakePcx(int version, int bits, int planes, int width, int height, int bytesPerLine,
              const std::vector<Bytes>& lines, const Bytes& palette);

// A JPEG through libjpeg: components 1 (grey) or 3 (RGB).
Bytes MakeJpeg(int width, int height, int components, const Bytes& samples, int quality = 95);

}  // namespace qrlogo::test
