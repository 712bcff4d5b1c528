#include "app/text.h"

#include <algorithm>
#include <cstring>

namespace qrlogo {
namespace {

// Copies `bytes` into a new block followed by a NUL.
std::unique_ptr<char, MemoryReleaser> NewTextBlock(std::string_view bytes) {
    auto* block = static_cast<char*>(AllocateMemory(bytes.size() + 1));
    std::memcpy(block, bytes.data(), bytes.size());
    block[bytes.size()] = '\0';
    return std::unique_ptr<char, MemoryReleaser>(block);
}

}  // namespace

Text Text::FromBytes(std::string_view bytes) {
    Text text;
    text.m_block = NewTextBlock(bytes.substr(0, bytes.find('\0')));
    return text;
}

std::string_view Text::View() const { return m_block ? std::string_view(m_block.get()) : ""; }

Text Text::Copy() const { return IsAbsent() ? Text() : FromBytes(View()); }

ByteSet ByteSet::FromBytes(std::span<const std::uint8_t> bytes) {
    ByteSet set;
    set.m_block.reset(static_cast<std::uint8_t*>(AllocateMemory(bytes.size())));
    if (!bytes.empty()) std::memcpy(set.m_block.get(), bytes.data(), bytes.size());
    set.m_count = bytes.size();
    return set;
}

ByteSet ByteSet::FromBytes(std::string_view bytes) {
    return FromBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

ByteSet ByteSet::Copy() const { return IsAbsent() ? ByteSet() : FromBytes(Bytes()); }

int TextCompare(const Text& a, const Text& b) {
    if (a.IsAbsent()) return TextLength(b) > 0 ? -1 : 0;
    if (b.IsAbsent()) return TextLength(a) > 0 ? +1 : 0;
    const auto* left = reinterpret_cast<const unsigned char*>(a.CStr());
    const auto* right = reinterpret_cast<const unsigned char*>(b.CStr());
    for (;; ++left, ++right) {
        if (*left != *right) return *left < *right ? -1 : +1;
        if (*left == 0) return 0;
    }
}

std::size_t TextLength(const Text& t) { return t.View().size(); }

Text TextConcat(std::initializer_list<std::reference_wrapper<const Text>> texts) {
    std::size_t total = 0;
    for (const Text& t : texts) total += TextLength(t);
    auto* block = static_cast<char*>(AllocateMemory(total + 1));
    char* end = block;
    for (const Text& t : texts) {
        std::memcpy(end, t.View().data(), TextLength(t));
        end += TextLength(t);
    }
    *end = '\0';
    Text result;
    result.m_block.reset(block);
    return result;
}

Text ByteSetToText(const ByteSet& b) {
    const auto bytes = b.Bytes();
    const auto view = std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t k = std::min(view.find('\0'), view.size());
    if (k == 0) return Text();
    return Text::FromBytes(view.substr(0, k));
}

}  // namespace qrlogo
