#include "service/charset.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace qrlogo::service {
namespace {

// One converter per worker thread: opening one costs far more than a conversion, and a
// converter must not be shared between threads.
class Gb18030Converter {
public:
    Gb18030Converter() : m_handle(iconv_open("UTF-8", "GB18030")) {}
    ~Gb18030Converter() {
        if (Ready()) iconv_close(m_handle);
    }
    Gb18030Converter(const Gb18030Converter&) = delete;
    Gb18030Converter& operator=(const Gb18030Converter&) = delete;

    bool Ready() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> Convert(std::string_view input) {
        // Two bytes of UTF-8 per input byte: the system's tables map a few two-byte codes
        // (FE51 among them) to supplementary-plane characters of four UTF-8 bytes.
        std::string output(2 * input.size() + 4, '\0');
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* out = output.data();
        std::size_t outLeft = output.size();
        if (iconv(m_handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        output.resize(output.size() - outLeft);
        return output;
    }

private:
    iconv_t m_handle;
};

}  // namespace

std::optional<std::string> Gb18030ToUtf8(std::string_view gb18030) {
    thread_local Gb18030Converter converter;
    if (!converter.Ready()) return std::nullopt;
    return converter.Convert(gb18030);
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<std::uint8_t>(bytes[i]);
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        std::uint32_t smallest = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xe0) == 0xc0) {
            length = 2;
            codePoint = lead & 0x1f;
            smallest = 0x80;
        } else if ((lead & 0xf0) == 0xe0) {
            length = 3;
            codePoint = lead & 0x0f;
            smallest = 0x800;
        } else if ((lead & 0xf8) == 0xf0) {
            length = 4;
            codePoint = lead & 0x07;
            smallest = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + k]);
            if ((next & 0xc0) != 0x80) return false;
            codePoint = (codePoint << 6) | (next & 0x3f);
        }
        if (codePoint < smallest || codePoint > 0x10ffff) return false;
        if (codePoint >= 0xd800 && codePoint <= 0xdfff) return false;
        i += length;
    }
    return true;
}

}  // namespace qrlogo::service
