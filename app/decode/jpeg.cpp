#include "app/decode/jpeg.h"

// libjpeg's header needs the standard types declared before it.
#include <cstdio>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <vector>

#include "app/decode/limits.h"

namespace qrlogo {
namespace {

constexpr std::size_t kMostJpegPixelsPerByte = 256;

struct ErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void LeaveDecode(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorExit*>(cinfo->err)->jump, 1);
}

// libjpeg reports a file that ends early only as a warning and fills the missing part grey;
// a truncated file gives no picture here, so that warning ends the decode too. Other
// warnings (stray bytes between markers and the like) are common in real files and ignored.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) LeaveDecode(cinfo);
}

void ConvertRow(const std::uint8_t* src, std::uint8_t* dst, std::size_t width, int components) {
    if (components == 3) {
        std::copy(src, src + width * 3, dst);
    } else if (components == 1) {
        for (std::size_t x = 0; x < width; ++x, dst += 3) dst[0] = dst[1] = dst[2] = src[x];
    } else {
        // Four components: the inverted CMYK that Adobe's encoders write, mixed into RGB.
        for (std::size_t x = 0; x < width; ++x, src += 4, dst += 3) {
            const unsigned k = src[3];
            dst[0] = static_cast<std::uint8_t>(src[0] * k / 255);
            dst[1] = static_cast<std::uint8_t>(src[1] * k / 255);
            dst[2] = static_cast<std::uint8_t>(src[2] * k / 255);
        }
    }
}

// Everything that must survive a jump out of libjpeg lives in the caller's frame.
struct JpegState {
    jpeg_decompress_struct cinfo;
    ErrorExit error;
    std::vector<std::uint8_t> row;
    Picture picture;
};

bool Decode(std::span<const std::uint8_t> bytes, JpegState& s) {
    jpeg_decompress_struct& cinfo = s.cinfo;
    cinfo.err = jpeg_std_error(&s.error.manager);
    s.error.manager.error_exit = LeaveDecode;
    s.error.manager.emit_message = OnMessage;
    if (setjmp(s.error.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    const auto pixels = PicturePixels(cinfo.image_width, cinfo.image_height);
    // Sequential Huffman data spends at least two bits on each 8 x 8 block (its DC and end
    // codes), so it cannot hold more than 256 pixels a byte; larger claims are refused before
    // the rows are allocated. Progressive data is read whole before any row is asked for.
    const bool sequentialHuffman = !cinfo.progressive_mode && !cinfo.arith_code;
    if (!pixels || (sequentialHuffman && *pixels / kMostJpegPixelsPerByte > bytes.size())) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    const int components = cinfo.output_components;
    if (components != 1 && components != 3 && components != 4) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const std::size_t width = cinfo.output_width;
    s.picture.kind = PictureKind::Colour;
    s.picture.width = static_cast<int>(cinfo.output_width);
    s.picture.height = static_cast<int>(cinfo.output_height);
    s.picture.rgb.resize(*pixels * 3);
    const bool direct = components == 3;
    if (!direct) s.row.resize(width * static_cast<std::size_t>(components));
    while (cinfo.output_scanline < cinfo.output_height) {
        std::uint8_t* dst = s.picture.rgb.data() + std::size_t{cinfo.output_scanline} * width * 3;
        JSAMPROW target = direct ? dst : s.row.data();
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1) {
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        if (!direct) ConvertRow(s.row.data(), dst, width, components);
    }
    // Every row is in; a missing end marker after them costs nothing, so the decode is not
    // finished through libjpeg, which would warn about it.
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

std::optional<Picture> DecodeJpeg(std::span<const std::uint8_t> bytes) {
    JpegState state{};
    if (!Decode(bytes, state)) return std::nullopt;
    return std::move(state.picture);
}

}  // namespace qrlogo
