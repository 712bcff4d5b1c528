#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qrlogo::service {

// One access-log line, newline included: method, path, status, body bytes and the time taken.
// The query is left out, since it carries the user's text; bytes a terminal could act on are
// shown as \xHH.
std::string FormatAccessLogLine(std::string_view method, std::string_view target, unsigned status,
                                std::size_t bodyBytes, double milliseconds);

}  // namespace qrlogo::service
