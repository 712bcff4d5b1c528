#include "service/access_log.h"

#include <cstdio>

namespace qrlogo::service {
namespace {

// Paths in the log are cut here; a 414 target can be tens of kilobytes.
constexpr std::size_t kMaxLoggedPathBytes = 200;

void AppendPrintable(std::string& line, std::string_view bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            line.push_back(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            line += escaped;
        }
    }
}

}  // namespace

std::string FormatAccessLogLine(std::string_view method, std::string_view target, unsigned status,
                                std::size_t bodyBytes, double milliseconds) {
    const std::string_view path = target.substr(0, target.find_first_of("?#"));
    std::string line;
    AppendPrintable(line, method.substr(0, kMaxLoggedPathBytes));
    line.push_back(' ');
    AppendPrintable(line, path.substr(0, kMaxLoggedPathBytes));
    if (path.size() > kMaxLoggedPathBytes) line += "...";
    char tail[64];
    std::snprintf(tail, sizeof tail, " %u %zu %.3fms\n", status, bodyBytes, milliseconds);
    line += tail;
    return line;
}

}  // namespace qrlogo::service
