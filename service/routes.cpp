#include "service/routes.h"

#include "service/failure.h"
#include "service/limits.h"
#include "service/parameters.h"
#include "service/picture.h"
#include "service/query.h"
#include "service/render_cache.h"

namespace qrlogo::service {
namespace {

constexpr std::string_view kAllowedMethods = "GET, HEAD";

Response FailureResponse(const Failure& failure) {
    StatusAndReason described = DescribeFailure(failure);
    Response response{
        described.status, "text/plain; charset=utf-8", std::move(described.reason) + "\n", {}};
    if (failure.error == ServiceError::MethodNotAllowed) response.allow = kAllowedMethods;
    return response;
}

Response RenderCode(std::string_view query) {
    Outcome<Query> parsed = ParseQuery(query);
    if (const auto* failure = std::get_if<Failure>(&parsed)) return FailureResponse(*failure);
    Outcome<RenderParameters> read = ReadRenderParameters(std::get<Query>(parsed));
    if (const auto* failure = std::get_if<Failure>(&read)) return FailureResponse(*failure);
    const RenderParameters& parameters = std::get<RenderParameters>(read);

    static RenderCache cache(kRenderCacheBytes);
    std::string key = PictureKey(parameters);
    if (std::optional<std::string> cached = cache.Find(key)) {
        return Response{200, "image/png", std::move(*cached), {}};
    }
    Outcome<std::string> png = RenderQrPng(parameters);
    if (const auto* failure = std::get_if<Failure>(&png)) return FailureResponse(*failure);
    cache.Insert(std::move(key), std::get<std::string>(png));
    return Response{200, "image/png", std::move(std::get<std::string>(png)), {}};
}

Response Healthy(std::string_view) {
    return Response{200, "text/plain; charset=utf-8", "ok\n", {}};
}

struct Route {
    std::string_view path;
    Response (*handler)(std::string_view query);
};

constexpr Route kRoutes[] = {
    {"/api.php", RenderCode},
    {"/healthz", Healthy},
};

}  // namespace

Response HandleRequest(const Request& request) {
    if (request.target.size() > kMaxTargetBytes) {
        return FailureResponse({ServiceError::TargetTooLong, {}});
    }
    // A fragment is never part of what a server is asked for.
    const std::string_view target = request.target.substr(0, request.target.find('#'));
    const std::size_t question = target.find('?');
    const std::string_view path = target.substr(0, question);
    const std::string_view query =
        question == std::string_view::npos ? std::string_view{} : target.substr(question + 1);

    for (const Route& route : kRoutes) {
        if (route.path != path) continue;
        if (request.method != "GET" && request.method != "HEAD") {
            return FailureResponse({ServiceError::MethodNotAllowed, {}});
        }
        return route.handler(query);
    }
    return FailureResponse({ServiceError::NotFound, {}});
}

}  // namespace qrlogo::service
