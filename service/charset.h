#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qrlogo::service {

// GB18030 bytes (the tool's code page; GBK and ASCII are subsets) as UTF-8, or nothing when the
// bytes are not valid GB18030, a truncated character included.
std::optional<std::string> Gb18030ToUtf8(std::string_view gb18030);

// True for well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

}  // namespace qrlogo::service
