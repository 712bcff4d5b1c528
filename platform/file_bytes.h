#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace qrlogo::platform {

// File names and paths are code-page (GB18030) bytes up to their first NUL; they are converted
// to the file system's UTF-8 here, so a GBK name shows on disk as its Chinese characters.
// Relative names resolve against the current directory.
//
// Sharing follows advisory locks (flock): a reader takes a shared lock and a writer an
// exclusive one, so only programs that lock the same way see each other's claims.

// The whole content of an existing regular file, or nothing: an empty path, a file that cannot
// be opened or is locked by a writer, a length of 0 or of 2 GiB or more, no memory for it, or a
// read error. When the file shrinks while it is read, the bytes that arrived are returned.
std::vector<std::uint8_t> ReadFileBytes(std::string_view codePagePath);

// Writes the parts one after another as the whole new content of the named file and reports
// whether every byte reached the disk. Zero-length parts are skipped; with none left the file
// is still created, empty. The content goes to a temporary file in the same folder that takes
// the name only once it is complete, so on any failure an existing file of that name keeps
// its old content and no partial file is left behind. An empty name gives false and creates
// nothing; so does a name whose file another program holds locked.
bool WriteFileBytes(std::string_view codePageName,
                    std::initializer_list<std::span<const std::uint8_t>> parts);

}  // namespace qrlogo::platform
