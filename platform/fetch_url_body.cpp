#include "platform/fetch_url_body.h"

#include <curl/curl.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/received_body.h"

namespace qrlogo::platform {
namespace {

// Longest accepted URL parts, each with room for its terminating NUL.
constexpr std::size_t kHostBuffer = 256;
constexpr std::size_t kUserNameBuffer = 128;
constexpr std::size_t kPasswordBuffer = 128;
constexpr std::size_t kPathWithQueryBuffer = 2048;

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// libcurl fixes its receive buffer before the transfer starts, long before Content-Length is
// known, so every transfer reads in the blocks meant for a body of unknown length; a known
// length only sizes the result up front.
constexpr long kReceiveBlock = 10240;

// Enough for any sensible chain of moved pages, and an end to redirect loops.
constexpr long kMostRedirects = 10;

// Hosts that are reached directly whatever the proxy settings say.
constexpr std::string_view kLoopbackHosts = "localhost,127.0.0.0/8,::1";

struct UrlReleaser {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlReleaser>;

struct EasyReleaser {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyReleaser>;

struct HeaderListReleaser {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListReleaser>;

// The run's one HTTP client: libcurl's global state and the cookies and name cache that every
// request shares.
class HttpClient {
public:
    HttpClient() : m_started(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {
        if (!m_started) return;
        m_share = curl_share_init();
        if (m_share == nullptr) return;
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;
    ~HttpClient() {
        if (m_share != nullptr) curl_share_cleanup(m_share);
        if (m_started) curl_global_cleanup();
    }

    CURLSH* Share() const { return m_share; }

private:
    bool m_started;
    CURLSH* m_share = nullptr;
};

std::unique_ptr<HttpClient>& ClientSlot() {
    static std::unique_ptr<HttpClient> client;
    return client;
}

CURLSH* SharedClientState() {
    auto& client = ClientSlot();
    if (client == nullptr) client = std::make_unique<HttpClient>();
    return client->Share();
}

// One part of a parsed URL exactly as it stands in the URL; none when the URL lacks it.
std::optional<std::string> UrlPart(CURLU* url, CURLUPart which) {
    char* value = nullptr;
    if (curl_url_get(url, which, &value, 0) != CURLUE_OK || value == nullptr) return std::nullopt;
    std::string part(value);
    curl_free(value);
    return part;
}

bool Fits(const std::optional<std::string>& part, std::size_t buffer) {
    return !part || part->size() < buffer;
}

// Parses and checks the URL; none when it must not be fetched. The parser keeps every byte
// as it is (no escape is added or decoded) but refuses spaces and control bytes, which could
// not stand in a request line.
UrlHandle ParseUrl(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return nullptr;
    UrlHandle url(curl_url());
    if (url == nullptr) return nullptr;
    if (curl_url_set(url.get(), CURLUPART_URL, std::string(text).c_str(), 0) != CURLUE_OK) {
        return nullptr;
    }
    const auto scheme = UrlPart(url.get(), CURLUPART_SCHEME);
    if (!scheme || (*scheme != "http" && *scheme != "https")) return nullptr;
    const auto host = UrlPart(url.get(), CURLUPART_HOST);
    if (!host || !Fits(host, kHostBuffer)) return nullptr;
    if (!Fits(UrlPart(url.get(), CURLUPART_USER), kUserNameBuffer)) return nullptr;
    if (!Fits(UrlPart(url.get(), CURLUPART_PASSWORD), kPasswordBuffer)) return nullptr;

    const auto path = UrlPart(url.get(), CURLUPART_PATH);
    const auto query = UrlPart(url.get(), CURLUPART_QUERY);
    const auto fragment = UrlPart(url.get(), CURLUPART_FRAGMENT);
    const std::size_t pathWithQuery = (path ? path->size() : 0) + (query ? 1 + query->size() : 0) +
                                      (fragment ? 1 + fragment->size() : 0);
    if (pathWithQuery >= kPathWithQueryBuffer) return nullptr;
    // The request target ends before the first "#".
    if (curl_url_set(url.get(), CURLUPART_FRAGMENT, nullptr, 0) != CURLUE_OK) return nullptr;
    return url;
}

// The environment's no-proxy list with the loopback hosts added.
std::string NoProxyHosts() {
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        if (std::string_view(value) == "*") return "*";
        return std::string(value) + "," + std::string(kLoopbackHosts);
    }
    return std::string(kLoopbackHosts);
}

std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* context) {
    static_cast<ReceivedBody*>(context)->AddHeaderLine(std::string_view(data, size * count));
    return size * count;
}

// Returning fewer bytes than given ends the transfer.
std::size_t OnBodyBytes(char* data, std::size_t size, std::size_t count, void* context) {
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(data), size * count);
    return static_cast<ReceivedBody*>(context)->AddBodyBytes(bytes) ? bytes.size() : 0;
}

}  // namespace

std::vector<std::uint8_t> FetchUrlBody(std::string_view url, const FetchOptions& options) {
    if (url.empty()) return {};
    const UrlHandle parsed = ParseUrl(url);
    if (parsed == nullptr) return {};
    CURLSH* shared = SharedClientState();
    if (shared == nullptr) return {};
    const EasyHandle easy(curl_easy_init());
    if (easy == nullptr) return {};

    curl_slist* lines = nullptr;
    for (const char* line : {"Accept: */*", "Cache-Control: no-cache", "Pragma: no-cache"}) {
        curl_slist* longer = curl_slist_append(lines, line);
        if (longer == nullptr) {
            curl_slist_free_all(lines);
            return {};
        }
        lines = longer;
    }
    const HeaderList headers(lines);
    const std::string noProxy = NoProxyHosts();
    ReceivedBody received(options.largestBody);

    CURL* e = easy.get();
    bool set = true;
    const auto option = [&set](CURLcode result) { set = set && result == CURLE_OK; };
    option(curl_easy_setopt(e, CURLOPT_CURLU, parsed.get()));
    option(curl_easy_setopt(e, CURLOPT_SHARE, shared));
    option(curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https"));
    option(curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
    option(curl_easy_setopt(e, CURLOPT_HTTPGET, 1L));
    option(curl_easy_setopt(e, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_0}));
    option(curl_easy_setopt(e, CURLOPT_USERAGENT, kUserAgent));
    option(curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get()));
    option(curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L));
    option(curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMostRedirects));
    // An empty cookie file turns the in-memory cookie store on without reading any file.
    option(curl_easy_setopt(e, CURLOPT_COOKIEFILE, ""));
    option(curl_easy_setopt(e, CURLOPT_NOPROXY, noProxy.c_str()));
    // Each fetch has a connection of its own, closed before it returns.
    option(curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L));
    option(curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBlock));
    option(curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                            static_cast<long>(options.connectTimeout.count())));
    option(curl_easy_setopt(e, CURLOPT_TIMEOUT_MS,
                            static_cast<long>(options.transferTimeout.count())));
    option(curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L));
    option(curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, OnHeaderLine));
    option(curl_easy_setopt(e, CURLOPT_HEADERDATA, &received));
    option(curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnBodyBytes));
    option(curl_easy_setopt(e, CURLOPT_WRITEDATA, &received));
    if (!set) return {};

    // The status is not looked at, and a transfer that fails part-way keeps what it received.
    curl_easy_perform(e);
    return std::move(received).Take();
}

void CloseHttpClient() { ClientSlot().reset(); }

}  // namespace qrlogo::platform
