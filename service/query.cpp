#include "service/query.h"

#include <cstddef>
#include <optional>

namespace qrlogo::service {
namespace {

// Names quoted in a failure's reason are cut to this many bytes.
constexpr std::size_t kMaxQuotedNameBytes = 32;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> FormDecode(std::string_view encoded) {
    std::string decoded;
    decoded.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            decoded.push_back(' ');
        } else if (c != '%') {
            decoded.push_back(c);
        } else {
            if (encoded.size() - i < 3) return std::nullopt;
            const int high = HexValue(encoded[i + 1]);
            const int low = HexValue(encoded[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            decoded.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        }
    }
    return decoded;
}

// The name as it may appear in a reason: short and printable, since it comes from the client.
std::string QuotableName(std::string_view raw) {
    std::string name;
    for (const char c : raw.substr(0, kMaxQuotedNameBytes)) {
        name.push_back(c >= 0x20 && c < 0x7f ? c : '?');
    }
    return name;
}

}  // namespace

Outcome<Query> ParseQuery(std::string_view query) {
    Query parameters;
    while (!query.empty()) {
        const std::size_t ampersand = query.find('&');
        const std::string_view item = query.substr(0, ampersand);
        query =
            ampersand == std::string_view::npos ? std::string_view{} : query.substr(ampersand + 1);

        const std::size_t equals = item.find('=');
        const std::string_view rawName = item.substr(0, equals);
        const std::string_view rawValue =
            equals == std::string_view::npos ? std::string_view{} : item.substr(equals + 1);
        std::optional<std::string> name = FormDecode(rawName);
        if (!name) return Failure{ServiceError::MalformedQuery, QuotableName(rawName)};
        if (name->empty()) continue;
        std::optional<std::string> value = FormDecode(rawValue);
        if (!value) return Failure{ServiceError::MalformedQuery, QuotableName(*name)};
        parameters.insert_or_assign(std::move(*name), std::move(*value));
    }
    return parameters;
}

}  // namespace qrlogo::service
