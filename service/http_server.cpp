#include "service/http_server.h"

#include <microhttpd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <thread>

#include "service/access_log.h"
#include "service/limits.h"
#include "service/routes.h"

namespace qrlogo::service {
namespace {

// One per request: created when the request line arrives, ended when the request completes.
struct RequestRecord {
    std::string target;
    std::string method;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    unsigned status = 0;
    std::size_t bodyBytes = 0;
};

// Keeps the raw target: the library hands the access handler the path alone, already decoded,
// and the query split up by its own rules.
void* OnRequestLine(void*, const char* uri, MHD_Connection*) {
    auto record = std::make_unique<RequestRecord>();
    record->target = uri;
    return record.release();
}

void OnRequestCompleted(void* cls, MHD_Connection*, void** context, MHD_RequestTerminationCode) {
    std::unique_ptr<RequestRecord> record(static_cast<RequestRecord*>(*context));
    *context = nullptr;
    const bool accessLog = *static_cast<const bool*>(cls);
    if (!record || !accessLog || record->status == 0) return;
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - record->started;
    const std::string line = FormatAccessLogLine(record->method, record->target, record->status,
                                                 record->bodyBytes, elapsed.count());
    // One write per line keeps lines from different workers whole.
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
}

// True when the client announced a request body. No route reads one.
bool HasBody(MHD_Connection* connection) {
    const char* length =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    const char* encoding =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING);
    return encoding || (length && std::string_view(length) != "0");
}

MHD_Result Answer(MHD_Connection* connection, RequestRecord& record) {
    const Response answer = HandleRequest(Request{record.method, record.target});
    MHD_Response* response = MHD_create_response_from_buffer(
        answer.body.size(), const_cast<char*>(answer.body.data()), MHD_RESPMEM_MUST_COPY);
    if (!response) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, answer.contentType.c_str());
    if (!answer.allow.empty()) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, answer.allow.c_str());
    }
    const MHD_Result queued = MHD_queue_response(connection, answer.status, response);
    MHD_destroy_response(response);
    record.status = answer.status;
    record.bodyBytes = answer.body.size();
    return queued;
}

// The library calls this once when the headers are in and again when the whole request is.
// Answering on the second call keeps the connection open for the next request; a request
// with a body is answered on the first, so the body is never read and the connection closes.
MHD_Result OnRequest(void*, MHD_Connection* connection, const char*, const char* method,
                     const char*, const char*, std::size_t*, void** context) {
    auto* record = static_cast<RequestRecord*>(*context);
    if (!record || record->status != 0) return MHD_NO;
    if (record->method.empty()) {
        record->method = method;
        if (!HasBody(connection)) return MHD_YES;
    }
    return Answer(connection, *record);
}

}  // namespace

std::unique_ptr<HttpServer> HttpServer::Start(const ListenAddress& address,
                                              const ServerOptions& options, std::string& error) {
    unsigned threads = options.threads;
    if (threads == 0) threads = std::thread::hardware_concurrency();
    threads = std::clamp(threads, kMinThreads, kMaxThreads);
    auto server = std::make_unique<HttpServer>(Key{}, options.accessLog);

    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL;
    if (address.ipv6) flags |= MHD_USE_IPv6;
    // One option and its arguments a line, each of the type the library reads.
    // clang-format off
    server->m_daemon = MHD_start_daemon(flags, 0, nullptr, nullptr, OnRequest, nullptr,
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<const sockaddr*>(&address.address),
        MHD_OPTION_THREAD_POOL_SIZE, threads,
        MHD_OPTION_CONNECTION_LIMIT, kMaxConnections,
        MHD_OPTION_CONNECTION_TIMEOUT, options.idleTimeoutSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemoryBytes,
        MHD_OPTION_LISTEN_BACKLOG_SIZE, kListenBacklog,
        MHD_OPTION_URI_LOG_CALLBACK, OnRequestLine, nullptr,
        MHD_OPTION_NOTIFY_COMPLETED, OnRequestCompleted, &server->m_accessLog,
        MHD_OPTION_END);
    // clang-format on
    if (!server->m_daemon) {
        error = "cannot listen on the address (in use, or not this machine's)";
        return nullptr;
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(server->m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    server->m_port = info ? info->port : 0;
    return server;
}

HttpServer::~HttpServer() {
    if (m_daemon) MHD_stop_daemon(m_daemon);
}

}  // namespace qrlogo::service
