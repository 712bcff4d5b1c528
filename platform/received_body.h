#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace qrlogo::platform {

// What one fetch has received from the server: the header lines of each response in its
// redirect chain and the body bytes, as the HTTP client hands them over. A body longer than the
// limit is dropped as a whole, and a length the server announces sizes the result up front only
// when it is within the limit.
class ReceivedBody {
public:
    explicit ReceivedBody(std::size_t largestBody) : m_largestBody(largestBody) {}

    // One header line, its CR LF included or not; a status line starts a new response.
    void AddHeaderLine(std::string_view line);
    // The next body bytes; false once the body is dropped (too long, or no memory), which
    // should end the transfer.
    bool AddBodyBytes(std::span<const std::uint8_t> bytes);

    bool Dropped() const { return m_dropped; }
    // The body received, or nothing when it was dropped.
    std::vector<std::uint8_t> Take() &&;

private:
    std::size_t m_largestBody;
    std::optional<std::uint64_t> m_announcedLength;
    bool m_bodyStarted = false;
    bool m_dropped = false;
    std::vector<std::uint8_t> m_body;
};

// The value of a "Content-Length:" header line (name in any case, blanks around the value):
// none for another header, a value that is not all decimal digits, zero, or too large.
std::optional<std::uint64_t> ParseContentLength(std::string_view line);

}  // namespace qrlogo::platform
