#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tests/support/child_process.h"

// The QR rendering service for end-to-end tests, and a small blocking HTTP client to talk to it.
namespace qrlogo::test {

// Runs qrlogo-service from $QRLOGO_BIN_DIR on 127.0.0.1 for the lifetime of the object:
//
//   QrServiceProcess service;             // a free port; or QrServiceProcess service(48151);
//   ASSERT_TRUE(service.Running()) << service.Error();
//   ... "http://127.0.0.1:" + std::to_string(service.Port()) + "/api.php?..." ...
//
// The constructor returns once /healthz answers (at most about 5 s). The destructor stops the
// service with SIGTERM and waits for it.
class QrServiceProcess {
public:
    // port 0 picks a free one. The service runs with --quiet unless `accessLog`.
    explicit QrServiceProcess(int port = 0, bool accessLog = false);
    ~QrServiceProcess();
    QrServiceProcess(const QrServiceProcess&) = delete;
    QrServiceProcess& operator=(const QrServiceProcess&) = delete;

    // Started and answering /healthz.
    bool Running() const { return m_process != nullptr; }
    // Why it is not running.
    const std::string& Error() const { return m_error; }
    int Port() const { return m_port; }
    pid_t Pid() const { return m_process ? m_process->Pid() : -1; }

    // SIGTERM, then waits at most `timeout`: the exit status (as from waitpid), or nothing when
    // it did not end in time (it is then killed). The destructor does this when still running.
    std::optional<int> Stop(std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    bool Launch(int port, bool accessLog);

    std::unique_ptr<ChildProcess> m_process;
    int m_port = 0;
    std::string m_error;
};

// A port on 127.0.0.1 that nothing listened on a moment ago.
int FreeLoopbackPort();

struct HttpReply {
    int status = 0;
    // Header names in lower case.
    std::map<std::string, std::string> headers;
    std::string body;
};

// Sends `request` as it stands to 127.0.0.1:port and reads the reply until the server closes
// the connection or `timeout` passes. Nothing when no connection or no status line came back.
std::optional<HttpReply> SendRawHttp(int port, std::string_view request,
                                     std::chrono::milliseconds timeout = std::chrono::seconds(5));

// GET of `target` ("/api.php?text=...") with HTTP/1.0, so the server closes after the reply.
std::optional<HttpReply> HttpGet(int port, std::string_view target,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(5));

// True when a service on the port answers GET /healthz with 200 within a second.
bool ServiceAnswers(int port);

}  // namespace qrlogo::test
