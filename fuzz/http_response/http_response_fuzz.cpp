// Any bytes as what a server sends for a fetch: the first byte picks the body limit, the rest
// is the response, its header lines up to the first empty line and its body after it, handed
// over in blocks of several sizes as the HTTP client would. The result must be the whole body
// when it fits the limit and nothing when it does not.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "platform/received_body.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qrlogo::platform;
    if (size == 0) return 0;
    const std::size_t largestBody = std::size_t{data[0]} * 64;
    const std::string_view response(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t headEnd = response.find("\r\n\r\n");
    const std::string_view head =
        response.substr(0, headEnd == std::string_view::npos ? response.size() : headEnd + 4);
    const std::span body(data + 1 + head.size(), response.size() - head.size());

    ReceivedBody received(largestBody);
    for (std::size_t at = 0; at < head.size();) {
        const std::size_t lineEnd = std::min(head.find('\n', at), head.size() - 1) + 1;
        const std::string_view line = head.substr(at, lineEnd - at);
        if (const auto length = ParseContentLength(line); length && *length == 0) std::abort();
        received.AddHeaderLine(line);
        at = lineEnd;
    }
    constexpr std::array<std::size_t, 4> kBlocks = {1, 13, 256, 4096};
    bool going = true;
    for (std::size_t at = 0, block = 0; going && at < body.size(); ++block) {
        const std::size_t length = std::min(kBlocks[block % kBlocks.size()], body.size() - at);
        going = received.AddBodyBytes(body.subspan(at, length));
        at += length;
    }
    const bool dropped = received.Dropped();
    const std::vector<std::uint8_t> result = std::move(received).Take();
    if (body.size() > largestBody && !dropped) std::abort();
    if (!dropped && !std::equal(result.begin(), result.end(), body.begin(), body.end()))
        std::abort();
    if (dropped && !result.empty()) std::abort();
    return 0;
}
