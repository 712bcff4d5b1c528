#pragma once

#include <memory>
#include <string>

#include "service/http_server.h"
#include "service/listen_address.h"

namespace qrlogo::test {

// The service's HTTP server in the test process, on 127.0.0.1 and a free port, stopped when
// the object goes out of scope.
class InProcessService {
public:
    explicit InProcessService(unsigned idleTimeoutSeconds = service::kIdleTimeoutSeconds) {
        service::ServerOptions options;
        options.accessLog = false;
        options.idleTimeoutSeconds = idleTimeoutSeconds;
        m_server = service::HttpServer::Start(*service::ParseListenAddress("127.0.0.1:0"), options,
                                              m_error);
    }
    bool Running() const { return m_server != nullptr; }
    const std::string& Error() const { return m_error; }
    int Port() const { return m_server ? m_server->Port() : 0; }

private:
    std::string m_error;
    std::unique_ptr<service::HttpServer> m_server;
};

}  // namespace qrlogo::test
