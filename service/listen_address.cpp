#include "service/listen_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <charconv>
#include <cstdint>
#include <string>

namespace qrlogo::service {

std::optional<ListenAddress> ParseListenAddress(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string host(text.substr(0, colon));
    const std::string_view portText = text.substr(colon + 1);

    std::uint16_t port = 0;
    const char* portEnd = portText.data() + portText.size();
    const auto [stop, error] = std::from_chars(portText.data(), portEnd, port);
    if (portText.empty() || error != std::errc{} || stop != portEnd) return std::nullopt;

    ListenAddress result;
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_port = htons(port);
        if (inet_pton(AF_INET6, host.substr(1, host.size() - 2).c_str(), &address.sin6_addr) != 1) {
            return std::nullopt;
        }
        *reinterpret_cast<sockaddr_in6*>(&result.address) = address;
        result.length = sizeof address;
        result.ipv6 = true;
        return result;
    }
    if (host == "localhost") host = "127.0.0.1";
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) return std::nullopt;
    *reinterpret_cast<sockaddr_in*>(&result.address) = address;
    result.length = sizeof address;
    return result;
}

}  // namespace qrlogo::service
