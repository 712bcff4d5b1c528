#include "qr/request.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fetch_url_body.h"
#include "tests/net/loopback_http_server.h"

namespace qrlogo {
namespace {

using test::Answer;
using test::HttpResponse;
using test::LoopbackHttpServer;
using test::RequestLine;

constexpr std::string_view kFixedPath = "/api.php?&bg=ffffff&fg=cc0000&text=";

// The request URL for the text, sent to the test server in place of the service's host.
std::string UrlAt(const LoopbackHttpServer& server, std::string_view content) {
    const std::string url(BuildRequestUrl(Text::FromBytes(content)).View());
    return server.Url(url.substr(url.find("/api.php")));
}

TEST(QrRequestPrefix, IsTheServiceHostAndTheFixedQuery) {
    const std::string prefix(ByteSetToText(QrRequestPrefix).View());
    EXPECT_TRUE(prefix.starts_with("http://")) << prefix;
    EXPECT_TRUE(prefix.ends_with(kFixedPath)) << prefix;
    EXPECT_EQ(prefix.size(), QrRequestPrefix.Count());
    EXPECT_EQ(std::string(BuildRequestUrl(Text::FromBytes("abc")).View()), prefix + "abc&w=200");
}

TEST(BuildRequestUrl, EscapesTheTextOnTheWire) {
    LoopbackHttpServer server(
        [](const std::string&) { return Answer{HttpResponse("200 OK", "png")}; });
    struct Case {
        const char* name;
        std::string content;
        std::string sent;  // the text parameter as the service receives it
    };
    const Case cases[] = {
        {"unreserved ASCII", "Hello-World_0.9~z", "Hello-World_0.9~z"},
        {"ampersand and equals", "a&w=9", "a%26w%3D9"},
        {"plus and percent", "1+1=2%", "1%2B1%3D2%25"},
        {"hash", "x#y", "x%23y"},
        {"space", "a b", "a%20b"},
        {"CR LF", "line1\r\nline2", "line1%0D%0Aline2"},
        {"Chinese GB18030 bytes", "\xD6\xD0\xCE\xC4", "%D6%D0%CE%C4"},
        {"four-byte GB18030 character", "\x81\x30\x81\x30", "%810%810"},
        {"bytes 0x80 and 0xFF", "\x80\xFF", "%80%FF"},
        {"other ASCII punctuation", "/?:@!$'()*,;", "%2F%3F%3A%40%21%24%27%28%29%2A%2C%3B"},
        {"empty text", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::FetchUrlBody(UrlAt(server, c.content)).size(), 3u)
            << "case: " << c.name;
        const auto requests = server.Requests();
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(RequestLine(requests.back()),
                  "GET " + std::string(kFixedPath) + c.sent + "&w=200 HTTP/1.0")
            << "case: " << c.name;
    }
}

TEST(BuildRequestUrl, LongestTextIsMeasuredAsSent) {
    LoopbackHttpServer server(
        [](const std::string&) { return Answer{HttpResponse("200 OK", "png")}; });
    // 35 bytes of fixed path and query before the text and 6 after it leave 2006 for the text
    // as sent; every escaped byte counts three times.
    struct Case {
        const char* name;
        std::string content;
        bool sent;
    };
    const Case cases[] = {
        {"2006 plain bytes", std::string(2006, 'a'), true},
        {"2007 plain bytes", std::string(2007, 'a'), false},
        {"668 escaped bytes and 2 plain", std::string(668, ' ') + "ab", true},
        {"669 escaped bytes", std::string(669, ' '), false},
    };
    for (const Case& c : cases) {
        const int before = server.Connections();
        EXPECT_EQ(platform::FetchUrlBody(UrlAt(server, c.content)).empty(), !c.sent)
            << "case: " << c.name;
        EXPECT_EQ(server.Connections() - before, c.sent ? 1 : 0) << "case: " << c.name;
    }
}

}  // namespace
}  // namespace qrlogo
