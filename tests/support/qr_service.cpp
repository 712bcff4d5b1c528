#include "tests/support/qr_service.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <thread>
#include <vector>

namespace qrlogo::test {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(5);
constexpr auto kPollInterval = std::chrono::milliseconds(10);
// A free port can be taken by someone else before the service binds it; try a few.
constexpr int kLaunchAttempts = 3;

class Socket {
public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket() {
        if (m_fd >= 0) close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::optional<HttpReply> ParseReply(const std::string& raw) {
    const std::size_t headerEnd = raw.find("\r\n\r\n");
    if (raw.compare(0, 5, "HTTP/") != 0 || headerEnd == std::string::npos) return std::nullopt;
    HttpReply reply;
    const std::size_t space = raw.find(' ');
    if (space == std::string::npos || space > headerEnd) return std::nullopt;
    reply.status = std::atoi(raw.c_str() + space + 1);
    std::size_t lineStart = raw.find("\r\n") + 2;
    while (lineStart < headerEnd) {
        const std::size_t lineEnd = raw.find("\r\n", lineStart);
        const std::string line = raw.substr(lineStart, lineEnd - lineStart);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            std::size_t valueStart = colon + 1;
            while (valueStart < line.size() && line[valueStart] == ' ') ++valueStart;
            reply.headers[name] = line.substr(valueStart);
        }
        lineStart = lineEnd + 2;
    }
    reply.body = raw.substr(headerEnd + 4);
    return reply;
}

}  // namespace

int FreeLoopbackPort() {
    Socket probe(socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address = Loopback(0);
    if (probe.Fd() < 0 ||
        bind(probe.Fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return 0;
    }
    socklen_t length = sizeof address;
    if (getsockname(probe.Fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    return ntohs(address.sin_port);
}

std::optional<HttpReply> SendRawHttp(int port, std::string_view request,
                                     std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Socket connection(socket(AF_INET, SOCK_STREAM, 0));
    const sockaddr_in address = Loopback(port);
    if (connection.Fd() < 0 || connect(connection.Fd(), reinterpret_cast<const sockaddr*>(&address),
                                       sizeof address) != 0) {
        return std::nullopt;
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n =
            send(connection.Fd(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    std::string raw;
    char buffer[16384];
    for (;;) {
        pollfd waiting{connection.Fd(), POLLIN, 0};
        if (poll(&waiting, 1, RemainingMs(deadline)) <= 0) break;
        const ssize_t n = recv(connection.Fd(), buffer, sizeof buffer, 0);
        if (n <= 0) break;
        raw.append(buffer, static_cast<std::size_t>(n));
    }
    return ParseReply(raw);
}

std::optional<HttpReply> HttpGet(int port, std::string_view target,
                                 std::chrono::milliseconds timeout) {
    std::string request = "GET ";
    request += target;
    request += " HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: */*\r\n\r\n";
    return SendRawHttp(port, request, timeout);
}

bool ServiceAnswers(int port) {
    const std::optional<HttpReply> reply = HttpGet(port, "/healthz", std::chrono::seconds(1));
    return reply && reply->status == 200 && reply->body.starts_with("ok");
}

QrServiceProcess::QrServiceProcess(int port, bool accessLog) {
    for (int attempt = 0; attempt < kLaunchAttempts; ++attempt) {
        if (Launch(port, accessLog) || port != 0) return;
    }
}

QrServiceProcess::~QrServiceProcess() { Stop(); }

bool QrServiceProcess::Launch(int port, bool accessLog) {
    const char* binDir = std::getenv("QRLOGO_BIN_DIR");
    if (!binDir) {
        m_error = "QRLOGO_BIN_DIR is not set";
        return false;
    }
    const std::string program = std::string(binDir) + "/qrlogo-service";
    const int chosenPort = port != 0 ? port : FreeLoopbackPort();
    ChildProcess::Options options;
    options.arguments = {program, "--listen", "127.0.0.1:" + std::to_string(chosenPort)};
    if (!accessLog) options.arguments.push_back("--quiet");
    options.standardError = "/dev/stderr";
    auto process = std::make_unique<ChildProcess>(options);

    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!process->Running()) {
            m_error = program + " ended before answering on port " + std::to_string(chosenPort);
            return false;
        }
        if (ServiceAnswers(chosenPort)) {
            m_process = std::move(process);
            m_port = chosenPort;
            m_error.clear();
            return true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    m_error = program + " did not answer /healthz in time";
    return false;
}

std::optional<int> QrServiceProcess::Stop(std::chrono::milliseconds timeout) {
    if (!Running()) return std::nullopt;
    const std::optional<int> status = m_process->Stop(timeout);
    m_process.reset();
    return status;
}

}  // namespace qrlogo::test
