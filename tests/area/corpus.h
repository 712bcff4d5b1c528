#pragma once

#include <QByteArray>
#include <QJsonArray>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/pixel_buffer.h"

namespace qrlogo::test {

// The external conformance corpus beside the project, when it is there.
std::optional<std::filesystem::path> CorpusFolder();
// The records of its reference index.
QJsonArray CorpusRecords(const std::filesystem::path& corpus);
std::vector<std::uint8_t> ReadWhole(const std::filesystem::path& path);
// Straight 8-bit RGBA (A = 255 - T) of 0xTTRRGGBB pixels: the form the reference hashes are
// taken over.
QByteArray Rgba(const PixelBuffer& pixels);
std::string RgbaSha256(const PixelBuffer& pixels);

}  // namespace qrlogo::test
