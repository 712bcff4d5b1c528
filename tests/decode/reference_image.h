#pragma once

#include <optional>
#include <string>

#include "platform/pixel_buffer.h"

namespace qrlogo::test {

// A PNG file read through libpng as 0xAARRGGBB pixels (palette, grey and 16-bit expanded).
std::optional<PixelBuffer> ReadPngFile(const std::string& path);

// The project's source folder and the folder of its programs.
std::string SourceFolder();
std::string ProgramFolder();

// The folder of the shared image corpus, or empty when this checkout has none.
std::string CorpusFolder();

}  // namespace qrlogo::test
