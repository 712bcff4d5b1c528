// qrlogo-service: renders QR codes as PNG pictures for the qrlogo tool over loopback HTTP.
#include <pthread.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "service/http_server.h"
#include "service/limits.h"
#include "service/listen_address.h"

namespace {

constexpr std::string_view kUsage =
    "usage: qrlogo-service [--listen HOST:PORT] [--quiet]\n"
    "Renders QR codes as PNG pictures: GET /api.php?text=...&w=200&bg=ffffff&fg=000000\n"
    "  [&el=L|M|Q|H] [&m=0..10] [&charset=gb18030|utf-8|raw] [&eci=0|1]; GET /healthz.\n"
    "  --listen HOST:PORT  address to listen on (default 127.0.0.1:48151; port 0 picks one)\n"
    "  --quiet             no access log on standard error\n"
    "  --help              this text\n";

// Exit status for a bad command line, as most tools use.
constexpr int kUsageError = 2;

// Each connection is a descriptor: lift the soft limit so the connection limit, not the
// descriptor limit, is what turns clients away.
void RaiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    const rlim_t wanted = qrlogo::service::kMaxConnections + 64;
    if (limit.rlim_cur >= wanted) return;
    limit.rlim_cur =
        limit.rlim_max == RLIM_INFINITY || limit.rlim_max >= wanted ? wanted : limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace qrlogo::service;
    std::string listen(kDefaultListenAddress);
    ServerOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            std::fputs(kUsage.data(), stdout);
            return 0;
        }
        if (argument == "--quiet") {
            options.accessLog = false;
        } else if (argument == "--listen" && i + 1 < argc) {
            listen = argv[++i];
        } else {
            std::fprintf(stderr, "qrlogo-service: unknown argument %s\n%s", argv[i], kUsage.data());
            return kUsageError;
        }
    }
    const std::optional<ListenAddress> address = ParseListenAddress(listen);
    if (!address) {
        std::fprintf(stderr, "qrlogo-service: bad --listen address %s (want HOST:PORT)\n",
                     listen.c_str());
        return kUsageError;
    }

    // Blocked before the workers start, so they inherit the mask and the signals reach only
    // the sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    RaiseDescriptorLimit();

    std::string error;
    const std::unique_ptr<HttpServer> server = HttpServer::Start(*address, options, error);
    if (!server) {
        std::fprintf(stderr, "qrlogo-service: %s: %s\n", listen.c_str(), error.c_str());
        return 1;
    }
    if (options.accessLog) {
        std::fprintf(stderr, "qrlogo-service: listening on %s, port %u\n", listen.c_str(),
                     static_cast<unsigned>(server->Port()));
    }
    int received = 0;
    sigwait(&stopSignals, &received);
    return 0;
}
