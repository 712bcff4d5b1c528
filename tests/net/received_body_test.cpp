#include "platform/received_body.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace qrlogo::platform {
namespace {

TEST(ParseContentLength, TakesOnlyAWholeDecimalValue) {
    struct Case {
        const char* line;
        std::optional<std::uint64_t> length;
    };
    const Case cases[] = {
        {"Content-Length: 12\r\n", 12},
        {"content-length:12", 12},
        {"CONTENT-LENGTH:\t 102400 \t\r\n", 102400},
        {"Content-Length: 18446744073709551615\r\n", UINT64_MAX},
        {"Content-Length: 18446744073709551616\r\n", std::nullopt},
        {"Content-Length: 0\r\n", std::nullopt},
        {"Content-Length: +12\r\n", std::nullopt},
        {"Content-Length: -12\r\n", std::nullopt},
        {"Content-Length: 12abc\r\n", std::nullopt},
        {"Content-Length: 1 2\r\n", std::nullopt},
        {"Content-Length: 0x10\r\n", std::nullopt},
        {"Content-Length:\r\n", std::nullopt},
        {"Content-Lengths: 12\r\n", std::nullopt},
        {"X-Content-Length: 12\r\n", std::nullopt},
        {"Content-Length 12\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseContentLength(c.line), c.length) << "line: " << c.line;
    }
}

}  // namespace
}  // namespace qrlogo::platform
