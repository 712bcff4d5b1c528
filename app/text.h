#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>

#include "app/memory.h"

namespace qrlogo {

// A NUL-terminated string of bytes in the system multi-byte code page (GB18030), in a memory
// block of its own. A Text may be absent (no block); an absent text reads as the empty text.
class Text {
public:
    Text() = default;
    // A present text holding `bytes` up to their first NUL, if any.
    static Text FromBytes(std::string_view bytes);

    bool IsAbsent() const { return m_block == nullptr; }
    // The bytes before the NUL; empty for an absent text.
    std::string_view View() const;
    // Never null: an absent text gives "".
    const char* CStr() const { return m_block ? m_block.get() : ""; }
    Text Copy() const;

private:
    friend Text TextConcat(std::initializer_list<std::reference_wrapper<const Text>> texts);
    std::unique_ptr<char, MemoryReleaser> m_block;
};

// A counted array of bytes in a memory block of its own; it may be absent, which reads as
// the empty byte set.
class ByteSet {
public:
    ByteSet() = default;
    static ByteSet FromBytes(std::span<const std::uint8_t> bytes);
    static ByteSet FromBytes(std::string_view bytes);

    bool IsAbsent() const { return m_block == nullptr; }
    std::size_t Count() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }
    std::span<const std::uint8_t> Bytes() const { return {m_block.get(), m_count}; }
    ByteSet Copy() const;

private:
    std::unique_ptr<std::uint8_t, MemoryReleaser> m_block;
    std::size_t m_count = 0;
};

// Byte-wise unsigned comparison up to the first NUL: -1, 0 or +1. An absent text equals the
// empty text; there is no locale, no case folding and no double-byte awareness.
int TextCompare(const Text& a, const Text& b);

// The number of bytes before the NUL; 0 for an absent text.
std::size_t TextLength(const Text& t);

// The texts one after another. Never absent: empty inputs give a present empty text.
Text TextConcat(std::initializer_list<std::reference_wrapper<const Text>> texts);
template <typename... Texts>
Text TextConcat(const Text& first, const Texts&... rest) {
    return TextConcat({std::cref(first), std::cref(rest)...});
}

// The bytes up to the first zero byte as a text; the absent text when that leaves none.
Text ByteSetToText(const ByteSet& b);

}  // namespace qrlogo
