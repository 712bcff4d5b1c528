#include "platform/received_body.h"

#include <charconv>
#include <new>
#include <utility>

namespace qrlogo::platform {

void ReceivedBody::AddHeaderLine(std::string_view line) {
    if (line.starts_with("HTTP/")) {
        // The client passes on no body of a response it follows a redirect from, so only
        // the latest response's announced length counts.
        m_announcedLength.reset();
    } else if (const auto length = ParseContentLength(line)) {
        m_announcedLength = length;
    }
}

bool ReceivedBody::AddBodyBytes(std::span<const std::uint8_t> bytes) {
    if (m_dropped) return false;
    try {
        if (!m_bodyStarted) {
            m_bodyStarted = true;
            if (m_announcedLength) {
                if (*m_announcedLength > m_largestBody) {
                    m_dropped = true;
                    return false;
                }
                m_body.reserve(static_cast<std::size_t>(*m_announcedLength));
            }
        }
        if (bytes.size() > m_largestBody - m_body.size()) {
            m_dropped = true;
            return false;
        }
        m_body.insert(m_body.end(), bytes.begin(), bytes.end());
    } catch (const std::bad_alloc&) {
        m_dropped = true;
        return false;
    }
    return true;
}

std::vector<std::uint8_t> ReceivedBody::Take() && {
    if (m_dropped) return {};
    return std::move(m_body);
}

std::optional<std::uint64_t> ParseContentLength(std::string_view line) {
    constexpr std::string_view name = "content-length:";
    if (line.size() < name.size()) return std::nullopt;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = line[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != name[i]) {
            return std::nullopt;
        }
    }
    std::string_view value = line.substr(name.size());
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' ' ||
                              value.back() == '\t')) {
        value.remove_suffix(1);
    }
    std::uint64_t length = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end != value.data() + value.size() || length == 0) {
        return std::nullopt;
    }
    return length;
}

}  // namespace qrlogo::platform
