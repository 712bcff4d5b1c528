#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qrlogo {

// Reads little-endian fields from untrusted bytes. Every read can fail: past the end it gives
// none and leaves the position where it was, never a made-up zero.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t position = 0)
        : m_bytes(bytes), m_position(position <= bytes.size() ? position : bytes.size()) {}

    std::optional<std::uint8_t> U8() {
        if (Remaining() < 1) return std::nullopt;
        return m_bytes[m_position++];
    }
    std::optional<std::uint16_t> U16LE() {
        if (Remaining() < 2) return std::nullopt;
        const auto v =
            static_cast<std::uint16_t>(m_bytes[m_position] | m_bytes[m_position + 1] << 8);
        m_position += 2;
        return v;
    }
    std::optional<std::uint32_t> U32LE() {
        if (Remaining() < 4) return std::nullopt;
        const std::uint8_t* p = m_bytes.data() + m_position;
        m_position += 4;
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
               std::uint32_t{p[3]} << 24;
    }
    std::optional<std::int32_t> I32LE() {
        const auto v = U32LE();
        if (!v) return std::nullopt;
        return static_cast<std::int32_t>(*v);
    }
    // The next n bytes as a view, consumed; none when fewer remain.
    std::optional<std::span<const std::uint8_t>> Bytes(std::size_t n) {
        if (Remaining() < n) return std::nullopt;
        const auto view = m_bytes.subspan(m_position, n);
        m_position += n;
        return view;
    }
    bool Skip(std::size_t n) {
        if (Remaining() < n) return false;
        m_position += n;
        return true;
    }
    std::size_t Remaining() const { return m_bytes.size() - m_position; }
    std::size_t Position() const { return m_position; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position;
};

}  // namespace qrlogo
