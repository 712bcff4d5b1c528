#include "service/access_log.h"

#include <gtest/gtest.h>

namespace qrlogo::service {
namespace {

TEST(FormatAccessLogLine, LeavesOutTheQueryAndEscapesControlBytes) {
    EXPECT_EQ(FormatAccessLogLine("GET", "/api.php?text=secret", 200, 431, 0.25),
              "GET /api.php 200 431 0.250ms\n");
    EXPECT_EQ(FormatAccessLogLine("GET", "/a\x1b[2J\\b#frag", 404, 10, 1),
              "GET /a\\x1b[2J\\x5cb 404 10 1.000ms\n");
    EXPECT_EQ(FormatAccessLogLine("GET", "/" + std::string(300, 'x'), 414, 0, 0),
              "GET /" + std::string(199, 'x') + "... 414 0 0.000ms\n");
}

}  // namespace
}  // namespace qrlogo::service
