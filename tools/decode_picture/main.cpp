// decode-picture MODE FILE: decodes a picture file as the program would and writes the result
// to standard output as a PAM image (RGB_ALPHA, rows from the top), for comparing our decoders
// with other tools. Exit 1 with "no picture" when the file gives none.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "app/decode/picture.h"
#include "qr/area_picture.h"

namespace {

using qrlogo::PixelBuffer;

// --box: the picture at its own size as the logo box draws it before stretching.
std::optional<PixelBuffer> BoxPicture(const std::vector<std::uint8_t>& bytes) {
    const auto picture = qrlogo::DecodePicture(bytes);
    if (!picture) return std::nullopt;
    return qrlogo::RenderPicture(*picture);
}

// --area: the first frame an object of the QR display area gets from the bytes. Its pixels
// hold the transparency T in the high byte; the output alpha is 255 - T.
std::optional<PixelBuffer> AreaPicture(const std::vector<std::uint8_t>& bytes) {
    auto picture = qrlogo::DecodeObjectPicture(bytes, -1);
    if (!picture) return std::nullopt;
    PixelBuffer frame = std::move(picture->frames.front().pixels);
    for (std::uint32_t& p : frame.pixels) p ^= 0xFF000000;
    return frame;
}

struct Mode {
    std::string_view option;
    std::optional<PixelBuffer> (*render)(const std::vector<std::uint8_t>&);
};

constexpr Mode kModes[] = {
    {"--box", BoxPicture},
    {"--area", AreaPicture},
};

void WritePam(const PixelBuffer& image) {
    std::printf("P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                image.width, image.height);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width) * 4);
    for (int y = 0; y < image.height; ++y) {
        const std::uint32_t* src = image.Row(y);
        for (int x = 0; x < image.width; ++x) {
            row[x * 4] = qrlogo::RedOf(src[x]);
            row[x * 4 + 1] = qrlogo::GreenOf(src[x]);
            row[x * 4 + 2] = qrlogo::BlueOf(src[x]);
            row[x * 4 + 3] = qrlogo::AlphaOf(src[x]);
        }
        std::fwrite(row.data(), 1, row.size(), stdout);
    }
}

int Usage() {
    std::cerr << "usage: decode-picture";
    for (const Mode& mode : kModes) std::cerr << " [" << mode.option << "]";
    std::cerr << " FILE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Usage();
    const Mode* mode = nullptr;
    for (const Mode& m : kModes) {
        if (argv[1] == m.option) mode = &m;
    }
    if (mode == nullptr) return Usage();
    std::ifstream file(argv[2], std::ios::binary);
    if (!file) {
        std::cerr << "cannot read " << argv[2] << "\n";
        return 2;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    const auto image = mode->render(bytes);
    if (!image) {
        std::cerr << "no picture\n";
        return 1;
    }
    WritePam(*image);
    return 0;
}
