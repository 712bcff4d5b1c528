#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "service/limits.h"
#include "service/listen_address.h"

struct MHD_Daemon;

namespace qrlogo::service {

struct ServerOptions {
    // One line per answered request on standard error.
    bool accessLog = true;
    // Worker threads; 0 means one per core.
    unsigned threads = 0;
    // Seconds a connection may stay silent before it is closed.
    unsigned idleTimeoutSeconds = kIdleTimeoutSeconds;
};

// The HTTP/1.0 and 1.1 front of the service: listens, runs HandleRequest for every request on a
// pool of worker threads, and enforces the connection, time-out and size limits. Stops, closing
// every connection, when destroyed.
class HttpServer {
public:
    // Nothing, with the reason in `error`, when the address cannot be listened on.
    static std::unique_ptr<HttpServer> Start(const ListenAddress& address,
                                             const ServerOptions& options, std::string& error);

    // Only Start can make the key, so servers come from Start alone.
    class Key {
        friend class HttpServer;
        explicit Key() = default;
    };
    HttpServer(Key, bool accessLog) : m_accessLog(accessLog) {}
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // The port actually listened on (the chosen one when asked for port 0).
    std::uint16_t Port() const { return m_port; }

private:
    // Read by the workers until the daemon has stopped, which the destructor waits for.
    bool m_accessLog;
    MHD_Daemon* m_daemon = nullptr;
    std::uint16_t m_port = 0;
};

}  // namespace qrlogo::service
