#pragma once

#include <string>
#include <string_view>

namespace qrlogo::platform {

// The system's multi-byte code page is GB18030 (every GBK character keeps its GBK bytes).
// The program holds its texts in it; the platform converts at its edges only: captions, the
// edit box, dialog paths and file names.

// Bytes that do not form a character become U+FFFD; nothing is dropped silently.
std::string CodePageToUtf8(std::string_view codePageBytes);
// Every Unicode character has a GB18030 form; malformed UTF-8 becomes "?".
std::string Utf8ToCodePage(std::string_view utf8);

}  // namespace qrlogo::platform
