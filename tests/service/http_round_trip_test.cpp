// Requests over real HTTP, shaped as the tool sends them, and the codes decoded back.
#include <gtest/gtest.h>

#include "tests/service/in_process_service.h"
#include "tests/service/png_facts.h"
#include "tests/support/qr_decode.h"
#include "tests/support/qr_service.h"

namespace qrlogo::test {
namespace {

// As the tool escapes its text: every byte but A-Z a-z 0-9 - . _ ~ as %XX.
std::string PercentEncode(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded.push_back(c);
        } else {
            encoded += {'%', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
    return encoded;
}

std::string ToolRequest(std::string_view target) {
    return "GET " + std::string(target) +
           " HTTP/1.0\r\n"
           "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
           "Host: 127.0.0.1\r\n"
           "Accept: */*\r\n\r\n";
}

TEST(HttpRoundTrip, EveryTextDecodesToExactlyItsBytes) {
    InProcessService service;
    ASSERT_TRUE(service.Running()) << service.Error();
    struct Case {
        const char* name;
        std::string text;      // the bytes the client sends, before escaping
        std::string extra;     // further query items, "&" first
        std::string expected;  // the bytes the code holds
        int width = 200;
        int margin = 2;
    };
    std::string thousand;
    for (int i = 0; thousand.size() < 1000; ++i) thousand += "line " + std::to_string(i) + "; ";
    thousand.resize(1000);
    const Case cases[] = {
        {"ASCII", "Hello, qrlogo!", "", "Hello, qrlogo!"},
        {"GB18030 Chinese comes out as UTF-8", "\xb6\xfe\xce\xac\xc2\xeb", "",
         "\xe4\xba\x8c\xe7\xbb\xb4\xe7\xa0\x81"},
        {"GB18030 four-byte character", "x\x94\x39\xfc\x36", "", "x\xf0\x9f\x98\x80"},
        {"UTF-8 with charset=utf-8", "\xe4\xba\x8c\xe7\xbb\xb4\xe7\xa0\x81", "&charset=utf-8",
         "\xe4\xba\x8c\xe7\xbb\xb4\xe7\xa0\x81"},
        {"UTF-8 with its designator", "\xe7\xa0\x81", "&charset=utf-8&eci=1", "\xe7\xa0\x81"},
        {"raw bytes kept", "\xb6\xfe\xff", "&charset=raw", "\xb6\xfe\xff"},
        {"CR LF", "line one\r\nline two", "", "line one\r\nline two"},
        {"query syntax in the text", "a&b=c+d#e%f 100%", "", "a&b=c+d#e%f 100%"},
        {"NUL byte", std::string("a\0b", 3), "", std::string("a\0b", 3)},
        {"mode changes", "HTTP://QR.EXAMPLE/0123456789abc", "", "HTTP://QR.EXAMPLE/0123456789abc"},
        {"1000 bytes", thousand, "", thousand},
        {"empty text", "", "", ""},
        {"no quiet zone, odd width", "margin", "&m=0", "margin", 257, 0},
    };
    for (const Case& c : cases) {
        const std::string target = "/api.php?&bg=ffffff&fg=cc0000&text=" + PercentEncode(c.text) +
                                   c.extra + "&w=" + std::to_string(c.width) +
                                   "&m=" + std::to_string(c.margin);
        std::optional<HttpReply> reply = SendRawHttp(service.Port(), ToolRequest(target));
        ASSERT_TRUE(reply) << "case: " << c.name;
        ASSERT_EQ(reply->status, 200) << "case: " << c.name << ": " << reply->body;
        EXPECT_EQ(reply->headers["content-type"], "image/png") << "case: " << c.name;
        EXPECT_EQ(reply->headers["content-length"], std::to_string(reply->body.size()))
            << "case: " << c.name;

        const std::optional<PngFacts> facts = ReadPngFacts(reply->body);
        ASSERT_TRUE(facts) << "case: " << c.name;
        EXPECT_EQ(facts->width, static_cast<std::uint32_t>(c.width)) << "case: " << c.name;
        EXPECT_EQ(facts->height, static_cast<std::uint32_t>(c.width)) << "case: " << c.name;
        EXPECT_EQ(facts->palette, (std::vector<service::Rgb>{{0xff, 0xff, 0xff}, {0xcc, 0, 0}}))
            << "case: " << c.name;
        EXPECT_FALSE(facts->hasTransparency) << "case: " << c.name;
        const std::optional<RgbImage> image = DecodePngToRgb(
            {reinterpret_cast<const std::uint8_t*>(reply->body.data()), reply->body.size()});
        ASSERT_TRUE(image) << "case: " << c.name;
        EXPECT_TRUE(HasWholePixelModules(*image, c.margin, {0xff, 0xff, 0xff}, {0xcc, 0, 0}))
            << "case: " << c.name;

        const std::optional<std::string> decoded = DecodeQrFromPng(reply->body);
        ASSERT_TRUE(decoded) << "case: " << c.name;
        EXPECT_EQ(*decoded, c.expected) << "case: " << c.name;
    }
}

TEST(HttpRoundTrip, KeepsAnHttp11ConnectionForTheNextRequest) {
    InProcessService service;
    ASSERT_TRUE(service.Running()) << service.Error();
    std::optional<HttpReply> reply = SendRawHttp(
        service.Port(),
        "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
        "GET /api.php?text=second HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->headers["content-length"], "3");
    // The second answer follows the first on the same connection.
    const std::size_t second = reply->body.find("HTTP/1.1 200");
    ASSERT_NE(second, std::string::npos);
    const std::size_t pngStart = reply->body.find("\r\n\r\n", second);
    ASSERT_NE(pngStart, std::string::npos);
    EXPECT_EQ(DecodeQrFromPng(std::string_view(reply->body).substr(pngStart + 4)), "second");
}

}  // namespace
}  // namespace qrlogo::test
