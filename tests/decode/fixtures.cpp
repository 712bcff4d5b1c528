#include "tests/decode/fixtures.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace qrlogo::test {

void PutU16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(Bytes& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

namespace {

void PutRowsPadded(Bytes& out, const std::vector<Bytes>& rows) {
    for (const Bytes& row : rows) {
        out.insert(out.end(), row.begin(), row.end());
        out.resize(out.size() + (4 - row.size() % 4) % 4, 0);
    }
}

void PutInfoHeader(Bytes& out, std::uint32_t size, std::int32_t width, std::int32_t height,
                   int bits, std::uint32_t compression, std::uint32_t coloursUsed) {
    PutU32(out, size);
    PutU32(out, static_cast<std::uint32_t>(width));
    PutU32(out, static_cast<std::uint32_t>(height));
    PutU16(out, 1);  // planes
    PutU16(out, static_cast<std::uint32_t>(bits));
    PutU32(out, compression);
    PutU32(out, 0);     // image size
    PutU32(out, 2835);  // horizontal pixels per metre
    PutU32(out, 2835);  // vertical pixels per metre
    PutU32(out, coloursUsed);
    PutU32(out, 0);  // important colours
    // Larger headers carry masks, colour space and profile fields after these 40 bytes; their
    // content does not matter here, so they are left zero.
    out.resize(out.size() + (size > 40 ? size - 40 : 0), 0);
}

}  // namespace

Bytes MakeBmp(const BmpSpec& spec) {
    Bytes out;
    const std::size_t tableBytes = spec.table.size() * 4;
    const std::size_t dataOffset =
        14 + spec.infoSize + tableBytes + static_cast<std::size_t>(spec.gapAfterTable);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, 0);  // file size, which readers ignore
    PutU32(out, 0);  // reserved
    PutU32(out, static_cast<std::uint32_t>(static_cast<int>(dataOffset) + spec.dataOffsetShift));
    PutInfoHeader(out, spec.infoSize, spec.width, spec.height, spec.bits, spec.compression,
                  spec.coloursUsed);
    for (const auto& entry : spec.table) out.insert(out.end(), entry.begin(), entry.end());
    out.resize(out.size() + static_cast<std::size_t>(spec.gapAfterTable), 0xEE);
    PutRowsPadded(out, spec.rows);
    return out;
}

Bytes MakeIconDib(int width, int height, int bits,
                  const std::vector<std::array<std::uint8_t, 4>>& table,
                  const std::vector<Bytes>& colourRows, const std::vector<Bytes>& maskRows) {
    Bytes out;
    PutInfoHeader(out, 40, width, height * 2, bits, 0, 0);
    for (const auto& entry : table) out.insert(out.end(), entry.begin(), entry.end());
    PutRowsPadded(out, colourRows);
    PutRowsPadded(out, maskRows);
    return out;
}

Bytes MakeIconFile(int type, const std::vector<IconEntry>& entries) {
    Bytes out;
    PutU16(out, 0);  // reserved
    PutU16(out, static_cast<std::uint32_t>(type));
    PutU16(out, static_cast<std::uint32_t>(entries.size()));
    std::size_t offset = 6 + 16 * entries.size();
    for (const IconEntry& e : entries) {
        out.push_back(e.widthByte);
        out.push_back(e.heightByte);
        out.push_back(e.colourCount);
        out.push_back(0);  // reserved
        PutU16(out, 1);    // planes (hot spot x of a cursor)
        // Bit count (hot spot y of a cursor): the image's own, as writers fill it in.
        const bool dib = e.image.size() >= 16 && e.image[0] == 40;
        PutU16(out, dib ? static_cast<std::uint32_t>(e.image[14] | e.image[15] << 8) : 32);
        PutU32(out, static_cast<std::uint32_t>(e.image.size()));
        PutU32(out, static_cast<std::uint32_t>(offset));
        offset += e.image.size();
    }
    for (const IconEntry& e : entries) out.insert(out.end(), e.image.begin(), e.image.end());
    return out;
}

Bytes MakePng(int width, int height, const Bytes& rgba) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgba.data() + static_cast<std::size_t>(y) * width * 4);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes EncodeLzw(const Bytes& indices, int minimumCodeSize) {
    Bytes out;
    std::uint32_t buffer = 0;
    int bitCount = 0;
    int width = minimumCodeSize + 1;
    const auto emit = [&](int code) {
        buffer |= static_cast<std::uint32_t>(code) << bitCount;
        bitCount += width;
        while (bitCount >= 8) {
            out.push_back(static_cast<std::uint8_t>(buffer));
            buffer >>= 8;
            bitCount -= 8;
        }
    };
    const int clear = 1 << minimumCodeSize;
    int next = clear + 2;
    std::map<std::pair<int, int>, int> table;
    emit(clear);
    int prefix = -1;
    for (const std::uint8_t index : indices) {
        if (prefix < 0) {
            prefix = index;
            continue;
        }
        if (const auto it = table.find({prefix, index}); it != table.end()) {
            prefix = it->second;
            continue;
        }
        emit(prefix);
        if (next < 4096) {
            table[{prefix, index}] = next++;
            // The decoder learns each entry one code later, so the width rises one code late.
            if (next > (1 << width) && width < 12) ++width;
        } else {
            emit(clear);
            table.clear();
            next = clear + 2;
            width = minimumCodeSize + 1;
        }
        prefix = index;
    }
    if (prefix >= 0) emit(prefix);
    emit(clear + 1);
    if (bitCount > 0) out.push_back(static_cast<std::uint8_t>(buffer));
    return out;
}

