#pragma once

#include <sys/socket.h>

#include <optional>
#include <string_view>

namespace qrlogo::service {

// A numeric socket address to listen on.
struct ListenAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
    bool ipv6 = false;
};

// Reads "HOST:PORT", where HOST is a numeric IPv4 address, "localhost" or a bracketed IPv6
// address ("[::1]:8080") and PORT is 0 (any free port) to 65535. Nothing for anything else.
std::optional<ListenAddress> ParseListenAddress(std::string_view text);

}  // namespace qrlogo::service
