#include "tests/decode/reference_image.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace qrlogo::test {

std::optional<PixelBuffer> ReadPngFile(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_BGRA;
    PixelBuffer out(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) return std::nullopt;
    return out;
}

namespace {

// ctest sets these for every case; the build's own values stand in when a test runs by hand.
std::string FromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : fallback;
}

}  // namespace

std::string SourceFolder() { return FromEnvironment("QRLOGO_SOURCE_DIR", QRLOGO_TEST_SOURCE_DIR); }
std::string ProgramFolder() { return FromEnvironment("QRLOGO_BIN_DIR", QRLOGO_TEST_BIN_DIR); }

std::string CorpusFolder() {
    const std::filesystem::path folder =
        std::filesystem::path(SourceFolder()) / ".." / "shared" / "corpus";
    return std::filesystem::is_directory(folder) ? folder.string() : std::string{};
}

}  // namespace qrlogo::test