namespace {

int TableSizeBits(std::size_t entries) {
    int bits = 0;
    while ((std::size_t{2} << bits) < entries) ++bits;
    return bits;
}

void PutTable(Bytes& out, const std::vector<std::array<std::uint8_t, 3>>& table) {
    for (const auto& c : table) out.insert(out.end(), c.begin(), c.end());
    out.resize(out.size() + ((std::size_t{2} << TableSizeBits(table.size())) - table.size()) * 3,
               0);
}

Bytes Interlace(const Bytes& indices, int width, int height) {
    Bytes out;
    const int starts[] = {0, 4, 2, 1};
    const int steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = starts[pass]; y < height; y += steps[pass]) {
            out.insert(out.end(), indices.begin() + y * width, indices.begin() + (y + 1) * width);
        }
    }
    return out;
}

}  // namespace

Bytes MakeGif(const GifSpec& spec) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    PutU16(out, static_cast<std::uint32_t>(spec.width));
    PutU16(out, static_cast<std::uint32_t>(spec.height));
    const bool global = !spec.globalTable.empty();
    out.push_back(
        static_cast<std::uint8_t>(global ? 0x80 | TableSizeBits(spec.globalTable.size()) : 0));
    out.push_back(0);  // background index
    out.push_back(0);  // aspect ratio
    if (global) PutTable(out, spec.globalTable);
    for (const GifFrame& f : spec.frames) {
        if (f.control) {
            out.insert(out.end(), {0x21, 0xF9, 4});
            out.push_back(
                static_cast<std::uint8_t>(f.disposal << 2 | (f.transparentIndex >= 0 ? 1 : 0)));
            PutU16(out, static_cast<std::uint32_t>(f.delay));
            out.push_back(
                static_cast<std::uint8_t>(f.transparentIndex >= 0 ? f.transparentIndex : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        PutU16(out, static_cast<std::uint32_t>(f.left));
        PutU16(out, static_cast<std::uint32_t>(f.top));
        PutU16(out, static_cast<std::uint32_t>(f.width));
        PutU16(out, static_cast<std::uint32_t>(f.height));
        const bool local = !f.localTable.empty();
        out.push_back(static_cast<std::uint8_t>(
            (local ? 0x80 | TableSizeBits(f.localTable.size()) : 0) | (f.interlaced ? 0x40 : 0)));
        if (local) PutTable(out, f.localTable);
        const int minimumCodeSize = 8;
        out.push_back(minimumCodeSize);
        const Bytes data = EncodeLzw(
            f.interlaced ? Interlace(f.indices, f.width, f.height) : f.indices, minimumCodeSize);
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - at);
            out.push_back(static_cast<std::uint8_t>(n));
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                       data.begin() + static_cast<std::ptrdiff_t>(at + n));
        }
        out.push_back(0);
    }
    if (spec.trailer) out.push_back(0x3B);
    return out;
}

Bytes MakePcx(int version, int bits, int planes, int width, int height, int bytesPerLine,
              const std::vector<Bytes>& lines, const Bytes& palette) {
    Bytes out = {0x0A, static_cast<std::uint8_t>(version), 1, static_cast<std::uint8_t>(bits)};
    PutU16(out, 0);                                       // left
    PutU16(out, 0);                                       // top
    PutU16(out, static_cast<std::uint32_t>(width - 1));   // right
    PutU16(out, static_cast<std::uint32_t>(height - 1));  // bottom
    PutU16(out, 72);                                      // horizontal resolution
    PutU16(out, 72);                                      // vertical resolution
    out.resize(out.size() + 48 + 1, 0);                   // 16-colour palette, reserved
    out.push_back(static_cast<std::uint8_t>(planes));
    PutU16(out, static_cast<std::uint32_t>(bytesPerLine));
    out.resize(128, 0);
    for (const Bytes& line : lines) {
        for (std::size_t i = 0; i < line.size();) {
            std::size_t run = 1;
            while (i + run < line.size() && line[i + run] == line[i] && run < 63) ++run;
            if (run > 1 || line[i] >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
            out.push_back(line[i]);
            i += run;
        }
    }
    if (!palette.empty()) {
        out.push_back(0x0C);
        out.insert(out.end(), palette.begin(), palette.end());
    }
    return out;
}

Bytes MakeJpeg(int width, int height, int components, const Bytes& samples, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<JSAMPROW>(samples.data() +
                                         std::size_t{cinfo.next_scanline} * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace qrlogo::test
