// Bad requests and hostile clients: each gets its answer (or is dropped) and the service goes on
// answering.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <vector>

#include <gtest/gtest.h>

#include "service/limits.h"
#include "tests/service/in_process_service.h"
#include "tests/support/qr_service.h"

namespace qrlogo::test {
namespace {

// Far above the expected few milliseconds: this checks that the service still answers, not
// how fast; the measured time is printed.
constexpr auto kAnswerBound = std::chrono::seconds(2);

// Times GET /healthz; nothing when it does not answer 200 within the bound.
std::optional<double> HealthzMilliseconds(int port) {
    const auto start = std::chrono::steady_clock::now();
    const std::optional<HttpReply> reply = HttpGet(port, "/healthz", kAnswerBound);
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    if (!reply || reply->status != 200) return std::nullopt;
    return elapsed.count();
}

class OpenSocket {
public:
    explicit OpenSocket(int port) : m_fd(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected =
            m_fd >= 0 && connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~OpenSocket() {
        if (m_fd >= 0) close(m_fd);
    }
    OpenSocket(const OpenSocket&) = delete;
    OpenSocket& operator=(const OpenSocket&) = delete;

    bool Connected() const { return m_connected; }
    void Send(std::string_view bytes) { send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    // True when the peer closed the connection (or reset it) within the time given.
    bool ClosedWithin(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        char buffer[4096];
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd waiting{m_fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
                return false;
            }
            if (recv(m_fd, buffer, sizeof buffer, 0) <= 0) return true;
        }
    }

private:
    int m_fd;
    bool m_connected = false;
};

TEST(HttpRobustness, EveryBadRequestGetsItsStatusAndTheServiceGoesOn) {
    InProcessService service;
    ASSERT_TRUE(service.Running()) << service.Error();
    struct Case {
        const char* name;
        std::string request;
        int status;
        std::string reasonHas;  // a part of the text/plain reason, when it is ours
    };
    auto get = [](std::string target) {
        return "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
    };
    const Case cases[] = {
        {"unknown path", get("/index.html"), 404, "not found"},
        {"path with a query", get("/api.php/x?text=a"), 404, "not found"},
        {"POST with a body", "POST /api.php HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc",
         405, "method"},
        {"DELETE", "DELETE /healthz HTTP/1.0\r\n\r\n", 405, "method"},
        {"width not a number", get("/api.php?text=a&w=abc"), 400, "parameter w"},
        {"width too small for the code", get("/api.php?text=a&w=24"), 400, "parameter w"},
        {"width above 2000", get("/api.php?text=a&w=2001"), 400, "parameter w"},
        {"colour of five digits", get("/api.php?text=a&bg=fffff"), 400, "parameter bg"},
        {"colour not hex", get("/api.php?text=a&fg=zzzzzz"), 400, "parameter fg"},
        {"unknown level", get("/api.php?text=a&el=Z"), 400, "parameter el"},
        {"quiet zone too wide", get("/api.php?text=a&m=11"), 400, "parameter m"},
        {"unknown charset", get("/api.php?text=a&charset=koi8"), 400, "parameter charset"},
        {"broken escape", get("/api.php?text=%4"), 400, "parameter text"},
        {"not GB18030", get("/api.php?text=%FF%FF"), 400, "parameter text"},
        {"not UTF-8", get("/api.php?charset=utf-8&text=%C3%28"), 400, "parameter text"},
        {"too long for level H", get("/api.php?el=H&text=" + std::string(1300, 'x')), 400,
         "does not fit"},
        {"too long for any level", get("/api.php?text=" + std::string(3000, 'x')), 400,
         "does not fit"},
        {"target beyond our limit", get("/api.php?text=" + std::string(30000, 'x')), 414,
         "too long"},
        {"request line beyond the connection memory",
         get("/api.php?text=" + std::string(100000, 'x')), 414, ""},
        {"headers beyond the connection memory",
         "GET /healthz HTTP/1.0\r\nX-Big: " + std::string(100000, 'h') + "\r\n\r\n", 431, ""},
    };
    for (const Case& c : cases) {
        std::optional<HttpReply> reply = SendRawHttp(service.Port(), c.request);
        ASSERT_TRUE(reply) << "case: " << c.name;
        EXPECT_EQ(reply->status, c.status) << "case: " << c.name << ": " << reply->body;
        EXPECT_NE(reply->body.find(c.reasonHas), std::string::npos)
            << "case: " << c.name << ": " << reply->body;
        if (!c.reasonHas.empty()) {
            EXPECT_EQ(reply->headers["content-type"], "text/plain; charset=utf-8")
                << "case: " << c.name;
        }
        EXPECT_TRUE(ServiceAnswers(service.Port())) << "after case: " << c.name;
    }
}

TEST(HttpRobustness, GarbageBytesAreRefusedAndTheServiceGoesOn) {
    InProcessService service;
    ASSERT_TRUE(service.Running()) << service.Error();
    std::string garbage;
    std::uint32_t state = 12345;
    for (int i = 0; i < 64 * 1024; ++i) {
        state = state * 1103515245 + 12345;  // any bytes, newlines and NULs included
        garbage.push_back(static_cast<char>(state >> 24));
    }
    for (const std::size_t size : {std::size_t{1}, std::size_t{100}, garbage.size()}) {
        OpenSocket client(service.Port());
        ASSERT_TRUE(client.Connected());
        client.Send(std::string_view(garbage).substr(0, size));
        client.Send("\r\n\r\n");
        EXPECT_TRUE(client.ClosedWithin(kAnswerBound)) << "case: " << size << " bytes";
        const std::optional<double> milliseconds = HealthzMilliseconds(service.Port());
        ASSERT_TRUE(milliseconds) << "case: " << size << " bytes";
        std::cout << "healthz after " << size << " garbage bytes: " << *milliseconds << " ms\n";
    }
}

TEST(HttpRobustness, ASlowClientIsDroppedAfterTheIdleTimeAndBlocksNobody) {
    InProcessService service(1);
    ASSERT_TRUE(service.Running()) << service.Error();
    OpenSocket slow(service.Port());
    ASSERT_TRUE(slow.Connected());
    slow.Send("GET /api.php?text=never-fini");

    const std::optional<double> milliseconds = HealthzMilliseconds(service.Port());
    ASSERT_TRUE(milliseconds);
    std::cout << "healthz beside a half-sent request: " << *milliseconds << " ms\n";
    EXPECT_TRUE(slow.ClosedWithin(std::chrono::seconds(4)));
}

TEST(HttpRobustness, AThousandIdleConnectionsBlockNobody) {
    InProcessService service;
    ASSERT_TRUE(service.Running()) << service.Error();
    std::vector<std::unique_ptr<OpenSocket>> idle;
    for (int i = 0; i < 1000; ++i) {
        idle.push_back(std::make_unique<OpenSocket>(service.Port()));
        ASSERT_TRUE(idle.back()->Connected()) << "connection " << i;
    }
    const std::optional<double> milliseconds = HealthzMilliseconds(service.Port());
    ASSERT_TRUE(milliseconds);
    std::cout << "healthz beside 1000 idle connections: " << *milliseconds << " ms\n";
    RecordProperty("healthz_ms_with_1000_idle", std::to_string(*milliseconds));
}

}  // namespace
}  // namespace qrlogo::test
