#include "app/decode/gif_lzw.h"

#include <algorithm>
#include <array>

#include "app/decode/limits.h"

namespace qrlogo {
namespace {

// The string table: each entry is a shorter entry (its prefix) followed by one index.
struct LzwTable {
    std::array<std::uint16_t, kMaxLzwCodes> prefix;
    std::array<std::uint16_t, kMaxLzwCodes> length;
    std::array<std::uint8_t, kMaxLzwCodes> suffix;
    std::array<std::uint8_t, kMaxLzwCodes> first;
};

// Writes the string of `code` at out[position], cut at the end of `out`; returns its length.
std::size_t WriteString(const LzwTable& table, unsigned code, std::span<std::uint8_t> out,
                        std::size_t position) {
    const std::size_t length = table.length[code];
    const std::size_t room = out.size() - position;
    std::size_t i = length;
    // Strings are stored back to front; the part past the end of `out` is walked over unwritten.
    while (i > room) {
        code = table.prefix[code];
        --i;
    }
    std::uint8_t* dst = out.data() + position;
    while (i > 0) {
        dst[--i] = table.suffix[code];
        code = table.prefix[code];
    }
    return length;
}

}  // namespace

bool DecodeGifLzw(std::span<const std::uint8_t> data, int minimumCodeSize,
                  std::span<std::uint8_t> out) {
    if (minimumCodeSize < 1 || minimumCodeSize >= kMaxLzwCodeBits) return false;
    const unsigned clearCode = 1u << minimumCodeSize;
    const unsigned endCode = clearCode + 1;

    LzwTable table;
    for (unsigned i = 0; i < clearCode; ++i) {
        table.prefix[i] = 0;
        table.length[i] = 1;
        table.suffix[i] = static_cast<std::uint8_t>(i & 0xFF);
        table.first[i] = static_cast<std::uint8_t>(i & 0xFF);
    }
    unsigned codeBits = minimumCodeSize + 1;
    unsigned nextCode = clearCode + 2;
    int previous = -1;

    std::size_t position = 0;
    std::uint32_t bitBuffer = 0;
    unsigned bitCount = 0;
    std::size_t inputAt = 0;
    while (position < out.size()) {
        while (bitCount < codeBits && inputAt < data.size()) {
            bitBuffer |= std::uint32_t{data[inputAt++]} << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeBits) break;
        const unsigned code = bitBuffer & ((1u << codeBits) - 1);
        bitBuffer >>= codeBits;
        bitCount -= codeBits;

        if (code == clearCode) {
            codeBits = minimumCodeSize + 1;
            nextCode = clearCode + 2;
            previous = -1;
            continue;
        }
        if (code == endCode) break;
        // Wide minimum code sizes occur in real files; only their first 256 literals can name
        // a colour index.
        if (code < clearCode && code > 255) return false;
        if (previous < 0) {
            if (code >= clearCode) return false;
            out[position++] = static_cast<std::uint8_t>(code);
            previous = static_cast<int>(code);
            continue;
        }
        if (code > nextCode || (code == nextCode && nextCode >= kMaxLzwCodes)) return false;
        if (nextCode < kMaxLzwCodes) {
            // The new entry is the previous string and the first index of this one; for the
            // code not yet in the table, that first index is the previous string's own.
            const auto p = static_cast<unsigned>(previous);
            table.prefix[nextCode] = static_cast<std::uint16_t>(p);
            table.length[nextCode] = static_cast<std::uint16_t>(table.length[p] + 1);
            table.first[nextCode] = table.first[p];
            table.suffix[nextCode] = code == nextCode ? table.first[p] : table.first[code];
            ++nextCode;
            if (nextCode >= (1u << codeBits) && codeBits < kMaxLzwCodeBits) ++codeBits;
        }
        position += std::min(WriteString(table, code, out, position), out.size() - position);
        previous = static_cast<int>(code);
    }
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(position), out.end(), std::uint8_t{0});
    return true;
}

}  // namespace qrlogo
