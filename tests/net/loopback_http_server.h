#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace qrlogo::test {

// What the server does with a connection once it has read the request head.
struct Answer {
    std::string bytes;  // written exactly as they stand, then the connection is closed
    bool hold = false;  // write nothing and keep the connection open until the server stops
};

// A one-thread HTTP server on 127.0.0.1 and a free port. It records the exact bytes of every
// request head it reads and answers through the handler. The destructor stops it, so a test
// scope owns it like a guard.
class LoopbackHttpServer {
public:
    using Handler = std::function<Answer(const std::string& requestHead)>;

    explicit LoopbackHttpServer(Handler handler);
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
    ~LoopbackHttpServer();

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by the target.
    std::string Url(std::string_view target) const;
    // Every request head received so far, in order of arrival.
    std::vector<std::string> Requests() const;
    int Connections() const;

private:
    void Serve();
    void HandleConnection(int connection);

    Handler m_handler;
    int m_listener = -1;
    int m_port = 0;
    int m_stopPipe[2] = {-1, -1};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::vector<int> m_held;
    int m_connections = 0;
    std::thread m_thread;
};

// An HTTP/1.0 answer with the status line, the extra header lines (each ending in CR LF) and a
// Content-Length header matching the body unless withLength is false.
std::string HttpResponse(std::string_view status, std::string_view body,
                         std::string_view extraHeaders = "", bool withLength = true);

// A port on 127.0.0.1 that nothing listens on: bound once, then released.
int UnusedLoopbackPort();

// The request line of a request head, without its CR LF.
std::string RequestLine(const std::string& requestHead);

// The header lines of a request head, each without its CR LF.
std::vector<std::string> HeaderLines(const std::string& requestHead);

}  // namespace qrlogo::test
