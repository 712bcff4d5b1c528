#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qrlogo::platform {

// Bounds of one fetch, so that no answer can hold the program or its memory without end.
struct FetchOptions {
    // Name lookup and connecting, together.
    std::chrono::milliseconds connectTimeout{10'000};
    // The whole fetch, redirects included.
    std::chrono::milliseconds transferTimeout{30'000};
    // A longer body is dropped as a whole rather than read into memory.
    std::size_t largestBody = std::size_t{64} << 20;
};

// Fetches an http or https URL with one HTTP/1.0 GET and returns the response body, whatever
// the status: an error page's body comes back like any other. The URL is taken as it stands:
// no escape in it is decoded and none is added, except that bytes from 0x80 up in the path
// travel as escapes of the same bytes, as a request line cannot carry them raw. Spaces and
// control bytes are refused. The request target ends before the first "#". A URL that does not
// parse, or whose host (255 bytes), user name or password (127 bytes each) or path with query (2047
// bytes) is longer than allowed, sends nothing.
//
// Redirects are followed and cookies are kept in memory for the rest of the run. Proxies come
// from the usual environment variables (http_proxy, https_proxy, all_proxy, no_proxy), except
// that loopback hosts are always reached directly.
//
// The result is empty when nothing could be fetched, the time-outs ran out before any byte of
// the body arrived, or the body is longer than options.largestBody. A transfer that breaks
// off part-way gives the bytes received until then. Runs on the calling thread, which it
// blocks for the whole fetch; calls must come from one thread at a time.
std::vector<std::uint8_t> FetchUrlBody(std::string_view url, const FetchOptions& options = {});

// Releases the HTTP client that the first FetchUrlBody opened and that every later call
// shares (its cookies and name cache). A later FetchUrlBody opens a new one. Called once at the
// end of the program; if it is not, the client is released as the program exits.
void CloseHttpClient();

}  // namespace qrlogo::platform
