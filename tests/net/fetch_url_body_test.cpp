#include "platform/fetch_url_body.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "tests/net/loopback_http_server.h"
#include "tests/support/child_process.h"

namespace qrlogo::platform {
namespace {

using test::Answer;
using test::HeaderLines;
using test::HttpResponse;
using test::LoopbackHttpServer;
using test::RequestLine;

std::string AsString(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string Fetch(std::string_view url, const FetchOptions& options = {}) {
    return AsString(FetchUrlBody(url, options));
}

// A body of `size` bytes that is not one repeated byte, so lost or moved blocks show.
std::string PatternBody(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
    return body;
}

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        setenv(name, value, 1);
    }
    ~ScopedEnvironment() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(FetchUrlBody, SendsOneHttp10GetWithTheFixedHeaders) {
    LoopbackHttpServer server(
        [](const std::string&) { return Answer{HttpResponse("200 OK", "hi")}; });

    EXPECT_EQ(Fetch(server.Url("/api.php?&bg=ffffff&text=a%23b#tail#more")), "hi");

    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string head = server.Requests()[0];
    EXPECT_EQ(RequestLine(head), "GET /api.php?&bg=ffffff&text=a%23b HTTP/1.0");
    const auto headers = HeaderLines(head);
    const auto count = [&](std::string_view line) {
        return std::count(headers.begin(), headers.end(), line);
    };
    EXPECT_EQ(count("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"), 1) << head;
    EXPECT_EQ(count("Accept: */*"), 1) << head;
    EXPECT_EQ(count("Cache-Control: no-cache"), 1) << head;
    EXPECT_EQ(count("Pragma: no-cache"), 1) << head;
    EXPECT_EQ(count("Host: 127.0.0.1:" + std::to_string(server.Port())), 1) << head;
    for (const auto& line : headers) {
        EXPECT_FALSE(line.starts_with("Accept:") && line != "Accept: */*") << line;
    }
}

// Escapes are never decoded; bytes from 0x80 up keep their values, raw in the query and as
// escapes (in either case of hex digit) in the path.
TEST(FetchUrlBody, SendsTheUrlBytesUnchanged) {
    LoopbackHttpServer server(
        [](const std::string&) { return Answer{HttpResponse("200 OK", "")}; });
    Fetch(server.Url("/%41%zz/\xD6\xD0\x80?q=%2B&r=\xFF"));
    ASSERT_EQ(server.Requests().size(), 1u);
    std::string line = RequestLine(server.Requests()[0]);
    std::transform(line.begin(), line.end(), line.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    EXPECT_EQ(line, "get /%41%zz/%d6%d0%80?q=%2b&r=\xFF http/1.0");
}

TEST(FetchUrlBody, ReturnsWholeBodiesWithAndWithoutLength) {
    struct Case {
        const char* name;
        std::size_t size;
        bool withLength;
    };
    const Case cases[] = {
        {"no Content-Length, several 10240-byte blocks", 3 * 10240 + 17, false},
        {"Content-Length of exactly 102400", 102400, true},
        {"Content-Length above 102400", 5 * 102400 + 3, true},
        {"no Content-Length, large", 300000, false},
        {"empty body", 0, true},
    };
    for (const Case& c : cases) {
        const std::string body = PatternBody(c.size);
        LoopbackHttpServer server([&](const std::string&) {
            return Answer{
                HttpResponse("200 OK", body, "Content-Type: image/png\r\n", c.withLength)};
        });
        EXPECT_EQ(Fetch(server.Url("/q")), body) << "case: " << c.name;
    }
}

TEST(FetchUrlBody, ErrorStatusGivesItsBody) {
    LoopbackHttpServer server([](const std::string&) {
        return Answer{HttpResponse("404 Not Found", "<html>no such page</html>")};
    });
    EXPECT_EQ(Fetch(server.Url("/missing")), "<html>no such page</html>");
}

TEST(FetchUrlBody, ConnectionDroppedMidBodyKeepsWhatArrived) {
    const std::string half = PatternBody(25000);
    LoopbackHttpServer server([&](const std::string&) {
        return Answer{"HTTP/1.0 200 OK\r\nContent-Length: 50000\r\n\r\n" + half};
    });
    EXPECT_EQ(Fetch(server.Url("/q")), half);
}

TEST(FetchUrlBody, NothingToFetchGivesEmpty) {
    LoopbackHttpServer server(
        [](const std::string&) { return Answer{HttpResponse("200 OK", "x")}; });
    const std::string at = "127.0.0.1:" + std::to_string(server.Port());
    struct Case {
        const char* name;
        std::string url;
    };
    const Case cases[] = {
        {"empty URL", ""},
        {"no scheme", at + "/q"},
        {"other scheme", "ftp://" + at + "/q"},
        {"file scheme", "file:///etc/hostname"},
        {"space in the URL", "http://" + at + "/a b"},
        {"CR LF in the URL", "http://" + at + "/a\r\nX-Injected: 1"},
        {"NUL in the URL", "http://" + at + "/a" + std::string(1, '\0') + "b"},
        {"user name of 128 bytes", "http://" + std::string(128, 'u') + "@" + at + "/q"},
        {"password of 128 bytes", "http://u:" + std::string(128, 'p') + "@" + at + "/q"},
        {"path with query of 2048 bytes", "http://" + at + "/" + std::string(2047, 'a')},
        {"path, query and fragment of 2048 bytes", "http://" + at + "/" + std::string(2000, 'a') +
                                                       "?" + std::string(20, 'b') + "#" +
                                                       std::string(25, 'c')},
        {"bad port", "http://127.0.0.1:99999/q"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Fetch(c.url), "") << "case: " << c.name;
    }
    EXPECT_EQ(server.Connections(), 0) << "a refused URL must send nothing";
}

TEST(FetchUrlBody, PartsJustInsideTheirLimitsAreSent) {
    LoopbackHttpServer server(
        [](const std::string&) { return Answer{HttpResponse("200 OK", "ok")}; });
    const std::string at = "127.0.0.1:" + std::to_string(server.Port());
    EXPECT_EQ(
        Fetch("http://" + std::string(127, 'u') + ":" + std::string(127, 'p') + "@" + at + "/q"),
        "ok");
    const std::string target = "/" + std::string(2000, 'a') + "?" + std::string(45, 'b');
    ASSERT_EQ(target.size(), 2047u);
    EXPECT_EQ(Fetch("http://" + at + target), "ok");
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(RequestLine(server.Requests()[1]), "GET " + target + " HTTP/1.0");
}

TEST(FetchUrlBody, UnreachableServerGivesEmpty) {
    FetchOptions quick;
    quick.connectTimeout = std::chrono::seconds(3);
    EXPECT_EQ(Fetch("http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/q", quick),
              "");
    EXPECT_EQ(Fetch("http://qrlogo-no-such-host.invalid/q", quick), "");
}

TEST(FetchUrlBody, SilentServerEndsAtTheTimeOut) {
    LoopbackHttpServer server([](const std::string&) { return Answer{"", true}; });
    FetchOptions quick;
    quick.transferTimeout = std::chrono::milliseconds(300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Fetch(server.Url("/q"), quick), "");
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_LT(waited, std::chrono::seconds(10)) << "the fetch must not wait for the server";
    EXPECT_EQ(server.Connections(), 1);
}

TEST(FetchUrlBody, BodyOverTheLimitGivesEmpty) {
    struct Case {
        const char* name;
        std::string answer;
        std::size_t largestBody;
        std::string expected;
    };
    const std::string atLimit = PatternBody(4000);
    const Case cases[] = {
        {"announced length over 64 MiB",
         "HTTP/1.0 200 OK\r\nContent-Length: 67108865\r\n\r\n" + PatternBody(1000),
         FetchOptions{}.largestBody, ""},
        {"no length, body runs past the limit",
         HttpResponse("200 OK", PatternBody(4001), "", false), 4000, ""},
        {"no length, body exactly at the limit", HttpResponse("200 OK", atLimit, "", false), 4000,
         atLimit},
        {"announced length at the limit", HttpResponse("200 OK", atLimit), 4000, atLimit},
    };
    for (const Case& c : cases) {
        LoopbackHttpServer server([&](const std::string&) { return Answer{c.answer}; });
        FetchOptions options;
        options.largestBody = c.largestBody;
        EXPECT_EQ(Fetch(server.Url("/q"), options), c.expected) << "case: " << c.name;
    }
}

TEST(FetchUrlBody, FollowsRedirectsAndKeepsCookiesForTheRun) {
    LoopbackHttpServer server([](const std::string& head) {
        const std::string line = RequestLine(head);
        if (line.starts_with("GET /jar/start ")) {
            return Answer{HttpResponse(
                "302 Found", "moved", "Location: /jar/next\r\nSet-Cookie: visit=1; Path=/jar\r\n")};
        }
        return Answer{HttpResponse("200 OK", "arrived")};
    });

    EXPECT_EQ(Fetch(server.Url("/jar/start")), "arrived");
    EXPECT_EQ(Fetch(server.Url("/jar/later")), "arrived");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(RequestLine(requests[1]), "GET /jar/next HTTP/1.0");
    for (const std::size_t i : {1u, 2u}) {
        const auto headers = HeaderLines(requests[i]);
        EXPECT_EQ(std::count(headers.begin(), headers.end(), "Cookie: visit=1"), 1) << requests[i];
    }
}

TEST(FetchUrlBody, ProxyFromTheEnvironmentExceptForLoopback) {
    LoopbackHttpServer proxy(
        [](const std::string&) { return Answer{HttpResponse("200 OK", "via proxy")}; });
    const ScopedEnvironment proxySetting("http_proxy", proxy.Url("").c_str());
    const ScopedEnvironment noBypass("no_proxy", "");
    const ScopedEnvironment noBypassUpper("NO_PROXY", "");

    EXPECT_EQ(Fetch("http://qrlogo-proxy-test.invalid/q?x=1"), "via proxy");
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_EQ(RequestLine(proxy.Requests()[0]),
              "GET http://qrlogo-proxy-test.invalid/q?x=1 HTTP/1.0");

    // A host name of 255 bytes still fits, one of 256 is refused before anything is sent.
    const std::string label(63, 'h');
    const std::string longest = label + "." + label + "." + label + "." + std::string(63, 'h');
    ASSERT_EQ(longest.size(), 255u);
    EXPECT_EQ(Fetch("http://" + longest + "/q"), "via proxy");
    EXPECT_EQ(Fetch("http://" + longest + "h/q"), "");
    ASSERT_EQ(proxy.Requests().size(), 2u);
    EXPECT_EQ(RequestLine(proxy.Requests()[1]), "GET http://" + longest + "/q HTTP/1.0");

    LoopbackHttpServer origin(
        [](const std::string&) { return Answer{HttpResponse("200 OK", "direct")}; });
    EXPECT_EQ(Fetch(origin.Url("/q")), "direct");
    EXPECT_EQ(Fetch("http://localhost:" + std::to_string(origin.Port()) + "/q"), "direct");
    EXPECT_EQ(proxy.Requests().size(), 2u);
}

TEST(FetchUrlBody, WorksAgainAfterTheClientWasClosed) {
    LoopbackHttpServer server(
        [](const std::string&) { return Answer{HttpResponse("200 OK", "again")}; });
    EXPECT_EQ(Fetch(server.Url("/q")), "again");
    CloseHttpClient();
    CloseHttpClient();
    EXPECT_EQ(Fetch(server.Url("/q")), "again");
}

// An https server on loopback (openssl s_server) whose certificate no known authority signed:
// the fetch goes through a TLS handshake, refuses the certificate and gives nothing.
TEST(FetchUrlBody, HttpsRefusesAnUntrustedCertificate) {
    std::string pattern = (std::filesystem::temp_directory_path() / "qrlogo-tls-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path folder = pattern;
    // The folder goes however the test ends, a failed assertion included.
    struct RemoveFolder {
        std::filesystem::path path;
        ~RemoveFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } removeFolder{folder};
    int code = -1;
    test::RunCommand("cd '" + pattern +
                         "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1"
                         " -nodes -days 1 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1"
                         " -keyout key.pem -out cert.pem 2>/dev/null",
                     &code);
    ASSERT_EQ(code, 0) << "openssl could not make a certificate";
    const int port = test::UnusedLoopbackPort();
    const std::string log = (folder / "server.log").string();
    {
        test::ChildProcess server({.arguments = {"/usr/bin/openssl", "s_server", "-accept",
                                                 "127.0.0.1:" + std::to_string(port), "-cert",
                                                 (folder / "cert.pem").string(), "-key",
                                                 (folder / "key.pem").string(), "-www"},
                                   .environment = {},
                                   .workingDirectory = {},
                                   .standardError = log,
                                   .standardOutput = log});
        const auto logText = [&] {
            std::ifstream in(log);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        ASSERT_TRUE(test::WaitUntil(std::chrono::seconds(10), [&] {
            return logText().find("ACCEPT") != std::string::npos;
        })) << logText();
        EXPECT_EQ(Fetch("https://127.0.0.1:" + std::to_string(port) + "/q"), "");
        EXPECT_TRUE(
            test::WaitUntil(std::chrono::seconds(5),
                            [&] { return logText().find("unknown ca") != std::string::npos; }))
            << "the server saw no refused handshake:\n"
            << logText();
    }
}

}  // namespace
}  // namespace qrlogo::platform
