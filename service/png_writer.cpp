#include "service/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <new>

namespace qrlogo::service {
namespace {

// The pictures are two colours in large runs, which the fastest level already packs well.
constexpr int kCompressionLevel = 1;

// Owns a libpng write structure and its info structure.
class PngWriteStruct {
public:
    PngWriteStruct()
        : m_png(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning)),
          m_info(m_png ? png_create_info_struct(m_png) : nullptr) {}
    ~PngWriteStruct() { png_destroy_write_struct(&m_png, &m_info); }
    PngWriteStruct(const PngWriteStruct&) = delete;
    PngWriteStruct& operator=(const PngWriteStruct&) = delete;

    png_structp Png() const { return m_png; }
    png_infop Info() const { return m_info; }

private:
    // Errors jump back to the setjmp in WriteChunks; warnings are of no use to a client.
    static void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
    static void OnWarning(png_structp, png_const_charp) {}

    png_structp m_png;
    png_infop m_info;
};

void AppendToString(png_structp png, png_bytep data, png_size_t length) {
    auto* output = static_cast<std::string*>(png_get_io_ptr(png));
    bool appended = true;
    try {
        output->append(reinterpret_cast<const char*>(data), length);
    } catch (const std::bad_alloc&) {
        appended = false;
    }
    // Outside the handler: the jump must not leave a C++ exception half handled.
    if (!appended) png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

// Kept free of objects with destructors, since a libpng error jumps out of it with longjmp.
bool WriteChunks(png_structp png, png_infop info, int width, int height, png_colorp palette,
                 png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    // IHDR: width, height, bit depth 1, palette colour, no interlace, the standard deflate
    // compression and adaptive filter method.
    png_set_IHDR(png, info, width, height, 1, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // PLTE: entry 0 the background, entry 1 the foreground.
    png_set_PLTE(png, info, palette, 2);
    // IDAT: unfiltered rows; filters gain nothing on 1-bit rows of long runs.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, kCompressionLevel);
    png_write_info(png, info);
    png_write_image(png, rows);
    // IEND.
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::optional<std::string> WriteTwoColourPng(int width, std::span<const std::uint8_t* const> rows,
                                             Rgb background, Rgb foreground) {
    PngWriteStruct writer;
    if (!writer.Png() || !writer.Info()) return std::nullopt;
    std::string output;
    png_set_write_fn(writer.Png(), &output, AppendToString, FlushNothing);
    png_color palette[2] = {{background.red, background.green, background.blue},
                            {foreground.red, foreground.green, foreground.blue}};
    // libpng copies each row before filtering it, so it never writes through these pointers.
    auto rowPointers =
        const_cast<png_bytepp>(reinterpret_cast<const png_byte* const*>(rows.data()));
    if (!WriteChunks(writer.Png(), writer.Info(), width, static_cast<int>(rows.size()), palette,
                     rowPointers)) {
        return std::nullopt;
    }
    return output;
}

}  // namespace qrlogo::service
