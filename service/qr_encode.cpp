#include "service/qr_encode.h"

#include <qrencode.h>

#include <cerrno>
#include <memory>
#include <span>
#include <string>

namespace qrlogo::service {
namespace {

// ECI assignment number of UTF-8.
constexpr unsigned kUtf8Eci = 26;

struct QrCodeDeleter {
    void operator()(QRcode* code) const { QRcode_free(code); }
};
struct QrInputDeleter {
    void operator()(QRinput* input) const { QRinput_free(input); }
};
using QrCodePointer = std::unique_ptr<QRcode, QrCodeDeleter>;
using QrInputPointer = std::unique_ptr<QRinput, QrInputDeleter>;

QRecLevel ToLibraryLevel(EcLevel level) {
    switch (level) {
        case EcLevel::L:
            return QR_ECLEVEL_L;
        case EcLevel::M:
            return QR_ECLEVEL_M;
        case EcLevel::Q:
            return QR_ECLEVEL_Q;
        case EcLevel::H:
            return QR_ECLEVEL_H;
    }
    return QR_ECLEVEL_H;
}

// The library's string encoder picks the best mode per run but stops at a NUL and has no
// ECI, so data with either, and the empty data (which it refuses), go in as one 8-bit segment.
QrCodePointer EncodeAt(std::string_view data, QRecLevel level, bool eci) {
    errno = 0;
    const bool plain = !eci && !data.empty() && data.find('\0') == std::string_view::npos;
    if (plain) {
        const std::string terminated(data);
        return QrCodePointer(QRcode_encodeString(terminated.c_str(), 0, level, QR_MODE_8, 1));
    }
    QrInputPointer input(QRinput_new2(0, level));
    if (!input) return nullptr;
    if (eci && QRinput_appendECIheader(input.get(), kUtf8Eci) != 0) return nullptr;
    if (!data.empty() && QRinput_append(input.get(), QR_MODE_8, static_cast<int>(data.size()),
                                        reinterpret_cast<const unsigned char*>(data.data())) != 0) {
        return nullptr;
    }
    return QrCodePointer(QRcode_encodeInput(input.get()));
}

}  // namespace

Outcome<QrMatrix> EncodeQr(std::string_view data, std::optional<EcLevel> level, bool eci) {
    static constexpr EcLevel kFallback[] = {EcLevel::H, EcLevel::Q, EcLevel::M, EcLevel::L};
    const std::span<const EcLevel> levels =
        level ? std::span<const EcLevel>(&*level, 1) : std::span<const EcLevel>(kFallback);
    for (const EcLevel candidate : levels) {
        QrCodePointer code = EncodeAt(data, ToLibraryLevel(candidate), eci);
        if (code) {
            QrMatrix matrix;
            matrix.size = code->width;
            matrix.dark.resize(static_cast<std::size_t>(code->width) * code->width);
            // Bit 0 of each library module is its colour; the other bits say what it is part of.
            for (std::size_t i = 0; i < matrix.dark.size(); ++i) matrix.dark[i] = code->data[i] & 1;
            return matrix;
        }
        if (errno != ERANGE) return Failure{ServiceError::RenderFailed, {}};
    }
    return Failure{ServiceError::TextTooLong, "text"};
}

}  // namespace qrlogo::service
