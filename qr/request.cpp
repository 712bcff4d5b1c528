#include "qr/request.h"

#include <string>
#include <string_view>

namespace qrlogo {
namespace {

bool StaysUnescaped(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

// Escaping keeps "&", "=", "#", spaces and line breaks in the text from being read as query
// syntax or cutting the request short.
std::string PercentEncoded(std::string_view bytes) {
    constexpr std::string_view hexDigits = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (StaysUnescaped(byte)) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += hexDigits[byte >> 4];
            escaped += hexDigits[byte & 0x0F];
        }
    }
    return escaped;
}

}  // namespace

const ByteSet QrRequestPrefix = ByteSet::FromBytes(
    std::string_view("http://" QRLOGO_SERVICE_HOST "/api.php?&bg=ffffff&fg=cc0000&text="));

Text BuildRequestUrl(const Text& content) {
    const Text prefix = ByteSetToText(QrRequestPrefix);
    const Text text = Text::FromBytes(PercentEncoded(content.View()));
    const Text suffix = Text::FromBytes("&w=200");
    return TextConcat(prefix, text, suffix);
}

}  // namespace qrlogo
