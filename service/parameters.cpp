#include "service/parameters.h"

#include <charconv>
#include <string_view>

#include "service/charset.h"

namespace qrlogo::service {
namespace {

const std::string* Find(const Query& query, std::string_view name) {
    const auto it = query.find(name);
    return it == query.end() ? nullptr : &it->second;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Decimal digits only: no sign, no spaces, no leading "+".
std::optional<int> ReadInteger(std::string_view text, int smallest, int largest) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    if (value < smallest || value > largest) return std::nullopt;
    return value;
}

std::optional<Rgb> ReadColour(std::string_view text) {
    if (text.size() != 6) return std::nullopt;
    std::uint8_t channels[3];
    for (int i = 0; i < 3; ++i) {
        const char* begin = text.data() + 2 * i;
        const auto [stop, error] = std::from_chars(begin, begin + 2, channels[i], 16);
        if (error != std::errc{} || stop != begin + 2) return std::nullopt;
    }
    return Rgb{channels[0], channels[1], channels[2]};
}

std::optional<EcLevel> ReadLevel(std::string_view text) {
    if (text.size() != 1) return std::nullopt;
    switch (text.front()) {
        case 'L':
        case 'l':
            return EcLevel::L;
        case 'M':
        case 'm':
            return EcLevel::M;
        case 'Q':
        case 'q':
            return EcLevel::Q;
        case 'H':
        case 'h':
            return EcLevel::H;
        default:
            return std::nullopt;
    }
}

Failure Bad(std::string_view name) {
    return Failure{ServiceError::BadParameter, std::string(name)};
}

Outcome<std::string> ReadData(const Query& query) {
    const std::string* text = Find(query, "text");
    std::string bytes = text ? *text : std::string{};
    if (bytes.size() > kMaxTextBytes) return Failure{ServiceError::TextTooLong, "text"};

    const std::string* charset = Find(query, "charset");
    if (!charset || EqualsIgnoringCase(*charset, "gb18030")) {
        std::optional<std::string> utf8 = Gb18030ToUtf8(bytes);
        if (!utf8) return Failure{ServiceError::TextNotInCharset, "text"};
        return std::move(*utf8);
    }
    if (EqualsIgnoringCase(*charset, "utf-8") || EqualsIgnoringCase(*charset, "utf8")) {
        if (!IsValidUtf8(bytes)) return Failure{ServiceError::TextNotInCharset, "text"};
        return bytes;
    }
    if (EqualsIgnoringCase(*charset, "raw")) return bytes;
    return Bad("charset");
}

}  // namespace

Outcome<RenderParameters> ReadRenderParameters(const Query& query) {
    RenderParameters parameters;

    Outcome<std::string> data = ReadData(query);
    if (auto* failure = std::get_if<Failure>(&data)) return std::move(*failure);
    parameters.data = std::move(std::get<std::string>(data));

    if (const std::string* bg = Find(query, "bg")) {
        const std::optional<Rgb> colour = ReadColour(*bg);
        if (!colour) return Bad("bg");
        parameters.background = *colour;
    }
    if (const std::string* fg = Find(query, "fg")) {
        const std::optional<Rgb> colour = ReadColour(*fg);
        if (!colour) return Bad("fg");
        parameters.foreground = *colour;
    }
    if (const std::string* w = Find(query, "w")) {
        const std::optional<int> width = ReadInteger(*w, kMinWidth, kMaxWidth);
        if (!width) return Bad("w");
        parameters.width = *width;
    }
    if (const std::string* el = Find(query, "el")) {
        parameters.level = ReadLevel(*el);
        if (!parameters.level) return Bad("el");
    }
    if (const std::string* m = Find(query, "m")) {
        const std::optional<int> margin = ReadInteger(*m, 0, kMaxMargin);
        if (!margin) return Bad("m");
        parameters.margin = *margin;
    }
    if (const std::string* eci = Find(query, "eci")) {
        const std::optional<int> flag = ReadInteger(*eci, 0, 1);
        if (!flag) return Bad("eci");
        parameters.eci = *flag == 1;
    }
    return parameters;
}

}  // namespace qrlogo::service
