#include "service/picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "service/png_writer.h"

namespace qrlogo::service {

Outcome<PictureLayout> LayOutPicture(int modules, int margin, int width) {
    const int span = modules + 2 * margin;
    const int moduleSize = width / span;
    if (moduleSize < 1) return Failure{ServiceError::WidthTooSmall, "w"};
    const int leftover = width - moduleSize * span;
    return PictureLayout{moduleSize, margin * moduleSize + leftover / 2};
}

std::string PictureKey(const RenderParameters& parameters) {
    const Rgb& bg = parameters.background;
    const Rgb& fg = parameters.foreground;
    // Fixed-size fields first, so the data that follows cannot shift them.
    const char fields[] = {
        static_cast<char>(parameters.width >> 8),
        static_cast<char>(parameters.width & 0xff),
        static_cast<char>(parameters.margin),
        static_cast<char>(parameters.level ? static_cast<int>(*parameters.level) : -1),
        static_cast<char>(parameters.eci),
        static_cast<char>(bg.red),
        static_cast<char>(bg.green),
        static_cast<char>(bg.blue),
        static_cast<char>(fg.red),
        static_cast<char>(fg.green),
        static_cast<char>(fg.blue),
    };
    std::string key(fields, sizeof fields);
    key += parameters.data;
    return key;
}

Outcome<std::string> RenderQrPng(const RenderParameters& parameters) {
    Outcome<QrMatrix> encoded = EncodeQr(parameters.data, parameters.level, parameters.eci);
    if (auto* failure = std::get_if<Failure>(&encoded)) return std::move(*failure);
    const QrMatrix& matrix = std::get<QrMatrix>(encoded);

    const int width = parameters.width;
    const Outcome<PictureLayout> laidOut = LayOutPicture(matrix.size, parameters.margin, width);
    if (const auto* failure = std::get_if<Failure>(&laidOut)) return *failure;
    const PictureLayout layout = std::get<PictureLayout>(laidOut);

    // One blank row for the quiet zone, then one row per module row; every pixel row of the
    // picture points at one of them.
    const std::size_t stride = (static_cast<std::size_t>(width) + 7) / 8;
    std::vector<std::uint8_t> distinctRows(stride * (1 + static_cast<std::size_t>(matrix.size)), 0);
    for (int moduleY = 0; moduleY < matrix.size; ++moduleY) {
        std::uint8_t* row = distinctRows.data() + stride * (1 + moduleY);
        for (int moduleX = 0; moduleX < matrix.size; ++moduleX) {
            if (!matrix.IsDark(moduleX, moduleY)) continue;
            const int first = layout.codeStart + moduleX * layout.moduleSize;
            for (int x = first; x < first + layout.moduleSize; ++x) {
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    const int codeEnd = layout.codeStart + matrix.size * layout.moduleSize;
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(width), distinctRows.data());
    for (int y = layout.codeStart; y < codeEnd; ++y) {
        const int moduleY = (y - layout.codeStart) / layout.moduleSize;
        rows[y] = distinctRows.data() + stride * (1 + moduleY);
    }

    std::optional<std::string> png =
        WriteTwoColourPng(width, rows, parameters.background, parameters.foreground);
    if (!png) return Failure{ServiceError::RenderFailed, {}};
    return std::move(*png);
}

}  // namespace qrlogo::service
