#include "tests/net/loopback_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace qrlogo::test {
namespace {

// A request head that has not ended by then is answered as it stands.
constexpr int kHeadWaitMs = 5000;

int BoundLoopbackSocket() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        throw std::runtime_error("bind");
    }
    return fd;
}

int PortOf(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

void SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : m_handler(std::move(handler)) {
    m_listener = BoundLoopbackSocket();
    m_port = PortOf(m_listener);
    if (listen(m_listener, 16) != 0 || pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        close(m_listener);
        throw std::runtime_error("listen");
    }
    m_thread = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    const char stop = 1;
    [[maybe_unused]] const ssize_t written = write(m_stopPipe[1], &stop, 1);
    m_thread.join();
    for (const int fd : m_held) close(fd);
    close(m_listener);
    close(m_stopPipe[0]);
    close(m_stopPipe[1]);
}

std::string LoopbackHttpServer::Url(std::string_view target) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(target);
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

int LoopbackHttpServer::Connections() const {
    const std::lock_guard lock(m_mutex);
    return m_connections;
}

void LoopbackHttpServer::Serve() {
    for (;;) {
        pollfd waits[2] = {{m_listener, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (waits[1].revents != 0) return;
        const int connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        HandleConnection(connection);
    }
}

void LoopbackHttpServer::HandleConnection(int connection) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        pollfd waits[2] = {{connection, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (poll(waits, 2, kHeadWaitMs) <= 0 || waits[1].revents != 0) break;
        const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        head.append(buffer, static_cast<std::size_t>(got));
    }
    {
        const std::lock_guard lock(m_mutex);
        ++m_connections;
        m_requests.push_back(head);
    }
    const Answer answer = m_handler(head);
    if (answer.hold) {
        const std::lock_guard lock(m_mutex);
        m_held.push_back(connection);
        return;
    }
    SendAll(connection, answer.bytes);
    close(connection);
}

std::string HttpResponse(std::string_view status, std::string_view body,
                         std::string_view extraHeaders, bool withLength) {
    std::string response = "HTTP/1.0 " + std::string(status) + "\r\n" + std::string(extraHeaders);
    if (withLength) response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    response += "\r\n";
    response += body;
    return response;
}

int UnusedLoopbackPort() {
    const int fd = BoundLoopbackSocket();
    const int port = PortOf(fd);
    close(fd);
    return port;
}

std::string RequestLine(const std::string& requestHead) {
    return requestHead.substr(0, requestHead.find("\r\n"));
}

std::vector<std::string> HeaderLines(const std::string& requestHead) {
    std::vector<std::string> lines;
    std::size_t start = requestHead.find("\r\n");
    while (start != std::string::npos) {
        start += 2;
        const std::size_t end = requestHead.find("\r\n", start);
        if (end == std::string::npos || end == start) break;
        lines.push_back(requestHead.substr(start, end - start));
        start = end;
    }
    return lines;
}

}  // namespace qrlogo::test
