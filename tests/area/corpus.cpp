#include "tests/area/corpus.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>

#include <cstdlib>

namespace qrlogo::test {

std::optional<std::filesystem::path> CorpusFolder() {
    const char* source = std::getenv("QRLOGO_SOURCE_DIR");
    if (!source) return std::nullopt;
    const std::filesystem::path folder = std::filesystem::path(source) / ".." / "shared" / "corpus";
    if (!std::filesystem::exists(folder / "reference" / "index.json")) return std::nullopt;
    return folder;
}

QJsonArray CorpusRecords(const std::filesystem::path& corpus) {
    QFile file(QString::fromStdString((corpus / "reference" / "index.json").string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).array();
}

std::vector<std::uint8_t> ReadWhole(const std::filesystem::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

QByteArray Rgba(const PixelBuffer& pixels) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(pixels.pixels.size() * 4));
    for (std::uint32_t p : pixels.pixels) {
        out.append(static_cast<char>(RedOf(p)));
        out.append(static_cast<char>(GreenOf(p)));
        out.append(static_cast<char>(BlueOf(p)));
        out.append(static_cast<char>(255 - AlphaOf(p)));
    }
    return out;
}

std::string RgbaSha256(const PixelBuffer& pixels) {
    return QCryptographicHash::hash(Rgba(pixels), QCryptographicHash::Sha256).toHex().toStdString();
}

}  // namespace qrlogo::test
